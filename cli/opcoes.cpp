#include "cli/opcoes.h"

#include <algorithm>

#include "connection/attempt.h"

namespace cli {
namespace {

using settings::kDefinicoes;
using settings::Tipo;

Analise Erro(std::string erro) { return {false, {}, std::move(erro)}; }

constexpr char kOpcaoJson[] = "--json";
constexpr char kOpcaoCodigo[] = "--codigo-nao-conforme";

// How a usage error names args[a] (the command is argument 1): by its
// place, never by its text.
std::string Argumento(std::size_t a) { return "argumento " + std::to_string(a + 1); }

Analise NaoEOpcao(const std::vector<std::string>& args, std::size_t a) {
    return Erro("O " + Argumento(a) + " não é uma opção de " + args[0] + ".");
}

// A whole number from `minimo` to `maximo`, in at most four digits.
bool LerNumero(const std::string& texto, unsigned minimo, unsigned maximo, unsigned* numero) {
    if (texto.empty() || texto.size() > 4 ||
        texto.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *numero = static_cast<unsigned>(std::stoul(texto));
    return *numero >= minimo && *numero <= maximo;
}

// Notes `opcao` as given; false when it was given before.
bool PrimeiraVez(const std::string& opcao, std::vector<std::string>* dadas) {
    if (std::find(dadas->begin(), dadas->end(), opcao) != dadas->end()) return false;
    dadas->push_back(opcao);
    return true;
}

// `definir` and `verificar` take the same options: a text for each setting,
// the password from standard input or empty, and --json; `verificar` also
// the exit code for settings that are not as they should be.
Analise AnalisarValores(const std::vector<std::string>& args, Comando comando) {
    Pedido pedido;
    pedido.comando = comando;
    std::vector<std::string> dadas;  // --json and --codigo-nao-conforme
    for (std::size_t a = 1; a < args.size(); ++a) {
        const std::string& arg = args[a];
        if (arg == kOpcaoJson || (arg == kOpcaoCodigo && comando == Comando::Verificar)) {
            if (!PrimeiraVez(arg, &dadas)) return Erro("Opção repetida: " + arg);
            if (arg == kOpcaoJson) {
                pedido.json = true;
                continue;
            }
            if (++a == args.size()) return Erro("Falta o texto de " + arg);
            unsigned codigo = 0;
            if (!LerNumero(args[a], 0, 255, &codigo))
                return Erro(arg + " aceita de 0 a 255: o " + Argumento(a) + " não.");
            pedido.codigoNaoConforme = static_cast<int>(codigo);
            continue;
        }
        std::size_t i = 0;
        while (i < kDefinicoes.size() && arg != kDefinicoes[i].opcao) ++i;
        if (i == kDefinicoes.size() && arg != kOpcaoVazia) return NaoEOpcao(args, a);
        if (arg == kOpcaoVazia || kDefinicoes[i].tipo == Tipo::PalavraPasse) {
            if (pedido.palavraPasse != PalavraPasse::Nenhuma)
                return Erro("Só uma vez, e só uma de: " +
                            std::string(kDefinicoes[settings::IndiceDe(Tipo::PalavraPasse)].opcao) +
                            ", " + kOpcaoVazia);
            pedido.palavraPasse = arg == kOpcaoVazia ? PalavraPasse::Vazia : PalavraPasse::Stdin;
            continue;
        }
        if (a + 1 == args.size()) return Erro("Falta o texto de " + arg);
        auto& texto = pedido.textos[i];
        if (texto) return Erro("Opção repetida: " + arg);
        texto = args[++a];
        if (kDefinicoes[i].tipo == Tipo::Lista) {
            // The window's own rule for telling its items.
            const std::string* item = settings::ItemSeguranca(*texto);
            if (!item) return Erro(arg + " aceita False ou True: o " + Argumento(a) + " não.");
            texto = *item;
        }
    }
    bool algum = pedido.palavraPasse != PalavraPasse::Nenhuma;
    for (const auto& texto : pedido.textos) algum = algum || texto.has_value();
    if (!algum && comando == Comando::Definir)
        return Erro("Nada a definir: indique pelo menos uma opção.");
    return {true, pedido, {}};
}

Analise AnalisarTestar(const std::vector<std::string>& args) {
    Pedido pedido;
    pedido.comando = Comando::Testar;
    std::vector<std::string> dadas;
    for (std::size_t a = 1; a < args.size(); ++a) {
        const std::string& arg = args[a];
        if (arg != "--controlador" && arg != "--tempo-limite" && arg != kOpcaoJson)
            return NaoEOpcao(args, a);
        if (!PrimeiraVez(arg, &dadas)) return Erro("Opção repetida: " + arg);
        if (arg == kOpcaoJson) {
            pedido.json = true;
            continue;
        }
        if (++a == args.size()) return Erro("Falta o texto de " + arg);
        const std::string& texto = args[a];
        if (arg == "--controlador") {
            if (texto.empty()) return Erro("Falta o texto de " + arg);
            pedido.driver = texto;
        } else if (!LerNumero(texto, 1, 3600, &pedido.tempoLimite)) {
            return Erro("--tempo-limite aceita de 1 a 3600 segundos: o " + Argumento(a) + " não.");
        }
    }
    return {true, pedido, {}};
}

// `dsc get|set|test`, and `dsc set --what-if`: the desired state comes on
// standard input, and the answer is always JSON. Its usage errors, too,
// are given as DSC reads them.
Analise AnalisarDsc(const std::vector<std::string>& args) {
    static const std::pair<const char*, OperacaoDsc> kOperacoes[] = {
        {"get", OperacaoDsc::Get}, {"set", OperacaoDsc::Set}, {"test", OperacaoDsc::Test}};
    Pedido pedido;
    pedido.comando = Comando::Dsc;
    pedido.json = true;
    const auto erro = [&](std::string texto) { return Analise{false, pedido, std::move(texto)}; };
    if (args.size() < 2) return erro("Falta a operação de dsc: get, set ou test.");
    const auto* op = std::find_if(std::begin(kOperacoes), std::end(kOperacoes),
                                  [&](const auto& o) { return args[1] == o.first; });
    if (op == std::end(kOperacoes))
        return erro("O " + Argumento(1) + " não é uma operação de dsc: get, set ou test.");
    pedido.operacaoDsc = op->second;
    std::size_t a = 2;
    if (pedido.operacaoDsc == OperacaoDsc::Set && a < args.size() && args[a] == "--what-if") {
        pedido.simular = true;
        ++a;
    }
    if (args.size() > a) return erro("O " + Argumento(a) + " está a mais.");
    return {true, pedido, {}};
}

// The options of `definir` and `verificar`, then `extras`, as the usage
// shows them, after `comando` and wrapped under the first.
std::string OpcoesValores(const std::string& comando, const std::vector<std::string>& extras) {
    std::vector<std::string> opcoes;
    for (const auto& d : kDefinicoes) {
        std::string opcao = d.opcao;
        if (d.tipo == Tipo::Texto) opcao += " TEXTO";
        if (d.tipo == Tipo::Lista)
            opcao += " " + settings::kItensSeguranca[0] + "|" + settings::kItensSeguranca[1];
        if (d.tipo == Tipo::PalavraPasse) opcao += std::string(" | ") + kOpcaoVazia;
        opcoes.push_back(opcao);
    }
    opcoes.insert(opcoes.end(), extras.begin(), extras.end());
    std::string texto, linha = "  definicoes " + comando;
    const std::string margem(linha.size(), ' ');
    for (const std::string& o : opcoes) {
        const std::string opcao = " [" + o;
        if (linha.size() + opcao.size() >= 88) {
            texto += linha + "\n";
            linha = margem;
        }
        linha += opcao + "]";
    }
    return texto + linha + "\n";
}

// The connection test's steps, in their order: "Nome, Instância, …".
std::string Etapas() {
    std::string texto;
    for (int e = 0; e <= static_cast<int>(connection::Stage::Database); ++e)
        texto += (e ? ", " : "") + std::string(connection::StageName(connection::Stage(e)));
    return texto;
}

}  // namespace

const std::string kUtilizacao =
    "Utilização:\n"
    "  definicoes mostrar [--json]\n" +
    OpcoesValores("definir", {kOpcaoJson}) +
    OpcoesValores("verificar", {kOpcaoJson, std::string(kOpcaoCodigo) + " N"}) +
    "  definicoes testar [--controlador NOME] [--tempo-limite SEGUNDOS] [--json]\n"
    "  definicoes controladores [--json]\n"
    "  definicoes dsc get|set [--what-if]|test\n"
    "  definicoes --ajuda      (também /? e -h)\n"
    "\n"
    "mostrar    mostra as cinco definições, uma por linha; nunca mostra a palavra-passe.\n"
    "definir    grava só os valores indicados que diferem dos guardados e diz quais\n"
    "           alterou. Precisa de direitos de administrador.\n"
    "verificar  confirma que as cinco definições estão presentes e legíveis neste\n"
    "           computador e que cada valor indicado é o guardado. --codigo-nao-conforme:\n"
    "           o código de saída (0 a 255, 3 por omissão) quando não estão conformes.\n"
    "testar     liga à base de dados com as definições guardadas, por ODBC, e desliga.\n"
    "           Controlador \"" +
    std::string(connection::kDefaultDriver) + "\" e " +
    std::to_string(connection::kDefaultLoginTimeoutSeconds) +
    " segundos de espera, salvo indicação.\n"
    "           Passo a passo, até ao primeiro que falha:\n"
    "           " + Etapas() + ".\n"
    "controladores  lista os controladores ODBC instalados, um por linha.\n"
    "dsc        o recurso de DSC Orvex.Tamrel/Definicoes: lê o estado desejado, um objeto\n"
    "           JSON de no máximo 64 KB, da entrada padrão; get dá o estado guardado,\n"
    "           test compara-o com o desejado e set grava o que difere; com --what-if,\n"
    "           set diz o que gravaria e não grava nada.\n"
    "--json     a resposta num objeto JSON em ASCII (null para um valor em falta ou\n"
    "           ilegível) e, numa saída com erro, {\"erro\": \"...\"}.\n"
    "\n"
    "A palavra-passe lê-se da entrada padrão, nunca dos argumentos: uma linha não vazia\n"
    "de no máximo 1024 bytes (numa consola, pedida sem eco). A palavra-passe vazia\n"
    "indica-se com --palavra-passe-vazia.\n"
    "\n"
    "Códigos de saída: 0 êxito; 1 erro de utilização, palavra-passe recusada na\n"
    "entrada ou entrada JSON recusada; 2 valor recusado; 3 valor ilegível, em falta ou\n"
    "diferente do indicado (em verificar, o de --codigo-nao-conforme), ou falha ao ler\n"
    "(em testar, também a palavra-passe que não se decifra aqui); 4 falha ao gravar;\n"
    "5 a ligação falhou.\n";

namespace {

Analise Analisar(const std::vector<std::string>& args) {
    if (args.empty()) return Erro("Falta o comando.");
    const std::string& comando = args[0];
    if (comando == "definir") return AnalisarValores(args, Comando::Definir);
    if (comando == "verificar") return AnalisarValores(args, Comando::Verificar);
    if (comando == "testar") return AnalisarTestar(args);
    if (comando == "dsc") return AnalisarDsc(args);
    Pedido pedido;  // Comando::Ajuda
    std::size_t usados = 1;
    if (comando == "controladores" || comando == "mostrar") {
        pedido.comando = comando == "mostrar" ? Comando::Mostrar : Comando::Controladores;
        pedido.json = args.size() > 1 && args[1] == kOpcaoJson;
        usados += pedido.json;
    } else if (comando != "--ajuda" && comando != "/?" && comando != "-h") {
        return Erro("O " + Argumento(0) + " não é um comando.");
    }
    if (args.size() > usados) return Erro("O " + Argumento(usados) + " está a mais.");
    return {true, pedido, {}};
}

}  // namespace

Analise AnalisarArgumentos(const std::vector<std::string>& args) {
    Analise analise = Analisar(args);
    if (!analise.valida)
        analise.pedido.json = (!args.empty() && args[0] == "dsc") ||
                              std::find(args.begin(), args.end(), kOpcaoJson) != args.end();
    return analise;
}

}  // namespace cli
