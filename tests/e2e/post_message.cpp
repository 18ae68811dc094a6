// Posts a message to a top-level window of another process, as any program
// on the desktop can: post_message CLASS MESSAGE WPARAM LPARAM (numbers in
// decimal or 0x hex). Exits 0 once posted.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) return 2;
    const HWND window = FindWindowW(argv[1], nullptr);
    const auto number = [](const wchar_t* text) { return std::wcstoull(text, nullptr, 0); };
    return window && PostMessageW(window, static_cast<UINT>(number(argv[2])),
                                  static_cast<WPARAM>(number(argv[3])),
                                  static_cast<LPARAM>(number(argv[4])))
               ? 0
               : 1;
}
