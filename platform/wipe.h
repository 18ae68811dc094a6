// Overwrites a secret held in a string before the string lets it go, so
// that a password does not stay in freed memory.
#pragma once

#include <string>

namespace platform {

template <typename Char>
void Wipe(std::basic_string<Char>& text) {
    // Through a volatile pointer: the writes to a string about to be
    // cleared would otherwise be dropped as dead stores.
    volatile Char* p = text.data();
    for (std::size_t i = 0; i < text.size(); ++i) p[i] = Char();
    text.clear();
}

}  // namespace platform
