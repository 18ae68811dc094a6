// The connection test's TLS step: the handshake the driver will make,
// over the port step's connection, and what the driver will make of the
// server's certificate. It carries no user name or password.
#pragma once

#include <string>
#include <vector>

#include "connection/prelogin.h"
#include "platform/platform.h"

namespace connection {

// Whether the step runs: the server encrypts (or offers to), or the driver
// encrypts by default, or that driver meets a server that cannot.
bool TlsApplies(Encryption answer, const std::string& driver);

struct TlsCheck {
    bool ok = false;
    std::string detail;
    std::vector<std::string> lines;  // on failure: what to do, in order
};

// The handshake over `stream`, which has had its PRELOGIN answered with
// `answer`, for `serverName` and `driver`, within `timeoutMs`.
TlsCheck CheckTls(platform::Network& network, platform::Stream& stream, Encryption answer,
                  const std::string& serverName, const std::string& driver, unsigned timeoutMs);

// How a finished handshake reads for `driver`: the drivers that check the
// certificate fail on one this computer does not trust, for another name
// or expired; the others pass with the warning.
TlsCheck JudgeCertificate(const platform::TlsFacts& facts, const std::string& serverName,
                          const std::string& driver);

}  // namespace connection
