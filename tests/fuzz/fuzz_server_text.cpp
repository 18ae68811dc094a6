// Feeds arbitrary texts to the reader of a connection's server text, then
// runs the connection test's steps with it over a network that resolves
// every name to 127.0.0.1 and checks each address it is asked to connect
// to. Every text is either read (a name of a host name's characters, or
// an address the socket layer takes) or named with a reason; a port step
// never runs without a connection tried; the same when the text is the
// data of a client alias.
#include <arpa/inet.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "connection/attempt.h"
#include "connection/server_address.h"
#include "fakes/fake_network.h"
#include "fakes/fake_registry.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

// Four decimal numbers from 0 to 255 (leading zeros allowed, as Winsock
// reads them), or what inet_pton takes as IPv6.
bool SocketTakes(const std::string& address) {
    unsigned char v6[16];
    if (address.find(':') != std::string::npos)
        return inet_pton(AF_INET6, address.c_str(), v6) == 1;
    int parts = 0;
    std::size_t at = 0;
    while (at <= address.size()) {
        const std::size_t end = std::min(address.find('.', at), address.size());
        const std::string part = address.substr(at, end - at);
        if (part.empty() || part.size() > 3 ||
            part.find_first_not_of("0123456789") != std::string::npos || std::stoi(part) > 255)
            return false;
        ++parts;
        at = end + 1;
    }
    return parts == 4;
}

class CheckingNetwork : public fakes::FakeNetwork {
public:
    Result Resolve(const std::string&, std::vector<std::string>* addresses) override {
        *addresses = {"127.0.0.1"};
        return Result::Ok;
    }
    Result Open(const std::string& address, std::uint16_t port, unsigned,
                std::unique_ptr<platform::Stream>*) override {
        Check(SocketTakes(address) && port != 0);
        ++connects;
        return Result::Refused;
    }
    int connects = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    const connection::ServerAddress server = connection::ReadServer(text);
    if (!server.readable) {
        Check(!server.reason.empty());
    } else {
        Check(!server.host.empty());
        if (server.numeric) {
            Check(SocketTakes(server.host));
        } else {
            for (const char c : server.host) {
                const auto u = static_cast<unsigned char>(c);
                Check(std::isalnum(u) || c == '-' || c == '.' || c == '_' || u >= 0x80);
            }
        }
    }
    // The text as the server text, then as the data of a client alias
    // (a value another program may have stored) that the server text names.
    for (const bool alias : {false, true}) {
        CheckingNetwork network;
        fakes::FakeServer database;
        connection::Target target{"SQL Server", alias ? "PROD" : text, "", "app", {}};
        fakes::FakeRegistry registry;
        if (alias)
            registry.PutString(0x80000002, "SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo",
                               "prod", text);
        const connection::Outcome outcome =
            connection::Attempt(database, network, registry, target, 1);
        for (const connection::Step& step : outcome.steps)
            if (step.stage == connection::Stage::Port) Check(network.connects > 0);
    }
    return 0;
}
