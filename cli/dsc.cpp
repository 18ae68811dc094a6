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
        const char* nome = d.tipo == Tipo::PalavraPasse ? kPropriedadeEstado : kPropriedades[i];
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

// The state `set` would leave: the stored one with each value given in
// its place, which the checks found can be stored as it is.
Json Previsto(const EstadoDesejado& desejado) {
    Json estado = Estado();
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        const Dado dado = DadoDe(desejado, i);
        if (!dado) continue;
        if (kDefinicoes[i].tipo == Tipo::PalavraPasse)
            estado[kPropriedadeEstado] = dado->empty() ? "vazia" : "definida";
        else
            estado[kPropriedades[i]] = std::string(*dado);
    }
    return estado;
}

// The instance's property that stands for the setting named `nome`.
const char* Propriedade(const std::string& nome) {
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i)
        if (nome == kDefinicoes[i].nome) return kPropriedades[i];
    return "";
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
    if (pedido.operacaoDsc == OperacaoDsc::Get) {
        consola.Escrever(LinhaJson(Estado()));
        return kSaidaExito;
    }
    Json nomes = Json::array();  // the properties changed, or that differ
    Json estado;
    if (pedido.operacaoDsc == OperacaoDsc::Set) {
        std::vector<std::string> alterados;
        const int saida = GravarDiferentes(dado, consola, &alterados, pedido.simular);
        if (saida != kSaidaExito) return saida;
        for (const std::string& nome : alterados) nomes.push_back(Propriedade(nome));
        estado = pedido.simular ? Previsto(desejado) : Estado();
    } else {
        // As `verificar` with the values given: only those are compared,
        // since `set` changes nothing else.
        for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
            const settings::Definicao& d = kDefinicoes[i];
            if (dado(i) && !Falha(d, settings::LerDefinicao(d.nome), dado(i)).empty())
                nomes.push_back(kPropriedades[i]);
        }
        estado = Estado();
        estado["_inDesiredState"] = nomes.empty();
    }
    consola.Escrever(LinhaJson(estado) + LinhaJson(nomes));
    return kSaidaExito;
}

}  // namespace cli
