// Recording doubles of the error reporter, the event log and the code page, and
// FakePlatform, which installs them with the fake registry.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fakes/fake_registry.h"
#include "fakes/fake_volume.h"
#include "fakes/recording_message_dialog.h"
#include "platform/platform.h"
#include "platform/runtime_failure.h"

namespace fakes {

class RecordingReporter : public platform::ErrorReporter {
public:
    // The next `times` reports (every one when negative) raise `failure`.
    void FailWith(platform::RuntimeFailure failure, int times = -1) {
        failure_ = std::move(failure);
        failuresLeft_ = times;
    }

    void Report(const std::array<std::string, 5>& utf8Args) override {
        attempts.push_back(utf8Args);
        if (failure_ && failuresLeft_ != 0) {
            if (failuresLeft_ > 0) --failuresLeft_;
            throw *failure_;
        }
        reports.push_back(utf8Args);
    }
    std::vector<std::array<std::string, 5>> attempts;  // failed ones too
    std::vector<std::array<std::string, 5>> reports;   // those that succeeded

private:
    std::optional<platform::RuntimeFailure> failure_;
    int failuresLeft_ = 0;
};

// Each event as "W" (warning) or "I", the id, then "|" before each string.
class RecordingEventLog : public platform::EventLog {
public:
    void Report(platform::EventKind kind, std::uint32_t id,
                const std::vector<std::string>& utf8Strings) override {
        std::string event = (kind == platform::EventKind::Warning ? "W" : "I") + std::to_string(id);
        for (const std::string& text : utf8Strings) event += "|" + text;
        events.push_back(event);
    }
    std::vector<std::string> events;
};

// A code page whose bytes are the characters U+0000 to U+00FF (Latin-1),
// but for the bytes in `lost`, which it reads as U+FFFD, the way a
// double-byte or UTF-8 code page reads a byte that is not valid alone.
class Latin1CodePage : public platform::CodePage {
public:
    std::string ToUtf8(const std::string& ansi) override;
    bool FromUtf8(const std::string& utf8, std::string* ansi) override;
    void ToUtf8(std::string_view ansi, platform::Secret* utf8) override;
    bool FromUtf8(std::string_view utf8, platform::Secret* ansi) override;
    unsigned Number() override { return number; }

    std::string lost;
    unsigned number = 28591;
};

// All the doubles, installed for the object's lifetime.
struct FakePlatform {
    FakeRegistry registry;
    RecordingMessageDialog messageDialog;
    RecordingReporter reporter;
    FakeVolume volume;
    Latin1CodePage codePage;
    RecordingEventLog eventLog;
    platform::ScopedServices installed{platform::Services{
        &registry, &messageDialog, &reporter, &volume, &codePage, nullptr, nullptr, &eventLog}};
};

}  // namespace fakes
