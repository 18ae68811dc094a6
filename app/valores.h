// The checks every value passes before the first write: each must be
// stored exactly and read back unchanged. They give the value to store or
// the message that says why it cannot be, so that the window and the
// command-line companion refuse the same values with the same words.
#pragma once

#include <string>

namespace app {

struct Verificacao {
    bool aceite = false;
    std::string valor;     // what to store (code-page bytes) when accepted
    std::string mensagem;  // why not (UTF-8) when refused
};

// A text field's value, named in messages by its connection-string keyword
// ("Data Source"): it must have an exact form in the system's code page
// and fit what the registry store can read back.
Verificacao VerificarTexto(const std::string& palavraChave, const std::string& utf8);

// A new password: checked as the "Password" field, then scrambled. Every
// character must come back as itself when unscrambled, and the stored form
// must survive the code page conversion that storing and reading it go
// through. Accepted, `valor` is the stored form.
Verificacao VerificarPalavraPasse(const std::string& utf8);

// True when code-page bytes convert to Unicode and back unchanged, as the
// registry's ANSI calls convert them when storing and reading.
bool SobreviveAPaginaDeCodigo(const std::string& ansi);

}  // namespace app
