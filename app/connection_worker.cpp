#include "app/connection_worker.h"

#include <thread>

#include "platform/platform.h"

namespace app {

void StartConnectionTest(HWND window, UINT message, std::unique_ptr<connection::Target> target,
                         unsigned loginTimeoutSeconds) {
    std::thread([=, target = std::move(target)]() mutable {
        auto outcome = std::make_unique<connection::Outcome>(
            connection::Attempt(*platform::Current().database, *platform::Current().network,
                                *target, loginTimeoutSeconds));
        if (PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(outcome.get())))
            outcome.release();  // the window owns it now
    }).detach();
}

std::unique_ptr<connection::Outcome> TakeOutcome(LPARAM lParam) {
    return std::unique_ptr<connection::Outcome>(reinterpret_cast<connection::Outcome*>(lParam));
}

}  // namespace app
