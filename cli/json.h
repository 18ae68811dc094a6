// Texts as JSON strings in ASCII alone: every other character as a \u
// escape, so that no code page a console or a pipe applies can change them.
#pragma once

#include <string>

namespace cli {

// `utf8` as a quoted JSON string. A byte that is not part of a valid UTF-8
// sequence becomes U+FFFD.
std::string TextoJson(const std::string& utf8);

}  // namespace cli
