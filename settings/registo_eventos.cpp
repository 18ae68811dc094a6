#include "settings/registo_eventos.h"

#include <cctype>
#include <cstring>

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

void RegistoGravacao::Gravado(const char* nome, const std::string& texto) {
    // The password is named, never shown, not even in its stored form.
    for (const Definicao& d : kDefinicoes)
        if (std::strcmp(d.nome, nome) == 0 && d.tipo == Tipo::PalavraPasse) {
            gravados_.push_back(std::string(nome) + " alterada");
            return;
        }
    gravados_.push_back(std::string(nome) + ": «" +
                        SemParametros(platform::Current().codePage->ToUtf8(texto)) + "»");
}

void RegistoGravacao::Reportar(const std::string& falha) const {
    platform::EventLog* log = platform::Current().eventLog;
    if (!log || (gravados_.empty() && falha.empty())) return;
    std::vector<std::string> textos = gravados_;
    textos.resize(kDefinicoes.size());
    if (falha.empty()) {
        log->Report(platform::EventKind::Information, kEventoGravado, textos);
        return;
    }
    if (gravados_.empty()) textos[0] = "(nenhum)";
    textos.push_back(SemParametros(falha));
    log->Report(platform::EventKind::Warning, kEventoFalhaAoGravar, textos);
}

}  // namespace settings
