#include "connection/attempt.h"

#include <algorithm>
#include <cctype>
#include <chrono>

#include "connection/alias.h"
#include "connection/browser.h"
#include "connection/hosts_file.h"
#include "connection/prelogin.h"
#include "connection/quoted.h"
#include "connection/redact.h"
#include "connection/same_name.h"
#include "connection/server_address.h"
#include "connection/tls_step.h"

namespace connection {
namespace {

using platform::NetworkResult;
using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The addresses as a list, at most three of them.
std::string Listed(const std::vector<std::string>& addresses) {
    std::string list;
    for (std::size_t i = 0; i < addresses.size() && i < 3; ++i)
        list += (i ? ", " : "") + addresses[i];
    if (addresses.size() > 3) list += " e mais " + std::to_string(addresses.size() - 3);
    return list;
}

constexpr char kNoNetwork[] = "a rede não está disponível (ws2_32.dll)";
// What to check when Winsock itself cannot be loaded: this computer, not
// the server.
constexpr char kCheckThisComputer[] =
    "A rede deste computador não está disponível (ws2_32.dll não carregou): o problema está "
    "neste computador, não no servidor.";

// The steps before the login. Each adds itself to `outcome`; false, with
// what to check next, at the first that fails.
class NetworkSteps {
public:
    NetworkSteps(platform::Network& network, const ServerAddress& server, std::string alias,
                 const std::string& driver, unsigned timeoutMs, Outcome* outcome)
        : network_(network),
          server_(server),
          alias_(std::move(alias)),
          driver_(driver),
          timeoutMs_(timeoutMs),
          outcome_(*outcome) {}

    bool Run() { return Name() && Instance() && Port() && SqlServer() && Tls(); }

private:
    bool Name() {
        const Clock::time_point start = Clock::now();
        if (server_.numeric) {
            addresses_ = {server_.host};
            if (!alias_.empty()) Add(Stage::Name, true, start, alias_);
            return true;
        }
        const NetworkResult r = network_.Resolve(server_.host, &addresses_);
        const bool ok = r == NetworkResult::Ok && !addresses_.empty();
        std::string hosts;
        if (r != NetworkResult::Unavailable && network_.ReadHostsFile(&hosts))
            hosts = HostsLine(hosts, server_.host);
        else
            hosts.clear();
        Add(Stage::Name, ok, start,
            (alias_.empty() ? "" : alias_ + ", ") +
            (hosts.empty() ? "" : "ficheiro hosts: " + Quoted(hosts) + ", ") +
            (ok                               ? Listed(addresses_)
            : r == NetworkResult::Unavailable ? kNoNetwork
                                              : Quoted(server_.host) + " não se resolve"));
        return ok || Fail(r, "Verifique o nome do servidor, ou indique o seu endereço IP.");
    }

    bool Instance() {
        if (server_.instance.empty() || server_.port != 0) {
            port_ = server_.port ? server_.port : kDefaultPort;
            return true;
        }
        const Clock::time_point start = Clock::now();
        const std::string request = BrowserRequest(server_.instance);
        NetworkResult r = NetworkResult::TimedOut;
        for (const std::string& address : addresses_) {
            const long long left = kBrowserTimeoutMs - MillisecondsSince(start);
            if (left <= 0) break;
            std::string answer;
            r = network_.Ask(address, kBrowserPort, request, static_cast<unsigned>(left),
                             IsBrowserAnswer, &answer);
            if (r == NetworkResult::Ok) {
                port_ = BrowserPort(answer, server_.instance);
                break;
            }
        }
        const std::string name = Quoted(server_.instance);
        if (port_ != 0) {
            Add(Stage::Instance, true, start, name + " na porta " + std::to_string(port_));
            return true;
        }
        if (r == NetworkResult::Ok) {
            Add(Stage::Instance, false, start,
                "o SQL Server Browser não dá uma porta TCP para " + name);
            return Fail(
                "Verifique o nome da instância e que nela o TCP/IP está ativo, ou indique a porta "
                "como servidor,porta.");
        }
        if (r == NetworkResult::TimedOut && BrowserKnowsOthers()) {
            Add(Stage::Instance, false, start,
                "o SQL Server Browser responde, mas não conhece a instância " + name);
            return Fail(
                "Verifique o nome da instância: SQLCMD -L, ou a configuração do servidor, "
                "lista-as.");
        }
        Add(Stage::Instance, false, start,
            r == NetworkResult::Unavailable ? kNoNetwork
                                            : "o SQL Server Browser não respondeu (UDP 1434)");
        return Fail(
            r, "Inicie o serviço SQL Server Browser no servidor ou abra-lhe a porta UDP 1434, ou "
            "indique a porta como servidor,porta.");
    }

    // Whether a Browser that said nothing of the instance answers for the
    // list of them all.
    bool BrowserKnowsOthers() {
        const Clock::time_point start = Clock::now();
        for (const std::string& address : addresses_) {
            const long long left = kBrowserTimeoutMs - MillisecondsSince(start);
            if (left <= 0) break;
            std::string answer;
            if (network_.Ask(address, kBrowserPort, BrowserListRequest(),
                             static_cast<unsigned>(left), IsBrowserAnswer, &answer) ==
                    NetworkResult::Ok &&
                IsBrowserAnswer(answer))
                return true;
        }
        return false;
    }

    bool Port() {
        const Clock::time_point start = Clock::now();
        const std::string port = std::to_string(port_);
        NetworkResult r = NetworkResult::TimedOut;
        for (const std::string& address : addresses_) {
            const long long left = timeoutMs_ - MillisecondsSince(start);
            if (left <= 0) break;
            r = network_.Open(address, port_, static_cast<unsigned>(left), &stream_);
            if (r == NetworkResult::Ok) {
                Add(Stage::Port, true, start, port + " aceite em " + address);
                return true;
            }
        }
        Add(Stage::Port, false, start,
            r == NetworkResult::Unavailable ? kNoNetwork
            : r == NetworkResult::Refused   ? port + " recusada"
                                            : port + " sem resposta");
        return Fail(
            r, "O serviço SQL Server está parado, a porta é outra, ou uma firewall bloqueia-a.");
    }

    // A PRELOGIN on the port's connection.
    bool SqlServer() {
        const Clock::time_point start = Clock::now();
        const std::string instance = server_.instance.empty() ? "MSSQLServer" : server_.instance;
        NetworkResult r =
            stream_->Send(PreloginRequest(instance, EncryptsByDefault(driver_)), timeoutMs_);
        std::string received;
        PreloginAnswer answer;
        while (r == NetworkResult::Ok) {
            answer = ReadPreloginAnswer(received);
            if (answer.status != PreloginAnswer::Status::Incomplete) break;
            const long long left = timeoutMs_ - MillisecondsSince(start);
            r = left > 0 ? stream_->Receive(static_cast<unsigned>(left), &received)
                         : NetworkResult::TimedOut;
        }
        if (r == NetworkResult::Ok && answer.status == PreloginAnswer::Status::Ok) {
            const std::string found = ServerVersion(answer);
            encryption_ = answer.encryption;
            if (!answer.otherInstance) {
                Add(Stage::SqlServer, true, start,
                    found + ", cifra: " + EncryptionName(answer.encryption));
                return true;
            }
            Add(Stage::SqlServer, false, start,
                found + ", mas a porta não é da instância " + Quoted(instance));
            return Fail(
                "A porta é de outra instância: verifique o nome da instância e a porta, ou deixe "
                "que o SQL Server Browser dê a porta (servidor\\instância, sem porta).");
        }
        if (r == NetworkResult::TimedOut) {
            Add(Stage::SqlServer, false, start,
                "sem resposta em " + std::to_string(timeoutMs_ / 1000) + " s");
            return Fail(
                "O servidor aceita a ligação mas não responde como um SQL Server: verifique que "
                "é o serviço SQL Server e que não está sobrecarregado.");
        }
        Add(Stage::SqlServer, false, start,
            r == NetworkResult::Ok ? "a porta responde, mas não como um SQL Server"
                                   : "a porta fecha a ligação sem responder como um SQL Server");
        return Fail(
            "Nesta porta escuta outro serviço: verifique a porta do SQL Server (no SQL Server "
            "Configuration Manager) ou indique-a como servidor,porta.");
    }

    // The TLS handshake on the same connection, which is then closed: the
    // driver makes its own.
    bool Tls() {
        if (!TlsApplies(encryption_, driver_)) return true;
        const Clock::time_point start = Clock::now();
        TlsCheck check =
            CheckTls(network_, *stream_, encryption_, server_.host, driver_, timeoutMs_);
        stream_.reset();
        Add(Stage::Tls, check.ok, start, std::move(check.detail));
        for (std::string& line : check.lines) outcome_.lines.push_back(std::move(line));
        return check.ok;
    }

    void Add(Stage stage, bool ok, Clock::time_point start, std::string detail) {
        outcome_.steps.push_back({stage, ok, MillisecondsSince(start), std::move(detail)});
    }

    bool Fail(const char* nextCheck) {
        outcome_.lines.push_back(nextCheck);
        return false;
    }
    bool Fail(NetworkResult r, const char* nextCheck) {
        return Fail(r == NetworkResult::Unavailable ? kCheckThisComputer : nextCheck);
    }

    platform::Network& network_;
    const ServerAddress& server_;
    const std::string alias_;  // "alias 'X' → 'host,porta'", when one sends the name elsewhere
    const std::string driver_;
    const unsigned timeoutMs_;
    Outcome& outcome_;
    std::vector<std::string> addresses_;
    std::uint16_t port_ = 0;
    std::unique_ptr<platform::Stream> stream_;  // the port's connection
    Encryption encryption_ = Encryption::NotSupported;  // as the server answered
};

// One login, timed, with the driver's records made safe to show.
struct Login {
    platform::ConnectResult result = platform::ConnectResult::Failed;
    long long ms = 0;
    std::vector<std::string> records;
};

Login TryLogin(platform::Database& database, const Target& target, unsigned timeoutSeconds) {
    const platform::Secret text = ConnectionString(target);
    std::vector<platform::DiagnosticRecord> records;
    const Clock::time_point start = Clock::now();
    Login login;
    login.result = database.Connect(text, timeoutSeconds, &records);
    login.ms = MillisecondsSince(start);
    for (const platform::DiagnosticRecord& record : records) {
        platform::Secret line;
        for (const std::string_view part :
             {std::string_view("["), std::string_view(record.sqlState), std::string_view("] "),
              record.message.view()})
            line.Append(part);
        login.records.push_back(Redact(line.view(), text.view()));
    }
    if (login.records.empty()) login.records.push_back("O controlador não deu nenhuma razão.");
    return login;
}

// What to check after a failed login: a driver that is not installed is
// named with the installed ones that look like it.
std::string AfterLoginFailure(platform::Database& database, const std::string& driver) {
    std::vector<std::string> names;
    if (database.Drivers(&names) &&
        std::none_of(names.begin(), names.end(),
                     [&](const std::string& name) { return SameName(name, driver); })) {
        std::string similar;
        for (const std::string& name : names)
            if (name.find("SQL Server") != std::string::npos)
                similar += (similar.empty() ? "" : ", ") + name;
        return "O controlador ODBC " + Quoted(driver) +
               " não está instalado; instalados com \"SQL Server\" no nome: " +
               (similar.empty() ? "nenhum" : similar) + ".";
    }
    return "Verifique o utilizador e a palavra-passe; o controlador explica porquê:";
}

constexpr char kMaster[] = "master";

void LoginSteps(platform::Database& database, Target& target, unsigned timeoutSeconds,
                Outcome* outcome) {
    const Login login = TryLogin(database, target, timeoutSeconds);
    outcome->connected = login.result == platform::ConnectResult::Connected;
    if (login.result == platform::ConnectResult::NoDriverManager) {
        outcome->steps.push_back({Stage::Login, false, login.ms, "o gestor ODBC não carregou"});
        outcome->lines.push_back(
            "Não foi possível carregar o gestor de controladores ODBC (odbc32.dll).");
        return;
    }
    if (outcome->connected) {
        outcome->steps.push_back({Stage::Login, true, login.ms, {}});
        return;
    }
    const bool timedOut = login.ms >= timeoutSeconds * 1000LL;
    // With the server's own database: when that login works, the database
    // is what failed. Not after a login that ran out of time, which would
    // only wait as long again.
    // The retry names master: left out, the driver would take the login's
    // default database, which may be the one missing or closed to it.
    if (!target.database.empty() && !SameName(target.database, kMaster) && !timedOut) {
        Target withMaster{target.driver, target.server, kMaster, target.user,
                          target.password.Copy()};
        const Login retry = TryLogin(database, withMaster, timeoutSeconds);
        if (retry.result == platform::ConnectResult::Connected) {
            outcome->steps.push_back(
                {Stage::Login, true, retry.ms, std::string("na base de dados ") + kMaster});
            outcome->steps.push_back(
                {Stage::Database, false, login.ms, Quoted(target.database) + " recusada"});
            outcome->lines.push_back("O utilizador entra no servidor, mas a base de dados " +
                                     Quoted(target.database) +
                                     " não existe ou não lhe é permitida.");
            outcome->lines.insert(outcome->lines.end(), login.records.begin(), login.records.end());
            return;
        }
    }
    if (timedOut) {
        outcome->steps.push_back({Stage::Login, false, login.ms,
                                  "sem resposta em " + std::to_string(timeoutSeconds) + " s"});
        outcome->lines.push_back(
            "O servidor aceita a ligação mas não responde à entrada: verifique que é o serviço "
            "SQL Server e que não está sobrecarregado.");
    } else {
        outcome->steps.push_back({Stage::Login, false, login.ms, "recusada"});
        outcome->lines.push_back(AfterLoginFailure(database, target.driver));
    }
    outcome->lines.insert(outcome->lines.end(), login.records.begin(), login.records.end());
}

}  // namespace

Outcome Attempt(platform::Database& database, platform::Network& network,
                platform::Registry& registry, Target& target, unsigned loginTimeoutSeconds) {
    Outcome outcome;
    // The driver goes where a client alias for the server text points.
    const Alias alias = FindAlias(registry, target.server);
    const std::string aliasText =
        alias.kind == Alias::Kind::None
            ? ""
            : "alias " + Quoted(target.server) + " → " + Quoted(alias.target);
    const ServerAddress server =
        ReadServer(alias.kind == Alias::Kind::Tcp ? alias.target : target.server);
    if (alias.kind == Alias::Kind::Other) {
        outcome.lines.push_back("Servidor: " + aliasText +
                                ", que não é TCP/IP; só o controlador o tenta, sem os passos de "
                                "rede.");
    } else if (!server.readable) {
        outcome.lines.push_back("Servidor: " + server.reason +
                                "; só o controlador o tenta, sem os passos de rede.");
    } else if (!NetworkSteps(network, server, aliasText, target.driver,
                                   loginTimeoutSeconds * 1000, &outcome).Run()) {
        target.password.Clear();
        return outcome;
    }
    LoginSteps(database, target, loginTimeoutSeconds, &outcome);
    target.password.Clear();
    return outcome;
}

}  // namespace connection
