#include "connection/browser_list.h"

namespace connection {

std::string BrowserListRequest() { return std::string(1, '\x03'); }

bool IsBrowserAnswer(std::string_view answer) {
    if (answer.size() < 3 || answer[0] != '\x05') return false;
    const std::size_t length =
        static_cast<unsigned char>(answer[1]) | static_cast<unsigned char>(answer[2]) << 8;
    return length > 0 && answer.size() - 3 >= length;
}

}  // namespace connection
