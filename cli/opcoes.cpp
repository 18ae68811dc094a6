#include "cli/opcoes.h"

#include "app/definicoes.h"

namespace cli {
namespace {

// Each text option and the place of its value in app::kNomes.
struct OpcaoTexto {
    const char* nome;
    std::size_t indice;
};
constexpr OpcaoTexto kOpcoes[] = {
    {"--servidor", 0}, {"--base-dados", 1}, {"--seguranca", 2}, {"--utilizador", 3}};
constexpr std::size_t kSegurancaI = 2;
constexpr char kPalavraPasseStdin[] = "--palavra-passe-stdin";

Analise Erro(std::string erro) { return {false, {}, std::move(erro)}; }

Analise AnalisarDefinir(const std::vector<std::string>& args) {
    Pedido pedido;
    pedido.comando = Comando::Definir;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == kPalavraPasseStdin) {
            if (pedido.palavraPasseStdin) return Erro("Opção repetida: " + arg);
            pedido.palavraPasseStdin = true;
            continue;
        }
        const OpcaoTexto* opcao = nullptr;
        for (const auto& o : kOpcoes)
            if (arg == o.nome) opcao = &o;
        if (!opcao) return Erro("Opção desconhecida: " + arg);
        if (i + 1 == args.size()) return Erro("Falta o texto de " + arg);
        auto& texto = pedido.textos[opcao->indice];
        if (texto) return Erro("Opção repetida: " + arg);
        texto = args[++i];
        if (opcao->indice == kSegurancaI) {
            // The window's own rule for telling its two items.
            const int item = app::ItemSeguranca(*texto);
            if (item < 0) return Erro(arg + " aceita False ou True, não: " + *texto);
            texto = app::kItensSeguranca[item];
        }
    }
    bool algum = pedido.palavraPasseStdin;
    for (const auto& texto : pedido.textos) algum = algum || texto.has_value();
    if (!algum) return Erro("Nada a definir: indique pelo menos uma opção.");
    return {true, pedido, {}};
}

}  // namespace

const char kUtilizacao[] =
    "Utilização:\n"
    "  definicoes mostrar\n"
    "  definicoes definir [--servidor TEXTO] [--base-dados TEXTO] [--seguranca False|True]\n"
    "                     [--utilizador TEXTO] [--palavra-passe-stdin]\n"
    "  definicoes verificar\n"
    "  definicoes --ajuda      (também /? e -h)\n"
    "\n"
    "mostrar    mostra as cinco definições, uma por linha; nunca mostra a palavra-passe.\n"
    "definir    grava só os valores indicados. A palavra-passe lê-se da entrada padrão,\n"
    "           uma linha (vazia para nenhuma palavra-passe), nunca dos argumentos.\n"
    "           Precisa de direitos de administrador.\n"
    "verificar  confirma que a palavra-passe guardada se decifra neste computador.\n"
    "\n"
    "Códigos de saída: 0 êxito; 1 erro de utilização; 2 valor recusado;\n"
    "3 palavra-passe ilegível neste computador; 4 falha ao gravar.\n";

Analise AnalisarArgumentos(const std::vector<std::string>& args) {
    if (args.empty()) return Erro("Falta o comando.");
    const std::string& comando = args[0];
    if (comando == "--ajuda" || comando == "/?" || comando == "-h") {
        if (args.size() > 1) return Erro("Argumento a mais: " + args[1]);
        return {true, {}, {}};
    }
    if (comando == "definir") return AnalisarDefinir(args);
    Pedido pedido;
    if (comando == "mostrar") {
        pedido.comando = Comando::Mostrar;
    } else if (comando == "verificar") {
        pedido.comando = Comando::Verificar;
    } else {
        return Erro("Comando desconhecido: " + comando);
    }
    if (args.size() > 1) return Erro("Argumento a mais: " + args[1]);
    return {true, pedido, {}};
}

}  // namespace cli
