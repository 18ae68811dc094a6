// The five access settings: where they live, their names, and reading and
// writing them. The window and the command-line companion both go through
// here, so that they read, keep and write the values by the same rules.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "connection/connection_string.h"
#include "platform/secret.h"
#include "registry/modRegistry.h"

namespace settings {

// The program's title: the window's caption and its message boxes' caption.
inline constexpr char kTitulo[] = "Definições de Acesso";

// The only key the settings are read from and written to (ASCII, so the
// same in every code page).
inline const std::string kCaminhoDefinicoes = "HKEY_LOCAL_MACHINE\\SOFTWARE\\orvex\\tamrel";

// How a setting is edited: a text, an item of a list, or a password
// (stored scrambled, shown masked, given to the companion on standard input).
enum class Tipo { Texto, Lista, PalavraPasse };

struct Definicao {
    const char* nome;          // the value's name under the key (UTF-8)
    const char* palavraChave;  // the keyword its label names it by, in messages
    Tipo tipo;
    const char* opcao;        // the companion's option
    const char* propriedade;  // the DSC resource's property
    // Where a connection test takes its text; none for "Segurança", and the
    // password goes to the target's secret.
    std::string connection::Target::*alvo;
};

// The settings, in the order they are shown, read, written and recorded.
// Every other list of them (the window's fields, the DSC properties, the
// event's strings) is made from this one or checked against it row by row.
inline constexpr std::array<Definicao, 5> kDefinicoes = {{
    {"Servidor", "Data Source", Tipo::Texto, "--servidor", "servidor", &connection::Target::server},
    {"Base_Dados", "Initial Catalog", Tipo::Texto, "--base-dados", "baseDados",
     &connection::Target::database},
    {"Segurança", "Security Info", Tipo::Lista, "--seguranca", "seguranca", nullptr},
    {"Utilizador", "User", Tipo::Texto, "--utilizador", "utilizador", &connection::Target::user},
    {"Palavra-Passe", "Password", Tipo::PalavraPasse, "--palavra-passe-stdin", "palavraPasse",
     nullptr},
}};

// The place in kDefinicoes of the first setting of kind `tipo`.
constexpr std::size_t IndiceDe(Tipo tipo) {
    std::size_t i = 0;
    while (kDefinicoes[i].tipo != tipo) ++i;
    return i;
}

// The items the list setting may hold.
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
    // How faithfully a text read stands for the value stored: it may not be
    // a text at all (any type but REG_SZ and REG_EXPAND_SZ), be a list of
    // texts (REG_MULTI_SZ), hold characters the code page turned into
    // others, or hold a NUL before its end.
    enum class Forma { Fiel, NaoTexto, VariosTextos, Convertido, ComNulo };
    Estado estado = Estado::Ilegivel;
    std::string texto;  // code-page bytes; empty unless Texto
    Forma forma = Forma::Fiel;

    // True when `texto` is the value as stored: a text type, the whole of
    // it, every character as it is. Only such a text can be shown, compared
    // or given as the stored one.
    bool TalComoGuardado() const { return estado == Estado::Texto && forma == Forma::Fiel; }
    // True for a text that any field can show: a text type, the whole of it.
    bool Mostravel() const { return forma != Forma::NaoTexto && forma != Forma::VariosTextos; }
};

// Reads a setting, following redirections.
ValorLido LerDefinicao(const std::string& nome);

// The item of kItensSeguranca a stored or given "Segurança" selects, the
// window's rule for every reader: a text equal to an item but for case and
// trailing spaces selects it; anything else gives null.
const std::string* ItemSeguranca(std::string_view texto);

// True when a stored password decodes with this machine's key to a text
// that scrambles back to the same stored form: it was stored here, and
// the key of this machine has not changed since.
bool PalavraPasseLegivel(const std::string& guardada);
// The same check, giving the decoded password (code-page bytes) when it
// passes, and nothing when it does not.
bool DecifrarPalavraPasse(const std::string& guardada, platform::Secret* decifrada);

// A few words on why a value cannot be shown as stored (UTF-8).
std::string MotivoForma(ValorLido::Forma forma);

// The message that names the values not read, one per line, then those
// read but not shown as stored, each as "name (why)".
std::string MensagemNaoLidos(const std::vector<std::string>& nomes,
                             const std::vector<std::string>& naoMostrados = {});

// The failure being handled, as the user is told of it: "Erro N: description".
std::string MensagemFalhaEmCurso();

}  // namespace settings
