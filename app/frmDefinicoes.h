// The access settings dialog's logic: what each event of the window does.
// The window (frmDefinicoes_window) calls one handler per event; this class
// talks to the settings (definicoes) and their checks (valores), never to
// Win32. No handler lets a failure out: each ends with "Erro N: ..." shown
// and the window left open.
#pragma once

#include <array>
#include <string>

#include "app/definicoes.h"
#include "app/dialog_view.h"

namespace app {

class frmDefinicoes {
public:
    explicit frmDefinicoes(DialogView& view) : view_(view) {}

    // Before the window is first shown: fills the controls.
    void Form_Load();
    // Once, right after the window first becomes visible: tells the user
    // of values that could not be read, then of a password that cannot be
    // decoded here.
    void Form_Shown();
    // "&OK": checks every value, writes the five, then unloads.
    void Command1_Click();
    // "&Cancelar", and the title bar's close button: unloads, writing nothing.
    void Command2_Click();
    void Form_Close() { Command2_Click(); }

private:
    // What the load left in one field, for the save to tell whether the
    // user changed it.
    struct Campo {
        bool legivel = false;   // read as a text, or found missing
        std::string mostrado;   // the field's text (UTF-8) or, for the list, its item
    };

    void Carregar();
    void Gravar();
    void CarregarPalavraPasse();
    void CarregarTexto(std::size_t campo);
    void LembrarMostrados();
    std::string Mostrado(std::size_t campo) const;
    bool Guardar(std::size_t campo) const;

    DialogView& view_;
    std::array<Campo, 5> campos_{};  // in the order of kNomes
    std::string segurancaLida_;      // code-page bytes, as read
    std::string palavraPasseLida_;   // the stored (scrambled) form, as read
    bool avisarPalavraPasse_ = false;
    bool avisoMostrado_ = false;
};

// Shows the failure being handled as "Erro N: description". For the window
// procedure, whose caller must never see an exception: it lets nothing out.
void MostrarFalhaEmCurso() noexcept;

}  // namespace app
