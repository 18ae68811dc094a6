#include "cli/comandos.h"

#include <array>
#include <optional>
#include <string_view>

#include "cli/dsc.h"
#include "cli/entrada.h"
#include "cli/saida_json.h"
#include "cli/saida_teste.h"
#include "connection/attempt.h"
#include "platform/platform.h"
#include "settings/ligacao.h"
#include "settings/valores.h"

namespace cli {
namespace {

using settings::Definicao;
using settings::kDefinicoes;
using settings::Tipo;
using settings::ValorLido;

// Reads the password from standard input when asked to; false, with the
// reason on standard error, when it is refused.
bool ObterPalavraPasse(const Pedido& pedido, Consola& consola, platform::Secret* segredo) {
    if (pedido.palavraPasse != PalavraPasse::Stdin) return true;
    const std::string erro = LerPalavraPasse(consola, segredo);
    if (!erro.empty()) consola.Erro(erro + "\n");
    return erro.empty();
}

// The text given for setting i (UTF-8), or nothing; never a copy, so that
// the password stays in its secret.
Dado DadoDe(const Pedido& pedido, std::size_t i, const platform::Secret& segredo) {
    if (kDefinicoes[i].tipo != Tipo::PalavraPasse)
        return pedido.textos[i] ? Dado(*pedido.textos[i]) : std::nullopt;
    if (pedido.palavraPasse == PalavraPasse::Nenhuma) return std::nullopt;
    return segredo.view();  // empty for --palavra-passe-vazia
}

// True when the stored value already is `valor`, the form VerificarCampo
// gives to store: the same bytes, or for "Segurança" the same item, as the
// window tells them. A password is stored scrambled with this machine's
// key, so one stored elsewhere, or another password, differs.
bool JaGuardado(const Definicao& d, const ValorLido& lido, const std::string& valor) {
    if (lido.estado != ValorLido::Estado::Texto || lido.forma != ValorLido::Forma::Fiel)
        return false;
    if (d.tipo == Tipo::Lista)
        return settings::ItemSeguranca(lido.texto) == settings::ItemSeguranca(valor);
    return lido.texto == valor;
}

// True when the value is there and its text is what is stored: not another
// type, nor characters the code page changed, nor cut at a NUL.
bool LidoComoTexto(const ValorLido& lido) {
    return lido.estado == ValorLido::Estado::Texto && lido.forma == ValorLido::Forma::Fiel;
}

// A value that is there but cannot be given as the text stored.
bool Ilegivel(const ValorLido& lido) {
    return lido.estado != ValorLido::Estado::NaoExiste && !LidoComoTexto(lido);
}

// What `mostrar` tells of a stored password in place of its text.
enum class EstadoPalavraPasse { Vazia, Definida, Ilegivel };

EstadoPalavraPasse EstadoDe(const ValorLido& lido) {
    if (Ilegivel(lido) || !settings::PalavraPasseLegivel(lido.texto))
        return EstadoPalavraPasse::Ilegivel;
    return lido.texto.empty() ? EstadoPalavraPasse::Vazia : EstadoPalavraPasse::Definida;
}

std::string NomeDoEstado(EstadoPalavraPasse estado) {
    switch (estado) {
    case EstadoPalavraPasse::Vazia: return "vazia";
    case EstadoPalavraPasse::Definida: return "definida";
    case EstadoPalavraPasse::Ilegivel: break;
    }
    return "ilegível";
}

}  // namespace

std::optional<std::string> Apresentado(const Definicao& d, const ValorLido& lido) {
    if (lido.estado == ValorLido::Estado::NaoExiste) return std::nullopt;
    if (d.tipo == Tipo::PalavraPasse) return NomeDoEstado(EstadoDe(lido));
    if (Ilegivel(lido)) return std::nullopt;
    return platform::Current().codePage->ToUtf8(lido.texto);
}

namespace {

// One line of `mostrar`: the value, or in brackets what stands for it.
std::string Linha(const Definicao& d, const ValorLido& lido) {
    if (lido.estado == ValorLido::Estado::NaoExiste) return "(em falta)";
    if (!lido.Legivel()) return "(ilegível)";
    if (Ilegivel(lido)) return "(ilegível: " + settings::MotivoForma(lido.forma) + ")";
    if (d.tipo != Tipo::PalavraPasse) return *Apresentado(d, lido);
    const EstadoPalavraPasse estado = EstadoDe(lido);
    if (estado == EstadoPalavraPasse::Ilegivel) return "(ilegível neste computador)";
    return "(" + NomeDoEstado(estado) + ")";
}

}  // namespace

std::string Falha(const Definicao& d, const ValorLido& lido, Dado dado) {
    if (lido.estado == ValorLido::Estado::NaoExiste) return "em falta";
    if (!lido.Legivel()) return "ilegível";
    if (Ilegivel(lido)) return settings::MotivoForma(lido.forma);
    if (d.tipo == Tipo::Lista && settings::ItemSeguranca(lido.texto) < 0)
        return "não é False nem True";
    if (d.tipo == Tipo::PalavraPasse && !settings::PalavraPasseLegivel(lido.texto))
        return "não se decifra neste computador";
    if (!dado) return {};
    const settings::Verificacao v = settings::VerificarCampo(d, *dado);
    const bool igual = v.aceite && JaGuardado(d, lido, v.valor);
    return igual ? std::string() : "diferente do valor indicado";
}

int Mostrar(const Pedido& pedido, Consola& consola) {
    std::vector<std::string> ilegiveis;
    std::string saida;
    Json objeto = Json::object();
    for (const auto& d : kDefinicoes) {
        const ValorLido lido = settings::LerDefinicao(d.nome);
        if (Ilegivel(lido)) ilegiveis.push_back(d.nome);
        if (pedido.json) {
            const std::optional<std::string> valor = Apresentado(d, lido);
            objeto[d.nome] = valor ? Json(*valor) : Json(nullptr);
        } else {
            saida += std::string(d.nome) + "=" + Linha(d, lido) + "\n";
        }
    }
    consola.Escrever(pedido.json ? LinhaJson(objeto) : saida);
    if (ilegiveis.empty()) return kSaidaExito;
    consola.Erro(settings::MensagemNaoLidos(ilegiveis) + "\n");
    return kSaidaIlegivel;
}

int Definir(const Pedido& pedido, Consola& consola) {
    platform::Secret segredo;
    if (!ObterPalavraPasse(pedido, consola, &segredo)) return kSaidaUtilizacao;
    std::vector<std::string> alterados;
    const int saida = GravarDiferentes([&](std::size_t i) { return DadoDe(pedido, i, segredo); },
                                       consola, &alterados);
    if (saida != kSaidaExito) return saida;
    if (pedido.json) {
        consola.Escrever(LinhaJson({{"alterados", alterados}}));
    } else if (alterados.empty()) {
        consola.Escrever("Nada a alterar.\n");
    } else {
        std::string lista;
        for (const std::string& nome : alterados) lista += (lista.empty() ? "" : ", ") + nome;
        consola.Escrever("Alterados: " + lista + "\n");
    }
    return kSaidaExito;
}

int Verificar(const Pedido& pedido, Consola& consola) {
    platform::Secret segredo;
    if (!ObterPalavraPasse(pedido, consola, &segredo)) return kSaidaUtilizacao;
    Json diferencas = Json::array();
    std::string linhas;
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        const Definicao& d = kDefinicoes[i];
        const std::string falha =
            Falha(d, settings::LerDefinicao(d.nome), DadoDe(pedido, i, segredo));
        if (falha.empty()) continue;
        diferencas.push_back({{"nome", d.nome}, {"motivo", falha}});
        linhas += std::string(d.nome) + ": " + falha + "\n";
    }
    const bool conforme = diferencas.empty();
    if (pedido.json)
        consola.Escrever(LinhaJson({{"conforme", conforme}, {"diferencas", diferencas}}));
    else
        consola.Escrever(conforme ? "As definições estão conformes.\n" : linhas);
    return conforme ? kSaidaExito : pedido.codigoNaoConforme;
}

int GravarDiferentes(const std::function<Dado(std::size_t)>& dado, Consola& consola,
                     std::vector<std::string>* alterados, bool simular) {
    // Each value given is checked as the window checks it; one already
    // stored is left alone; the first refusal stops the save.
    std::array<std::optional<settings::Verificacao>, kDefinicoes.size()> novos;
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        const Dado texto = dado(i);
        if (!texto) continue;
        settings::Verificacao v = settings::VerificarCampo(kDefinicoes[i], *texto);
        if (v.aceite &&
            JaGuardado(kDefinicoes[i], settings::LerDefinicao(kDefinicoes[i].nome), v.valor))
            continue;
        const bool aceite = v.aceite;
        novos[i] = std::move(v);
        if (!aceite) break;
        alterados->push_back(kDefinicoes[i].nome);
    }
    if (simular) {
        // The refusal the save would give, and nothing written.
        for (const auto& v : novos)
            if (v && !v->aceite) {
                consola.Erro(v->mensagem + "\n");
                return kSaidaRecusado;
            }
        return kSaidaExito;
    }
    settings::Gravacao g;
    try {
        g = settings::Gravar([&](std::size_t i) { return std::move(novos[i]); });
    } catch (...) {
        consola.Erro(
            "Falha inesperada ao gravar as definições: " + settings::MensagemFalhaEmCurso() + "\n");
        return kSaidaGravacao;
    }
    if (!g.mensagem.empty()) consola.Erro(g.mensagem + "\n");
    if (g.recusada) return kSaidaRecusado;
    if (!g.mensagem.empty()) return kSaidaGravacao;
    return kSaidaExito;
}

int Testar(const Pedido& pedido, Consola& consola) {
    std::array<std::string, kDefinicoes.size()> lidos;
    std::array<settings::ValorDoTeste, kDefinicoes.size()> valores;
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        if (kDefinicoes[i].tipo == Tipo::Lista) continue;
        const settings::ValorLido lido = settings::LerDefinicao(kDefinicoes[i].nome);
        if (Ilegivel(lido)) {
            consola.Erro("Não foi possível ler " + std::string(kDefinicoes[i].nome) + ".\n");
            return kSaidaIlegivel;
        }
        lidos[i] = lido.texto;
        valores[i] = {lidos[i], true};
    }
    std::optional<connection::Target> alvo = settings::AlvoDoTeste(valores, pedido.controlador);
    if (!alvo) {
        consola.Erro("A palavra-passe guardada não se decifra com a chave deste computador: "
                     "defina-a de novo neste computador.\n");
        return kSaidaIlegivel;
    }
    const std::string servidor = alvo->server, base = alvo->database;
    const connection::Outcome r = connection::Attempt(
        *platform::Current().database, *platform::Current().network, *platform::Current().registry,
        *alvo, pedido.tempoLimite);
    if (pedido.json) {
        consola.Escrever(JsonTeste(r));
    } else if (r.connected) {
        consola.Escrever("Ligação estabelecida a " + servidor + ", base de dados " + base + ".\n" +
                         LinhasTeste(r));
    } else {
        consola.Erro(LinhasTeste(r));
    }
    return r.connected ? kSaidaExito : kSaidaLigacao;
}

int Controladores(const Pedido& pedido, Consola& consola) {
    std::vector<std::string> nomes;
    if (!platform::Current().database->Drivers(&nomes)) {
        consola.Erro("Não foi possível carregar o gestor de controladores ODBC (odbc32.dll).\n");
        return kSaidaLigacao;
    }
    std::string lista;
    for (const std::string& nome : nomes) lista += nome + "\n";
    consola.Escrever(pedido.json ? LinhaJson({{"controladores", nomes}}) : lista);
    return kSaidaExito;
}

namespace {

int Correr(const Analise& analise, Consola& consola) {
    const Pedido& pedido = analise.pedido;
    if (!analise.valida) {
        consola.Erro(analise.erro + "\n" + (pedido.json ? "" : "\n" + kUtilizacao));
        return kSaidaUtilizacao;
    }
    try {
        switch (pedido.comando) {
        case Comando::Ajuda: consola.Escrever(kUtilizacao); return kSaidaExito;
        case Comando::Mostrar: return Mostrar(pedido, consola);
        case Comando::Definir: return Definir(pedido, consola);
        case Comando::Verificar: return Verificar(pedido, consola);
        case Comando::Testar: return Testar(pedido, consola);
        case Comando::Controladores: return Controladores(pedido, consola);
        case Comando::Dsc: return Dsc(pedido, consola);
        }
    } catch (...) {
        // Writes trap their own failures (Definir), so this one came while
        // reading: nothing was written.
        consola.Erro("Falha inesperada ao ler as definições: " + settings::MensagemFalhaEmCurso() +
                     "\n");
    }
    return kSaidaIlegivel;
}

}  // namespace

int Executar(const std::vector<std::string>& argumentos, Consola& consola) {
    const Analise analise = AnalisarArgumentos(argumentos);
    if (analise.pedido.comando == Comando::Dsc) {
        MensagensDsc mensagens(consola);
        return Correr(analise, mensagens);
    }
    if (!analise.pedido.json) return Correr(analise, consola);
    ErrosEmJson json(consola);
    return json.Concluir(Correr(analise, json));
}

}  // namespace cli
