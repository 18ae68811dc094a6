#include "app/connection_worker.h"

#include <mutex>
#include <thread>

#include "platform/platform.h"

namespace app {

// One run's outcome slot, filled once by its thread.
struct ConnectionWorker::Run {
    std::mutex mutex;
    std::optional<connection::Outcome> outcome;
};

void ConnectionWorker::Start(HWND window, UINT message, connection::Target target,
                             unsigned loginTimeoutSeconds) {
    running_ = std::make_shared<Run>();
    const WPARAM number = ++number_;
    // The database, network and registry services live to the end of the
    // process.
    platform::Database* const database = platform::Current().database;
    platform::Network* const network = platform::Current().network;
    platform::Registry* const registry = platform::Current().registry;
    std::thread([=, run = running_, target = std::move(target)]() mutable {
        connection::Outcome outcome =
            connection::Attempt(*database, *network, *registry, target, loginTimeoutSeconds);
        {
            const std::lock_guard<std::mutex> lock(run->mutex);
            run->outcome = std::move(outcome);
        }
        PostMessageW(window, message, number, 0);  // fails once the window is gone
    }).detach();
}

std::optional<connection::Outcome> ConnectionWorker::Take(WPARAM number) {
    if (!running_ || number != number_) return std::nullopt;
    std::optional<connection::Outcome> outcome;
    {
        const std::lock_guard<std::mutex> lock(running_->mutex);
        outcome.swap(running_->outcome);
    }
    if (outcome) running_.reset();
    return outcome;
}

}  // namespace app
