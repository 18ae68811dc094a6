#include "settings/definicoes.h"

#include <cctype>

#include "platform/platform.h"
#include "platform/runtime_failure.h"
#include "platform/wipe.h"
#include "scrambler/modEncriptSerial.h"

namespace settings {

void Apagar(std::string& texto) { platform::Wipe(texto); }

ValorLido LerDefinicao(const std::string& nome) {
    const modRegistry::ResultadoLeitura r =
        modRegistry::ObterValorString(kCaminhoDefinicoes, nome);
    if (r.IsTexto()) return {ValorLido::Estado::Texto, r.texto()};
    if (r.NaoExiste()) return {ValorLido::Estado::NaoExiste, {}};
    return {ValorLido::Estado::Ilegivel, {}};
}

int ItemSeguranca(std::string texto) {
    texto.erase(texto.find_last_not_of(' ') + 1);
    for (std::size_t i = 0; i < kItensSeguranca.size(); ++i) {
        const std::string& item = kItensSeguranca[i];
        bool igual = texto.size() == item.size();
        for (std::size_t c = 0; igual && c < item.size(); ++c)
            igual = std::tolower(static_cast<unsigned char>(texto[c])) ==
                    std::tolower(static_cast<unsigned char>(item[c]));
        if (igual) return static_cast<int>(i);
    }
    return -1;
}

bool DecifrarPalavraPasse(const std::string& guardada, std::string* decifrada) {
    bool mesma = false;
    try {
        *decifrada = modEncriptSerial::Desencriptar(guardada);
        mesma = modEncriptSerial::Encriptar(*decifrada) == guardada;
    } catch (const platform::RuntimeFailure&) {
        // a code fell out of range: stored with another key
    }
    if (!mesma) Apagar(*decifrada);
    return mesma;
}

bool PalavraPasseLegivel(const std::string& guardada) {
    std::string decifrada;
    const bool legivel = DecifrarPalavraPasse(guardada, &decifrada);
    Apagar(decifrada);
    return legivel;
}

std::string MensagemNaoLidos(const std::vector<std::string>& nomes) {
    std::string mensagem = "Não foi possível ler:";
    for (const auto& nome : nomes) mensagem += "\n" + nome;
    return mensagem + "\n\nSe não os alterar, ficam guardados como estão.";
}

std::string MensagemFalhaEmCurso() {
    const platform::RuntimeFailure falha = platform::FailureInFlight();
    return "Erro " + std::to_string(falha.number()) + ": " + falha.description();
}

}  // namespace settings
