#include "connection/alias.h"

#include "connection/same_name.h"

namespace connection {
namespace {

constexpr std::uint32_t kLocalMachine = 0x80000002;
constexpr char kAliases[] = "SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo";

}  // namespace

Alias ReadAlias(std::string_view data) {
    data = Trimmed(data);
    const std::size_t comma = data.find(',');
    Alias alias;
    alias.kind = Alias::Kind::Other;
    alias.target = std::string(data);
    if (comma != std::string_view::npos && SameName(Trimmed(data.substr(0, comma)), "DBMSSOCN")) {
        alias.kind = Alias::Kind::Tcp;
        alias.target = std::string(Trimmed(data.substr(comma + 1)));
    }
    return alias;
}

Alias FindAlias(platform::Registry& registry, std::string_view server) {
    const std::string name(Trimmed(server));
    if (name.empty()) return {};
    platform::KeyHandle key = 0;
    if (registry.OpenKey(kLocalMachine, kAliases, platform::kKeyRead, &key) != platform::kSuccess)
        return {};
    char data[1024];
    std::uint32_t type = 0, size = sizeof data;
    bool exact = true;
    const long status = registry.QueryValue(key, name, &type, data, &size, &exact);
    registry.CloseKey(key);
    if (status != platform::kSuccess || type != platform::kRegSz || !exact || size == 0) return {};
    const std::string_view text(data, size);
    return ReadAlias(text.substr(0, text.find('\0')));
}

}  // namespace connection
