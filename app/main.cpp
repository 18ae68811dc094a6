// Start-up: the access settings window is the whole program. It is created,
// loaded and shown; the program ends when it is unloaded.
#include <windows.h>

#include <commctrl.h>

#include "app/frmDefinicoes_window.h"
#include "platform/win32/system_dll.h"
#include "platform/win32/win32_platform.h"
#include "registo_eventos.mc.h"  // generated from settings/registo_eventos.mc
#include "settings/registo_eventos.h"

// The events reported are the messages of the table compiled in.
static_assert(settings::kEventoGravado == EVENTO_GRAVADO &&
              settings::kEventoFalhaAoGravar == EVENTO_FALHA_AO_GRAVAR);

namespace {

// Runs the message loop until the window is destroyed. The dialog manager
// gives the plain window Tab, Shift+Tab and the access keys.
int RunMessageLoop(const app::frmDefinicoesWindow& window) {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (window.Handle() && IsDialogMessageW(window.Handle(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    // Before anything loads a DLL: from the system folder only.
    platform::win32::RestrictDllSearch();
    // COM, for the error reporter, is loaded by the first report.
    platform::win32::InstallServices(platform::win32::Widen(settings::kTitulo));

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    int exitCode = 1;
    {
        app::frmDefinicoesWindow window;
        if (window.Create(instance)) {
            window.Load();
            window.Show(showCommand);
            exitCode = RunMessageLoop(window);
        }
    }
    return exitCode;
}
