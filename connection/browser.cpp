#include "connection/browser.h"

#include <cctype>
#include <functional>

#include "connection/same_name.h"

namespace connection {
namespace {

// 1 to 65535 in decimal digits, or 0.
std::uint16_t Port(std::string_view text) {
    unsigned long value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
        value = value * 10 + (c - '0');
        if (value > 65535) return 0;
    }
    return static_cast<std::uint16_t>(value);
}

// One instance's entry: the pairs it gives, in order.
using Entry = std::function<void(std::string_view key, std::string_view value)>;

// Reads a whole answer, giving each pair to `pair` and calling `end` after
// each instance's entry; false, part way through or before the first call,
// when the answer is not whole.
bool ReadAnswer(std::string_view datagram, const Entry& pair, const std::function<void()>& end) {
    if (datagram.size() < 3 || datagram[0] != '\x05') return false;
    const std::size_t length =
        static_cast<unsigned char>(datagram[1]) | static_cast<unsigned char>(datagram[2]) << 8;
    std::string_view data = datagram.substr(3);
    if (data.size() != length || data.empty()) return false;
    // Each field ends in ';'; an empty key ends the instance's entry.
    const auto field = [&data](std::string_view* text) {
        const std::size_t end = data.find(';');
        if (end == std::string_view::npos) return false;
        *text = data.substr(0, end);
        data.remove_prefix(end + 1);
        return true;
    };
    bool inEntry = false;
    while (!data.empty()) {
        std::string_view key, value;
        if (!field(&key)) return false;
        if (key.empty()) {
            if (!inEntry) return false;
            if (end) end();
            inEntry = false;
            continue;
        }
        if (!field(&value)) return false;
        if (pair) pair(key, value);
        inEntry = true;
    }
    return !inEntry;
}

}  // namespace

std::string BrowserRequest(std::string_view instance) {
    std::string request(1, '\x04');
    request += instance;
    request += '\0';
    return request;
}

std::string BrowserListRequest() { return std::string(1, '\x03'); }

bool IsBrowserAnswer(std::string_view datagram) { return ReadAnswer(datagram, {}, {}); }

std::uint16_t BrowserPort(std::string_view answer, std::string_view instance) {
    bool ours = false;
    std::uint16_t port = 0, found = 0;
    const bool whole = ReadAnswer(
        answer,
        [&](std::string_view key, std::string_view value) {
            if (SameName(key, "InstanceName")) ours = SameName(value, instance);
            if (SameName(key, "tcp")) port = Port(value);
        },
        [&] {
            if (ours && !found) found = port;
            ours = false;
            port = 0;
        });
    return whole ? found : 0;
}

}  // namespace connection
