// The desired state `definicoes dsc` reads: one JSON object, an instance of
// the resource Orvex.Tamrel/Definicoes, on standard input.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "cli/consola.h"
#include "platform/secret.h"
#include "settings/definicoes.h"

namespace cli {

// The most standard input may hold for the desired state.
constexpr std::size_t kMaxBytesEstado = 64 * 1024;

// The instance's property for each setting, in the order of
// settings::kDefinicoes.
inline constexpr std::array<const char*, settings::kDefinicoes.size()> kPropriedades = {
    "servidor", "baseDados", "seguranca", "utilizador", "palavraPasse"};
// The read-only property that gives the password's state in its place.
inline constexpr char kPropriedadeEstado[] = "palavraPasseEstado";

struct EstadoDesejado {
    // The texts given (UTF-8), in the order of kDefinicoes; "Segurança"
    // holds the item's exact text. The password's place stays empty.
    std::array<std::optional<std::string>, settings::kDefinicoes.size()> textos;
    std::optional<platform::Secret> palavraPasse;
};

// Reads the desired state from `json`: empty, or an object with any of the
// properties of kPropriedades, each a text or null (null: not given); the
// password also as {"secureString": text}, and "Segurança" as exactly False
// or True. Properties whose names start with "_" (DSC's own) and the
// read-only kPropriedadeEstado are ignored, but for "_exist" other than
// true: the resource does not remove values. Any other property, a key
// repeated in any object, or malformed JSON refuse the whole input. Gives
// an empty text when it is taken, or the message that refuses it, which
// never quotes the input.
std::string AnalisarEstadoDesejado(std::string_view json, EstadoDesejado* estado);

// The same from standard input, read to its end: at most kMaxBytesEstado
// bytes. A console is not read (DSC always gives a pipe): so that
// `definicoes dsc get` typed there shows the state at once.
std::string LerEstadoDesejado(Consola& consola, EstadoDesejado* estado);

}  // namespace cli
