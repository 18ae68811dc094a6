// Doubles of the network and of an ODBC server for the connection test's
// steps: names, open ports and Browser answers are set per case, and the
// server takes one password and knows one database.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"

namespace fakes {

class FakeNetwork : public platform::Network {
public:
    using Result = platform::NetworkResult;
    Result Resolve(const std::string& host, std::vector<std::string>* addresses) override {
        if (unavailable) return Result::Unavailable;
        const auto found = names.find(host);
        if (found == names.end()) return Result::NotFound;
        *addresses = found->second;
        return Result::Ok;
    }
    Result Connect(const std::string& address, std::uint16_t port, unsigned) override {
        if (unavailable) return Result::Unavailable;
        return open.count({address, port}) ? Result::Ok : Result::Refused;
    }
    // The datagrams set for `address`, in order, as the Win32 side reads them.
    Result Ask(const std::string& address, std::uint16_t, const std::string&, unsigned,
               const std::function<bool(std::string_view)>& whole, std::string* answer) override {
        if (unavailable) return Result::Unavailable;
        const auto found = browser.find(address);
        if (found == browser.end() || found->second.empty()) return Result::TimedOut;
        for (const std::string& datagram : found->second) {
            *answer = datagram;
            if (whole(datagram)) break;
        }
        return Result::Ok;
    }

    std::map<std::string, std::vector<std::string>> names;
    std::set<std::pair<std::string, std::uint16_t>> open;
    std::map<std::string, std::vector<std::string>> browser;  // datagrams by sender
    bool unavailable = false;  // Winsock did not load
};

// Logs in when the connection string names an installed driver, the
// password and no database or the one there is. A refusal repeats part
// of what it was sent, as some drivers do.
class FakeServer : public platform::Database {
public:
    platform::ConnectResult Connect(const platform::Secret& text, unsigned,
                                    std::vector<platform::DiagnosticRecord>* records) override {
        const std::string_view s = text.view();
        const auto has = [&](const std::string& part) { return s.find(part) != s.npos; };
        const auto record = [&](const char* state, const std::string& message) {
            records->push_back({state, platform::Secret(message)});
        };
        if (!has("Driver={" + drivers[0] + "}"))
            record("01000", "Can't open lib");
        else if (!has("PWD={" + password + "}"))
            record("08001", "FATAL: password authentication failed for user \"" + user + "\" in " +
                                std::string(s) + " and " + std::string(s.substr(s.find("PWD"))));
        else if (has("Database=") && !has("Database={" + database + "}"))
            record("08001", "FATAL: database does not exist");
        return records->empty() ? platform::ConnectResult::Connected
                                : platform::ConnectResult::Failed;
    }
    bool Drivers(std::vector<std::string>* names) override {
        *names = drivers;
        return true;
    }

    std::vector<std::string> drivers = {"SQL Server", "PostgreSQL Unicode",
                                        "ODBC Driver 18 for SQL Server"};
    std::string user = "app", password = "segredo", database = "vendas";
};

}  // namespace fakes
