// Doubles of the network and of an ODBC server for the connection test's
// steps: names, open ports and Browser answers are set per case, and the
// server takes one password and knows one database (and master).
#pragma once

#include <functional>
#include <map>
#include <memory>
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
    bool ReadHostsFile(std::string* text) override {
        *text = hosts;
        return true;
    }
    // An open port's connection records what it is sent and answers with
    // `answer`, in pieces of at most `piece` bytes, then closes.
    Result Open(const std::string& address, std::uint16_t port, unsigned,
                std::unique_ptr<platform::Stream>* stream) override {
        if (unavailable) return Result::Unavailable;
        if (!open.count({address, port})) return Result::Refused;
        *stream = std::make_unique<FakeStream>(*this);
        return Result::Ok;
    }
    // The datagrams set for `address`, in order, as the Win32 side reads
    // them: those for a request of every instance from `browserList`.
    Result Ask(const std::string& address, std::uint16_t, const std::string& request, unsigned,
               const std::function<bool(std::string_view)>& whole, std::string* answer) override {
        if (unavailable) return Result::Unavailable;
        const auto& answers = request == "\x03" ? browserList : browser;
        const auto found = answers.find(address);
        if (found == answers.end() || found->second.empty()) return Result::TimedOut;
        for (const std::string& datagram : found->second) {
            *answer = datagram;
            if (whole(datagram)) break;
        }
        return Result::Ok;
    }

    // A TLS client that sends one record, takes whatever records come back
    // as the server's handshake and then ends as `tlsEnd` says, with
    // `tlsFacts`; none when `tlsUnavailable`.
    std::unique_ptr<platform::TlsClient> StartTls(const std::string& serverName) override {
        if (tlsUnavailable) return nullptr;
        tlsServerName = serverName;
        return std::make_unique<FakeTls>(*this);
    }

    std::map<std::string, std::vector<std::string>> names;
    std::set<std::pair<std::string, std::uint16_t>> open;
    std::map<std::string, std::vector<std::string>> browser;      // datagrams by sender
    std::map<std::string, std::vector<std::string>> browserList;  // to a request for every instance
    bool unavailable = false;  // Winsock did not load
    std::string answer;     // to the first thing sent
    std::string handshake;  // to the second: the server's TLS packets
    bool tlsUnavailable = false;
    platform::TlsProgress tlsEnd = platform::TlsProgress::Done;
    platform::TlsFacts tlsFacts{"TLS 1.2", "srv", "CA", "2027-12-31", false, false, true};
    std::string tlsServerName;
    std::string hosts;  // the hosts file
    std::size_t piece = 1 << 20;
    bool silent = false;  // the connection never answers
    std::vector<std::string> sent;

private:
    class FakeStream : public platform::Stream {
    public:
        explicit FakeStream(FakeNetwork& network) : n_(network) {}
        Result Send(std::string_view data, unsigned) override {
            n_.sent.emplace_back(data);
            if (sends_ < 2) left_ += sends_++ ? n_.handshake : n_.answer;
            return Result::Ok;
        }
        Result Receive(unsigned, std::string* data) override {
            if (n_.silent) return Result::TimedOut;
            if (left_.empty()) return Result::Refused;
            data->append(left_.substr(0, n_.piece));
            left_.erase(0, n_.piece);
            return Result::Ok;
        }

    private:
        FakeNetwork& n_;
        std::string left_;
        int sends_ = 0;
    };
    class FakeTls : public platform::TlsClient {
    public:
        explicit FakeTls(FakeNetwork& network) : n_(network) {}
        platform::TlsProgress Step(std::string_view received, std::string* send,
                                   unsigned long* code) override {
            if (!started_) {
                started_ = true;
                *send = std::string("\x16\x03\x01\x00\x05hello", 10);
                return platform::TlsProgress::More;
            }
            if (received.empty()) return platform::TlsProgress::More;
            *code = 0x80090326;
            if (n_.tlsEnd == platform::TlsProgress::Done)
                *send = std::string("\x14\x03\x03\x00\x01\x01", 6);
            return n_.tlsEnd;
        }
        platform::TlsFacts Facts() override { return n_.tlsFacts; }

    private:
        FakeNetwork& n_;
        bool started_ = false;
    };
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
        else if (has("Database=") && !has("Database={" + database + "}") &&
                 !has("Database={master}"))
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
