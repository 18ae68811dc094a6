// definicoes.exe: the access settings from the command line, for IT staff
// who set up many machines (see README.md, "Instalar em muitos computadores").
#include <windows.h>

#include <objbase.h>

#include <string>
#include <vector>

#include "cli/comandos.h"
#include "cli/consola_win32.h"
#include "platform/win32/win32_platform.h"
#include "settings/definicoes.h"

int wmain(int argc, wchar_t** argv) {
    // COM, for the error reporter.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    platform::win32::InstallServices(platform::win32::Widen(settings::kTitulo));
    cli::ConsolaWin32 consola;
    cli::MensagemNaConsola mensagens(consola);
    platform::Current().messageDialog = &mensagens;

    std::vector<std::string> argumentos;
    for (int i = 1; i < argc; ++i) argumentos.push_back(platform::win32::Narrow(argv[i]));
    const int saida = cli::Executar(argumentos, consola);

    if (SUCCEEDED(com)) CoUninitialize();
    return saida;
}
