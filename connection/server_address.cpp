#include "connection/server_address.h"

#include <algorithm>
#include <cctype>

#include "platform/ascii.h"

namespace connection {
namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// Four decimal parts from 0 to 255.
bool IsIpv4(std::string_view text) {
    int parts = 0;
    while (true) {
        std::size_t digits = 0;
        unsigned value = 0;
        while (digits < text.size() && std::isdigit(static_cast<unsigned char>(text[digits])))
            value = value * 10 + (text[digits++] - '0');
        if (digits == 0 || digits > 3 || value > 255) return false;
        ++parts;
        text.remove_prefix(digits);
        if (text.empty()) return parts == 4;
        if (text.front() != '.' || parts == 4) return false;
        text.remove_prefix(1);
    }
}

// Hexadecimal groups and colons (with "::" at most once), optionally
// ending in an IPv4 address; no zone.
bool IsIpv6(std::string_view text) {
    if (text.find("::") != text.rfind("::")) return false;
    if (std::count(text.begin(), text.end(), ':') < 2) return false;
    const std::size_t last = text.rfind(':');
    const std::string_view tail = text.substr(last + 1);
    const bool v4Tail = tail.find('.') != std::string_view::npos;
    if (v4Tail && !IsIpv4(tail)) return false;
    const std::string_view groups = v4Tail ? text.substr(0, last + 1) : text;
    std::size_t run = 0;
    for (const char c : groups) {
        if (c == ':') {
            run = 0;
        } else if (!std::isxdigit(static_cast<unsigned char>(c)) || ++run > 4) {
            return false;
        }
    }
    return true;
}

ServerAddress Unreadable(std::string reason) {
    ServerAddress server;
    server.reason = std::move(reason);
    return server;
}

}  // namespace

ServerAddress ReadServer(std::string_view text) {
    text = Trimmed(text);
    if (text.empty()) return Unreadable("vazio");
    std::string_view rest = text;
    if (platform::SameIgnoringCase(rest.substr(0, 4), "tcp:")) rest.remove_prefix(4);

    ServerAddress server;
    const std::size_t comma = rest.rfind(',');
    if (comma != std::string_view::npos) {
        const std::string_view port = Trimmed(rest.substr(comma + 1));
        unsigned long value = 0;
        for (const char c : port) {
            if (!std::isdigit(static_cast<unsigned char>(c)) || value > 65535) {
                value = 0;
                break;
            }
            value = value * 10 + (c - '0');
        }
        if (value == 0 || value > 65535)
            return Unreadable("a porta \"" + std::string(port) + "\" não está entre 1 e 65535");
        server.port = static_cast<std::uint16_t>(value);
        rest = Trimmed(rest.substr(0, comma));
    }
    const std::size_t slash = rest.find('\\');
    if (slash != std::string_view::npos) {
        server.instance = std::string(Trimmed(rest.substr(slash + 1)));
        if (server.instance.empty()) return Unreadable("falta o nome da instância");
        rest = Trimmed(rest.substr(0, slash));
    }
    if (rest.size() > 2 && rest.front() == '[' && rest.back() == ']' &&
        IsIpv6(rest.substr(1, rest.size() - 2)))
        rest = rest.substr(1, rest.size() - 2);
    if (platform::SameIgnoringCase(rest, "(local)") || rest == "." ||
        platform::SameIgnoringCase(rest, "localhost")) {
        server.host = "localhost";
    } else if (IsIpv4(rest) || IsIpv6(rest)) {
        server.host = std::string(rest);
        server.numeric = true;
    } else if (rest.empty() || rest.find_first_of(":()[]\\, ") != std::string_view::npos) {
        // Named pipes, shared memory and the other protocols ("np:", "lpc:",
        // "admin:", "(localdb)") do not go over TCP.
        return Unreadable("\"" + std::string(text) + "\" não é um nome, endereço ou porta TCP");
    } else {
        server.host = std::string(rest);
    }
    server.readable = true;
    return server;
}

}  // namespace connection
