// Shared by the suites that run under one ANSI code page each. Every test
// first checks that the process really has the code page its suite is for:
// Wine quietly falls back to 1252 when LANG names a locale the machine
// lacks, and the suite would then pass without testing anything.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "fakes/recording_message_dialog.h"
#include "platform/platform.h"
#include "platform/win32/win32_platform.h"

namespace code_pages {

// Text in UTF-8 and its exact form in the code page, or no form at all
// (the conversion must refuse it).
struct Conversion {
    const char* utf8;
    std::optional<std::string> ansi;
};

// A byte string as the store would write it (a scrambled password, say),
// and whether it comes back unchanged from the registry.
struct StoredBytes {
    std::string bytes;
    bool survives;
};

// The real Win32 services, with message boxes recorded instead of shown.
class CodePageSuite : public testing::Test {
protected:
    explicit CodePageSuite(UINT codePage) : codePage_(codePage) {}
    void SetUp() override;
    void TearDown() override;

    // Each row converts as it says, both ways.
    void CheckConversions(const std::vector<Conversion>& table);
    // Each row is written with the store's ANSI calls into a scratch key,
    // read back the same way, and survives or not as it says; the check by
    // conversion to Unicode and back must agree with the registry.
    void CheckStoredBytes(const std::vector<StoredBytes>& table);

    platform::win32::Win32CodePage conversions_;

private:
    UINT codePage_;
    platform::win32::Win32Registry registry_;
    platform::win32::Win32ErrorReporter reporter_;
    fakes::RecordingMessageDialog messages_;
    std::optional<platform::ScopedServices> services_;
};

// Printable bytes in test messages.
std::string Hex(const std::string& bytes);

}  // namespace code_pages
