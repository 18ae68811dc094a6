#include "settings/valores.h"

#include <vector>

#include "platform/platform.h"
#include "platform/runtime_failure.h"
#include "platform/wipe.h"
#include "scrambler/modEncriptSerial.h"
#include "settings/registo_eventos.h"

namespace settings {
namespace {

Verificacao Aceite(std::string valor) { return {true, std::move(valor), {}}; }
Verificacao Recusada(std::string mensagem) { return {false, {}, std::move(mensagem)}; }

// True when the character at `posicao` of a password survives scrambling
// and unscrambling. Each character's stored form depends only on itself
// and its position, so the character is tried alone at that position.
bool CaracterGuardavel(char c, std::size_t posicao) {
    std::string prova = std::string(posicao, 'A') + c;
    std::string volta;
    try {
        volta = modEncriptSerial::Desencriptar(modEncriptSerial::Encriptar(prova));
    } catch (const platform::RuntimeFailure&) {
    }
    const bool guardavel = volta == prova;
    platform::Wipe(prova);
    platform::Wipe(volta);
    return guardavel;
}

// The places (counted from 1, in characters as typed) of the password's
// characters that would not come back. A character is tried at each of its
// code-page bytes' places, so that a double-byte character counts once.
std::vector<std::size_t> PosicoesRecusadas(const std::string& utf8) {
    auto& codePage = *platform::Current().codePage;
    std::vector<std::size_t> posicoes;
    std::size_t byte = 0, posicao = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t fim = i + 1;
        while (fim < utf8.size() && (static_cast<unsigned char>(utf8[fim]) & 0xC0) == 0x80) ++fim;
        std::string ansi;
        codePage.FromUtf8(utf8.substr(i, fim - i), &ansi);
        ++posicao;
        bool guardavel = true;
        for (char c : ansi) guardavel = CaracterGuardavel(c, byte++) && guardavel;
        platform::Wipe(ansi);
        if (!guardavel) posicoes.push_back(posicao);
        i = fim;
    }
    return posicoes;
}

// ", na posição 3", ", nas posições 2 e 5", ", nas posições 1, 4 e 7"; nothing
// for no place.
std::string NomearPosicoes(const std::vector<std::size_t>& posicoes) {
    if (posicoes.empty()) return "";
    if (posicoes.size() == 1) return ", na posição " + std::to_string(posicoes[0]);
    std::string texto = ", nas posições ";
    for (std::size_t i = 0; i < posicoes.size(); ++i) {
        if (i > 0) texto += i + 1 == posicoes.size() ? " e " : ", ";
        texto += std::to_string(posicoes[i]);
    }
    return texto;
}

// True when code-page bytes convert to Unicode and back unchanged, as the
// registry's ANSI calls convert them when storing and reading.
bool SobreviveAPaginaDeCodigo(const std::string& ansi) {
    auto& codePage = *platform::Current().codePage;
    std::string volta;
    return codePage.FromUtf8(codePage.ToUtf8(ansi), &volta) && volta == ansi;
}

Verificacao VerificarTexto(const std::string& palavraChave, const std::string& utf8) {
    std::string ansi;
    const std::string campo = "O campo «" + palavraChave + "»";
    std::string motivo;
    if (!platform::Current().codePage->FromUtf8(utf8, &ansi))
        motivo = " contém caracteres que não podem ser gravados.";
    else if (ansi.size() > kMaxCaracteres)
        motivo = " excede " + std::to_string(kMaxCaracteres) + " caracteres.";
    if (motivo.empty()) return Aceite(std::move(ansi));
    platform::Wipe(ansi);  // may be part of a password
    return Recusada(campo + motivo);
}

// The plain password's copies made here are wiped before they go.
Verificacao VerificarPalavraPasse(const std::string& palavraChave, const std::string& utf8) {
    Verificacao texto = VerificarTexto(palavraChave, utf8);
    if (!texto.aceite) return texto;
    auto& codePage = *platform::Current().codePage;
    std::string cifrada, decifrada;
    try {
        cifrada = modEncriptSerial::Encriptar(texto.valor);
        decifrada = modEncriptSerial::Desencriptar(cifrada);
        if (decifrada != texto.valor) cifrada.clear();
    } catch (const platform::RuntimeFailure&) {
        cifrada.clear();
    }
    platform::Wipe(decifrada);
    if (cifrada.empty() && !texto.valor.empty()) {
        platform::Wipe(texto.valor);
        return Recusada("A palavra-passe contém caracteres que não podem ser gravados" +
                        NomearPosicoes(PosicoesRecusadas(utf8)) + ".");
    }
    platform::Wipe(texto.valor);
    if (!SobreviveAPaginaDeCodigo(cifrada))
        return Recusada("A palavra-passe não pode ser guardada com a página de código deste "
                        "computador (" +
                        std::to_string(codePage.Number()) + "). Escolha outra palavra-passe.");
    return Aceite(cifrada);
}

}  // namespace

Verificacao VerificarCampo(const Definicao& definicao, const std::string& utf8) {
    const std::string palavraChave = definicao.palavraChave;
    if (definicao.tipo == Tipo::Texto) return VerificarTexto(palavraChave, utf8);
    if (definicao.tipo == Tipo::PalavraPasse) return VerificarPalavraPasse(palavraChave, utf8);
    const int item = ItemSeguranca(utf8);
    if (item < 0) return Recusada("O campo «" + palavraChave + "» aceita False ou True.");
    return Aceite(kItensSeguranca[item]);
}

Gravacao Gravar(const std::function<std::optional<Verificacao>(std::size_t)>& novo) {
    std::vector<std::pair<const char*, std::string>> valores;  // name, code-page bytes
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        std::optional<Verificacao> v = novo(i);
        if (!v) continue;
        if (!v->aceite) return {i, v->mensagem};
        valores.emplace_back(kDefinicoes[i].nome, std::move(v->valor));
    }
    std::string falhados;
    RegistoGravacao registo;
    try {
        for (const auto& [nome, texto] : valores)
            if (modRegistry::DefinirValorString(kCaminhoDefinicoes, nome, texto))
                registo.Gravado(nome, texto);
            else
                falhados += "\n" + std::string(nome);
    } catch (...) {
        registo.Reportar(MensagemFalhaEmCurso());
        throw;
    }
    if (falhados.empty()) {
        registo.Reportar("");
        return {};
    }
    const Gravacao g = {std::nullopt, "Não foi possível gravar:" + falhados +
                                          "\n\nConfirme que a chave de registo existe e que tem "
                                          "permissões de administrador."};
    registo.Reportar(g.mensagem);
    return g;
}

}  // namespace settings
