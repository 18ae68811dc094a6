#include "connection/tls_step.h"

#include <chrono>
#include <cstdio>

#include "connection/quoted.h"
#include "connection/tds_tls.h"

namespace connection {
namespace {

using platform::NetworkResult;
using platform::TlsProgress;
using Clock = std::chrono::steady_clock;

constexpr char kSameFailure[] = "O controlador falhará da mesma forma: ";

TlsCheck Failed(std::string detail, std::string line) {
    return {false, std::move(detail), {std::move(line)}};
}

// A handshake that did not finish, as the step reads it.
TlsCheck Unfinished(NetworkResult r, unsigned timeoutMs) {
    if (r == NetworkResult::TimedOut)
        return Failed("sem resposta à negociação TLS em " + std::to_string(timeoutMs / 1000) + " s",
                      std::string(kSameFailure) +
                          "verifique que o serviço SQL Server não está sobrecarregado.");
    return Failed("o servidor fechou a ligação durante a negociação TLS",
                  std::string(kSameFailure) +
                      "o registo de erros do SQL Server diz porque a recusa (o certificado, a sua "
                      "chave privada ou os protocolos TLS ativos).");
}

TlsCheck EngineFailure(TlsProgress progress, unsigned long code) {
    if (progress == TlsProgress::NoCommonProtocol)
        return Failed("este computador e o servidor não têm um protocolo TLS em comum",
                      std::string(kSameFailure) +
                          "ative o TLS 1.2 (ou posterior) no servidor e neste computador.");
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", code);
    return Failed("a negociação TLS falhou (" + std::string(hex) + ")",
                  std::string(kSameFailure) +
                      "o registo de eventos do Windows (Sistema, Schannel) diz porquê.");
}

// The server's alerts for a handshake it cannot agree to: protocol_version,
// insufficient_security and handshake_failure (no cipher in common). They
// come before any key is agreed, so in the clear; a system's TLS may
// report them only as an internal error.
bool SaysNoCommonProtocol(int alert) { return alert == 70 || alert == 71 || alert == 40; }

}  // namespace

bool TlsApplies(Encryption answer, const std::string& driver) {
    return answer == Encryption::On || answer == Encryption::Required || EncryptsByDefault(driver);
}

TlsCheck CheckTls(platform::Network& network, platform::Stream& stream, Encryption answer,
                  const std::string& serverName, const std::string& driver, unsigned timeoutMs) {
    if (answer == Encryption::NotSupported)
        return Failed("o servidor não cifra, e o controlador " + Quoted(driver) + " exige-o",
                      "Instale um certificado no SQL Server (no SQL Server Configuration Manager) "
                      "para que cifre as ligações: este controlador não liga sem cifra.");
    const std::unique_ptr<platform::TlsClient> client = network.StartTls(serverName);
    if (!client)
        return Failed("o TLS deste computador não está disponível (secur32.dll)",
                      "O TLS deste computador não está disponível (secur32.dll ou crypt32.dll não "
                      "carregou): o problema está neste computador, não no servidor.");
    const Clock::time_point start = Clock::now();
    const auto left = [&] {
        return timeoutMs -
               std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    };
    HandshakeReader reader;
    std::string records;
    while (true) {
        std::string send;
        unsigned long code = 0;
        const TlsProgress progress = client->Step(records, &send, &code);
        records.clear();
        if (progress == TlsProgress::NoCommonProtocol || progress == TlsProgress::Failed)
            return EngineFailure(
                SaysNoCommonProtocol(reader.Alert()) ? TlsProgress::NoCommonProtocol : progress,
                code);
        if (!send.empty() && left() > 0) {
            const NetworkResult r = stream.Send(WrapHandshake(send), static_cast<unsigned>(left()));
            if (r != NetworkResult::Ok) return Unfinished(r, timeoutMs);
        }
        if (progress == TlsProgress::Done) break;
        while (records.empty()) {
            std::string received;
            const NetworkResult r = left() > 0
                                        ? stream.Receive(static_cast<unsigned>(left()), &received)
                                        : NetworkResult::TimedOut;
            if (r != NetworkResult::Ok) return Unfinished(r, timeoutMs);
            if (reader.Take(received, &records) != HandshakeReader::Status::Ok)
                return Failed("a resposta à negociação TLS não é TLS dentro de TDS",
                              std::string(kSameFailure) +
                                  "o que escuta nesta porta não negoceia TLS como um SQL Server.");
        }
    }
    return JudgeCertificate(client->Facts(), serverName, driver);
}

TlsCheck JudgeCertificate(const platform::TlsFacts& facts, const std::string& serverName,
                          const std::string& driver) {
    std::string problems;
    const auto add = [&](const std::string& problem) {
        problems += (problems.empty() ? "" : ", ") + problem;
    };
    if (!facts.trusted) add("este computador não confia em quem o emitiu");
    if (!facts.nameMatches) add("não é para " + Quoted(serverName));
    if (facts.expired) add("fora da validade");
    TlsCheck check;
    check.detail = facts.protocol + ", certificado " + Quoted(facts.subject) + " emitido por " +
                   Quoted(facts.issuer) + ", válido até " + facts.expiry + ", " +
                   (problems.empty() ? "confiável" : "não confiável: " + problems);
    const bool validates = EncryptsByDefault(driver);
    check.ok = problems.empty() || !validates;
    if (check.ok) {
        if (!problems.empty())
            check.detail += "; o controlador " + Quoted(driver) + " não o verifica";
        return check;
    }
    if (!facts.trusted)
        check.lines.push_back(
            "Instale neste computador, nas Autoridades de Certificação de Raiz Fidedigna, o "
            "certificado da autoridade que emitiu o do servidor (ou o do próprio servidor).");
    if (!facts.nameMatches)
        check.lines.push_back("O certificado é para " + Quoted(facts.subject) +
                              ": indique o servidor por esse nome, ou dê-o ao controlador em "
                              "HostNameInCertificate.");
    if (facts.expired)
        check.lines.push_back("O certificado não é válido hoje (válido até " + facts.expiry +
                              "): renove-o no servidor.");
    check.lines.push_back(
        "Só em último recurso: TrustServerCertificate=yes faz o controlador aceitar o certificado "
        "sem o verificar.");
    return check;
}

}  // namespace connection
