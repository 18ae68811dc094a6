#include "cli/estado.h"

#include "platform/platform.h"
#include "settings/valores.h"

namespace cli {

using settings::Definicao;
using settings::Tipo;
using settings::ValorLido;

bool SemTextoGuardado(const ValorLido& lido) {
    return lido.estado != ValorLido::Estado::NaoExiste && !lido.TalComoGuardado();
}

std::optional<std::string> Apresentado(const Definicao& d, const ValorLido& lido) {
    if (lido.estado == ValorLido::Estado::NaoExiste) return std::nullopt;
    if (d.tipo == Tipo::PalavraPasse) {
        if (SemTextoGuardado(lido) || !settings::PalavraPasseLegivel(lido.texto)) return kIlegivel;
        return lido.texto.empty() ? kVazia : kDefinida;
    }
    if (SemTextoGuardado(lido)) return std::nullopt;
    return platform::Current().codePage->ToUtf8(lido.texto);
}

std::string Linha(const Definicao& d, const ValorLido& lido) {
    if (lido.estado == ValorLido::Estado::NaoExiste) return "(em falta)";
    if (lido.estado == ValorLido::Estado::Ilegivel) return "(ilegível)";
    if (SemTextoGuardado(lido)) return "(ilegível: " + settings::MotivoForma(lido.forma) + ")";
    const std::string valor = *Apresentado(d, lido);
    if (d.tipo != Tipo::PalavraPasse) return valor;
    return valor == kIlegivel ? "(ilegível neste computador)" : "(" + valor + ")";
}

std::string Falha(const Definicao& d, const ValorLido& lido, const settings::Escrita& dado) {
    if (lido.estado == ValorLido::Estado::NaoExiste) return "em falta";
    if (lido.estado == ValorLido::Estado::Ilegivel) return "ilegível";
    if (SemTextoGuardado(lido)) return settings::MotivoForma(lido.forma);
    if (d.tipo == Tipo::Lista && !settings::ItemSeguranca(lido.texto))
        return "não é False nem True";
    if (d.tipo == Tipo::PalavraPasse && !settings::PalavraPasseLegivel(lido.texto))
        return "não se decifra neste computador";
    if (dado.quando == settings::Quando::Nunca) return {};
    const settings::Verificacao v = settings::VerificarCampo(d, dado.texto);
    const bool igual = v.aceite && settings::JaGuardado(d, lido, v.valor);
    return igual ? std::string() : "diferente do valor indicado";
}

settings::Escritas Dados(
    const std::array<std::optional<std::string>, settings::kDefinicoes.size()>& textos,
    const platform::Secret* palavraPasse) {
    settings::Escritas escritas;
    for (std::size_t i = 0; i < escritas.size(); ++i)
        if (textos[i]) escritas[i] = {settings::Quando::SeDiferente, *textos[i]};
    if (palavraPasse)
        escritas[settings::IndiceDe(Tipo::PalavraPasse)] = {settings::Quando::SeDiferente,
                                                            palavraPasse->view()};
    return escritas;
}

int GravarNaConsola(const settings::Escritas& escritas, Consola& consola, settings::Gravacao* g,
                    bool simular) {
    *g = settings::Gravar(escritas, simular);
    if (g->inesperada) {
        consola.Erro("Falha inesperada ao gravar as definições: " + g->mensagem + "\n");
        return kSaidaGravacao;
    }
    if (!g->mensagem.empty()) consola.Erro(g->mensagem + "\n");
    if (g->recusada) return kSaidaRecusado;
    return g->mensagem.empty() ? kSaidaExito : kSaidaGravacao;
}

}  // namespace cli
