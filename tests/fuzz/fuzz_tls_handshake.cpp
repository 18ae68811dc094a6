// Feeds any bytes to the reader of a server's TLS handshake packets, as
// they would come from the port, cut where the first byte says. Beyond
// what the sanitizers catch, aborts when the records taken out are more
// than the bytes given, or when the same bytes read differently whole and
// cut in two: the reader must not depend on how the network splits them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "connection/tds_tls.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using connection::HandshakeReader;
    if (size == 0) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t cut = data[0] * bytes.size() / 255;
    HandshakeReader whole, split;
    std::string fromWhole, fromSplit;
    const HandshakeReader::Status a = whole.Take(bytes, &fromWhole);
    HandshakeReader::Status b = split.Take(bytes.substr(0, cut), &fromSplit);
    if (b == HandshakeReader::Status::Ok) b = split.Take(bytes.substr(cut), &fromSplit);
    if (fromWhole.size() > bytes.size() || a != b ||
        (a == HandshakeReader::Status::Ok &&
         (fromWhole != fromSplit || whole.Alert() != split.Alert())))
        std::abort();
    return 0;
}
