#include "cli/json.h"

#include <cstdint>
#include <cstdio>

namespace cli {
namespace {

void Escape(std::uint32_t unidade, std::string* json) {
    char texto[8];
    std::snprintf(texto, sizeof texto, "\\u%04x", static_cast<unsigned>(unidade));
    *json += texto;
}

// The code point that starts at `utf8[*i]`, moving `*i` past it.
std::uint32_t Proximo(const std::string& utf8, std::size_t* i) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(utf8[k]); };
    const unsigned char c = byte((*i)++);
    if (c < 0x80) return c;
    const int seguintes = c < 0xC2 || c > 0xF4 ? -1 : c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    if (seguintes < 0 || *i + seguintes > utf8.size()) return 0xFFFD;
    std::uint32_t ponto = c & (0x3F >> seguintes);
    for (int k = 0; k < seguintes; ++k) {
        if ((byte(*i + k) & 0xC0) != 0x80) return 0xFFFD;
        ponto = (ponto << 6) | (byte(*i + k) & 0x3F);
    }
    static const std::uint32_t kMinimo[] = {0, 0x80, 0x800, 0x10000};
    if (ponto < kMinimo[seguintes] || ponto > 0x10FFFF || (ponto >= 0xD800 && ponto < 0xE000))
        return 0xFFFD;
    *i += seguintes;
    return ponto;
}

}  // namespace

std::string TextoJson(const std::string& utf8) {
    std::string json = "\"";
    for (std::size_t i = 0; i < utf8.size();) {
        const std::uint32_t ponto = Proximo(utf8, &i);
        if (ponto == '"' || ponto == '\\') {
            json += '\\';
            json += static_cast<char>(ponto);
        } else if (ponto >= 0x20 && ponto < 0x7F) {
            json += static_cast<char>(ponto);
        } else if (ponto < 0x10000) {
            Escape(ponto, &json);
        } else {  // a surrogate pair
            Escape(0xD800 + ((ponto - 0x10000) >> 10), &json);
            Escape(0xDC00 + ((ponto - 0x10000) & 0x3FF), &json);
        }
    }
    return json + "\"";
}

}  // namespace cli
