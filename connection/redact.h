// A driver's record made safe to show: a driver may repeat its connection
// string, or a password pair of it, in a message. Redaction goes by
// keyword, never by looking for the password's value, so that what is
// shown tells nothing about the password.
#pragma once

#include <string>
#include <string_view>

namespace connection {

// `record` with each copy of `connectionString` and the value of every
// "PWD=" or "Password=" pair (keyword in any case; the value braced or
// not, up to its ";" or the end) replaced by "***", on one line (line
// ends and tabs as spaces, none at the end). The result is built from the
// parts kept alone: no copy of what is redacted is made.
std::string Redact(std::string_view record, std::string_view connectionString);

}  // namespace connection
