// The five access settings: where they live, their names, and reading and
// writing them. The window and the command-line companion both go through
// here, so that they read, keep and write the values by the same rules.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "registry/modRegistry.h"

namespace app {

// The only key the settings are read from and written to (ASCII, so the
// same in every code page).
inline const std::string kCaminhoDefinicoes = "HKEY_LOCAL_MACHINE\\SOFTWARE\\orvex\\tamrel";

// Value names under the settings key (UTF-8), in the order they are read
// and written.
inline const std::string kServidor = "Servidor";
inline const std::string kBaseDados = "Base_Dados";
inline const std::string kSeguranca = "Segurança";
inline const std::string kUtilizador = "Utilizador";
inline const std::string kPalavraPasse = "Palavra-Passe";
inline const std::array<std::string, 5> kNomes = {kServidor, kBaseDados, kSeguranca, kUtilizador,
                                                  kPalavraPasse};

// The keyword each text field's label names it by, in the order of kNomes;
// messages about a field use it. "Segurança" is a list and has none.
inline const std::array<const char*, 5> kPalavrasChave = {"Data Source", "Initial Catalog",
                                                          nullptr, "User", "Password"};

// The items "Segurança" may hold.
inline const std::array<std::string, 2> kItensSeguranca = {"False", "True"};

// What the password field shows in place of the stored password.
inline const std::string kMascara = "**************";

// The longest text the registry store can read back: its buffer less the
// terminator.
constexpr std::size_t kMaxCaracteres = modRegistry::kTamanhoBuffer - 1;

// One setting as read. A value that is there but could not be read (too
// long, no access, a redirection that leads nowhere, a trapped failure)
// must not be overwritten by a text that stands in for it.
struct ValorLido {
    enum class Estado { Texto, NaoExiste, Ilegivel };
    Estado estado = Estado::Ilegivel;
    std::string texto;  // code-page bytes; empty unless Texto

    bool Legivel() const { return estado != Estado::Ilegivel; }
};

// Reads a setting, following redirections.
ValorLido LerDefinicao(const std::string& nome);

// The list item a stored "Segurança" selects: a text equal to an item but
// for case and trailing spaces selects it; anything else gives -1.
int ItemSeguranca(std::string texto);

// True when a stored password decodes with this machine's key to a text
// that scrambles back to the same stored form: it was stored here, and
// the key of this machine has not changed since.
bool PalavraPasseLegivel(const std::string& guardada);

// Wipes a text that held a password before its memory is given back.
void Apagar(std::string& texto);

// The messages that name values, one per line.
std::string MensagemNaoLidos(const std::vector<std::string>& nomes);
std::string MensagemNaoGravados(const std::vector<std::string>& nomes);

// Value name (UTF-8) and text to write (code-page bytes), in writing order.
using Valores = std::vector<std::pair<std::string, std::string>>;

// Writes the values in order; gives the names of those not written.
std::vector<std::string> GravarDefinicoes(const Valores& valores);

}  // namespace app
