#include "cli/comandos.h"

#include <array>
#include <optional>

#include "cli/dsc.h"
#include "cli/entrada.h"
#include "cli/saida_json.h"
#include "cli/saida_teste.h"
#include "connection/attempt.h"
#include "platform/platform.h"
#include "settings/ligacao.h"

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

// The texts given, the password's from its secret, never a copy.
settings::Escritas DadosDe(const Pedido& pedido, const platform::Secret& segredo) {
    return Dados(pedido.textos, pedido.palavraPasse == PalavraPasse::Nenhuma ? nullptr : &segredo);
}

// Prints the five settings, as lines or as one JSON object; exit 3 when a
// value is there but cannot be read.
int Mostrar(const Pedido& pedido, Consola& consola) {
    std::vector<std::string> ilegiveis;
    std::string saida;
    Json objeto = Json::object();
    for (const auto& d : kDefinicoes) {
        const ValorLido lido = settings::LerDefinicao(d.nome);
        if (SemTextoGuardado(lido)) ilegiveis.push_back(d.nome);
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

// Writes the values given that differ from the stored ones and names them.
int Definir(const Pedido& pedido, Consola& consola) {
    platform::Secret segredo;
    if (!ObterPalavraPasse(pedido, consola, &segredo)) return kSaidaUtilizacao;
    settings::Gravacao g;
    const int saida = GravarNaConsola(DadosDe(pedido, segredo), consola, &g);
    if (saida != kSaidaExito) return saida;
    Json alterados = Json::array();
    std::string linha;  // "Alterados: Servidor, Utilizador"
    for (std::size_t i : g.gravados) {
        alterados.push_back(kDefinicoes[i].nome);
        linha += (linha.empty() ? "Alterados: " : ", ") + std::string(kDefinicoes[i].nome);
    }
    if (pedido.json)
        consola.Escrever(LinhaJson({{"alterados", alterados}}));
    else
        consola.Escrever(linha.empty() ? "Nada a alterar.\n" : linha + "\n");
    return kSaidaExito;
}

// Checks that the five settings are there and readable here, and that each
// value given is the stored one; names on standard output each one that is
// not.
int Verificar(const Pedido& pedido, Consola& consola) {
    platform::Secret segredo;
    if (!ObterPalavraPasse(pedido, consola, &segredo)) return kSaidaUtilizacao;
    const settings::Escritas dados = DadosDe(pedido, segredo);
    Json diferencas = Json::array();
    std::string linhas;
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        const Definicao& d = kDefinicoes[i];
        const std::string falha = Falha(d, settings::LerDefinicao(d.nome), dados[i]);
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

// Connects with the stored settings through ODBC, step by step, and
// disconnects; prints the steps, as lines or as JSON.
int Testar(const Pedido& pedido, Consola& consola) {
    std::array<std::string, kDefinicoes.size()> lidos;
    std::array<settings::ValorDoTeste, kDefinicoes.size()> valores;
    for (std::size_t i = 0; i < kDefinicoes.size(); ++i) {
        if (kDefinicoes[i].tipo == Tipo::Lista) continue;
        const settings::ValorLido lido = settings::LerDefinicao(kDefinicoes[i].nome);
        if (SemTextoGuardado(lido)) {
            consola.Erro("Não foi possível ler " + std::string(kDefinicoes[i].nome) + ".\n");
            return kSaidaIlegivel;
        }
        lidos[i] = lido.texto;
        valores[i] = {lidos[i], true};
    }
    std::optional<connection::Target> alvo = settings::AlvoDoTeste(valores, pedido.driver);
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

// Lists the installed ODBC drivers, one a line or as one JSON object; exit
// 5 when the driver manager cannot be loaded.
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
        // A save tells of a failure in its writes itself (GravarNaConsola),
        // so this one came while reading: nothing was written.
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
