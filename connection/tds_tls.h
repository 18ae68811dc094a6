// The TLS handshake as SQL Server's wire protocol (TDS) carries it: the
// client's TLS records go as the data of PRELOGIN packets (type 0x12),
// and the server answers in PRELOGIN packets too (servers older than TDS
// 7.2 in tabular-result packets, 0x04: both are taken). Once the
// handshake is over, TLS runs straight on the connection; the steps stop
// there.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace connection {

// The packet size a client uses before the login sets another.
constexpr std::size_t kHandshakePacketSize = 4096;
// The most a server's handshake may send: certificate chains are a few
// kilobytes.
constexpr std::size_t kMaxHandshake = 1 << 18;

// `records` as PRELOGIN packets of at most kHandshakePacketSize bytes, the
// last one marked as the end of the message.
std::string WrapHandshake(std::string_view records);

// Takes the TLS records out of the server's packets as their bytes come,
// checking the packets' headers and the records' own: a content type TLS
// knows, version 3.x, and a length within TLS's limit.
class HandshakeReader {
public:
    enum class Status { Ok, Malformed };
    // Adds `received` to what came before and appends to `*records` the
    // data of every whole packet now there. Malformed, for good, as soon as
    // the bytes cannot be a server's handshake.
    Status Take(std::string_view received, std::string* records);
    // The description of the last alert the server sent in the clear
    // (70 protocol_version, 40 handshake_failure...), or -1.
    int Alert() const { return alert_; }

private:
    bool CheckRecords(std::string_view data);
    Status Refuse();

    std::string pending_;         // the start of a packet not yet whole
    std::size_t total_ = 0;       // bytes taken so far
    std::string recordHeader_;    // the start of a record's 5-byte header
    std::size_t recordLeft_ = 0;  // bytes of the current record still to come
    std::string alertBody_;       // the current record's, when it is an alert in the clear
    bool inAlert_ = false;
    int alert_ = -1;
    bool malformed_ = false;
};

}  // namespace connection
