// Feeds arbitrary bytes to the reader of a SQL Server Browser answer: the
// bytes up to the first NUL name the instance, the rest is the datagram.
// A port comes only from a whole answer (its type, a length equal to the
// data, the data ending an instance's entry) that names the instance and
// gives that port; a whole answer cut by its last byte is never whole.
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "connection/browser.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// The datagram with its length field set to the data it holds.
std::string Framed(std::string_view data) {
    return std::string("\x05") + static_cast<char>(data.size() & 0xFF) +
           static_cast<char>(data.size() >> 8 & 0xFF) + std::string(data);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(bytes), size);
    const std::size_t nul = input.find('\0');
    const std::string_view instance = input.substr(0, nul);
    const std::string_view datagram = nul == input.npos ? input : input.substr(nul + 1);
    const bool whole = connection::IsBrowserAnswer(datagram);
    const std::uint16_t port = connection::BrowserPort(datagram, instance);
    if (port != 0) {
        Check(whole);
        const std::string data = Upper(datagram.substr(3));
        Check(data.size() >= 2 && data.compare(data.size() - 2, 2, ";;") == 0);
        Check(data.find("INSTANCENAME;" + Upper(instance) + ";") != std::string::npos);
        // "tcp;" then the port's digits, with leading zeros or not, then ';'.
        bool given = false;
        for (std::size_t at = data.find("TCP;"); at != std::string::npos && !given;
             at = data.find("TCP;", at + 1)) {
            const std::size_t end = data.find(';', at + 4);
            const std::string digits = data.substr(at + 4, end - at - 4);
            given = end != std::string::npos && !digits.empty() && digits.size() < 10 &&
                    digits.find_first_not_of("0123456789") == std::string::npos &&
                    std::stoul(digits) == port;
        }
        Check(given);
    }
    // A whole answer's length field is the data's; cut by its last byte
    // (and framed again) it is never whole.
    if (whole) {
        const std::string_view data = datagram.substr(3);
        Check(Framed(data) == datagram);
        Check(!connection::IsBrowserAnswer(Framed(data.substr(0, data.size() - 1))));
    }
    return 0;
}
