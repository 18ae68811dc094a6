// The companion's answers as JSON (--json, and always for `dsc`): one
// object a line, in ASCII alone, and an error exit's message as
// {"erro": "..."} (for `dsc`, each message as {"error": "..."} on standard
// error).
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "cli/consola.h"

namespace cli {

// Members stay in the order they are set: the settings' own order.
using Json = nlohmann::ordered_json;

// `objeto` on one line: every character but printable ASCII as a \u
// escape, so that no code page a console or a pipe applies can change it;
// a byte that is not part of valid UTF-8 becomes U+FFFD.
std::string LinhaJson(const Json& objeto);

// The console of a command run with --json: everything passes through, and
// Concluir gives an error exit that printed no answer the object
// {"erro": ...} on standard output, with what the command said on standard
// error since it last read standard input (before that, a prompt).
class ErrosEmJson : public Consola {
public:
    explicit ErrosEmJson(Consola& consola) : consola_(consola) {}
    void Escrever(const std::string& utf8) override;
    void Erro(const std::string& utf8) override;
    bool EntradaInterativa() override { return consola_.EntradaInterativa(); }
    void Eco(bool ligado) override { consola_.Eco(ligado); }
    bool LerLinha(std::size_t limite, platform::Secret* utf8) override;

    // Gives `saida`, the command's exit code, after the {"erro": ...}
    // object where it is owed.
    int Concluir(int saida);

private:
    Consola& consola_;
    bool respondeu_ = false;
    std::string erro_;
};

// The console of `dsc`: each message written to standard error becomes
// one line {"error": "..."}, as DSC reads the lines a resource writes
// there and shows them to whoever runs it; standard output passes through.
class MensagensDsc : public Consola {
public:
    explicit MensagensDsc(Consola& consola) : consola_(consola) {}
    void Escrever(const std::string& utf8) override { consola_.Escrever(utf8); }
    void Erro(const std::string& utf8) override;
    bool EntradaInterativa() override { return consola_.EntradaInterativa(); }
    void Eco(bool ligado) override { consola_.Eco(ligado); }
    bool LerLinha(std::size_t limite, platform::Secret* utf8) override {
        return consola_.LerLinha(limite, utf8);
    }

private:
    Consola& consola_;
};

}  // namespace cli
