// The event each save leaves in the system's event log, so that a changed
// setting can be traced to who changed it, when, and with which program.
// The texts are in the programs' message table (registo_eventos.mc); the
// event IDs here are its message numbers.
#pragma once

#include <cstdint>

#include "settings/gravacao.h"

namespace settings {

// Information: the values written. Warning: a save that failed, with the
// values it wrote before or around the failure. Insertion strings: %1 the
// account, %2 the program, %3 to %7 the values written ("Servidor: «srv01»",
// the password only as "Palavra-Passe alterada"), in table order, the
// unused ones empty; the warning's %8 is the failure's message. In the
// values and the message, "%%" before a digit is broken by U+2060, so that
// the viewer takes no part of them for a parameter message.
constexpr std::uint32_t kEventoGravado = 1000;
constexpr std::uint32_t kEventoFalhaAoGravar = 1001;

// Reports save `g` as it stands: nothing when it wrote nothing and nothing
// failed; otherwise one event with the values in `g.gravados`, a warning
// when `g.mensagem` says why the save failed.
void ReportarGravacao(const Gravacao& g);

}  // namespace settings
