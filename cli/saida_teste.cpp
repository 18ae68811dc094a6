#include "cli/saida_teste.h"

#include "cli/saida_json.h"

namespace cli {

std::string LinhasTeste(const connection::Outcome& outcome) {
    std::string texto;
    for (const connection::Step& step : outcome.steps) texto += connection::StepLine(step) + "\n";
    for (const std::string& linha : outcome.lines) texto += linha + "\n";
    return texto;
}

std::string JsonTeste(const connection::Outcome& outcome) {
    Json etapas = Json::array();
    for (const connection::Step& step : outcome.steps)
        etapas.push_back({{"etapa", connection::StageKey(step.stage)},
                          {"ok", step.ok},
                          {"ms", step.ms},
                          {"detalhe", step.detail}});
    return LinhaJson({{"ligado", outcome.connected}, {"etapas", etapas}});
}

}  // namespace cli
