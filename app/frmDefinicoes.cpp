#include "app/frmDefinicoes.h"

#include <vector>

#include "platform/platform.h"
#include "settings/gravacao.h"
#include "settings/ligacao.h"

namespace app {
namespace {

using settings::kDefinicoes;
using settings::Tipo;
static_assert(static_cast<std::size_t>(Control::FXPassword) + 1 == kDefinicoes.size());

void Mensagem(const std::string& texto, platform::Icon icone) {
    platform::Current().messageDialog->Show(texto, icone);
}

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

void MostrarFalhaEmCurso() noexcept {
    try {
        Mensagem(settings::MensagemFalhaEmCurso(), platform::Icon::Warning);
    } catch (...) {
        // Not even the message could be shown; the window stays as it is.
    }
}

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
    using settings::ValorLido;
    const Control controlo = ControloDe(i);
    // The password field shows the mask whatever the stored password.
    // Decoding the stored form only tells whether it was stored here.
    const Tipo tipo = kDefinicoes[i].tipo;
    if (tipo == Tipo::PalavraPasse) view_.SetText(controlo, settings::kMascara);
    const ValorLido lido = settings::LerDefinicao(kDefinicoes[i].nome);
    // A value that is not a text shows nothing; one with a NUL, the text
    // before it, as a text box would.
    const std::string texto =
        lido.Mostravel() ? lido.texto.substr(0, lido.texto.find('\0')) : std::string();
    if (tipo == Tipo::Texto) view_.SetText(controlo, platform::Current().codePage->ToUtf8(texto));
    if (tipo == Tipo::Lista) {
        const std::string* item = settings::ItemSeguranca(texto);  // none for ""
        view_.SelectListItem(item ? static_cast<int>(item - settings::kItensSeguranca.data()) : -1);
    }
    if (tipo == Tipo::PalavraPasse)
        avisarPalavraPasse_ = lido.TalComoGuardado() && !settings::PalavraPasseLegivel(lido.texto);
    campos_[i].lido = lido;
}

// What field i shows: its text (a secret: it may be a password) or, for the
// list, the place of its item (-1 for none).
platform::Secret frmDefinicoes::Mostrado(std::size_t i) const {
    if (kDefinicoes[i].tipo != Tipo::Lista) return view_.SecretText(ControloDe(i));
    return platform::Secret(std::to_string(view_.SelectedListItem()));
}

void frmDefinicoes::LembrarMostrados() {
    for (std::size_t i = 0; i < campos_.size(); ++i)
        campos_[i].mostrado = std::string(Mostrado(i).view());
}

// A text field is changed when its text differs from the one it was loaded
// with (typing and deleting back is no change); the list, when the user
// picked an item other than the one selected at load.
bool frmDefinicoes::Alterado(std::size_t i) const {
    const bool semItem = kDefinicoes[i].tipo == Tipo::Lista && view_.SelectedListItem() < 0;
    return !semItem && Mostrado(i) != campos_[i].mostrado;
}

void frmDefinicoes::Form_Shown() {
    if (avisoMostrado_) return;
    avisoMostrado_ = true;
    Tratado([&] {
        std::vector<std::string> naoLidos, naoMostrados;
        for (std::size_t i = 0; i < campos_.size(); ++i) {
            const std::string nome = kDefinicoes[i].nome;
            const settings::ValorLido& lido = campos_[i].lido;
            if (lido.estado == settings::ValorLido::Estado::Ilegivel)
                naoLidos.push_back(nome);
            else if (lido.forma != settings::ValorLido::Forma::Fiel)
                naoMostrados.push_back(nome + " (" + settings::MotivoForma(lido.forma) + ")");
        }
        if (!naoLidos.empty() || !naoMostrados.empty())
            Mensagem(settings::MensagemNaoLidos(naoLidos, naoMostrados),
                     platform::Icon::Information);
        if (avisarPalavraPasse_)
            Mensagem("A palavra-passe guardada não pode ser lida neste computador. "
                     "Se não a alterar, fica guardada como está.",
                     platform::Icon::Information);
    });
}

void frmDefinicoes::Command1_Click() {
    Tratado([&] { Gravar(); });
}

void frmDefinicoes::Command2_Click() {
    Tratado([&] { view_.Unload(); });
}

void frmDefinicoes::Gravar() {
    // What the user changed is written; a value missing at load and left
    // as it showed is created, empty, if it is missing still (another
    // program may have created it since).
    std::array<platform::Secret, kDefinicoes.size()> textos;
    settings::Escritas escritas;
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        if (Alterado(i)) {
            textos[i] = kDefinicoes[i].tipo == Tipo::Lista
                            ? platform::Secret(settings::kItensSeguranca[view_.SelectedListItem()])
                            : view_.SecretText(ControloDe(i));
            escritas[i] = {settings::Quando::Sempre, textos[i].view()};
        } else if (campos_[i].lido.estado == settings::ValorLido::Estado::NaoExiste) {
            escritas[i].quando = settings::Quando::SeFaltar;
        }
    }
    // A value that is refused is named and its field takes the focus; with
    // values not written the window stays open, to retry or cancel.
    const settings::Gravacao g = settings::Gravar(escritas);
    if (!g.mensagem.empty()) Mensagem(g.mensagem, platform::Icon::Warning);
    if (g.recusada)
        view_.SetFocus(ControloDe(*g.recusada));
    else if (g.mensagem.empty())
        view_.Unload();
}

// The target of a test: the texts in the fields, and the password typed
// or, while the field shows the mask, the stored one. Nothing when that
// cannot be decoded here.
std::optional<connection::Target> frmDefinicoes::AlvoDosCampos() const {
    std::array<platform::Secret, kDefinicoes.size()> textos;
    std::array<settings::ValorDoTeste, kDefinicoes.size()> valores;
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        if (kDefinicoes[i].tipo == Tipo::Lista) continue;
        textos[i] = view_.SecretText(ControloDe(i));
        valores[i] = {textos[i].view()};
        if (kDefinicoes[i].tipo != Tipo::PalavraPasse || textos[i] != settings::kMascara) continue;
        const settings::ValorLido& lido = campos_[i].lido;
        if (!lido.TalComoGuardado() && lido.estado != settings::ValorLido::Estado::NaoExiste)
            return std::nullopt;
        valores[i] = {lido.texto, true};
    }
    return settings::AlvoDoTeste(valores);
}

void frmDefinicoes::Command3_Click() {
    if (testando_) return;
    Tratado([&] {
        std::optional<connection::Target> alvo = AlvoDosCampos();
        if (!alvo) {
            Mensagem("A palavra-passe guardada não se decifra neste computador. "
                     "Escreva-a para testar a ligação.",
                     platform::Icon::Warning);
            return;
        }
        view_.TestConnection(std::move(*alvo));
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
