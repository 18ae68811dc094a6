#include "registry/modRegistry.h"

#include <algorithm>
#include <array>
#include <set>

#include "platform/owned.h"
#include "platform/platform.h"
#include "platform/runtime_failure.h"

namespace modRegistry {
namespace {

using platform::RuntimeFailure;

// Failure numbers that are swallowed without a report.
constexpr long kErrSemRelatorio = 3709;

platform::Registry& Registo() { return *platform::Current().registry; }

// A key opened by one operation, closed by it when done with it. A key
// still open when it goes (a failure unwinding the operation, even one the
// close raised) is closed then, so before the failure is reported.
void FecharChave(platform::Registry* registo, platform::KeyHandle chave) {
    registo->CloseKey(chave);  // its status is of no use here
}
using ChaveAberta = platform::Owned<platform::KeyHandle, FecharChave, 0, platform::Registry*>;

// Every key is opened in the registry view that 32-bit programs see, so the
// 32-bit and 64-bit builds read and write the same values. Null when it
// cannot be opened, with the status that says why.
ChaveAberta Abrir(std::uint32_t raiz, const std::string& subchave, std::uint32_t acesso,
                  long* estado) {
    ChaveAberta chave(0, &Registo());
    *estado = Registo().OpenKey(raiz, subchave, acesso | platform::kKeyWow64_32Key, chave.out());
    if (*estado != platform::kSuccess) chave.release();  // nothing was opened
    return chave;
}

// Sends a trapped failure to the outside error reporter. A failure of the
// reporter itself is not caught here: it goes on to the caller.
void Reportar(const char* operacao, const RuntimeFailure& falha) {
    if (falha.number() == kErrSemRelatorio || falha.number() == 0) return;
    // The reporter takes UTF-8; the source file is UTF-8 too.
    platform::Current().reporter->Report(
        {"Módulo de Registo", "Admin_Quillo", "modRegistry", operacao, falha.description()});
}

// Runs `corpo` with a trap armed: any failure raised inside is reported and
// turns into `padrao`.
template <typename Resultado, typename Corpo>
Resultado ComArmadilha(const char* operacao, Resultado padrao, Corpo&& corpo) {
    try {
        return corpo();
    } catch (...) {
        const RuntimeFailure falha = platform::FailureInFlight();
        Reportar(operacao, falha);
        return padrao;
    }
}

bool BemFormado(const std::string& caminho) {
    return caminho.compare(0, 5, "HKEY_") == 0 && caminho.back() != '\\';
}

// Trims spaces (character 32 only) from both ends.
std::string AparaEspacos(const std::string& texto) {
    const auto inicio = texto.find_first_not_of(' ');
    if (inicio == std::string::npos) return {};
    const auto fim = texto.find_last_not_of(' ');
    return texto.substr(inicio, fim - inicio + 1);
}

// A failed open or query: the key or value does not exist, or it is there
// and could not be read (no access, too long for the buffer, ...).
ResultadoLeitura Falhou(long estado) {
    return ResultadoLeitura::Null(estado == platform::kFileNotFound
                                      ? ResultadoLeitura::Causa::NaoExiste
                                      : ResultadoLeitura::Causa::Ilegivel);
}

}  // namespace

std::uint32_t ObterHandleChavePrincipal(const std::string& nome) {
    return ComArmadilha<std::uint32_t>("ObterHandleChavePrincipal", 0, [&] {
        static const std::array<std::pair<const char*, std::uint32_t>, 7> raizes = {{
            {"HKEY_CLASSES_ROOT", kHkeyClassesRoot},
            {"HKEY_CURRENT_USER", kHkeyCurrentUser},
            {"HKEY_LOCAL_MACHINE", kHkeyLocalMachine},
            {"HKEY_USERS", kHkeyUsers},
            {"HKEY_PERFORMANCE_DATA", kHkeyPerformanceData},
            {"HKEY_CURRENT_CONFIG", kHkeyCurrentConfig},
            {"HKEY_DYN_DATA", kHkeyDynData},
        }};
        for (const auto& [texto, handle] : raizes)
            if (nome == texto) return handle;
        return std::uint32_t{0};
    });
}

ChaveFormatada FormatarChave(const std::string& caminho) {
    return ComArmadilha<ChaveFormatada>("FormatarChave", {}, [&] {
        ChaveFormatada chave;
        if (!BemFormado(caminho)) {
            auto& servicos = platform::Current();
            servicos.messageDialog->Show(
                "Formato Incorrecto:\n\n" + servicos.codePage->ToUtf8(caminho),
                platform::Icon::None);
            return chave;
        }
        // The root key's name comes before the first backslash, the sub-key after it.
        const auto barra = std::min(caminho.find('\\'), caminho.size());
        chave.raiz = ObterHandleChavePrincipal(caminho.substr(0, barra));
        if (barra < caminho.size()) chave.subchave = caminho.substr(barra + 1);
        return chave;
    });
}

ResultadoLeitura ValorString(const std::string& caminho, const std::string& nome) {
    return ComArmadilha("ValorString", ResultadoLeitura::Empty(), [&] {
        const ChaveFormatada formatada = FormatarChave(caminho);
        if (formatada.raiz == 0) return ResultadoLeitura::Empty();
        long aberta = platform::kSuccess;
        ChaveAberta chave = Abrir(formatada.raiz, formatada.subchave, platform::kKeyRead, &aberta);
        if (aberta != platform::kSuccess) return Falhou(aberta);

        std::string buffer(kTamanhoBuffer, ' ');
        std::uint32_t tipo = platform::kRegSz;
        std::uint32_t tamanho = kTamanhoBuffer;
        bool exacto = true;
        const long estado =
            Registo().QueryValue(chave.get(), nome, &tipo, buffer.data(), &tamanho, &exacto);
        chave.reset();
        if (estado != platform::kSuccess) return Falhou(estado);

        // Trimming comes before the terminator is dropped, so leading spaces
        // are lost while trailing ones (before the terminator) survive.
        std::string texto = AparaEspacos(buffer.substr(0, std::min(tamanho, kTamanhoBuffer)));
        if (!texto.empty()) texto.pop_back();
        return ResultadoLeitura::Texto(texto).ComOrigem(tipo, exacto);
    });
}

bool Redirecciona(std::string_view texto) { return texto.substr(0, 5) == "SREF="; }

ResultadoLeitura ObterValorString(const std::string& caminho, const std::string& nome) {
    return ComArmadilha("ObterValorString", ResultadoLeitura::Empty(), [&] {
        ResultadoLeitura v = ValorString(caminho, nome);
        // A chain that comes back to a key already visited, or that goes on
        // too long, would never end: the read then gives Null.
        const auto ilegivel = ResultadoLeitura::Null(ResultadoLeitura::Causa::Ilegivel);
        std::set<std::string> visitados = {caminho};
        while (v.IsTexto() && Redirecciona(v.texto())) {
            const std::string destino = v.texto().substr(5);
            if (visitados.size() > kMaxRedireccoes || !visitados.insert(destino).second)
                return ilegivel;
            v = ValorString(destino, nome);
        }
        // The value at the settings key is there, as a redirection: a chain
        // that leads nowhere makes it unreadable, not missing.
        if (v.IsNull() && visitados.size() > 1) return ilegivel;
        return v;
    });
}

namespace {

bool Escrever(const ChaveFormatada& chave, const std::string& nome, const std::string& texto) {
    if (chave.raiz == 0) return false;
    long aberta = platform::kSuccess;
    ChaveAberta aberto = Abrir(chave.raiz, chave.subchave, platform::kKeyWrite, &aberta);
    if (aberta != platform::kSuccess) return false;
    // The size counts the terminator, so the stored value always ends with
    // the one the reader drops, whatever the platform adds itself.
    const long estado = Registo().SetValue(aberto.get(), nome, platform::kRegSz, texto.c_str(),
                                           static_cast<std::uint32_t>(texto.size() + 1));
    aberto.reset();
    return estado == platform::kSuccess;
}

}  // namespace

bool DefinirValorString(const std::string& caminho, const std::string& nome,
                        const std::string& texto) {
    return ComArmadilha("DefinirValorString", false,
                        [&] { return Escrever(FormatarChave(caminho), nome, texto); });
}

bool DefinirValorString(const ChaveFormatada& chave, const std::string& nome,
                        const std::string& texto) {
    return ComArmadilha("DefinirValorString", false, [&] { return Escrever(chave, nome, texto); });
}

}  // namespace modRegistry
