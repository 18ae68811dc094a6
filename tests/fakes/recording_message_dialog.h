// A message dialog that records what it is asked to show, and shows nothing.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace fakes {

class RecordingMessageDialog : public platform::MessageDialog {
public:
    struct Shown {
        std::string text;
        platform::Icon icon;
    };
    void Show(const std::string& utf8Text, platform::Icon icon) override {
        shown.push_back({utf8Text, icon});
    }
    std::vector<Shown> shown;
};

}  // namespace fakes
