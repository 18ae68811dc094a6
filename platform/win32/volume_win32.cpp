// Volume information through kernel32.
#include "platform/win32/win32_platform.h"

#include <windows.h>

namespace platform::win32 {

std::uint32_t Win32Volume::SerialNumber(const std::string& rootPath) {
    char volumeName[255] = {};
    char fileSystemName[255] = {};
    DWORD serial = 0;
    DWORD maxComponentLength = 0;
    DWORD fileSystemFlags = 0;
    // Only the serial number is wanted. The status is not looked at: when the
    // query fails the serial stays 0.
    GetVolumeInformationA(rootPath.c_str(), volumeName, sizeof volumeName, &serial,
                          &maxComponentLength, &fileSystemFlags, fileSystemName,
                          sizeof fileSystemName);
    return serial;
}

}  // namespace platform::win32
