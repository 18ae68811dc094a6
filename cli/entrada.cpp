#include "cli/entrada.h"

#include "cli/opcoes.h"
#include "settings/definicoes.h"

namespace cli {
namespace {

const char kNadaFeito[] = ": nada foi gravado nem verificado.";

// The echo stays off for the reading alone, whatever way it ends.
class SemEco {
public:
    explicit SemEco(Consola& consola) : consola_(consola) { consola_.Eco(false); }
    ~SemEco() { consola_.Eco(true); }
    SemEco(const SemEco&) = delete;
    SemEco& operator=(const SemEco&) = delete;

private:
    Consola& consola_;
};

}  // namespace

std::string LerPalavraPasse(Consola& consola, platform::Secret* utf8) {
    platform::Secret& linha = *utf8;
    bool lida = false;
    // Room for a byte-order mark and a carriage return besides the limit.
    const std::size_t limite = kMaxBytesEntrada + 4;
    if (consola.EntradaInterativa()) {
        consola.Erro("Palavra-passe: ");
        {
            SemEco semEco(consola);
            lida = consola.LerLinha(limite, &linha);
        }
        consola.Erro("\n");  // the line end typed was not echoed
    } else {
        lida = consola.LerLinha(limite, &linha);
    }
    if (linha.view().substr(0, 3) == "\xEF\xBB\xBF") linha.Erase(0, 3);  // a byte-order mark
    if (!linha.empty() && linha.view().back() == '\r') linha.Truncate(linha.size() - 1);

    std::string erro;
    if (!lida) {
        erro = "Não foi lida nenhuma linha da entrada padrão";
    } else if (linha.size() > kMaxBytesEntrada) {
        erro = "A entrada padrão excede " + std::to_string(kMaxBytesEntrada) + " bytes";
    } else if (const std::size_t nulo = linha.view().find('\0'); nulo != std::string::npos) {
        erro = "A entrada padrão contém um carácter nulo (byte " + std::to_string(nulo + 1) + ")";
    } else if (linha.empty()) {
        return "A palavra-passe lida da entrada padrão está vazia: nada foi gravado nem "
               "verificado. Para a palavra-passe vazia, use " +
               std::string(kOpcaoVazia) + ".";
    } else {
        return {};
    }
    linha.Clear();
    return erro + kNadaFeito;
}

}  // namespace cli
