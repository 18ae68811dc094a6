// Standard input, output and error as the companion uses them, in UTF-8.
// cli/consola_win32.cpp gives the real one; the tests give a double.
#pragma once

#include <cstddef>
#include <string>

#include "platform/secret.h"

namespace cli {

class Consola {
public:
    virtual ~Consola() = default;
    virtual void Escrever(const std::string& utf8) = 0;
    virtual void Erro(const std::string& utf8) = 0;
    // True when standard input is a console, where a person types.
    virtual bool EntradaInterativa() = 0;
    // Turns the echo of what is typed at the console off, or back to what it
    // was. Once off, it is put back also when the program is ended by Ctrl+C.
    virtual void Eco(bool ligado) = 0;
    // Standard input up to its first line end, which it takes but does not
    // give; it stops taking once it holds more than `limite` bytes. False
    // when the input ends before any character. The line is a password: it
    // goes into a secret, with no plain copy on the way.
    virtual bool LerLinha(std::size_t limite, platform::Secret* utf8) = 0;
};

}  // namespace cli
