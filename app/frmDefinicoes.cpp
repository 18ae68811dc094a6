#include "app/frmDefinicoes.h"

#include <vector>

#include "platform/platform.h"
#include "platform/wipe.h"

namespace app {
namespace {

using settings::kDefinicoes;
using settings::Tipo;
static_assert(static_cast<std::size_t>(Control::FXPassword) + 1 == kDefinicoes.size());

void Mensagem(const std::string& texto, platform::Icon icone) {
    platform::Current().messageDialog->Show(texto, icone);
}

}  // namespace

void MostrarFalhaEmCurso() noexcept {
    try {
        Mensagem(settings::MensagemFalhaEmCurso(), platform::Icon::Warning);
    } catch (...) {
        // Not even the message could be shown; the window stays as it is.
    }
}

namespace {

// Runs one event's work; a failure ends it, shown, with the window open.
template <class Trabalho>
void Tratado(Trabalho trabalho) noexcept {
    try {
        trabalho();
    } catch (...) {
        MostrarFalhaEmCurso();
    }
}

}  // namespace

void frmDefinicoes::Form_Load() {
    // Should the load fail, the window opens with what was filled so far.
    Tratado([&] {
        view_.ClearList();
        for (const std::string& item : settings::kItensSeguranca) view_.AddListItem(item);
        for (std::size_t i = 0; i < kDefinicoes.size(); ++i) Carregar(i);
    });
    Tratado([&] { LembrarMostrados(); });
}

// A value counts as read only once its field shows it: should the load
// stop in between, the field shows something else and must not be saved.
void frmDefinicoes::Carregar(std::size_t i) {
    const Control controlo = ControloDe(i);
    // The password field shows the mask whatever the stored password; the
    // stored form is kept as read, to be written back unchanged unless the
    // field is edited. Decoding it only tells whether it was stored here.
    const Tipo tipo = kDefinicoes[i].tipo;
    if (tipo == Tipo::PalavraPasse) view_.SetText(controlo, settings::kMascara);
    const settings::ValorLido lido = settings::LerDefinicao(kDefinicoes[i].nome);
    campos_[i].lido = lido.texto;
    if (tipo == Tipo::Texto)
        view_.SetText(controlo, platform::Current().codePage->ToUtf8(lido.texto));
    if (tipo == Tipo::Lista) view_.SelectListItem(settings::ItemSeguranca(lido.texto));
    if (tipo == Tipo::PalavraPasse)
        avisarPalavraPasse_ = lido.Legivel() && !settings::PalavraPasseLegivel(lido.texto);
    campos_[i].legivel = lido.Legivel();
}

std::string frmDefinicoes::Mostrado(std::size_t i) const {
    if (kDefinicoes[i].tipo == Tipo::Lista) return std::to_string(view_.SelectedListItem());
    return view_.Text(ControloDe(i));
}

void frmDefinicoes::LembrarMostrados() {
    for (std::size_t i = 0; i < campos_.size(); ++i) campos_[i].mostrado = Mostrado(i);
}

bool frmDefinicoes::Guardar(std::size_t i) const {
    // A value that could not be read, or was never read, is written only
    // when the user changed what its field showed.
    return campos_[i].legivel || Mostrado(i) != campos_[i].mostrado;
}

void frmDefinicoes::Form_Shown() {
    if (avisoMostrado_) return;
    avisoMostrado_ = true;
    Tratado([&] {
        std::vector<std::string> naoLidos;
        for (std::size_t i = 0; i < campos_.size(); ++i)
            if (!campos_[i].legivel) naoLidos.push_back(kDefinicoes[i].nome);
        if (!naoLidos.empty())
            Mensagem(settings::MensagemNaoLidos(naoLidos), platform::Icon::Information);
        if (avisarPalavraPasse_)
            Mensagem("A palavra-passe guardada não pode ser lida neste computador. "
                     "Se não a alterar, fica guardada como está.",
                     platform::Icon::Information);
    });
}

void frmDefinicoes::Command1_Click() { Tratado([&] { Gravar(); }); }

void frmDefinicoes::Command2_Click() { Tratado([&] { view_.Unload(); }); }

settings::Verificacao frmDefinicoes::Verificar(std::size_t i) const {
    const Campo& campo = campos_[i];
    std::string novo;
    if (kDefinicoes[i].tipo == Tipo::Lista) {
        // With no item picked, the text read is written back as it was.
        const int item = view_.SelectedListItem();
        if (item < 0) return {true, campo.lido, {}};
        novo = settings::kItensSeguranca[item];
    } else {
        novo = view_.Text(ControloDe(i));
        // The mask left in the password field means it was not touched:
        // its stored form goes back exactly as it was read.
        if (kDefinicoes[i].tipo == Tipo::PalavraPasse && novo == settings::kMascara &&
            campo.legivel)
            return {true, campo.lido, {}};
    }
    return settings::VerificarCampo(kDefinicoes[i], novo);
}

void frmDefinicoes::Gravar() {
    // A value that is refused is named and its field takes the focus; with
    // values not written the window stays open, to retry or cancel.
    const settings::Gravacao g = settings::Gravar(
        [&](std::size_t i) -> std::optional<settings::Verificacao> {
            if (!Guardar(i)) return std::nullopt;
            return Verificar(i);
        });
    if (!g.mensagem.empty()) Mensagem(g.mensagem, platform::Icon::Warning);
    if (g.recusada)
        view_.SetFocus(ControloDe(*g.recusada));
    else if (g.mensagem.empty())
        view_.Unload();
}

// The password to test with: the one typed or, while the field shows the
// mask, the stored one decoded with this machine's key. False when that
// does not decode here.
bool frmDefinicoes::PalavraPasseDoTeste(std::string* utf8) const {
    std::size_t i = 0;
    while (kDefinicoes[i].tipo != Tipo::PalavraPasse) ++i;
    *utf8 = view_.Text(ControloDe(i));
    if (*utf8 != settings::kMascara) return true;
    std::string decifrada;
    if (!campos_[i].legivel || !settings::DecifrarPalavraPasse(campos_[i].lido, &decifrada))
        return false;
    platform::Wipe(*utf8);
    *utf8 = platform::Current().codePage->ToUtf8(decifrada);
    platform::Wipe(decifrada);
    return true;
}

void frmDefinicoes::Command3_Click() {
    if (testando_) return;
    Tratado([&] {
        connection::Target alvo;
        if (!PalavraPasseDoTeste(&alvo.password)) {
            Mensagem("A palavra-passe guardada não se decifra neste computador. "
                     "Escreva-a para testar a ligação.",
                     platform::Icon::Warning);
            return;
        }
        alvo.server = view_.Text(Control::FXDataSource);
        alvo.database = view_.Text(Control::FXInitialCatalog);
        alvo.user = view_.Text(Control::FXUser);
        view_.TestConnection(std::move(alvo));
        testando_ = true;
        view_.Enable(Control::Command3, false);
        view_.SetText(Control::Command3, "A testar…");
    });
}

void frmDefinicoes::Command3_Done(const connection::Outcome& outcome) {
    testando_ = false;
    Tratado([&] {
        view_.SetText(Control::Command3, "&Testar ligação");
        view_.Enable(Control::Command3, true);
        Mensagem(connection::Message(outcome),
                 outcome.connected ? platform::Icon::Information : platform::Icon::Warning);
    });
}

}  // namespace app
