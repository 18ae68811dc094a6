#include "settings/registo_eventos.h"

#include <cctype>

#include "platform/platform.h"
#include "settings/definicoes.h"

namespace settings {
namespace {

// `texto` with every "%%" that a digit follows broken by U+2060 (word
// joiner): the event log viewer reads "%%n" in an insertion string as a
// parameter message to put in its place, so a value could change what the
// event appears to say.
std::string SemParametros(const std::string& texto) {
    std::string dito;
    for (std::size_t i = 0; i < texto.size(); ++i) {
        dito += texto[i];
        if (texto[i] == '%' && i + 2 < texto.size() && texto[i + 1] == '%' &&
            std::isdigit(static_cast<unsigned char>(texto[i + 2])))
            dito += "\xE2\x81\xA0";
    }
    return dito;
}

}  // namespace

void ReportarGravacao(const Gravacao& g) {
    platform::EventLog* log = platform::Current().eventLog;
    if (!log || (g.gravados.empty() && g.mensagem.empty())) return;
    std::vector<std::string> textos;
    for (std::size_t i : g.gravados) {
        const Definicao& d = kDefinicoes[i];
        const std::string& texto = g.guardados[i]->texto;
        // The password is named, never shown, not even in its stored form.
        textos.push_back(
            std::string(d.nome) +
            (d.tipo == Tipo::PalavraPasse
                 ? " alterada"
                 : ": «" + SemParametros(platform::Current().codePage->ToUtf8(texto)) + "»"));
    }
    textos.resize(kDefinicoes.size());
    if (g.mensagem.empty()) {
        log->Report(platform::EventKind::Information, kEventoGravado, textos);
        return;
    }
    if (g.gravados.empty()) textos[0] = "(nenhum)";
    textos.push_back(SemParametros(g.mensagem));
    log->Report(platform::EventKind::Warning, kEventoFalhaAoGravar, textos);
}

}  // namespace settings
