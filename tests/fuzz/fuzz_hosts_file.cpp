// Feeds any bytes as a hosts file to the search for a name's line. Beyond
// what the sanitizers catch, aborts when a line found does not hold the
// name, or holds a line break or a comment.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "connection/hosts_file.h"
#include "connection/same_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte says how long the name is; the name follows.
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t length = std::min<std::size_t>(bytes[0] & 0x0F, size - 1);
    const std::string name = bytes.substr(1, length), text = bytes.substr(1 + length);
    const std::string line = connection::HostsLine(text, name);
    if (line.empty()) return 0;
    if (line.find_first_of("\n#") != std::string::npos) std::abort();
    const std::size_t at = line.find(' ');
    if (at == std::string::npos) std::abort();
    bool named = false;
    for (std::size_t start = at + 1; start <= line.size();) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        named = named || connection::SameName(line.substr(start, end - start), name);
        start = end + 1;
    }
    if (!named) std::abort();
    return 0;
}
