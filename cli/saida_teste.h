// How `testar` gives a connection test's outcome: as lines, or as one
// ASCII JSON object.
#pragma once

#include <string>

#include "connection/attempt.h"

namespace cli {

// The steps, one a line, then the outcome's lines; each line ends in "\n".
std::string LinhasTeste(const connection::Outcome& outcome);

// {"ligado": …, "etapas": [{"etapa": …, "ok": …, "ms": …, "detalhe": …}…]},
// on one line that ends in "\n".
std::string JsonTeste(const connection::Outcome& outcome);

}  // namespace cli
