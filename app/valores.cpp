#include "app/valores.h"

#include "app/frmDefinicoes.h"
#include "platform/platform.h"
#include "platform/runtime_failure.h"
#include "scrambler/modEncriptSerial.h"

namespace app {
namespace {

struct Campo {
    Control controlo;
    const char* palavraChave;  // the connection-string keyword on its label
};

void Recusar(DialogView& view, Control controlo, const std::string& texto) {
    platform::Current().messageBox->Show(texto, platform::Icon::Warning);
    view.SetFocus(controlo);
}

// The field's text in code-page bytes, or nothing when a character has no
// exact form there or the text is too long to read back.
std::optional<std::string> TextoGuardavel(DialogView& view, const Campo& campo,
                                          const std::string& utf8) {
    std::string ansi;
    const std::string nome = std::string("O campo «") + campo.palavraChave + "»";
    if (!platform::Current().codePage->FromUtf8(utf8, &ansi)) {
        Recusar(view, campo.controlo, nome + " contém caracteres que não podem ser gravados.");
        return std::nullopt;
    }
    if (ansi.size() > kMaxCaracteres) {
        Recusar(view, campo.controlo, nome + " excede 3499 caracteres.");
        return std::nullopt;
    }
    return ansi;
}

// True when the character at `posicao` of a password survives scrambling
// and unscrambling. Each character's stored form depends only on itself
// and its position, so the character is tried alone at that position.
bool CaracterGuardavel(char c, std::size_t posicao) {
    const std::string prova = std::string(posicao, 'A') + c;
    try {
        return modEncriptSerial::Desencriptar(modEncriptSerial::Encriptar(prova)) == prova;
    } catch (const platform::RuntimeFailure&) {
        return false;
    }
}

// The scrambled form of a new password, or nothing when some character
// would not come back as itself.
std::optional<std::string> PalavraPasseGuardavel(DialogView& view, const std::string& ansi) {
    try {
        const std::string cifrada = modEncriptSerial::Encriptar(ansi);
        if (modEncriptSerial::Desencriptar(cifrada) == ansi) return cifrada;
    } catch (const platform::RuntimeFailure&) {
    }
    std::string recusados;
    for (std::size_t i = 0; i < ansi.size(); ++i)
        if (recusados.find(ansi[i]) == std::string::npos && !CaracterGuardavel(ansi[i], i))
            recusados += ansi[i];
    Recusar(view, Control::FXPassword,
            "A palavra-passe contém caracteres que não podem ser gravados: " +
                platform::Current().codePage->ToUtf8(recusados));
    return std::nullopt;
}

}  // namespace

std::string NomeAnsi(const std::string& nome) {
    std::string ansi;
    // Every code page a Portuguese interface runs under has these letters;
    // should one lack them, the name goes as it is.
    return platform::Current().codePage->FromUtf8(nome, &ansi) ? ansi : nome;
}

std::optional<Valores> ValidarValores(DialogView& view, const std::string& sombra,
                                      const ValoresLidos& lidos) {
    const auto servidor =
        TextoGuardavel(view, {Control::FXDataSource, "Data Source"}, view.Text(Control::FXDataSource));
    if (!servidor) return std::nullopt;
    const auto baseDados = TextoGuardavel(view, {Control::FXInitialCatalog, "Initial Catalog"},
                                          view.Text(Control::FXInitialCatalog));
    if (!baseDados) return std::nullopt;
    const auto utilizador =
        TextoGuardavel(view, {Control::FXUser, "User"}, view.Text(Control::FXUser));
    if (!utilizador) return std::nullopt;

    // The mask left in the field means the password was not touched: its
    // stored form goes back exactly as it was read.
    std::string palavraPasse = lidos.palavraPasse;
    if (view.Text(Control::FXPassword) != kMascara) {
        const auto nova = TextoGuardavel(view, {Control::FXPassword, "Password"}, sombra);
        if (!nova) return std::nullopt;
        const auto cifrada = PalavraPasseGuardavel(view, *nova);
        if (!cifrada) return std::nullopt;
        palavraPasse = *cifrada;
    }

    // With no item picked, the text read is written back as it was.
    const int item = view.SelectedListItem();
    const std::string seguranca = item == 0 ? "False" : item == 1 ? "True" : lidos.seguranca;

    return Valores{{kServidor, *servidor},
                   {kBaseDados, *baseDados},
                   {kSeguranca, seguranca},
                   {kUtilizador, *utilizador},
                   {kPalavraPasse, palavraPasse}};
}

}  // namespace app
