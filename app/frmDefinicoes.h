// The access settings dialog's logic: what each event of the window does.
// The window (frmDefinicoes_window) calls one handler per event; this class
// talks to the registry store and the scrambler, never to Win32.
#pragma once

#include <string>

#include "app/dialog_view.h"

namespace app {

// The only key the dialog reads and writes (ASCII, so the same in every
// code page).
inline const std::string kCaminhoDefinicoes = "HKEY_LOCAL_MACHINE\\SOFTWARE\\orvex\\tamrel";
// What the password field shows in place of the stored password.
inline const std::string kMascara = "**************";

class frmDefinicoes {
public:
    explicit frmDefinicoes(DialogView& view) : view_(view) {}

    // Before the window is first shown: fills the controls.
    void Form_Load();
    // Once, right after the window first becomes visible.
    void Form_Shown();
    // "&OK": checks every value, writes the five, then unloads.
    void Command1_Click();
    // "&Cancelar", and the title bar's close button: unloads, writing nothing.
    void Command2_Click();
    void Form_Close() { Command2_Click(); }
    // Any change of FXPassword's text.
    void FXPassword_Change();

    // The password the next "&OK" saves when the field is edited.
    const std::string& Sombra() const { return sombra_; }

private:
    void Carregar();
    void Gravar();
    void CarregarPalavraPasse();

    DialogView& view_;
    std::string sombra_;             // UTF-8, as the field shows it
    std::string segurancaLida_;      // code-page bytes, as read
    std::string palavraPasseLida_;   // the stored (scrambled) form, as read
    bool avisarPalavraPasse_ = false;
};

}  // namespace app
