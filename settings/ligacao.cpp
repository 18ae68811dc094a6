#include "settings/ligacao.h"

#include "platform/platform.h"

namespace settings {
namespace {

using connection::Target;

// Where each setting's text goes in the target, in the order of
// kDefinicoes; none for "Segurança", and the password goes to its secret.
std::string Target::*const kDestinos[] = {&Target::server, &Target::database, nullptr,
                                          &Target::user, nullptr};
static_assert(std::size(kDestinos) == kDefinicoes.size());

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
                                  std::string controlador) {
    Target alvo;
    alvo.driver = std::move(controlador);
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        if (kDefinicoes[i].tipo == Tipo::Lista) continue;
        platform::Secret utf8;
        if (!EmUtf8(kDefinicoes[i], valores[i], &utf8)) return std::nullopt;
        if (kDefinicoes[i].tipo == Tipo::PalavraPasse)
            alvo.password = std::move(utf8);
        else
            alvo.*kDestinos[i] = utf8.view();
    }
    return alvo;
}

}  // namespace settings
