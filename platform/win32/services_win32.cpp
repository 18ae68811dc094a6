// The Win32 services the program runs with.
#include "platform/win32/win32_platform.h"

namespace platform::win32 {

void InstallServices(const std::wstring& title) {
    // One set for the whole process; the title of the first call stays.
    // The registry, as the database and the network, is never destroyed: a
    // connection test's thread may still be reading aliases in it while
    // the program ends.
    static Win32Registry* const registry = new Win32Registry;
    static Win32MessageDialog messageDialog(title);
    static Win32ErrorReporter reporter;
    static Win32Volume volume;
    static Win32CodePage codePage;
    static Win32EventLog eventLog(title);
    Current() = Services{registry,  &messageDialog,  &reporter,         &volume,
                         &codePage, &OdbcDatabase(), &WinsockNetwork(), &eventLog};
}

}  // namespace platform::win32
