#include "connection/tds_tls.h"

#include <algorithm>

namespace connection {
namespace {

constexpr unsigned char kPrelogin = 0x12, kTabularResult = 0x04, kEndOfMessage = 0x01;
constexpr std::size_t kHeader = 8;
constexpr std::size_t kMaxPacket = 32767;  // TDS's largest packet
constexpr std::size_t kRecordHeader = 5;
constexpr unsigned kAlert = 21;
constexpr std::size_t kMaxRecord = (1 << 14) + 2048;  // TLS's largest record body

unsigned Byte(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }
std::size_t BigEndian16(std::string_view s, std::size_t i) {
    return std::size_t{Byte(s, i)} << 8 | Byte(s, i + 1);
}

}  // namespace

std::string WrapHandshake(std::string_view records) {
    std::string packets;
    unsigned char number = 1;
    do {
        const std::string_view data = records.substr(0, kHandshakePacketSize - kHeader);
        records.remove_prefix(data.size());
        const std::size_t length = kHeader + data.size();
        packets += static_cast<char>(kPrelogin);
        packets += static_cast<char>(records.empty() ? kEndOfMessage : 0);
        packets += static_cast<char>(length >> 8);
        packets += static_cast<char>(length & 0xFF);
        packets += std::string(2, '\0');  // process id
        packets += static_cast<char>(number++);
        packets += '\0';  // window
        packets += data;
    } while (!records.empty());
    return packets;
}

HandshakeReader::Status HandshakeReader::Take(std::string_view received, std::string* records) {
    if (malformed_ || received.size() > kMaxHandshake - total_) return Refuse();
    total_ += received.size();
    pending_.append(received);
    std::string_view rest = pending_;
    while (!rest.empty()) {
        if (Byte(rest, 0) != kPrelogin && Byte(rest, 0) != kTabularResult) return Refuse();
        if (rest.size() < 4) break;
        const std::size_t length = BigEndian16(rest, 2);
        if (length <= kHeader || length > kMaxPacket) return Refuse();
        if (rest.size() < length) break;
        const std::string_view data = rest.substr(kHeader, length - kHeader);
        if (!CheckRecords(data)) return Refuse();
        records->append(data);
        rest.remove_prefix(length);
    }
    pending_.erase(0, pending_.size() - rest.size());
    return Status::Ok;
}

HandshakeReader::Status HandshakeReader::Refuse() {
    malformed_ = true;
    return Status::Malformed;
}

// Follows the records through the data, which may cut them anywhere.
bool HandshakeReader::CheckRecords(std::string_view data) {
    while (!data.empty()) {
        if (recordLeft_ > 0) {
            const std::size_t body = std::min(recordLeft_, data.size());
            if (inAlert_) alertBody_.append(data.substr(0, body));
            recordLeft_ -= body;
            data.remove_prefix(body);
            if (inAlert_ && recordLeft_ == 0) alert_ = Byte(alertBody_, 1);
            continue;
        }
        const std::size_t part = std::min(kRecordHeader - recordHeader_.size(), data.size());
        recordHeader_.append(data.substr(0, part));
        data.remove_prefix(part);
        if (recordHeader_.size() < kRecordHeader) break;
        // change_cipher_spec, alert, handshake, application_data, heartbeat
        const unsigned type = Byte(recordHeader_, 0);
        const std::size_t length = BigEndian16(recordHeader_, 3);
        if (type < 20 || type > 24 || Byte(recordHeader_, 1) != 3 || length == 0 ||
            length > kMaxRecord)
            return false;
        recordLeft_ = length;
        // An alert in the clear is a level byte and a description byte.
        inAlert_ = type == kAlert && length == 2;
        alertBody_.clear();
        recordHeader_.clear();
    }
    return true;
}

}  // namespace connection
