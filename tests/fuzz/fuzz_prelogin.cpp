// Feeds any bytes to the reader of a server's PRELOGIN answer, as they
// would come from the port. Beyond what the sanitizers catch, aborts when
// the reader takes a message as whole before its last byte: every strict
// prefix of an answer read as Ok must read as Incomplete, since the steps
// stop receiving at the first read that is not.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "connection/prelogin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using connection::PreloginAnswer;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const PreloginAnswer answer = connection::ReadPreloginAnswer(bytes);
    if (answer.status != PreloginAnswer::Status::Ok) return 0;
    for (const std::size_t cut : {std::size_t{0}, size / 2, size - 1})
        if (connection::ReadPreloginAnswer(bytes.substr(0, cut)).status !=
            PreloginAnswer::Status::Incomplete)
            std::abort();
    if (connection::ServerVersion(answer).empty() || !*connection::EncryptionName(answer.encryption))
        std::abort();
    return 0;
}
