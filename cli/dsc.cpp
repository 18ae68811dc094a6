#include "cli/dsc.h"

#include "cli/comandos.h"
#include "cli/dsc_entrada.h"
#include "cli/saida_json.h"
#include "settings/valores.h"

namespace cli {
namespace {

using settings::kDefinicoes;
using settings::Tipo;

// The stored state as an instance: each setting as `mostrar --json` gives
// it, but "Segurança" as the item it selects (null for none), and the
// password by its state alone.
Json Estado() {
    Json estado = Json::object();
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        const settings::Definicao& d = kDefinicoes[i];
        std::optional<std::string> valor = Apresentado(d, settings::LerDefinicao(d.nome));
        if (valor && d.tipo == Tipo::Lista) {
            const int item = settings::ItemSeguranca(*valor);
            valor = item < 0 ? std::nullopt : std::optional(settings::kItensSeguranca[item]);
        }
        const char* nome = d.tipo == Tipo::PalavraPasse ? kPropriedadeEstado : d.propriedade;
        estado[nome] = valor ? Json(*valor) : Json(nullptr);
    }
    return estado;
}

// The text desired for setting i, as the commands take it; null when none.
Dado DadoDe(const EstadoDesejado& desejado, std::size_t i) {
    if (kDefinicoes[i].tipo != Tipo::PalavraPasse)
        return desejado.textos[i] ? Dado(*desejado.textos[i]) : std::nullopt;
    return desejado.palavraPasse ? Dado(desejado.palavraPasse->view()) : std::nullopt;
}

}  // namespace

int Dsc(const Pedido& pedido, Consola& consola) {
    EstadoDesejado desejado;
    const std::string erro = LerEstadoDesejado(consola, &desejado);
    if (!erro.empty()) {
        consola.Erro(erro + " Nada foi gravado.\n");
        return kSaidaUtilizacao;
    }
    const auto dado = [&](std::size_t i) { return DadoDe(desejado, i); };
    if (pedido.operacaoDsc == OperacaoDsc::Set) {
        std::vector<std::string> alterados;
        const int saida = GravarDiferentes(dado, consola, &alterados);
        if (saida != kSaidaExito) return saida;
    }
    Json estado = Estado();
    if (pedido.operacaoDsc == OperacaoDsc::Test) {
        // As `verificar` with the values given: only those are compared,
        // since `set` changes nothing else.
        bool conforme = true;
        for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
            const settings::Definicao& d = kDefinicoes[i];
            if (dado(i) && !Falha(d, settings::LerDefinicao(d.nome), dado(i)).empty())
                conforme = false;
        }
        estado["_inDesiredState"] = conforme;
    }
    consola.Escrever(LinhaJson(estado));
    return kSaidaExito;
}

}  // namespace cli
