// The password given to the companion on standard input.
#pragma once

#include <string>

#include "cli/consola.h"

namespace cli {

// The most standard input may hold for a password, line end aside.
constexpr std::size_t kMaxBytesEntrada = 1024;

// Reads the password (UTF-8) from standard input: at a console, after the
// prompt "Palavra-passe: " on standard error and with the echo off. Gives
// an empty text when it is accepted, or the message that refuses it: no
// line, an empty line, more than kMaxBytesEntrada bytes, or a NUL. A
// message never holds the password's characters.
std::string LerPalavraPasse(Consola& consola, platform::Secret* utf8);

}  // namespace cli
