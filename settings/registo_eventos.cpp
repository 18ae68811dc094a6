#include "settings/registo_eventos.h"

#include "platform/platform.h"
#include "settings/definicoes.h"

namespace settings {

void EventoDeGravacao::Gravado(std::size_t definicao, const std::string& texto) {
    const Definicao& d = kDefinicoes[definicao];
    // The password is named, never shown, not even in its stored form.
    gravados_.push_back(std::string(d.nome) +
                        (d.tipo == Tipo::PalavraPasse
                             ? " alterada"
                             : ": «" + platform::Current().codePage->ToUtf8(texto) + "»"));
}

void EventoDeGravacao::Reportar(const std::string& falha) const {
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
