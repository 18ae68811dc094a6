#include "connection/server_address.h"

#include <algorithm>
#include <cctype>

#include "connection/same_name.h"

namespace connection {
namespace {

// Four decimal parts from 0 to 255; with `leadingZeros` false, none of
// them written with a leading zero, as inside an IPv6 address.
bool IsIpv4(std::string_view text, bool leadingZeros = true) {
    int parts = 0;
    while (true) {
        std::size_t digits = 0;
        unsigned value = 0;
        while (digits < text.size() && digits < 4 &&
               std::isdigit(static_cast<unsigned char>(text[digits])))
            value = value * 10 + (text[digits++] - '0');
        if (digits == 0 || digits > 3 || value > 255) return false;
        if (!leadingZeros && digits > 1 && text[0] == '0') return false;
        ++parts;
        text.remove_prefix(digits);
        if (text.empty()) return parts == 4;
        if (text.front() != '.' || parts == 4) return false;
        text.remove_prefix(1);
    }
}

// The number of groups in `text`, groups of one to four hexadecimal digits
// separated by single colons, the last of them possibly an IPv4 address
// (two groups) when `v4Tail`; -1 when it is not such a list. Empty: 0.
int Groups(std::string_view text, bool v4Tail) {
    if (text.empty()) return 0;
    int groups = 0;
    while (true) {
        const std::size_t colon = text.find(':');
        const std::string_view group = text.substr(0, colon);
        if (colon == std::string_view::npos && v4Tail && IsIpv4(group, false)) return groups + 2;
        if (group.empty() || group.size() > 4 ||
            !std::all_of(group.begin(), group.end(),
                         [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
            return -1;
        ++groups;
        if (colon == std::string_view::npos) return groups;
        text.remove_prefix(colon + 1);
    }
}

// An IPv6 address in text: eight groups, or fewer with one "::" standing
// for the missing ones (at least one); the last two may be an IPv4
// address. No zone.
bool IsIpv6(std::string_view text) {
    const std::size_t gap = text.find("::");
    if (gap == std::string_view::npos) return Groups(text, true) == 8;
    if (text.find("::", gap + 1) != std::string_view::npos) return false;
    const int before = Groups(text.substr(0, gap), false);
    const int after = Groups(text.substr(gap + 2), true);
    return before >= 0 && after >= 0 && before + after <= 7;
}

// The characters a host name may hold: letters, digits, '-', '.' and '_'
// (Windows computer names), and any beyond ASCII (international names,
// which the resolver encodes).
bool IsHostName(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return std::isalnum(u) || c == '-' || c == '.' || c == '_' || u >= 0x80;
    });
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
    if (SameName(rest.substr(0, 4), "tcp:")) rest.remove_prefix(4);

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
    if (SameName(rest, "(local)") || rest == "." || SameName(rest, "localhost")) {
        server.host = "localhost";
    } else if (IsIpv4(rest) || IsIpv6(rest)) {
        server.host = std::string(rest);
        server.numeric = true;
    } else if (!IsHostName(rest)) {
        // Named pipes, shared memory and the other protocols ("np:", "lpc:",
        // "admin:", "(localdb)") do not go over TCP; nor does a text that is
        // neither an address nor a name.
        return Unreadable("\"" + std::string(text) + "\" não é um nome, endereço ou porta TCP");
    } else {
        server.host = std::string(rest);
    }
    server.readable = true;
    return server;
}

}  // namespace connection
