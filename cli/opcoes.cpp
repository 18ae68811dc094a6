#include "cli/opcoes.h"

#include <algorithm>

namespace cli {
namespace {

using settings::kDefinicoes;
using settings::Tipo;

Analise Erro(std::string erro) { return {false, {}, std::move(erro)}; }

Analise AnalisarDefinir(const std::vector<std::string>& args) {
    Pedido pedido;
    pedido.comando = Comando::Definir;
    for (std::size_t a = 1; a < args.size(); ++a) {
        const std::string& arg = args[a];
        std::size_t i = 0;
        while (i < kDefinicoes.size() && arg != kDefinicoes[i].opcao) ++i;
        if (i == kDefinicoes.size()) return Erro("Opção desconhecida: " + arg);
        if (kDefinicoes[i].tipo == Tipo::PalavraPasse) {
            if (pedido.palavraPasseStdin) return Erro("Opção repetida: " + arg);
            pedido.palavraPasseStdin = true;
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
    bool algum = pedido.palavraPasseStdin;
    for (const auto& texto : pedido.textos) algum = algum || texto.has_value();
    if (!algum) return Erro("Nada a definir: indique pelo menos uma opção.");
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
        if (arg != "--controlador" && arg != "--tempo-limite")
            return Erro("Opção desconhecida: " + arg);
        if (std::find(dadas.begin(), dadas.end(), arg) != dadas.end())
            return Erro("Opção repetida: " + arg);
        dadas.push_back(arg);
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

// `definir`'s options, as the usage shows them, wrapped under the first.
std::string OpcoesDefinir() {
    std::string texto, linha = "  definicoes definir";
    for (const auto& d : kDefinicoes) {
        std::string opcao = " [" + std::string(d.opcao);
        if (d.tipo == Tipo::Texto) opcao += " TEXTO";
        if (d.tipo == Tipo::Lista)
            opcao += " " + settings::kItensSeguranca[0] + "|" + settings::kItensSeguranca[1];
        if (linha.size() + opcao.size() >= 88) {
            texto += linha + "\n";
            linha = std::string(20, ' ');
        }
        linha += opcao + "]";
    }
    return texto + linha + "\n";
}

}  // namespace

const std::string kUtilizacao =
    "Utilização:\n"
    "  definicoes mostrar\n" + OpcoesDefinir() +
    "  definicoes verificar\n"
    "  definicoes testar [--controlador NOME] [--tempo-limite SEGUNDOS]\n"
    "  definicoes --ajuda      (também /? e -h)\n"
    "\n"
    "mostrar    mostra as cinco definições, uma por linha; nunca mostra a palavra-passe.\n"
    "definir    grava só os valores indicados. A palavra-passe lê-se da entrada padrão,\n"
    "           uma linha (vazia para nenhuma palavra-passe), nunca dos argumentos.\n"
    "           Precisa de direitos de administrador.\n"
    "verificar  confirma que a palavra-passe guardada se decifra neste computador.\n"
    "testar     liga à base de dados com as definições guardadas, por ODBC, e desliga.\n"
    "           Controlador \"SQL Server\" e 15 segundos de espera, salvo indicação.\n"
    "\n"
    "Códigos de saída: 0 êxito; 1 erro de utilização; 2 valor recusado;\n"
    "3 palavra-passe ou valor ilegível neste computador; 4 falha ao gravar;\n"
    "5 a ligação falhou.\n";

Analise AnalisarArgumentos(const std::vector<std::string>& args) {
    if (args.empty()) return Erro("Falta o comando.");
    const std::string& comando = args[0];
    if (comando == "definir") return AnalisarDefinir(args);
    if (comando == "testar") return AnalisarTestar(args);
    Pedido pedido;  // Comando::Ajuda
    if (comando == "mostrar") {
        pedido.comando = Comando::Mostrar;
    } else if (comando == "verificar") {
        pedido.comando = Comando::Verificar;
    } else if (comando != "--ajuda" && comando != "/?" && comando != "-h") {
        return Erro("Comando desconhecido: " + comando);
    }
    if (args.size() > 1) return Erro("Argumento a mais: " + args[1]);
    return {true, pedido, {}};
}

}  // namespace cli
