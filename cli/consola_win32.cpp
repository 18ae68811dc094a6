// The console as the companion uses it: to a console, text goes as Unicode
// (WriteConsoleW); redirected, as UTF-8 bytes with no byte-order mark.
// Standard input is read the same way round.
#include <windows.h>

#include "cli/consola_win32.h"

#include "platform/win32/win32_platform.h"

namespace cli {
namespace {

bool EConsola(HANDLE h) {
    DWORD modo = 0;
    return GetConsoleMode(h, &modo) != 0;
}

void Enviar(DWORD qual, const std::string& utf8) {
    const HANDLE h = GetStdHandle(qual);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
    DWORD escritos = 0;
    if (EConsola(h)) {
        const std::wstring texto = platform::win32::Widen(utf8);
        WriteConsoleW(h, texto.data(), static_cast<DWORD>(texto.size()), &escritos, nullptr);
    } else {
        WriteFile(h, utf8.data(), static_cast<DWORD>(utf8.size()), &escritos, nullptr);
    }
}

}  // namespace

void ConsolaWin32::Escrever(const std::string& utf8) { Enviar(STD_OUTPUT_HANDLE, utf8); }

void ConsolaWin32::Erro(const std::string& utf8) { Enviar(STD_ERROR_HANDLE, utf8); }

bool ConsolaWin32::LerLinha(std::string* utf8) {
    const HANDLE h = GetStdHandle(STD_INPUT_HANDLE);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return false;
    bool algum = false;
    std::string linha;
    if (EConsola(h)) {
        std::wstring texto;
        wchar_t c;
        DWORD lidos = 0;
        while (ReadConsoleW(h, &c, 1, &lidos, nullptr) && lidos == 1) {
            algum = true;
            if (c == L'\n') break;
            texto += c;
        }
        linha = platform::win32::Narrow(texto);
    } else {
        // One byte at a time, so that nothing past the line is taken.
        char c;
        DWORD lidos = 0;
        while (ReadFile(h, &c, 1, &lidos, nullptr) && lidos == 1) {
            algum = true;
            if (c == '\n') break;
            linha += c;
        }
        if (linha.rfind("\xEF\xBB\xBF", 0) == 0) linha.erase(0, 3);  // a byte-order mark
    }
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    *utf8 = std::move(linha);
    return algum;
}

void MensagemNaConsola::Show(const std::string& utf8Text, platform::Icon) {
    consola_.Erro(utf8Text + "\n");
}

}  // namespace cli
