// Standard input, output and error as the companion uses them, in UTF-8.
// cli/consola_win32.cpp gives the real one; the tests give a double.
#pragma once

#include <string>

namespace cli {

class Consola {
public:
    virtual ~Consola() = default;
    virtual void Escrever(const std::string& utf8) = 0;
    virtual void Erro(const std::string& utf8) = 0;
    // One line of standard input without its line end; false when the input
    // ends before any character.
    virtual bool LerLinha(std::string* utf8) = 0;
};

}  // namespace cli
