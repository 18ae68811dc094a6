// The companion's command line: what it asks for, read from the arguments
// alone (no system calls), so that it is the same on every platform.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "connection/connection_string.h"
#include "settings/definicoes.h"

namespace cli {

enum class Comando { Ajuda, Mostrar, Definir, Verificar, Testar, Controladores, Dsc };

// What `definicoes dsc` is asked to do with the desired state it reads.
enum class OperacaoDsc { Get, Set, Test };

// Where the password given to `definir` or `verificar` comes from: none
// given, standard input, or the empty password (never read).
enum class PalavraPasse { Nenhuma, Stdin, Vazia };

// The option that gives the empty password.
inline constexpr char kOpcaoVazia[] = "--palavra-passe-vazia";

struct Pedido {
    Comando comando = Comando::Ajuda;
    // For `definir` and `verificar`: the texts given (UTF-8), in the order
    // of settings::kDefinicoes; the password's place stays empty, since it
    // never comes from the arguments. "Segurança" holds the item's exact text.
    std::array<std::optional<std::string>, settings::kDefinicoes.size()> textos;
    PalavraPasse palavraPasse = PalavraPasse::Nenhuma;
    // --json: the answer, and an error exit's message, as one JSON object
    // on standard output; always for `dsc`.
    bool json = false;
    // For `verificar`: the exit code when the settings are not as they should be.
    int codigoNaoConforme = 3;
    OperacaoDsc operacaoDsc = OperacaoDsc::Get;
    // For `dsc set --what-if`: what set would change, with nothing written.
    bool simular = false;
    // For `testar`: the ODBC driver and the login timeout in seconds.
    std::string controlador = connection::kDefaultDriver;
    unsigned tempoLimite = connection::kDefaultLoginTimeoutSeconds;
};

// A request, or the reason the arguments make none (a usage error). The
// reason never quotes an argument, which may be a password typed in the
// wrong place: it names the argument by its position. Without a request,
// `pedido.json` still says whether the reason is to be given as JSON.
struct Analise {
    bool valida = false;
    Pedido pedido;
    std::string erro;
};

// `argumentos` without the program's name, in UTF-8.
Analise AnalisarArgumentos(const std::vector<std::string>& argumentos);

// The usage text, ending with a line end.
extern const std::string kUtilizacao;

}  // namespace cli
