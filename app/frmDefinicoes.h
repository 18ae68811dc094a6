// The access settings dialog's logic: what each event of the window does.
// The window (frmDefinicoes_window) calls one handler per event; this class
// talks to the settings core (settings/), never to Win32. No handler lets a
// failure out: each ends with "Erro N: ..." shown and the window left open.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/dialog_view.h"
#include "connection/attempt.h"
#include "settings/definicoes.h"

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
    // "&OK": checks the values to write, writes them, then unloads. A value
    // is written only when the user changed its field, or when it does not
    // exist at the time of saving (one another program created while the
    // window was open is left alone); any other stays exactly as stored.
    void Command1_Click();
    // "&Cancelar", and the title bar's close button: unloads, writing nothing.
    void Command2_Click();
    void Form_Close() { Command2_Click(); }
    // "&Testar ligação": tests the texts in the fields now, off the
    // window's thread; the button is disabled until the outcome comes.
    void Command3_Click();
    // The outcome of that test, shown in a message box.
    void Command3_Done(const connection::Outcome& outcome);

private:
    // What the load left in one field, for the save to tell whether the
    // user changed it. A field never filled (the load stopped before it)
    // counts as showing a value that is there but was not read.
    struct Campo {
        settings::ValorLido lido;  // code-page bytes as read (the password's stored form)
        std::string mostrado;      // the field's text (UTF-8) or, for the list, its item
    };

    void Carregar(std::size_t definicao);
    void Gravar();
    void LembrarMostrados();
    platform::Secret Mostrado(std::size_t definicao) const;
    bool Alterado(std::size_t definicao) const;
    std::optional<connection::Target> AlvoDosCampos() const;

    DialogView& view_;
    std::array<Campo, settings::kDefinicoes.size()> campos_{};  // in the order of kDefinicoes
    bool avisarPalavraPasse_ = false;
    bool avisoMostrado_ = false;
    bool testando_ = false;
};

// Shows the failure being handled as "Erro N: description". For the window
// procedure, whose caller must never see an exception: it lets nothing out.
void MostrarFalhaEmCurso() noexcept;

}  // namespace app
