// The password scrambler: shifts each character code by a code of the
// machine key, the decimal text of the volume serial number of drive C:.
// Texts are bytes of the ANSI code page. Failures (a code that falls
// outside 0 to 255) pass to the caller as run-time failures. Both
// directions give a secret: the plain password and its stored form give
// each other away to anyone who knows the key.
#pragma once

#include <string>
#include <string_view>

#include "platform/secret.h"

namespace modEncriptSerial {

platform::Secret Encriptar(std::string_view texto);
platform::Secret Desencriptar(std::string_view texto);
// Computes the key from drive C: and keeps it for the life of the process.
std::string ObterChaveSerial();
// The serial number of the volume named by the first non-blank character
// of `drive`, as signed decimal text.
std::string ObterSerialVolume(const std::string& drive);

// For tests: forgets the cached key, as at the start of a process.
void EsquecerChave();

}  // namespace modEncriptSerial
