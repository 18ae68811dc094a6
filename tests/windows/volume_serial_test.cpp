#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "platform/platform.h"
#include "platform/win32/win32_platform.h"
#include "scrambler/modEncriptSerial.h"

namespace {

// The serial number Wine gives drive C:, as written in hex in the prefix.
std::uint32_t PrefixSerial() {
    std::ifstream file("C:\\.windows-serial");
    std::string hex;
    file >> hex;
    EXPECT_FALSE(hex.empty()) << "C:\\.windows-serial is missing or empty";
    return hex.empty() ? 0 : static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16));
}

TEST(VolumeSerialTest, KeyIsSignedDecimalOfDriveCSerial) {
    platform::win32::Win32Volume volume;
    platform::Services services;
    services.volume = &volume;
    platform::ScopedServices guard(services);

    const std::uint32_t serial = PrefixSerial();
    const std::string expected = std::to_string(static_cast<std::int32_t>(serial));
    modEncriptSerial::EsquecerChave();
    EXPECT_EQ(modEncriptSerial::ObterChaveSerial(), expected) << std::hex << serial;
    EXPECT_EQ(modEncriptSerial::ObterSerialVolume(" c "), expected);
}

}  // namespace
