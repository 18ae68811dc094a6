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

class frmDefinicoes {
public:
    explicit frmDefinicoes(DialogView& view) : view_(view) {}

    // Before the window is first shown: fills the controls.
    void Form_Load();
    // Once, right after the window first becomes visible.
    void Form_Shown();
    // "&OK": validates, writes the five values, then unloads.
    void Command1_Click();
    // "&Cancelar", and the title bar's close button: unloads, writing nothing.
    void Command2_Click();
    void Form_Close() { Command2_Click(); }
    // Any change of FXPassword's text.
    void FXPassword_Change();

private:
    DialogView& view_;
};

}  // namespace app
