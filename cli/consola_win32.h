// The Win32 console, and a message box that prints to standard error, so
// that the core's messages reach a console program's user.
#pragma once

#include <cstddef>

#include "cli/consola.h"
#include "platform/platform.h"

namespace cli {

class ConsolaWin32 : public Consola {
public:
    void Escrever(const std::string& utf8) override;
    void Erro(const std::string& utf8) override;
    bool EntradaInterativa() override;
    void Eco(bool ligado) override;
    bool LerLinha(std::size_t limite, platform::Secret* utf8) override;
};

class MensagemNaConsola : public platform::MessageDialog {
public:
    explicit MensagemNaConsola(Consola& consola) : consola_(consola) {}
    void Show(const std::string& utf8Text, platform::Icon icon) override;

private:
    Consola& consola_;
};

}  // namespace cli
