// A connection test: builds the connection string, lets the platform try
// it, and turns the outcome into what the user reads, with neither the
// password nor the connection string in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "connection/connection_string.h"
#include "platform/platform.h"

namespace connection {

struct Outcome {
    bool connected = false;
    // On failure, one line for each of the driver's diagnostic records,
    // "[SQLSTATE] message", or the reason no attempt could be made.
    std::vector<std::string> lines;
};

// Tries to connect through `database` and wipes the password in `target`
// (and every copy made of it) before returning.
Outcome Attempt(platform::Database& database, Target& target, unsigned loginTimeoutSeconds);

// The window's text for an outcome: "Ligação estabelecida." or the failure
// with its lines.
std::string Message(const Outcome& outcome);

// `message` with every copy of each of the `secrets` (the non-empty ones)
// replaced by "***", the longest first, and on one line (line ends and
// tabs inside as spaces, none at the end).
std::string Scrub(std::string message, std::vector<std::string_view> secrets);

}  // namespace connection
