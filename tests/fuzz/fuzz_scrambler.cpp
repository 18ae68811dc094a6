// Feeds arbitrary texts and keys to both directions of the scrambler. The
// first four bytes of the input are the volume serial (so the key varies),
// the rest is the text. Aborts when a result breaks the scrambler's rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "fakes/fake_volume.h"
#include "platform/platform.h"
#include "platform/runtime_failure.h"
#include "scrambler/modEncriptSerial.h"

namespace {

bool IsSpecialSum(int sum) {
    for (int special : {127, 129, 35, 141, 143, 144, 36, 157}) {
        if (sum == special) return true;
    }
    return false;
}

void Check(bool condition) {
    if (!condition) std::abort();
}

// Runs `call`; a failure must be the invalid-argument one. Returns whether
// it succeeded, leaving its text in `out`.
template <typename F>
bool Attempt(F call, std::string* out) {
    try {
        *out = call().view();
        return true;
    } catch (const platform::RuntimeFailure& failure) {
        Check(failure.number() == platform::kErrInvalidArgument);
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fakes::FakeVolume volume;
    static platform::Services services = [] {
        platform::Services s;
        s.volume = &volume;
        return s;
    }();
    static platform::ScopedServices guard(services);

    if (size < 4) return 0;
    std::memcpy(&volume.serial, data, 4);
    const std::string text(reinterpret_cast<const char*>(data + 4), size - 4);
    modEncriptSerial::EsquecerChave();
    const std::string key = modEncriptSerial::ObterChaveSerial();

    bool anySumAbove255 = false;
    bool everySumRestorable = true;
    for (std::size_t j = 0; j < text.size(); ++j) {
        const int sum =
            static_cast<unsigned char>(text[j]) + static_cast<unsigned char>(key[j % key.size()]);
        anySumAbove255 = anySumAbove255 || sum > 255;
        everySumRestorable = everySumRestorable && (sum <= 247 || IsSpecialSum(sum));
    }

    std::string stored;
    const bool encoded = Attempt([&] { return modEncriptSerial::Encriptar(text); }, &stored);
    Check(encoded == !anySumAbove255);
    if (encoded) {
        Check(stored.size() == text.size());
        std::string restored;
        const bool decoded =
            Attempt([&] { return modEncriptSerial::Desencriptar(stored); }, &restored);
        if (everySumRestorable) Check(decoded && restored == text);
    }

    std::string plain;
    if (Attempt([&] { return modEncriptSerial::Desencriptar(text); }, &plain)) {
        Check(plain.size() == text.size());
    }
    return 0;
}
