// The skeleton bench/startup times the program against: the program's own
// start-up (app/main.cpp), window, controls, font, manifest and resources,
// linked with this file in place of the services and the dialog's logic.
// It fills the fields with fixed sample texts, so it shows the same window
// filled, without reading the registry or the volume serial, scrambling,
// or COM: what is left of the program's start-up is the floor it can reach.
#include <string>

#include "app/frmDefinicoes.h"

namespace platform::win32 {

// No registry, volume, code page, message box or error reporter.
void InstallServices(const std::wstring&) {}

}  // namespace platform::win32

namespace app {

// The values bench/startup stores for the program, as the program shows them.
void frmDefinicoes::Form_Load() {
    view_.ClearList();
    view_.AddListItem("False");
    view_.AddListItem("True");
    view_.SetText(Control::FXDataSource, "SRVDADOS01");
    view_.SetText(Control::FXInitialCatalog, "Tamrel");
    view_.SelectListItem(1);
    view_.SetText(Control::FXUser, "administrador");
    view_.SetText(Control::FXPassword, "**************");
}

void frmDefinicoes::Form_Shown() {}
void frmDefinicoes::Command1_Click() { view_.Unload(); }
void frmDefinicoes::Command2_Click() { view_.Unload(); }
void frmDefinicoes::Command3_Click() {}
void frmDefinicoes::Command3_Done(const connection::Outcome&) {}
void MostrarFalhaEmCurso() noexcept {}

}  // namespace app
