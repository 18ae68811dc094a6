// The registry store: reads and writes named text values under keys given
// as key paths ("HKEY_LOCAL_MACHINE\SOFTWARE\orvex\tamrel"), following
// "SREF=" redirections on reads. Every operation traps the run-time failures
// raised inside it, reports them to the outside error reporter and returns
// its default result; only a failure raised while reporting reaches the
// caller. Key paths and texts are bytes of the ANSI code page; value names
// are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace modRegistry {

// The outcome of a read: Null (the key or value could not be read), Empty
// (the path gave no root key, or a failure was trapped) or a text, which
// may be empty. A Null says why: the key or value does not exist, or it is
// there but could not be read (a failed query, or a redirection chain that
// did not end in a text). A caller that would write the value back needs
// to tell the two apart: only a value that does not exist loses nothing.
class ResultadoLeitura {
public:
    enum class Estado { Null, Empty, Texto };
    enum class Causa { NaoExiste, Ilegivel };

    static ResultadoLeitura Null(Causa causa) { return ResultadoLeitura(Estado::Null, causa, {}); }
    static ResultadoLeitura Empty() { return ResultadoLeitura(Estado::Empty, {}, {}); }
    static ResultadoLeitura Texto(std::string texto) {
        return ResultadoLeitura(Estado::Texto, {}, std::move(texto));
    }

    Estado estado() const { return estado_; }
    bool IsNull() const { return estado_ == Estado::Null; }
    bool IsEmpty() const { return estado_ == Estado::Empty; }
    bool IsTexto() const { return estado_ == Estado::Texto; }
    // A Null because the key or the value does not exist.
    bool NaoExiste() const { return IsNull() && causa_ == Causa::NaoExiste; }
    // The text; empty for Null and Empty.
    const std::string& texto() const { return texto_; }

    // For a text: the type of the value it was read from, and whether its
    // characters came through the code page exactly. Only a caller that
    // shows the text needs them; they take no part in comparisons.
    std::uint32_t tipo() const { return tipo_; }
    bool exacto() const { return exacto_; }
    ResultadoLeitura& ComOrigem(std::uint32_t tipo, bool exacto) {
        tipo_ = tipo;
        exacto_ = exacto;
        return *this;
    }

    bool operator==(const ResultadoLeitura& o) const {
        return estado_ == o.estado_ && texto_ == o.texto_ && (!IsNull() || causa_ == o.causa_);
    }

private:
    ResultadoLeitura(Estado estado, Causa causa, std::string texto)
        : estado_(estado), causa_(causa), texto_(std::move(texto)) {}
    Estado estado_;
    Causa causa_;
    std::string texto_;
    std::uint32_t tipo_ = 1;  // REG_SZ
    bool exacto_ = true;
};

// A key path split into its root key (0 when there is none) and sub-key.
struct ChaveFormatada {
    std::uint32_t raiz = 0;
    std::string subchave;
};

// Predefined root key numbers.
constexpr std::uint32_t kHkeyClassesRoot = 0x80000000;
constexpr std::uint32_t kHkeyCurrentUser = 0x80000001;
constexpr std::uint32_t kHkeyLocalMachine = 0x80000002;
constexpr std::uint32_t kHkeyUsers = 0x80000003;
constexpr std::uint32_t kHkeyPerformanceData = 0x80000004;
constexpr std::uint32_t kHkeyCurrentConfig = 0x80000005;
constexpr std::uint32_t kHkeyDynData = 0x80000006;

// Room in the read buffer, the terminator included.
constexpr std::uint32_t kTamanhoBuffer = 3500;
// Redirections followed by one read before it gives up with Null.
constexpr int kMaxRedireccoes = 32;

// The root key number a root key's name ("HKEY_LOCAL_MACHINE") stands for;
// 0 for any other text.
std::uint32_t ObterHandleChavePrincipal(const std::string& nome);
// The key path split into root key and sub-key; an empty one (root 0) for a
// path that does not start with "HKEY_" or ends with "\", which is shown
// as "Formato Incorrecto" first.
ChaveFormatada FormatarChave(const std::string& caminho);
// True when a text read is a redirection: "SREF=" and the key path to follow.
bool Redirecciona(std::string_view texto);
// The value as stored at that key, redirections not followed: a text (its
// leading spaces and its terminator dropped), a Null that says why not, or
// Empty for a path without a root key or a trapped failure.
ResultadoLeitura ValorString(const std::string& caminho, const std::string& nome);
// The same, following redirections: Null (unreadable) for a chain that
// loops, runs past kMaxRedireccoes or leads nowhere.
ResultadoLeitura ObterValorString(const std::string& caminho, const std::string& nome);
// Stores `texto` as a REG_SZ at the key, never following a redirection;
// true when it was stored, false when it could not be (or was trapped).
bool DefinirValorString(const std::string& caminho, const std::string& nome,
                        const std::string& texto);
// The same at a key already split, for a caller that writes several values.
bool DefinirValorString(const ChaveFormatada& chave, const std::string& nome,
                        const std::string& texto);

}  // namespace modRegistry
