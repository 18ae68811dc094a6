// The window's connection test, run on a thread of its own so that the
// window keeps answering while a driver waits for a server.
//
// The window owns the test: each run has a number and an outcome slot that
// the window and the thread share. The thread fills the slot and wakes the
// window with a message carrying the run's number, nothing else; the window
// takes the outcome only for the run it is waiting for, once the slot is
// filled. A message that matches no such run, from anywhere, is ignored.
// The thread is never waited for: the program may end while it runs, and
// whatever it still holds (its slot, the target) it owns with the window or
// alone, so nothing is destroyed under it and nothing is left behind.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "connection/attempt.h"

namespace app {

class ConnectionWorker {
public:
    // Starts a test with `target` and returns at once; its end is posted to
    // `window` as `message`, with the run's number as WPARAM. A run started
    // while another is on its way replaces it: the earlier outcome is
    // dropped when it comes.
    void Start(HWND window, UINT message, connection::Target target, unsigned loginTimeoutSeconds);
    // The outcome of the run awaited, when `number` names it and it has
    // ended; the run is then over. Nothing otherwise.
    std::optional<connection::Outcome> Take(WPARAM number);

private:
    struct Run;
    std::shared_ptr<Run> running_;
    WPARAM number_ = 0;  // of the last run started
};

}  // namespace app
