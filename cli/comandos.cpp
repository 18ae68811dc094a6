#include "cli/comandos.h"

#include "app/definicoes.h"
#include "app/valores.h"
#include "platform/platform.h"
#include "platform/runtime_failure.h"

namespace cli {
namespace {

constexpr std::size_t kPalavraPasseI = 4;

// The password line as it shows: never the password itself.
std::string EstadoPalavraPasse(const std::string& guardada) {
    if (guardada.empty()) return "(vazia)";
    return app::PalavraPasseLegivel(guardada) ? "(definida)" : "(ilegível neste computador)";
}

}  // namespace

int Mostrar(Consola& consola) {
    std::vector<std::string> ilegiveis;
    for (const std::string& nome : app::kNomes) {
        const app::ValorLido lido = app::LerDefinicao(nome);
        std::string texto;
        if (!lido.Legivel()) {
            ilegiveis.push_back(nome);
        } else if (lido.estado == app::ValorLido::Estado::Texto) {
            texto = nome == app::kPalavraPasse
                        ? EstadoPalavraPasse(lido.texto)
                        : platform::Current().codePage->ToUtf8(lido.texto);
        }
        consola.Escrever(nome + "=" + texto + "\n");
    }
    if (!ilegiveis.empty()) consola.Erro(app::MensagemNaoLidos(ilegiveis) + "\n");
    return kSaidaExito;
}

int Definir(const Pedido& pedido, Consola& consola) {
    // Every value given passes the window's checks before the first write.
    app::Valores valores;
    for (std::size_t i = 0; i < app::kNomes.size(); ++i) {
        app::Verificacao v;
        if (i == kPalavraPasseI) {
            if (!pedido.palavraPasseStdin) continue;
            std::string linha;
            if (!consola.LerLinha(&linha)) {
                consola.Erro("Não foi lida nenhuma linha da entrada padrão: a palavra-passe "
                             "não foi alterada.\n");
                return kSaidaUtilizacao;
            }
            v = app::VerificarPalavraPasse(linha);
            app::Apagar(linha);
        } else if (!pedido.textos[i]) {
            continue;
        } else if (!app::kPalavrasChave[i]) {
            v = {true, *pedido.textos[i], {}};  // an item of the list, checked when read
        } else {
            v = app::VerificarTexto(app::kPalavrasChave[i], *pedido.textos[i]);
        }
        if (!v.aceite) {
            consola.Erro(v.mensagem + "\n");
            return kSaidaRecusado;
        }
        valores.emplace_back(app::kNomes[i], std::move(v.valor));
    }
    const std::vector<std::string> falhados = app::GravarDefinicoes(valores);
    if (!falhados.empty()) {
        consola.Erro(app::MensagemNaoGravados(falhados) + "\n");
        return kSaidaGravacao;
    }
    return kSaidaExito;
}

int Verificar(Consola& consola) {
    const app::ValorLido lido = app::LerDefinicao(app::kPalavraPasse);
    if (!lido.Legivel()) {
        consola.Escrever("Não foi possível ler a palavra-passe guardada.\n");
        return kSaidaIlegivel;
    }
    if (lido.texto.empty()) {
        consola.Escrever("Não há palavra-passe guardada.\n");
        return kSaidaExito;
    }
    if (!app::PalavraPasseLegivel(lido.texto)) {
        consola.Escrever("A palavra-passe guardada não se decifra com a chave deste computador: "
                         "defina-a de novo neste computador.\n");
        return kSaidaIlegivel;
    }
    consola.Escrever("A palavra-passe guardada decifra-se neste computador.\n");
    return kSaidaExito;
}

int Executar(const std::vector<std::string>& argumentos, Consola& consola) {
    const Analise analise = AnalisarArgumentos(argumentos);
    if (!analise.valida) {
        consola.Erro(analise.erro + "\n\n" + kUtilizacao);
        return kSaidaUtilizacao;
    }
    const Pedido& pedido = analise.pedido;
    try {
        switch (pedido.comando) {
        case Comando::Ajuda: consola.Escrever(kUtilizacao); return kSaidaExito;
        case Comando::Mostrar: return Mostrar(consola);
        case Comando::Definir: return Definir(pedido, consola);
        case Comando::Verificar: return Verificar(consola);
        }
    } catch (...) {
        const platform::RuntimeFailure falha = platform::FailureInFlight();
        consola.Erro("Erro " + std::to_string(falha.number()) + ": " + falha.description() + "\n");
    }
    // An untrapped failure: nothing is known to be written or checked.
    return pedido.comando == Comando::Verificar ? kSaidaIlegivel : kSaidaGravacao;
}

}  // namespace cli
