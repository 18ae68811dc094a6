// The five settings as the dialog saves them: their value names, and the
// checks that every value can be stored exactly before anything is written.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/dialog_view.h"

namespace app {

// Value names under the settings key, in the order they are loaded and saved.
inline const std::string kServidor = "Servidor";
inline const std::string kBaseDados = "Base_Dados";
inline const std::string kSeguranca = "Segurança";
inline const std::string kUtilizador = "Utilizador";
inline const std::string kPalavraPasse = "Palavra-Passe";

// The longest text the registry store can read back.
constexpr std::size_t kMaxCaracteres = 3499;

// A value name in the system's ANSI code page, as the registry store takes
// it. Names are written in this source in UTF-8 and converted when used, so
// "Segurança" reaches the registry as the running code page's own "ç".
std::string NomeAnsi(const std::string& nome);

// What the load read and the save may have to write back unchanged.
struct ValoresLidos {
    std::string seguranca;     // code-page bytes
    std::string palavraPasse;  // the scrambled form
};

// Value name (UTF-8) and text to write (code-page bytes), in saving order.
using Valores = std::vector<std::pair<std::string, std::string>>;

// Takes the five values from the controls and checks that each can be
// stored exactly. On the first problem tells the user, puts the focus on
// the field at fault and gives nothing.
std::optional<Valores> ValidarValores(DialogView& view, const std::string& sombra,
                                      const ValoresLidos& lidos);

}  // namespace app
