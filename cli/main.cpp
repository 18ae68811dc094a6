// definicoes.exe: the access settings from the command line, for IT staff
// who set up many machines (see README.md, "Instalar em muitos computadores").
#include <windows.h>

#include <string>
#include <vector>

#include "cli/comandos.h"
#include "cli/consola_win32.h"
#include "platform/win32/system_dll.h"
#include "platform/win32/win32_platform.h"
#include "settings/definicoes.h"

int wmain(int argc, wchar_t** argv) {
    // Before anything loads a DLL: from the system folder only.
    platform::win32::RestrictDllSearch();
    // COM, for the error reporter, is loaded by the first report, as in
    // the window: ole32 is then loaded from the system folder, not at start.
    platform::win32::InstallServices(platform::win32::Widen(settings::kTitulo));
    cli::ConsolaWin32 consola;
    cli::MensagemNaConsola mensagens(consola);
    platform::Current().messageDialog = &mensagens;

    std::vector<std::string> argumentos;
    for (int i = 1; i < argc; ++i) argumentos.push_back(platform::win32::Narrow(argv[i]));
    return cli::Executar(argumentos, consola);
}
