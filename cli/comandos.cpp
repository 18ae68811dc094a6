#include "cli/comandos.h"

#include <iterator>

#include "connection/attempt.h"
#include "platform/platform.h"
#include "settings/valores.h"

namespace cli {
namespace {

using settings::kDefinicoes;
using settings::Tipo;

const char kNaoSeDecifra[] =
    "A palavra-passe guardada não se decifra com a chave deste computador: "
    "defina-a de novo neste computador.";

const char kSemLinha[] =
    "Não foi lida nenhuma linha da entrada padrão: a palavra-passe não foi alterada.";

// The password line as it shows: never the password itself.
std::string EstadoPalavraPasse(const std::string& guardada) {
    if (guardada.empty()) return "(vazia)";
    return settings::PalavraPasseLegivel(guardada) ? "(definida)" : "(ilegível neste computador)";
}

}  // namespace

int Mostrar(Consola& consola) {
    std::vector<std::string> ilegiveis;
    for (const auto& d : kDefinicoes) {
        const std::string nome = d.nome;
        const settings::ValorLido lido = settings::LerDefinicao(nome);
        std::string texto;
        if (!lido.Legivel()) {
            ilegiveis.push_back(nome);
        } else if (lido.estado == settings::ValorLido::Estado::Texto) {
            texto = d.tipo == Tipo::PalavraPasse
                        ? EstadoPalavraPasse(lido.texto)
                        : platform::Current().codePage->ToUtf8(lido.texto);
        }
        consola.Escrever(nome + "=" + texto + "\n");
    }
    if (!ilegiveis.empty()) consola.Erro(settings::MensagemNaoLidos(ilegiveis) + "\n");
    return kSaidaExito;
}

int Definir(const Pedido& pedido, Consola& consola) {
    // Every value given passes the window's checks before the first write.
    bool semLinha = false;
    const settings::Gravacao g = settings::Gravar(
        [&](std::size_t i) -> std::optional<settings::Verificacao> {
            std::string texto;
            if (kDefinicoes[i].tipo == Tipo::PalavraPasse && pedido.palavraPasseStdin) {
                semLinha = !consola.LerLinha(&texto);
                if (semLinha) return settings::Verificacao{false, {}, kSemLinha};
            } else if (pedido.textos[i]) {
                texto = *pedido.textos[i];
            } else {
                return std::nullopt;
            }
            settings::Verificacao v = settings::VerificarCampo(kDefinicoes[i], texto);
            settings::Apagar(texto);
            return v;
        });
    if (!g.mensagem.empty()) consola.Erro(g.mensagem + "\n");
    if (g.recusada) return semLinha ? kSaidaUtilizacao : kSaidaRecusado;
    return g.mensagem.empty() ? kSaidaExito : kSaidaGravacao;
}

int Verificar(Consola& consola) {
    settings::ValorLido lido;
    for (const auto& d : kDefinicoes)
        if (d.tipo == Tipo::PalavraPasse) lido = settings::LerDefinicao(d.nome);
    if (!lido.Legivel()) {
        consola.Escrever("Não foi possível ler a palavra-passe guardada.\n");
        return kSaidaIlegivel;
    }
    if (lido.texto.empty()) {
        consola.Escrever("Não há palavra-passe guardada.\n");
        return kSaidaExito;
    }
    if (!settings::PalavraPasseLegivel(lido.texto)) {
        consola.Escrever(std::string(kNaoSeDecifra) + "\n");
        return kSaidaIlegivel;
    }
    consola.Escrever("A palavra-passe guardada decifra-se neste computador.\n");
    return kSaidaExito;
}

int Testar(const Pedido& pedido, Consola& consola) {
    connection::Target alvo;
    alvo.driver = pedido.controlador;
    // Where each setting goes, in the order of kDefinicoes; "Segurança"
    // has no place in the connection string.
    std::string* const destinos[] = {&alvo.server, &alvo.database, nullptr, &alvo.user, nullptr};
    static_assert(std::size(destinos) == kDefinicoes.size());
    std::string guardada;
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        if (kDefinicoes[i].tipo == Tipo::Lista) continue;
        const settings::ValorLido lido = settings::LerDefinicao(kDefinicoes[i].nome);
        if (!lido.Legivel()) {
            consola.Erro("Não foi possível ler " + std::string(kDefinicoes[i].nome) + ".\n");
            return kSaidaIlegivel;
        }
        if (destinos[i]) *destinos[i] = platform::Current().codePage->ToUtf8(lido.texto);
        if (kDefinicoes[i].tipo == Tipo::PalavraPasse) guardada = lido.texto;
    }
    std::string decifrada;
    if (!settings::DecifrarPalavraPasse(guardada, &decifrada)) {
        consola.Erro(std::string(kNaoSeDecifra) + "\n");
        return kSaidaIlegivel;
    }
    alvo.password = platform::Current().codePage->ToUtf8(decifrada);
    settings::Apagar(decifrada);
    const std::string servidor = alvo.server, base = alvo.database;
    const connection::Outcome r =
        connection::Attempt(*platform::Current().database, alvo, pedido.tempoLimite);
    if (!r.connected) {
        for (const std::string& linha : r.lines) consola.Erro(linha + "\n");
        return kSaidaLigacao;
    }
    consola.Escrever("Ligação estabelecida a " + servidor + ", base de dados " + base + ".\n");
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
        case Comando::Testar: return Testar(pedido, consola);
        }
    } catch (...) {
        consola.Erro(settings::MensagemFalhaEmCurso() + "\n");
    }
    // An untrapped failure: nothing is known to be written or checked.
    const bool leitura = pedido.comando == Comando::Verificar || pedido.comando == Comando::Testar;
    return leitura ? kSaidaIlegivel : kSaidaGravacao;
}

}  // namespace cli
