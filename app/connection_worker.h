// A connection test on a thread of its own, so that the window keeps
// answering while a driver waits for a server.
#pragma once

#include <windows.h>

#include <memory>

#include "connection/attempt.h"

namespace app {

// Starts the test and returns at once. The outcome is posted to `window`
// as `message`, its LPARAM to be taken with TakeOutcome; if the window is
// gone by then, the outcome is dropped. The thread is not waited for: the
// program may end while it runs.
void StartConnectionTest(HWND window, UINT message, std::unique_ptr<connection::Target> target,
                         unsigned loginTimeoutSeconds);

std::unique_ptr<connection::Outcome> TakeOutcome(LPARAM lParam);

}  // namespace app
