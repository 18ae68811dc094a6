// The SQL Server Browser service's question and answer, for a named
// instance's TCP port: UDP port 1434, a request of byte 0x04 and the
// instance name (ending in a NUL); the answer is byte 0x05, a two-byte
// little-endian length of the data that follows, and the data:
// "key;value;…" pairs, one instance after another, each ending in an empty
// key (so in ";;").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace connection {

constexpr std::uint16_t kBrowserPort = 1434;
constexpr unsigned kBrowserTimeoutMs = 2000;

std::string BrowserRequest(std::string_view instance);

// The request for every instance the Browser knows (CLNT_UCAST_EX, byte
// 0x03), asked after it stays silent to a request for one instance: it
// ignores a name it does not know, so an answer to the list tells a
// Browser that does not know the instance from one that is not there.
std::string BrowserListRequest();

// True when `datagram` is a whole answer: its type, a length equal to the
// data received, and every key and value ended by ';', each instance by an
// empty key.
bool IsBrowserAnswer(std::string_view datagram);

// The TCP port (1 to 65535) a whole answer gives for `instance` (its name
// compared without regard to case), or 0 when it gives none: not a whole
// answer, another instance, or one without a TCP port.
std::uint16_t BrowserPort(std::string_view answer, std::string_view instance);

}  // namespace connection
