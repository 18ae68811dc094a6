// The error reporter against the real BrevantaReporter.dll, registered in
// the test prefix by scripts/wine-prefix.sh.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>

#include "platform/runtime_failure.h"
#include "platform/win32/win32_platform.h"

namespace {

using platform::RuntimeFailure;
using platform::win32::Win32ErrorReporter;

std::wstring LogFolder() {
    wchar_t common[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"ProgramData", common, MAX_PATH);
    return std::wstring(common) + L"\\Brevanta";
}

std::wstring LogPath() { return LogFolder() + L"\\reports.log"; }

std::string ReadLog() {
    std::ifstream in(LogPath().c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    return fields;
}

long FailureNumber(Win32ErrorReporter& reporter, std::string* description = nullptr) {
    try {
        reporter.Report({"a", "b", "c", "d", "e"});
    } catch (const RuntimeFailure& failure) {
        if (description) *description = failure.description();
        return failure.number();
    }
    return 0;
}

TEST(Win32ErrorReporter, AppendsOneUtf8LineWithTheFiveArguments) {
    const std::string before = ReadLog();
    Win32ErrorReporter reporter;
    reporter.Report({"Módulo de Registo", "Admin_Quillo", "modRegistry", "ValorString",
                     "Falha\tcom tab\r\ne linha nova"});

    const std::string log = ReadLog();
    ASSERT_EQ(log.compare(0, before.size(), before), 0) << "earlier reports were changed";
    const std::string added = log.substr(before.size());
    ASSERT_FALSE(added.empty());
    ASSERT_EQ(added.find('\n'), added.size() - 1) << added;

    const auto fields = SplitTabs(added.substr(0, added.size() - 1));
    ASSERT_EQ(fields.size(), 6u) << added;
    EXPECT_TRUE(
        std::regex_match(fields[0], std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)")))
        << fields[0];
    EXPECT_EQ(fields[1], "Módulo de Registo");
    EXPECT_EQ(fields[2], "Admin_Quillo");
    EXPECT_EQ(fields[3], "modRegistry");
    EXPECT_EQ(fields[4], "ValorString");
    EXPECT_EQ(fields[5], "Falha com tab  e linha nova");
}

TEST(Win32ErrorReporter, UnregisteredProgIdFailsWith429) {
    Win32ErrorReporter reporter(L"Brevanta.NotRegistered");
    std::string description;
    EXPECT_EQ(FailureNumber(reporter, &description), platform::kErrCantCreateObject);
    EXPECT_FALSE(description.empty());
}

// COM's DLLs are loaded by the first report; when they cannot be, the
// report fails as when the object cannot be created, and nothing is written.
TEST(Win32ErrorReporter, ComThatCannotBeLoadedFailsWith429) {
    const std::string before = ReadLog();
    Win32ErrorReporter reporter(L"Brevanta.General", L"Report", [] { return false; });
    EXPECT_EQ(FailureNumber(reporter), platform::kErrCantCreateObject);
    EXPECT_EQ(ReadLog(), before);
}

TEST(Win32ErrorReporter, ObjectWithoutReportFailsWith438) {
    Win32ErrorReporter reporter(L"Scripting.Dictionary");
    EXPECT_EQ(FailureNumber(reporter), platform::kErrNoSuchMethod);
}

// A method that takes one argument, called with the reporter's five.
TEST(Win32ErrorReporter, WrongArgumentCountFailsWith450) {
    Win32ErrorReporter reporter(L"Scripting.Dictionary", L"Exists");
    EXPECT_EQ(FailureNumber(reporter), platform::kErrWrongArgCount);
}

// The reporter raises its own failure, through the exception record, when
// it cannot write the log: here a folder stands where the log would be.
TEST(Win32ErrorReporter, FailureRaisedByReportCarriesItsNumberAndDescription) {
    const std::wstring aside = LogPath() + L".aside";
    const bool hadLog = MoveFileW(LogPath().c_str(), aside.c_str());
    CreateDirectoryW(LogFolder().c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryW(LogPath().c_str(), nullptr));

    Win32ErrorReporter reporter;
    std::string description;
    const long number = FailureNumber(reporter, &description);

    RemoveDirectoryW(LogPath().c_str());
    if (hadLog) MoveFileW(aside.c_str(), LogPath().c_str());
    EXPECT_EQ(number, 75);
    EXPECT_NE(description.find("reports.log"), std::string::npos) << description;
}

}  // namespace
