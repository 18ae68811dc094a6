#include "connection/browser.h"

#include <cctype>

namespace connection {
namespace {

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::uint16_t Port(std::string_view text) {
    unsigned long value = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return 0;
        value = value * 10 + (c - '0');
        if (value > 65535) return 0;
    }
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::string BrowserRequest(std::string_view instance) {
    std::string request(1, '\x04');
    request += instance;
    request += '\0';
    return request;
}

std::uint16_t BrowserPort(std::string_view answer, std::string_view instance) {
    if (answer.size() < 3 || answer[0] != '\x05') return 0;
    const std::size_t length =
        static_cast<unsigned char>(answer[1]) | static_cast<unsigned char>(answer[2]) << 8;
    std::string_view data = answer.substr(3, length);
    // Each instance: pairs up to an empty key.
    bool ours = false;
    while (!data.empty()) {
        const std::size_t keyEnd = data.find(';');
        const std::string_view key = data.substr(0, keyEnd);
        if (keyEnd == std::string_view::npos) return 0;
        data.remove_prefix(keyEnd + 1);
        if (key.empty()) {
            ours = false;
            continue;
        }
        const std::size_t valueEnd = data.find(';');
        const std::string_view value = data.substr(0, valueEnd);
        data.remove_prefix(valueEnd == std::string_view::npos ? data.size() : valueEnd + 1);
        if (SameName(key, "InstanceName")) ours = SameName(value, instance);
        if (ours && SameName(key, "tcp")) return Port(value);
    }
    return 0;
}

}  // namespace connection
