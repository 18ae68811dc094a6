// Feeds arbitrary bytes to the reader of the DSC desired state. A state it
// takes must come back the same when written out as JSON again (escapes,
// surrogate pairs and the secure-string form of the password included); a
// refusal must be a short message, never the input quoted back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "cli/dsc_entrada.h"
#include "cli/saida_json.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

bool Same(const cli::EstadoDesejado& a, const cli::EstadoDesejado& b) {
    return a.textos == b.textos && a.palavraPasse.has_value() == b.palavraPasse.has_value() &&
           (!a.palavraPasse || *a.palavraPasse == *b.palavraPasse);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    cli::EstadoDesejado state;
    const std::string refusal = cli::AnalisarEstadoDesejado(input, &state);
    if (!refusal.empty()) {
        Check(refusal.size() < 200);
        Check(!state.palavraPasse && state.textos == decltype(state.textos){});
        return 0;
    }
    cli::Json again = cli::Json::object();
    for (std::size_t i = 0; i < state.textos.size(); ++i)
        if (state.textos[i]) again[cli::kPropriedades[i]] = *state.textos[i];
    if (state.palavraPasse) {
        const std::string password(state.palavraPasse->view());
        again["palavraPasse"] =
            size % 2 ? cli::Json(password) : cli::Json{{"secureString", password}};
    }
    cli::EstadoDesejado reread;
    Check(cli::AnalisarEstadoDesejado(cli::LinhaJson(again), &reread).empty());
    Check(Same(state, reread));
    return 0;
}
