#include "scrambler/modEncriptSerial.h"

#include <array>
#include <cstdint>
#include <utility>

#include "platform/platform.h"
#include "platform/runtime_failure.h"

namespace modEncriptSerial {
namespace {

// The key text, computed on first use and kept until the process ends;
// empty while not yet computed.
std::string chave;

// Sums that encoding replaces by a stored code from 248 to 255, in the order
// they are tested. Decoding maps each stored code back to its sum.
constexpr std::array<std::pair<int, int>, 8> kSomasEspeciais = {{
    {127, 254},
    {129, 255},
    {35, 253},
    {141, 252},
    {143, 251},
    {144, 250},
    {36, 249},
    {157, 248},
}};

int Codigo(char c) { return static_cast<unsigned char>(c); }

// Turns a computed code back into a character; a code outside 0 to 255 has
// none, and that is an invalid-argument failure for the caller.
char Caracter(int codigo) {
    if (codigo < 0 || codigo > 255) {
        throw platform::RuntimeFailure(platform::kErrInvalidArgument);
    }
    return static_cast<char>(static_cast<unsigned char>(codigo));
}

// Both directions compute the key before looking at the text, so even an
// empty text fills the cache.
const std::string& ChaveEmCache() {
    if (chave.empty()) {
        ObterChaveSerial();
    }
    return chave;
}

int CodigoGuardado(int soma) {
    for (const auto& [especial, guardado] : kSomasEspeciais) {
        if (soma == especial) {
            return guardado;
        }
    }
    return soma;
}

int SomaOriginal(int codigo) {
    for (const auto& [especial, guardado] : kSomasEspeciais) {
        if (codigo == guardado) {
            return especial;
        }
    }
    return codigo;
}

}  // namespace

// The result is built in a secret of its full size first, so that it
// never grows, and a failure part way wipes what was done.
platform::Secret Encriptar(std::string_view texto) {
    const std::string& k = ChaveEmCache();
    platform::Secret resultado;
    resultado.Reserve(texto.size());
    // The key position runs over the whole text, wrapping to the first key
    // character after the last.
    for (std::size_t j = 0; j < texto.size(); ++j) {
        const int soma = Codigo(texto[j]) + Codigo(k[j % k.size()]);
        resultado.Append(Caracter(CodigoGuardado(soma)));
    }
    return resultado;
}

platform::Secret Desencriptar(std::string_view texto) {
    const std::string& k = ChaveEmCache();
    platform::Secret resultado;
    resultado.Reserve(texto.size());
    for (std::size_t j = 0; j < texto.size(); ++j) {
        const int soma = SomaOriginal(Codigo(texto[j]));
        resultado.Append(Caracter(soma - Codigo(k[j % k.size()])));
    }
    return resultado;
}

std::string ObterChaveSerial() {
    chave = ObterSerialVolume("C");
    return chave;
}

std::string ObterSerialVolume(const std::string& drive) {
    const auto inicio = drive.find_first_not_of(' ');
    const std::string letra = inicio == std::string::npos ? "" : drive.substr(inicio, 1);
    const std::uint32_t serial = platform::Current().volume->SerialNumber(letra + ":\\");
    // The serial is read as a signed 32-bit number: with the top bit set it
    // is negative and the text starts with "-".
    std::int64_t comSinal = serial;
    if (comSinal > INT32_MAX) {
        comSinal -= std::int64_t{1} << 32;
    }
    return std::to_string(comSinal);
}

void EsquecerChave() { chave.clear(); }

}  // namespace modEncriptSerial
