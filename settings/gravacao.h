// A save of the settings, in one direction: the caller says what it wants
// written, and the save checks it all, reads what it needs once, writes
// what it must in table order, records one event and says what it wrote.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/definicoes.h"

namespace settings {

// What a save is to do with one setting.
enum class Quando {
    Nunca,        // leave it alone
    Sempre,       // write `texto` (a field the user changed)
    SeDiferente,  // write `texto` unless what is stored already is it (the companion)
    SeFaltar,     // create it empty if it does not exist (a field left as it
                  // showed a value missing when the window opened)
};

struct Escrita {
    Quando quando = Quando::Nunca;
    std::string_view texto;  // UTF-8, borrowed: a password stays in the caller's secret
};
using Escritas = std::array<Escrita, kDefinicoes.size()>;

// How a save ended.
struct Gravacao {
    // The first value refused (its place in kDefinicoes): nothing was written.
    std::optional<std::size_t> recusada;
    // Why it was refused, the values not written, or the failure the store
    // did not trap (then `inesperada`), in UTF-8; empty when all was written.
    std::string mensagem;
    bool inesperada = false;
    // The places of the values written (simulated: that it would write), in
    // table order.
    std::vector<std::size_t> gravados;
    // Each value as the save leaves it (or would), for those it read or
    // wrote: as read, or as written.
    std::array<std::optional<ValorLido>, kDefinicoes.size()> guardados;
};

// True when the stored value already is `valor`, the form VerificarCampo
// gives to store: the same bytes, or for "Segurança" the same item, as the
// window tells them. A password is stored scrambled with this machine's
// key, so one stored elsewhere, or another password, differs.
bool JaGuardado(const Definicao& d, const ValorLido& lido, const std::string& valor);

// Saves the settings as `escritas` asks. Every value to write is checked
// before the first write; on the first refusal nothing is written. A value
// is read at most once (to tell whether it is missing, or differs from
// the one to write), the key path split once. `simular`: the same checks,
// reads and answer, with nothing written and no event.
Gravacao Gravar(const Escritas& escritas, bool simular = false);

}  // namespace settings
