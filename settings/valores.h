// The check every value passes before the first write: each must be stored
// exactly and read back unchanged. It gives the value to store or the
// message that says why it cannot be, so that the window and the
// command-line companion refuse the same values with the same words.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/definicoes.h"

namespace settings {

struct Verificacao {
    bool aceite = false;
    std::string valor;     // what to store (code-page bytes) when accepted
    std::string mensagem;  // why not (UTF-8) when refused
};

// A new value (UTF-8) for a setting:
// - a text must have an exact form in the system's code page and fit what
//   the registry store can read back; messages name it by its keyword;
// - a list takes one of its items (ItemSeguranca's rule), stored as the item;
// - a password is checked as a text, then scrambled: every character must
//   come back as itself when unscrambled, and the stored form must survive
//   the code page conversion that storing and reading it go through. A
//   refusal names the refused characters by their places, never quotes
//   them: the message may end up in a fleet tool's log.
//   Accepted, `valor` is the stored form.
// - every stored form, the password's included, must read back as
//   written: it may not start with a space (the store drops leading
//   spaces) nor with "SREF=" (the store would follow it to another key),
//   nor hold a control character (C0 or DEL), named by its code. A text
//   with a leading space is refused quoting it; nothing else is quoted.
// `utf8` is borrowed, not copied: a password stays in the caller's secret.
Verificacao VerificarCampo(const Definicao& definicao, std::string_view utf8);

// How a save ended: with the first value refused (`recusada`, the setting's
// place in kDefinicoes), or with values not written; `mensagem` (UTF-8)
// says which and why, and is empty when every value was written.
struct Gravacao {
    std::optional<std::size_t> recusada;
    std::string mensagem;
};

// Saves the settings: `novo(i)` gives setting i's checked value, or nothing
// to leave it alone. Every value is checked before the first write; on the
// first refusal nothing is written. Then each is written in table order.
Gravacao Gravar(const std::function<std::optional<Verificacao>(std::size_t)>& novo);

}  // namespace settings
