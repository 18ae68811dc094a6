#include "app/frmDefinicoes.h"

#include <cctype>

#include "app/valores.h"
#include "platform/platform.h"
#include "platform/runtime_failure.h"
#include "registry/modRegistry.h"
#include "scrambler/modEncriptSerial.h"

namespace app {
namespace {

const char* const kListaSeguranca[] = {"False", "True"};

void Mensagem(const std::string& texto, platform::Icon icone) {
    platform::Current().messageBox->Show(texto, icone);
}

// A failure that no trap took stops the event; the user is told which.
void MostrarFalha(const platform::RuntimeFailure& falha) {
    Mensagem("Erro " + std::to_string(falha.number()) + ": " + falha.description(),
             platform::Icon::Warning);
}

// Reads a value, following redirections. Null and Empty both give "".
std::string Ler(const std::string& nome) {
    return modRegistry::ObterValorString(kCaminhoDefinicoes, NomeAnsi(nome)).texto();
}

std::string ParaEcra(const std::string& ansi) {
    return platform::Current().codePage->ToUtf8(ansi);
}

// The list item a stored "Segurança" selects: a text equal to an item but
// for case and trailing spaces selects it; anything else selects none.
int ItemSeguranca(std::string texto) {
    texto.erase(texto.find_last_not_of(' ') + 1);
    for (int i = 0; i < 2; ++i) {
        const std::string item = kListaSeguranca[i];
        bool igual = texto.size() == item.size();
        for (std::size_t c = 0; igual && c < item.size(); ++c)
            igual = std::tolower(static_cast<unsigned char>(texto[c])) ==
                    std::tolower(static_cast<unsigned char>(item[c]));
        if (igual) return i;
    }
    return -1;
}

}  // namespace

void frmDefinicoes::Form_Load() {
    try {
        Carregar();
    } catch (const platform::RuntimeFailure& falha) {
        MostrarFalha(falha);  // the window opens with what was filled so far
    }
}

void frmDefinicoes::Carregar() {
    view_.ClearList();
    for (const char* item : kListaSeguranca) view_.AddListItem(item);
    view_.SetText(Control::FXDataSource, ParaEcra(Ler(kServidor)));
    view_.SetText(Control::FXInitialCatalog, ParaEcra(Ler(kBaseDados)));
    segurancaLida_ = Ler(kSeguranca);
    view_.SelectListItem(ItemSeguranca(segurancaLida_));
    view_.SetText(Control::FXUser, ParaEcra(Ler(kUtilizador)));
    CarregarPalavraPasse();
}

void frmDefinicoes::CarregarPalavraPasse() {
    // The mask goes in first: its change event copies it into the shadow,
    // which the decoded password then replaces.
    view_.SetText(Control::FXPassword, kMascara);
    palavraPasseLida_ = Ler(kPalavraPasse);
    try {
        const std::string decifrada = modEncriptSerial::Desencriptar(palavraPasseLida_);
        // A stored form that this machine's key would not produce again
        // was written elsewhere or is damaged.
        avisarPalavraPasse_ = modEncriptSerial::Encriptar(decifrada) != palavraPasseLida_;
        sombra_ = ParaEcra(decifrada);
    } catch (const platform::RuntimeFailure&) {
        avisarPalavraPasse_ = true;  // the mask stays in the field and the shadow
    }
}

void frmDefinicoes::Form_Shown() {
    if (!avisarPalavraPasse_) return;
    avisarPalavraPasse_ = false;
    Mensagem("A palavra-passe guardada não pode ser lida neste computador. "
             "Se não a alterar, fica guardada como está.",
             platform::Icon::Information);
}

void frmDefinicoes::FXPassword_Change() { sombra_ = view_.Text(Control::FXPassword); }

void frmDefinicoes::Command1_Click() {
    try {
        Gravar();
    } catch (const platform::RuntimeFailure& falha) {
        MostrarFalha(falha);
    }
}

void frmDefinicoes::Command2_Click() { view_.Unload(); }

void frmDefinicoes::Gravar() {
    const std::optional<Valores> valores =
        ValidarValores(view_, sombra_, {segurancaLida_, palavraPasseLida_});
    if (!valores) return;  // nothing written; the user was told why

    std::string falhados;
    for (const auto& [nome, texto] : *valores)
        if (!modRegistry::DefinirValorString(kCaminhoDefinicoes, NomeAnsi(nome), texto))
            falhados += "\n" + nome;
    if (!falhados.empty()) {
        Mensagem("Não foi possível gravar:" + falhados +
                     "\n\nConfirme que a chave de registo existe e que tem permissões de "
                     "administrador.",
                 platform::Icon::Warning);
        return;  // the window stays open to retry or cancel
    }
    view_.Unload();
}

}  // namespace app
