// A volume double: answers with a settable serial number, counts the
// queries and remembers the root path last asked for.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace fakes {

class FakeVolume : public platform::Volume {
public:
    std::uint32_t serial = 0;
    int queries = 0;
    std::string lastRootPath;

    std::uint32_t SerialNumber(const std::string& rootPath) override {
        ++queries;
        lastRootPath = rootPath;
        return serial;
    }
};

}  // namespace fakes
