#include "settings/gravacao.h"

#include "settings/registo_eventos.h"
#include "settings/valores.h"

namespace settings {

bool JaGuardado(const Definicao& d, const ValorLido& lido, const std::string& valor) {
    if (!lido.TalComoGuardado()) return false;
    if (d.tipo == Tipo::Lista) return ItemSeguranca(lido.texto) == ItemSeguranca(valor);
    return lido.texto == valor;
}

Gravacao Gravar(const Escritas& escritas, bool simular) {
    Gravacao g;
    std::vector<std::pair<std::size_t, std::string>> valores;  // place, code-page bytes
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        const Escrita& e = escritas[i];
        if (e.quando == Quando::Nunca) continue;
        if (e.quando == Quando::SeFaltar) {
            g.guardados[i] = LerDefinicao(kDefinicoes[i].nome);
            if (g.guardados[i]->estado == ValorLido::Estado::NaoExiste) valores.emplace_back(i, "");
            continue;
        }
        Verificacao v = VerificarCampo(kDefinicoes[i], e.texto);
        if (!v.aceite) return {i, std::move(v.mensagem), false, {}, {}};
        if (e.quando == Quando::SeDiferente) {
            g.guardados[i] = LerDefinicao(kDefinicoes[i].nome);
            if (JaGuardado(kDefinicoes[i], *g.guardados[i], v.valor)) continue;
        }
        valores.emplace_back(i, std::move(v.valor));
    }
    std::string falhados;
    try {
        // A simulation splits no key path and writes nothing: it answers as
        // if every write succeeded, and records no event.
        const modRegistry::ChaveFormatada chave =
            simular ? modRegistry::ChaveFormatada{}
                    : modRegistry::FormatarChave(kCaminhoDefinicoes);
        for (auto& [i, texto] : valores) {
            if (!simular && !modRegistry::DefinirValorString(chave, kDefinicoes[i].nome, texto)) {
                falhados += "\n" + std::string(kDefinicoes[i].nome);
                continue;
            }
            g.gravados.push_back(i);
            g.guardados[i] = ValorLido{ValorLido::Estado::Texto, std::move(texto)};
        }
        if (!falhados.empty())
            g.mensagem = "Não foi possível gravar:" + falhados +
                         "\n\nConfirme que a chave de registo existe e que tem permissões de "
                         "administrador.";
        if (!simular) ReportarGravacao(g);
    } catch (...) {
        // A simulation wrote nothing: its failure goes on to the caller, as
        // one while checking or reading does.
        if (simular) throw;
        // A failure the store did not trap: the event names what was written.
        g.mensagem = MensagemFalhaEmCurso();
        g.inesperada = true;
        ReportarGravacao(g);
    }
    return g;
}

}  // namespace settings
