#include "cli/dsc.h"

#include "cli/dsc_entrada.h"
#include "cli/estado.h"
#include "cli/saida_json.h"

namespace cli {
namespace {

using settings::kDefinicoes;
using settings::Tipo;
using settings::ValorLido;

// The state as an instance: each setting as `mostrar --json` gives it, but
// "Segurança" as the item it selects (null for none), and the password by
// its state alone.
Json Estado(const std::array<ValorLido, kDefinicoes.size()>& lidos) {
    Json estado = Json::object();
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        const settings::Definicao& d = kDefinicoes[i];
        std::optional<std::string> valor = Apresentado(d, lidos[i]);
        if (valor && d.tipo == Tipo::Lista) {
            const std::string* item = settings::ItemSeguranca(*valor);
            valor = item ? std::optional(*item) : std::nullopt;
        }
        const char* nome = d.tipo == Tipo::PalavraPasse ? kPropriedadeEstado : d.propriedade;
        estado[nome] = valor ? Json(*valor) : Json(nullptr);
    }
    return estado;
}

}  // namespace

int Dsc(const Pedido& pedido, Consola& consola) {
    EstadoDesejado desejado;
    const std::string erro = LerEstadoDesejado(consola, &desejado);
    if (!erro.empty()) {
        consola.Erro(erro + " Nada foi gravado.\n");
        return kSaidaUtilizacao;
    }
    const settings::Escritas dados =
        Dados(desejado.textos, desejado.palavraPasse ? &*desejado.palavraPasse : nullptr);
    // `set` answers with what it wrote (or would) and read; what it did not
    // touch is read once here.
    settings::Gravacao g;
    if (pedido.operacaoDsc == OperacaoDsc::Set) {
        const int saida = GravarNaConsola(dados, consola, &g, pedido.simular);
        if (saida != kSaidaExito) return saida;
    }
    std::array<ValorLido, kDefinicoes.size()> lidos;
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i)
        lidos[i] = g.guardados[i] ? *g.guardados[i] : settings::LerDefinicao(kDefinicoes[i].nome);
    Json estado = Estado(lidos);
    if (pedido.operacaoDsc == OperacaoDsc::Get) {
        consola.Escrever(LinhaJson(estado));
        return kSaidaExito;
    }
    Json nomes = Json::array();  // the properties changed, or that differ
    if (pedido.operacaoDsc == OperacaoDsc::Set) {
        for (std::size_t i : g.gravados) nomes.push_back(kDefinicoes[i].propriedade);
    } else {
        // As `verificar` with the values given: only those are compared,
        // since `set` changes nothing else.
        for (std::size_t i = 0; i < kDefinicoes.size(); ++i)
            if (dados[i].quando != settings::Quando::Nunca &&
                !Falha(kDefinicoes[i], lidos[i], dados[i]).empty())
                nomes.push_back(kDefinicoes[i].propriedade);
        estado["_inDesiredState"] = nomes.empty();
    }
    consola.Escrever(LinhaJson(estado) + LinhaJson(nomes));
    return kSaidaExito;
}

}  // namespace cli
