#include "cli/opcoes.h"

#include <algorithm>

namespace cli {
namespace {

using settings::kDefinicoes;
using settings::Tipo;

Analise Erro(std::string erro) { return {false, {}, std::move(erro)}; }

// `definir` and `verificar` take the same options: a text for each setting,
// and the password from standard input or empty.
Analise AnalisarValores(const std::vector<std::string>& args, Comando comando) {
    Pedido pedido;
    pedido.comando = comando;
    for (std::size_t a = 1; a < args.size(); ++a) {
        const std::string& arg = args[a];
        std::size_t i = 0;
        while (i < kDefinicoes.size() && arg != kDefinicoes[i].opcao) ++i;
        if (i == kDefinicoes.size() && arg != kOpcaoVazia)
            return Erro("Opção desconhecida: " + arg);
        if (arg == kOpcaoVazia || kDefinicoes[i].tipo == Tipo::PalavraPasse) {
            if (pedido.palavraPasse != PalavraPasse::Nenhuma)
                return Erro("Só uma vez, e só uma de: " + std::string(kDefinicoes.back().opcao) +
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
            const int item = settings::ItemSeguranca(*texto);
            if (item < 0) return Erro(arg + " aceita False ou True, não: " + *texto);
            texto = settings::kItensSeguranca[item];
        }
    }
    bool algum = pedido.palavraPasse != PalavraPasse::Nenhuma;
    for (const auto& texto : pedido.textos) algum = algum || texto.has_value();
    if (!algum && comando == Comando::Definir)
        return Erro("Nada a definir: indique pelo menos uma opção.");
    return {true, pedido, {}};
}

// A whole number of seconds from 1 to 3600.
bool LerSegundos(const std::string& texto, unsigned* segundos) {
    if (texto.empty() || texto.size() > 4 ||
        texto.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *segundos = static_cast<unsigned>(std::stoul(texto));
    return *segundos >= 1 && *segundos <= 3600;
}

Analise AnalisarTestar(const std::vector<std::string>& args) {
    Pedido pedido;
    pedido.comando = Comando::Testar;
    std::vector<std::string> dadas;
    for (std::size_t a = 1; a < args.size(); a += 2) {
        const std::string& arg = args[a];
        if (arg != "--controlador" && arg != "--tempo-limite" && arg != "--json")
            return Erro("Opção desconhecida: " + arg);
        if (std::find(dadas.begin(), dadas.end(), arg) != dadas.end())
            return Erro("Opção repetida: " + arg);
        dadas.push_back(arg);
        if (arg == "--json") {
            pedido.json = true;
            --a;  // no text follows it
            continue;
        }
        if (a + 1 == args.size()) return Erro("Falta o texto de " + arg);
        const std::string& texto = args[a + 1];
        if (arg == "--controlador") {
            if (texto.empty()) return Erro("Falta o texto de " + arg);
            pedido.controlador = texto;
        } else if (!LerSegundos(texto, &pedido.tempoLimite)) {
            return Erro("--tempo-limite aceita de 1 a 3600 segundos, não: " + texto);
        }
    }
    return {true, pedido, {}};
}

// The options of `definir` and `verificar`, as the usage shows them, after
// `comando` and wrapped under the first.
std::string OpcoesValores(const std::string& comando) {
    std::string texto, linha = "  definicoes " + comando;
    const std::string margem(linha.size(), ' ');
    for (const auto& d : kDefinicoes) {
        std::string opcao = " [" + std::string(d.opcao);
        if (d.tipo == Tipo::Texto) opcao += " TEXTO";
        if (d.tipo == Tipo::Lista)
            opcao += " " + settings::kItensSeguranca[0] + "|" + settings::kItensSeguranca[1];
        if (d.tipo == Tipo::PalavraPasse) opcao += std::string(" | ") + kOpcaoVazia;
        if (linha.size() + opcao.size() >= 88) {
            texto += linha + "\n";
            linha = margem;
        }
        linha += opcao + "]";
    }
    return texto + linha + "\n";
}

}  // namespace

const std::string kUtilizacao =
    "Utilização:\n"
    "  definicoes mostrar [--json]\n" +
    OpcoesValores("definir") + OpcoesValores("verificar") +
    "  definicoes testar [--controlador NOME] [--tempo-limite SEGUNDOS] [--json]\n"
    "  definicoes controladores\n"
    "  definicoes --ajuda      (também /? e -h)\n"
    "\n"
    "mostrar    mostra as cinco definições, uma por linha; nunca mostra a palavra-passe.\n"
    "           --json: um objeto JSON em ASCII; null para um valor em falta ou ilegível.\n"
    "definir    grava só os valores indicados que diferem dos guardados e diz quais\n"
    "           alterou. Precisa de direitos de administrador.\n"
    "verificar  confirma que as cinco definições estão presentes e legíveis neste\n"
    "           computador e que cada valor indicado é o guardado.\n"
    "testar     liga à base de dados com as definições guardadas, por ODBC, e desliga.\n"
    "           Controlador \"" +
    std::string(connection::kDefaultDriver) + "\" e " +
    std::to_string(connection::kDefaultLoginTimeoutSeconds) +
    " segundos de espera, salvo indicação.\n"
    "           Passo a passo: Nome, Instância, Porta, Entrada, Base de dados; pára no\n"
    "           primeiro que falha. --json: um objeto JSON em ASCII com os passos.\n"
    "controladores  lista os controladores ODBC instalados, um por linha.\n"
    "\n"
    "A palavra-passe lê-se da entrada padrão, nunca dos argumentos: uma linha não vazia\n"
    "de no máximo 1024 bytes (numa consola, pedida sem eco). A palavra-passe vazia\n"
    "indica-se com --palavra-passe-vazia.\n"
    "\n"
    "Códigos de saída: 0 êxito; 1 erro de utilização ou palavra-passe recusada na\n"
    "entrada; 2 valor recusado; 3 valor ilegível, em falta ou diferente do indicado,\n"
    "ou falha ao ler (em testar, também a palavra-passe que não se decifra aqui);\n"
    "4 falha ao gravar; 5 a ligação falhou.\n";

Analise AnalisarArgumentos(const std::vector<std::string>& args) {
    if (args.empty()) return Erro("Falta o comando.");
    const std::string& comando = args[0];
    if (comando == "definir") return AnalisarValores(args, Comando::Definir);
    if (comando == "verificar") return AnalisarValores(args, Comando::Verificar);
    if (comando == "testar") return AnalisarTestar(args);
    Pedido pedido;  // Comando::Ajuda
    std::size_t usados = 1;
    if (comando == "controladores") {
        pedido.comando = Comando::Controladores;
    } else if (comando == "mostrar") {
        pedido.comando = Comando::Mostrar;
        pedido.json = args.size() > 1 && args[1] == "--json";
        usados += pedido.json;
    } else if (comando != "--ajuda" && comando != "/?" && comando != "-h") {
        return Erro("Comando desconhecido: " + comando);
    }
    if (args.size() > usados) return Erro("Argumento a mais: " + args[usados]);
    return {true, pedido, {}};
}

}  // namespace cli
