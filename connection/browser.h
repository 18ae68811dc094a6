// The SQL Server Browser service's question and answer, for a named
// instance's TCP port: UDP port 1434, a request of byte 0x04 and the
// instance name (ending in a NUL); the answer is byte 0x05, a two-byte
// little-endian length and "key;value;…" pairs, one instance after another,
// each ending in ";;".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace connection {

constexpr std::uint16_t kBrowserPort = 1434;
constexpr unsigned kBrowserTimeoutMs = 2000;

std::string BrowserRequest(std::string_view instance);

// The TCP port the answer gives for `instance` (its name compared without
// regard to case), or 0 when it gives none: not an answer, another
// instance, or one without TCP.
std::uint16_t BrowserPort(std::string_view answer, std::string_view instance);

}  // namespace connection
