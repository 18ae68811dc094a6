// The server text of a connection, read as SQL Server clients read it:
// "host", "host\instance", "host,port", "tcp:host[,port]",
// "host\instance,port" (the port wins), "(local)", "." and "localhost"
// (this machine), IPv4 and IPv6 addresses (an IPv6 one with or without
// brackets).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace connection {

constexpr std::uint16_t kDefaultPort = 1433;

struct ServerAddress {
    bool readable = false;
    std::string reason;      // why it is not readable, for the user
    std::string host;        // a name or an address; "localhost" for this machine
    std::string instance;    // empty for the default instance
    std::uint16_t port = 0;  // 0 when none is given
    bool numeric = false;    // `host` is an IPv4 or IPv6 address, nothing to resolve
};

ServerAddress ReadServer(std::string_view text);

}  // namespace connection
