#include "app/frmDefinicoes.h"

#include <vector>

#include "app/valores.h"
#include "platform/platform.h"
#include "platform/runtime_failure.h"

namespace app {
namespace {

// The control of each setting, in the order of kNomes.
constexpr Control kControlos[] = {Control::FXDataSource, Control::FXInitialCatalog,
                                  Control::FXSecurity_Info, Control::FXUser,
                                  Control::FXPassword};
constexpr std::size_t kServidorI = 0, kBaseDadosI = 1, kSegurancaI = 2, kUtilizadorI = 3,
                      kPalavraPasseI = 4;

void Mensagem(const std::string& texto, platform::Icon icone) {
    platform::Current().messageBox->Show(texto, icone);
}

std::string ParaEcra(const std::string& ansi) {
    return platform::Current().codePage->ToUtf8(ansi);
}

}  // namespace

void MostrarFalhaEmCurso() noexcept {
    try {
        const platform::RuntimeFailure falha = platform::FailureInFlight();
        Mensagem("Erro " + std::to_string(falha.number()) + ": " + falha.description(),
                 platform::Icon::Warning);
    } catch (...) {
        // Not even the message could be shown; the window stays as it is.
    }
}

void frmDefinicoes::Form_Load() {
    try {
        Carregar();
    } catch (...) {
        MostrarFalhaEmCurso();  // the window opens with what was filled so far
    }
    try {
        LembrarMostrados();
    } catch (...) {
        MostrarFalhaEmCurso();
    }
}

void frmDefinicoes::Carregar() {
    view_.ClearList();
    for (const std::string& item : kItensSeguranca) view_.AddListItem(item);
    CarregarTexto(kServidorI);
    CarregarTexto(kBaseDadosI);
    const ValorLido seguranca = LerDefinicao(kSeguranca);
    segurancaLida_ = seguranca.texto;
    view_.SelectListItem(ItemSeguranca(segurancaLida_));
    campos_[kSegurancaI].legivel = seguranca.Legivel();
    CarregarTexto(kUtilizadorI);
    CarregarPalavraPasse();
}

// A value counts as read only once its field shows it: should the load
// stop in between, the field shows something else and must not be saved.
void frmDefinicoes::CarregarTexto(std::size_t campo) {
    const ValorLido lido = LerDefinicao(kNomes[campo]);
    view_.SetText(kControlos[campo], ParaEcra(lido.texto));
    campos_[campo].legivel = lido.Legivel();
}

void frmDefinicoes::CarregarPalavraPasse() {
    // The field shows the mask whatever the stored password; the stored
    // form is kept as read, to be written back unchanged unless the field
    // is edited. Decoding it only tells whether it was stored here.
    view_.SetText(Control::FXPassword, kMascara);
    const ValorLido lido = LerDefinicao(kPalavraPasse);
    palavraPasseLida_ = lido.texto;
    avisarPalavraPasse_ = lido.Legivel() && !PalavraPasseLegivel(palavraPasseLida_);
    campos_[kPalavraPasseI].legivel = lido.Legivel();
}

std::string frmDefinicoes::Mostrado(std::size_t campo) const {
    const Control controlo = kControlos[campo];
    if (controlo == Control::FXSecurity_Info) return std::to_string(view_.SelectedListItem());
    return view_.Text(controlo);
}

void frmDefinicoes::LembrarMostrados() {
    for (std::size_t i = 0; i < campos_.size(); ++i) campos_[i].mostrado = Mostrado(i);
}

bool frmDefinicoes::Guardar(std::size_t campo) const {
    // A value that could not be read, or was never read, is written only
    // when the user changed what its field showed.
    return campos_[campo].legivel || Mostrado(campo) != campos_[campo].mostrado;
}

void frmDefinicoes::Form_Shown() {
    if (avisoMostrado_) return;
    avisoMostrado_ = true;
    try {
        std::vector<std::string> naoLidos;
        for (std::size_t i = 0; i < campos_.size(); ++i)
            if (!campos_[i].legivel) naoLidos.push_back(kNomes[i]);
        if (!naoLidos.empty()) Mensagem(MensagemNaoLidos(naoLidos), platform::Icon::Information);
        if (avisarPalavraPasse_)
            Mensagem("A palavra-passe guardada não pode ser lida neste computador. "
                     "Se não a alterar, fica guardada como está.",
                     platform::Icon::Information);
    } catch (...) {
        MostrarFalhaEmCurso();
    }
}

void frmDefinicoes::Command1_Click() {
    try {
        Gravar();
    } catch (...) {
        MostrarFalhaEmCurso();
    }
}

void frmDefinicoes::Command2_Click() {
    try {
        view_.Unload();
    } catch (...) {
        MostrarFalhaEmCurso();
    }
}

void frmDefinicoes::Gravar() {
    // Every value is checked before the first write; on the first refusal
    // the user is told why, the focus goes to the field and nothing is written.
    Valores valores;
    for (std::size_t i = 0; i < campos_.size(); ++i) {
        if (!Guardar(i)) continue;
        const Control controlo = kControlos[i];
        Verificacao v;
        if (controlo == Control::FXSecurity_Info) {
            // With no item picked, the text read is written back as it was.
            const int item = view_.SelectedListItem();
            v = {true, item >= 0 ? kItensSeguranca[item] : segurancaLida_, {}};
        } else if (controlo == Control::FXPassword) {
            const std::string texto = view_.Text(controlo);
            // The mask left in the field means the password was not touched:
            // its stored form goes back exactly as it was read.
            if (texto == kMascara && campos_[i].legivel)
                v = {true, palavraPasseLida_, {}};
            else
                v = VerificarPalavraPasse(texto);
        } else {
            v = VerificarTexto(kPalavrasChave[i], view_.Text(controlo));
        }
        if (!v.aceite) {
            Mensagem(v.mensagem, platform::Icon::Warning);
            view_.SetFocus(controlo);
            return;
        }
        valores.emplace_back(kNomes[i], std::move(v.valor));
    }

    const std::vector<std::string> falhados = GravarDefinicoes(valores);
    if (!falhados.empty()) {
        Mensagem(MensagemNaoGravados(falhados), platform::Icon::Warning);
        return;  // the window stays open to retry or cancel
    }
    view_.Unload();
}

}  // namespace app
