// The console as the companion uses it. To a console, text goes as Unicode
// (WriteConsoleW). Redirected, it goes in the console's output code page,
// or the OEM code page where the process has no console: that is what cmd
// and PowerShell decode a console program's output with. A character that
// code page lacks goes as "?". Standard input is read the same way round.
#include <windows.h>

#include "cli/consola_win32.h"

#include "platform/win32/win32_platform.h"

namespace cli {
namespace {

bool EConsola(HANDLE h) {
    DWORD modo = 0;
    return GetConsoleMode(h, &modo) != 0;
}

// `texto` in code page `cp`, with "?" for each character it lacks and no
// best-fit look-alikes. Most texts convert whole; one that does not is
// converted a character (or surrogate pair) at a time.
std::string NaPaginaDeCodigo(const std::wstring& texto, UINT cp) {
    using platform::win32::FromUtf16;
    bool exacto = false;
    std::string bytes = FromUtf16(cp, texto, &exacto);
    if (exacto) return bytes;
    bytes.clear();
    for (std::size_t i = 0; i < texto.size();) {
        const bool par =
            IS_HIGH_SURROGATE(texto[i]) && i + 1 < texto.size() && IS_LOW_SURROGATE(texto[i + 1]);
        const std::size_t n = par ? 2 : 1;
        const std::string c = FromUtf16(cp, std::wstring_view(texto).substr(i, n), &exacto);
        bytes += exacto ? c : "?";
        i += n;
    }
    return bytes;
}

void Enviar(DWORD qual, const std::string& utf8) {
    const HANDLE h = GetStdHandle(qual);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
    DWORD escritos = 0;
    const std::wstring texto = platform::win32::Widen(utf8);
    if (EConsola(h)) {
        WriteConsoleW(h, texto.data(), static_cast<DWORD>(texto.size()), &escritos, nullptr);
        return;
    }
    UINT cp = GetConsoleOutputCP();  // 0 without a console
    if (cp == 0) cp = GetOEMCP();
    const std::string bytes = NaPaginaDeCodigo(texto, cp);
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &escritos, nullptr);
}

// The input mode from before the echo was turned off, for the handler of
// Ctrl+C, which runs on a thread of its own; 0 when nothing is to restore.
volatile LONG gModoAntes = 0;

BOOL WINAPI ReporAoInterromper(DWORD) {
    const LONG modo = InterlockedExchange(&gModoAntes, 0);
    if (modo != 0) SetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), static_cast<DWORD>(modo));
    return FALSE;  // the default handler then ends the process
}

}  // namespace

void ConsolaWin32::Escrever(const std::string& utf8) { Enviar(STD_OUTPUT_HANDLE, utf8); }

void ConsolaWin32::Erro(const std::string& utf8) { Enviar(STD_ERROR_HANDLE, utf8); }

bool ConsolaWin32::EntradaInterativa() { return EConsola(GetStdHandle(STD_INPUT_HANDLE)); }

void ConsolaWin32::Eco(bool ligado) {
    const HANDLE h = GetStdHandle(STD_INPUT_HANDLE);
    if (ligado) {
        const LONG modo = InterlockedExchange(&gModoAntes, 0);
        if (modo != 0) SetConsoleMode(h, static_cast<DWORD>(modo));
        SetConsoleCtrlHandler(ReporAoInterromper, FALSE);
        return;
    }
    DWORD modo = 0;
    if (!GetConsoleMode(h, &modo) || modo == 0) return;
    InterlockedExchange(&gModoAntes, static_cast<LONG>(modo));
    SetConsoleCtrlHandler(ReporAoInterromper, TRUE);
    SetConsoleMode(h, modo & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
}

bool ConsolaWin32::LerLinha(std::size_t limite, platform::Secret* utf8) {
    const HANDLE h = GetStdHandle(STD_INPUT_HANDLE);
    utf8->Clear();
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return false;
    bool algum = false;
    if (EConsola(h)) {
        // The whole line is taken, so that no part of it is left for the
        // next program to read as a command; only the first characters are
        // kept.
        platform::WideSecret texto;
        wchar_t c;
        DWORD lidos = 0;
        while (ReadConsoleW(h, &c, 1, &lidos, nullptr) && lidos == 1) {
            algum = true;
            if (c == L'\n') break;
            if (texto.size() <= limite) texto.Append(c);
        }
        platform::win32::Narrow(texto.view(), utf8);
    } else {
        // One byte at a time, so that nothing past the line is taken.
        char c;
        DWORD lidos = 0;
        while (utf8->size() <= limite && ReadFile(h, &c, 1, &lidos, nullptr) && lidos == 1) {
            algum = true;
            if (c == '\n') break;
            utf8->Append(c);
        }
    }
    return algum;
}

void MensagemNaConsola::Show(const std::string& utf8Text, platform::Icon) {
    consola_.Erro(utf8Text + "\n");
}

}  // namespace cli
