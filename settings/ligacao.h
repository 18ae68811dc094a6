// The target of a connection test, made from the settings by one rule for
// the window (the values typed, or the password as stored) and for the
// companion's `testar` (the values as stored).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "connection/connection_string.h"
#include "settings/definicoes.h"

namespace settings {

// One setting's value as a test takes it, borrowed from the caller: typed
// (UTF-8) or, when `guardado`, as stored (code-page bytes; for the
// password, its scrambled form).
struct ValorDoTeste {
    std::string_view texto;
    bool guardado = false;
};

// The target for the five values, in the order of kDefinicoes ("Segurança"
// has no place in a connection string), with the driver `driver`. A
// stored password is decoded with this machine's key: nothing when it does
// not decode here.
std::optional<connection::Target> AlvoDoTeste(
    const std::array<ValorDoTeste, kDefinicoes.size()>& valores,
    std::string driver = connection::kDefaultDriver);

}  // namespace settings
