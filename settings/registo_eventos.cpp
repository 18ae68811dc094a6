#include "settings/registo_eventos.h"

#include <cstring>

#include "platform/platform.h"
#include "settings/definicoes.h"

namespace settings {

void RegistoGravacao::Gravado(const char* nome, const std::string& texto) {
    // The password is named, never shown, not even in its stored form.
    for (const Definicao& d : kDefinicoes)
        if (std::strcmp(d.nome, nome) == 0 && d.tipo == Tipo::PalavraPasse) {
            gravados_.push_back(std::string(nome) + " alterada");
            return;
        }
    gravados_.push_back(std::string(nome) + ": «" + platform::Current().codePage->ToUtf8(texto) +
                        "»");
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
    textos.push_back(falha);
    log->Report(platform::EventKind::Warning, kEventoFalhaAoGravar, textos);
}

}  // namespace settings
