// The real program, started for a test: the settings key is filled with
// plain values first (and put back as it was afterwards), the program is
// started and its window found; on destruction it is closed.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace accessibility_test {

// Replaces the settings key's values for the life of the object.
class FilledSettingsKey {
public:
    FilledSettingsKey();
    ~FilledSettingsKey();
    FilledSettingsKey(const FilledSettingsKey&) = delete;
    FilledSettingsKey& operator=(const FilledSettingsKey&) = delete;

private:
    struct Value {
        std::wstring name;
        DWORD type;
        std::vector<BYTE> data;
    };
    bool existed_ = false;
    std::vector<Value> saved_;
};

class RunningProgram {
public:
    // `path` is the program's path, a Unix one under Wine being accepted.
    explicit RunningProgram(const std::string& path);
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    // Null when the window did not appear within 30 s.
    HWND Window() const { return window_; }
    // The window's direct children, in creation (and tab) order.
    std::vector<HWND> Children() const;
    // The window that has the keyboard focus in the program.
    HWND Focus() const;
    // Presses Tab as the keyboard would, through the program's message
    // loop, and waits until the focus has moved.
    void PressTab() const;

private:
    FilledSettingsKey key_;
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

}  // namespace accessibility_test
