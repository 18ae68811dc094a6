#include "settings/definicoes.h"

#include "connection/same_name.h"
#include "platform/platform.h"
#include "platform/runtime_failure.h"
#include "scrambler/modEncriptSerial.h"

namespace settings {

namespace {

ValorLido::Forma FormaDe(const modRegistry::ResultadoLeitura& r) {
    using Forma = ValorLido::Forma;
    if (r.tipo() == platform::kRegMultiSz) return Forma::VariosTextos;
    if (r.tipo() != platform::kRegSz && r.tipo() != platform::kRegExpandSz) return Forma::NaoTexto;
    if (!r.exacto()) return Forma::Convertido;
    if (r.texto().find('\0') != std::string::npos) return Forma::ComNulo;
    return Forma::Fiel;
}

}  // namespace

ValorLido LerDefinicao(const std::string& nome) {
    const modRegistry::ResultadoLeitura r = modRegistry::ObterValorString(kCaminhoDefinicoes, nome);
    if (r.IsTexto()) return {ValorLido::Estado::Texto, r.texto(), FormaDe(r)};
    if (r.NaoExiste()) return {ValorLido::Estado::NaoExiste, {}};
    return {ValorLido::Estado::Ilegivel, {}};
}

const std::string* ItemSeguranca(std::string_view texto) {
    texto = texto.substr(0, texto.find_last_not_of(' ') + 1);
    for (const std::string& item : kItensSeguranca)
        if (connection::SameName(texto, item)) return &item;
    return nullptr;
}

bool DecifrarPalavraPasse(const std::string& guardada, platform::Secret* decifrada) {
    bool mesma = false;
    try {
        *decifrada = modEncriptSerial::Desencriptar(guardada);
        mesma = modEncriptSerial::Encriptar(decifrada->view()) == guardada;
    } catch (const platform::RuntimeFailure&) {
        // a code fell out of range: stored with another key
    }
    if (!mesma) decifrada->Clear();
    return mesma;
}

bool PalavraPasseLegivel(const std::string& guardada) {
    platform::Secret decifrada;
    return DecifrarPalavraPasse(guardada, &decifrada);
}

std::string MotivoForma(ValorLido::Forma forma) {
    switch (forma) {
    case ValorLido::Forma::NaoTexto: return "não é texto";
    case ValorLido::Forma::VariosTextos: return "é uma lista de textos";
    case ValorLido::Forma::Convertido:
        return "tem caracteres que a página de código deste computador não tem";
    case ValorLido::Forma::ComNulo: return "tem um carácter nulo antes do fim";
    case ValorLido::Forma::Fiel: break;
    }
    return {};
}

std::string MensagemNaoLidos(const std::vector<std::string>& nomes,
                             const std::vector<std::string>& naoMostrados) {
    std::string mensagem;
    if (!nomes.empty()) mensagem = "Não foi possível ler:";
    for (const auto& nome : nomes) mensagem += "\n" + nome;
    if (!naoMostrados.empty())
        mensagem += std::string(nomes.empty() ? "" : "\n\n") +
                    "Não é possível mostrar tal como estão guardados:";
    for (const auto& nome : naoMostrados) mensagem += "\n" + nome;
    return mensagem + "\n\nSe não os alterar, ficam guardados como estão.";
}

std::string MensagemFalhaEmCurso() {
    const platform::RuntimeFailure falha = platform::FailureInFlight();
    return "Erro " + std::to_string(falha.number()) + ": " + falha.description();
}

}  // namespace settings
