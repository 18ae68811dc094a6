#include "cli/dsc_entrada.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/estado.h"

namespace cli {
namespace {

using settings::kDefinicoes;
using settings::Tipo;

// Memory that is overwritten before it is given back: the parsed input may
// hold the password in any of its strings.
template <typename T>
struct AlocadorQueApaga {
    using value_type = T;
    AlocadorQueApaga() = default;
    template <typename U>
    AlocadorQueApaga(const AlocadorQueApaga<U>&) {}  // NOLINT: rebinding converts
    T* allocate(std::size_t n) { return std::allocator<T>().allocate(n); }
    void deallocate(T* p, std::size_t n) {
        volatile unsigned char* byte = reinterpret_cast<volatile unsigned char*>(p);
        for (std::size_t i = 0; i < n * sizeof(T); ++i) byte[i] = 0;
        std::allocator<T>().deallocate(p, n);
    }
    template <typename U>
    bool operator==(const AlocadorQueApaga<U>&) const {
        return true;
    }
    template <typename U>
    bool operator!=(const AlocadorQueApaga<U>&) const {
        return false;
    }
};

using TextoApagado = std::basic_string<char, std::char_traits<char>, AlocadorQueApaga<char>>;
using JsonApagado = nlohmann::basic_json<std::map, std::vector, TextoApagado, bool, std::int64_t,
                                         std::uint64_t, double, AlocadorQueApaga>;

std::string Propriedades() {
    std::string lista;
    for (const auto& d : kDefinicoes) lista += (lista.empty() ? "" : ", ") + std::string(d.propriedade);
    return lista;
}

// Takes property `valor` for setting i; the message that refuses it, or
// nothing.
std::string Tomar(std::size_t i, const JsonApagado& valor, EstadoDesejado* estado) {
    const std::string nome = kDefinicoes[i].propriedade;
    const bool palavraPasse = kDefinicoes[i].tipo == Tipo::PalavraPasse;
    if (valor.is_null()) return {};
    const JsonApagado* texto = &valor;
    if (palavraPasse && valor.is_object() && valor.size() == 1 && valor.contains("secureString"))
        texto = &valor["secureString"];
    if (!texto->is_string())
        return nome + (palavraPasse ? " aceita um texto, {\"secureString\": texto} ou null."
                                    : " aceita um texto ou null.");
    const TextoApagado& t = texto->get_ref<const TextoApagado&>();
    if (t.find('\0') != TextoApagado::npos) return nome + " contém um carácter nulo.";
    const std::string_view lido(t.data(), t.size());
    if (palavraPasse) {
        estado->palavraPasse.emplace(lido);
    } else if (kDefinicoes[i].tipo == Tipo::Lista) {
        // Exactly an item, as the resource's schema has it: DSC checks the
        // input against the schema before it runs the resource.
        const auto* item = std::find(settings::kItensSeguranca.begin(),
                                     settings::kItensSeguranca.end(), lido);
        if (item == settings::kItensSeguranca.end()) return nome + " aceita False ou True.";
        estado->textos[i] = *item;
    } else {
        estado->textos[i] = std::string(lido);
    }
    return {};
}

// A property the resource does not take but reads as DSC does, with the
// values the resource's schema gives it: the message that refuses it, or
// nothing. Any other whose name starts with "_" is DSC's own.
std::string Proprio(const TextoApagado& nome, const JsonApagado& valor) {
    // The resource keeps values, never their absence: "_exist" other than
    // true would ask it to remove them.
    if (nome == "_exist" && valor != true)
        return "O recurso gere valores, não a sua ausência: _exist só aceita true.";
    if (nome == "_inDesiredState" && !valor.is_boolean() && !valor.is_null())
        return "_inDesiredState aceita true, false ou null.";
    if (nome == kPropriedadeEstado && !valor.is_null() && valor != kDefinida && valor != kVazia &&
        valor != kIlegivel)
        return std::string(kPropriedadeEstado) + " aceita " + kDefinida + ", " + kVazia + ", " +
               kIlegivel + " ou null.";
    return {};
}

}  // namespace

std::string AnalisarEstadoDesejado(std::string_view json, EstadoDesejado* estado) {
    *estado = {};
    if (json.find_first_not_of(" \t\r\n") == std::string_view::npos) return {};
    // Keys counted for each object as it is read, at any depth: a repeated
    // one leaves the object with fewer than were read.
    std::vector<std::size_t> chaves;
    bool repetida = false;
    const JsonApagado::parser_callback_t contar = [&](int, JsonApagado::parse_event_t e,
                                                      JsonApagado& lido) {
        using Evento = JsonApagado::parse_event_t;
        if (e == Evento::object_start) chaves.push_back(0);
        if (e == Evento::key) ++chaves.back();
        if (e == Evento::object_end) {
            repetida = repetida || chaves.back() != lido.size();
            chaves.pop_back();
        }
        return true;
    };
    JsonApagado raiz;
    try {
        raiz = JsonApagado::parse(json.begin(), json.end(), contar);
    } catch (const JsonApagado::parse_error& e) {
        // Its own text may quote the input: only the place is given.
        return "A entrada não é JSON válido (byte " + std::to_string(e.byte) + ").";
    } catch (const JsonApagado::exception&) {
        return "A entrada não é JSON válido.";
    }
    if (!raiz.is_object()) return "A entrada não é um objeto JSON.";
    if (repetida) return "A entrada repete uma propriedade.";
    for (auto it = raiz.cbegin(); it != raiz.cend(); ++it) {
        const TextoApagado& nome = it.key();
        const auto* d = std::find_if(kDefinicoes.begin(), kDefinicoes.end(),
                                     [&](const auto& d) { return nome == d.propriedade; });
        std::string erro;
        if (nome.rfind('_', 0) == 0 || nome == kPropriedadeEstado)
            erro = Proprio(nome, it.value());
        else if (d == kDefinicoes.end())
            erro = "A entrada tem uma propriedade que o recurso não tem; as suas são: " +
                   Propriedades() + ".";
        else
            erro = Tomar(d - kDefinicoes.begin(), it.value(), estado);
        if (erro.empty()) continue;
        *estado = {};
        return erro;
    }
    return {};
}

std::string LerEstadoDesejado(Consola& consola, EstadoDesejado* estado) {
    *estado = {};
    if (consola.EntradaInterativa()) return {};  // typed at a console: nothing desired
    platform::Secret entrada;
    platform::Secret linha;
    while (consola.LerLinha(kMaxBytesEstado - std::min(entrada.size(), kMaxBytesEstado), &linha)) {
        const bool cabe = entrada.size() + linha.size() <= kMaxBytesEstado;
        if (cabe) {
            entrada.Append(linha.view());
            entrada.Append('\n');
        }
        linha.Clear();
        if (!cabe) return "A entrada padrão excede " + std::to_string(kMaxBytesEstado) + " bytes.";
    }
    return AnalisarEstadoDesejado(entrada.view(), estado);
}

}  // namespace cli
