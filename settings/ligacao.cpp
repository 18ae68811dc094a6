#include "settings/ligacao.h"

#include "platform/platform.h"

namespace settings {
namespace {

using connection::Target;

// The value's text in UTF-8; false for a stored password that does not
// decode here.
bool EmUtf8(const Definicao& definicao, const ValorDoTeste& valor, platform::Secret* utf8) {
    auto& codePage = *platform::Current().codePage;
    if (!valor.guardado) {
        utf8->Assign(valor.texto);
    } else if (definicao.tipo != Tipo::PalavraPasse) {
        codePage.ToUtf8(valor.texto, utf8);
    } else {
        platform::Secret decifrada;
        if (!DecifrarPalavraPasse(std::string(valor.texto), &decifrada)) return false;
        codePage.ToUtf8(decifrada.view(), utf8);
    }
    return true;
}

}  // namespace

std::optional<Target> AlvoDoTeste(const std::array<ValorDoTeste, kDefinicoes.size()>& valores,
                                  std::string driver) {
    Target alvo;
    alvo.driver = std::move(driver);
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        const Definicao& d = kDefinicoes[i];
        if (!d.alvo && d.tipo != Tipo::PalavraPasse) continue;
        platform::Secret utf8;
        if (!EmUtf8(d, valores[i], &utf8)) return std::nullopt;
        if (d.alvo)
            alvo.*d.alvo = utf8.view();
        else
            alvo.password = std::move(utf8);
    }
    return alvo;
}

}  // namespace settings
