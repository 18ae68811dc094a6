// The SQL Server Browser's list of every instance (a CLNT_UCAST_EX
// request, byte 0x03), asked after the Browser stays silent to a request
// for one instance: it ignores a name it does not know, so an answer to
// the list tells a Browser that does not know the instance from one that
// is not there.
#pragma once

#include <string>
#include <string_view>

namespace connection {

std::string BrowserListRequest();

// Whether `answer` is a Browser's answer: byte 0x05, then a two-byte
// little-endian length that the rest holds.
bool IsBrowserAnswer(std::string_view answer);

}  // namespace connection
