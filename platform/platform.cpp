#include "platform/platform.h"

namespace platform {

Services& Current() {
    static Services services;
    return services;
}

ScopedServices::ScopedServices(const Services& services) : previous_(Current()) {
    Current() = services;
}

ScopedServices::~ScopedServices() { Current() = previous_; }

}  // namespace platform
