#include "settings/valores.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/runtime_failure.h"
#include "scrambler/modEncriptSerial.h"

namespace settings {
namespace {

Verificacao Aceite(std::string valor) { return {true, std::move(valor), {}}; }
Verificacao Recusada(std::string mensagem) { return {false, {}, std::move(mensagem)}; }

// True when the character at `posicao` of a password survives scrambling
// and unscrambling. Each character's stored form depends only on itself
// and its position, so the character is tried alone at that position,
// after NULs, which every key stores and brings back.
bool CaracterGuardavel(char c, std::size_t posicao) {
    platform::Secret prova;
    prova.Resize(posicao);
    prova.Append(c);
    try {
        return modEncriptSerial::Desencriptar(modEncriptSerial::Encriptar(prova.view()).view()) ==
               prova;
    } catch (const platform::RuntimeFailure&) {
        return false;
    }
}

// The places (counted from 1, in characters as typed) of the password's
// characters that would not come back. A character is tried at each of its
// code-page bytes' places, so that a double-byte character counts once.
std::vector<std::size_t> PosicoesRecusadas(std::string_view utf8) {
    auto& codePage = *platform::Current().codePage;
    std::vector<std::size_t> posicoes;
    std::size_t byte = 0, posicao = 0;
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t fim = i + 1;
        while (fim < utf8.size() && (static_cast<unsigned char>(utf8[fim]) & 0xC0) == 0x80) ++fim;
        platform::Secret ansi;
        codePage.FromUtf8(utf8.substr(i, fim - i), &ansi);
        ++posicao;
        bool guardavel = true;
        for (char c : ansi.view()) guardavel = CaracterGuardavel(c, byte++) && guardavel;
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
bool SobreviveAPaginaDeCodigo(std::string_view ansi) {
    auto& codePage = *platform::Current().codePage;
    platform::Secret utf8, volta;
    codePage.ToUtf8(ansi, &utf8);
    return codePage.FromUtf8(utf8.view(), &volta) && volta == ansi;
}

// Why the store would not give back a stored form as written, as the end
// of a sentence whose subject is the value ("começaria por um espaço, que
// o registo não lê de volta"); empty when it would:
// - it drops leading spaces when it reads (spaces alone read as empty);
// - it follows a value that starts with "SREF=" to another key;
// - a control character (C0 or DEL) would be shown as it is, where it can
//   forge what a terminal or a log shows. Named by its code, never as itself.
std::string MotivoNaoLidoComoEscrito(std::string_view guardado) {
    if (!guardado.empty() && guardado.front() == ' ')
        return "começaria por um espaço, que o registo não lê de volta";
    if (modRegistry::Redirecciona(guardado))
        return "começaria por «SREF=» e seria lido como um redireccionamento";
    const auto controlo = std::find_if(guardado.begin(), guardado.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
    });
    if (controlo == guardado.end()) return {};
    return "contém um carácter de controlo (código " +
           std::to_string(static_cast<unsigned char>(*controlo)) + ")";
}

// A password in the code page (`ansi`, as typed `utf8`) scrambled: its
// stored form, or why it has none. Every copy of the plain password made
// here is a secret.
Verificacao CifrarPalavraPasse(const platform::Secret& ansi, std::string_view utf8) {
    platform::Secret cifrada;
    bool volta = false;
    try {
        cifrada = modEncriptSerial::Encriptar(ansi.view());
        volta = modEncriptSerial::Desencriptar(cifrada.view()) == ansi;
    } catch (const platform::RuntimeFailure&) {
    }
    if (!volta)
        return Recusada("A palavra-passe contém caracteres que não podem ser gravados" +
                        NomearPosicoes(PosicoesRecusadas(utf8)) + ".");
    if (!SobreviveAPaginaDeCodigo(cifrada.view()))
        return Recusada("A palavra-passe não pode ser guardada com a página de código deste "
                        "computador (" +
                        std::to_string(platform::Current().codePage->Number()) +
                        "). Escolha outra palavra-passe.");
    return Aceite(std::string(cifrada.view()));
}

// The form to store: the list's item; a text, or a password, that the code
// page holds exactly and the store can read back, the password scrambled.
// Messages name the field by its keyword.
Verificacao VerificarForma(const Definicao& definicao, std::string_view utf8) {
    const std::string campo = "O campo «" + std::string(definicao.palavraChave) + "»";
    if (definicao.tipo == Tipo::Lista) {
        const std::string* item = ItemSeguranca(utf8);
        if (!item) return Recusada(campo + " aceita False ou True.");
        return Aceite(*item);
    }
    platform::Secret ansi;
    if (!platform::Current().codePage->FromUtf8(utf8, &ansi))
        return Recusada(campo + " contém caracteres que não podem ser gravados.");
    if (ansi.size() > kMaxCaracteres)
        return Recusada(campo + " excede " + std::to_string(kMaxCaracteres) + " caracteres.");
    if (definicao.tipo == Tipo::Texto) return Aceite(std::string(ansi.view()));
    return CifrarPalavraPasse(ansi, utf8);
}

}  // namespace

Verificacao VerificarCampo(const Definicao& definicao, std::string_view utf8) {
    Verificacao v = VerificarForma(definicao, utf8);
    if (!v.aceite) return v;
    const std::string motivo = MotivoNaoLidoComoEscrito(v.valor);
    if (motivo.empty()) return v;
    // The password is never quoted; its stored form cannot start with a
    // space with keys of digits, but the rule holds for every stored form.
    if (definicao.tipo == Tipo::PalavraPasse)
        return Recusada("A palavra-passe não pode ser guardada: o seu valor guardado " + motivo +
                        ". Escolha outra palavra-passe.");
    const std::string valor = "O valor de " + std::string(definicao.nome);
    if (v.valor.front() == ' ') {
        const std::string_view lido =
            utf8.substr(std::min(utf8.find_first_not_of(' '), utf8.size()));
        return Recusada(valor + " não pode começar por um espaço: «" + std::string(utf8) +
                        "» seria lido como «" + std::string(lido) + "».");
    }
    return Recusada(valor + " não pode ser gravado: " + motivo + ".");
}

}  // namespace settings
