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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto check = [](bool condition) {
        if (!condition) std::abort();
    };
    cli::EstadoDesejado state, again;
    const std::string refusal =
        cli::AnalisarEstadoDesejado({reinterpret_cast<const char*>(data), size}, &state);
    check(refusal.size() < 200);
    cli::Json json = cli::Json::object();
    for (std::size_t i = 0; i < state.textos.size(); ++i)
        if (state.textos[i]) json[settings::kDefinicoes[i].propriedade] = *state.textos[i];
    if (state.palavraPasse) {
        const std::string password(state.palavraPasse->view());
        json["palavraPasse"] =
            size % 2 ? cli::Json(password) : cli::Json{{"secureString", password}};
    }
    check(cli::AnalisarEstadoDesejado(cli::LinhaJson(json), &again).empty());
    check(state.textos == again.textos &&
          state.palavraPasse.has_value() == again.palavraPasse.has_value() &&
          (!state.palavraPasse || *state.palavraPasse == *again.palavraPasse));
    return 0;
}
