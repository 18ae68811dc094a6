// The connection test's portable part: the connection string, the server
// text, the steps, and a driver's records as the user reads them.
#include <gtest/gtest.h>

#include <functional>

#include "connection/attempt.h"
#include "connection/browser.h"
#include "connection/prelogin.h"
#include "connection/server_address.h"
#include "connection/tds_tls.h"
#include "fakes/fake_network.h"
#include "fakes/fake_registry.h"

namespace {

using connection::Target;

Target Make(const char* driver, const char* server, const char* database, const char* user,
            const char* password) {
    Target target{driver, server, database, user, {}};
    target.password.Assign(password);
    return target;
}

TEST(ConnectionString, BracesEveryValueAndLeavesOutEmptyOnes) {
    const std::pair<std::array<const char*, 5>, std::string> table[] = {
        {{"SQL Server", "srv01", "vendas", "app", "segredo"},
         "Driver={SQL Server};Server={srv01};Database={vendas};UID={app};PWD={segredo};"},
        {{"SQL Server", "x;Driver={y}", "b}", "u}}", "a;b}c=d"},
         "Driver={SQL Server};Server={x;Driver={y}}};Database={b}}};UID={u}}}}};PWD={a;b}}c=d};"},
        {{"SQL Server", "srv", "", "app", ""},
         "Driver={SQL Server};Server={srv};UID={app};PWD={};"},
        {{"ODBC Driver 18", "srv", "db", "", "p"},
         "Driver={ODBC Driver 18};Server={srv};Database={db};"},
    };
    for (const auto& [v, expected] : table)
        EXPECT_EQ(connection::ConnectionString(Make(v[0], v[1], v[2], v[3], v[4])).view(),
                  expected);
}

// Each text and what it reads as, "host|instance|port", the host marked
// "#" when it is an address; "" when the steps cannot read it.
TEST(ServerText, ReadAsSqlServerClientsReadIt) {
    const std::pair<const char*, const char*> table[] = {
        {"srv01", "srv01||0"},
        {" srv01\\SQLEXPRESS ", "srv01|SQLEXPRESS|0"},
        {"srv01,1500", "srv01||1500"},
        {"TCP:srv01", "srv01||0"},
        {"tcp:srv01.corp.example,1500", "srv01.corp.example||1500"},
        {"srv01\\INST,50000", "srv01|INST|50000"},
        {"(local)", "localhost||0"},
        {".\\SQLEXPRESS", "localhost|SQLEXPRESS|0"},
        {"LocalHost,1433", "localhost||1433"},
        {"10.0.0.5", "10.0.0.5#||0"},
        {"fe80::1:2,1500", "fe80::1:2#||1500"},
        {"[::ffff:10.0.0.5]\\INST", "::ffff:10.0.0.5#|INST|0"},
        {"10.0.0.256", "10.0.0.256||0"},  // a name, as a resolver would take it
        {"", ""},
        {"np:\\\\srv01\\pipe\\sql\\query", ""},
        {"lpc:srv01", ""},
        {"(localdb)\\MSSQLLocalDB", ""},
        {"srv01,0", ""},
        {"srv01,65536", ""},
        {"srv01,14x", ""},
        {"srv01\\", ""},
        {",1433", ""},
        {"1:2:3:4:5:6:7:8", "1:2:3:4:5:6:7:8#||0"},
        {"::", "::#||0"},
        {"1:2:3", ""},  // not eight groups, no "::"
        {"a:b:c,1433", ""},
        {"1:2:3:4:5:6:7:8:9", ""},
        {"1::2:3:4:5:6:7:8", ""},  // "::" stands for no group
        {"1::2::3", ""},
        {"[fe80::1:2:3:4:5:6:7]", ""},
        {"::ffff:010.0.0.5", ""},
        {"srv%01", ""},  // not a host name's character
        {"srv\x1B", ""},
    };
    for (const auto& [text, expected] : table) {
        const connection::ServerAddress s = connection::ReadServer(text);
        EXPECT_EQ(s.readable ? s.host + (s.numeric ? "#|" : "|") + s.instance + "|" +
                                   std::to_string(s.port)
                             : "",
                  expected)
            << text << ": " << s.reason;
    }
}

std::string BrowserAnswer(const std::string& data, std::size_t size) {
    return std::string("\x05") + char(size & 0xFF) + char(size >> 8) + data;
}
std::string BrowserAnswer(const std::string& data) { return BrowserAnswer(data, data.size()); }

// Each answer and the port it gives for the instance INST: only a whole
// one, its length that of the data and every field ended, gives one.
TEST(BrowserAnswer, GivesAPortOnlyWhenWhole) {
    const std::string inst = "ServerName;SRV;InstanceName;INST;IsClustered;No;tcp;";
    const std::pair<std::string, int> table[] = {
        {BrowserAnswer(inst + "1500;;"), 1500},
        {BrowserAnswer("ServerName;SRV;InstanceName;A;tcp;1;;" + inst + "1500;np;\\\\s\\p;;"),
         1500},
        {BrowserAnswer("ServerName;SRV;InstanceName;inst;tcp;65535;;"), 65535},
        {BrowserAnswer(inst + "54"), 0},  // cut inside the port
        {BrowserAnswer(inst + "1500;"), 0},
        {BrowserAnswer(inst + "543;;", inst.size() + 6), 0},  // length 3 short
        {BrowserAnswer(inst + "543;;", inst.size() + 8), 0},
        {BrowserAnswer(inst + "1500;;").replace(0, 1, "\x04"), 0},
        {BrowserAnswer(inst + "0;;"), 0},
        {BrowserAnswer(inst + "65536;;"), 0},
        {BrowserAnswer(inst + "15x0;;"), 0},
        {BrowserAnswer(inst + ";;"), 0},
        {BrowserAnswer(";" + inst + "1500;;"), 0},
        {BrowserAnswer("ServerName;SRV;InstanceName;INST2;tcp;1500;;"), 0},
        {BrowserAnswer(inst + "1500;;ServerName;"), 0},
        {"\x05", 0},
    };
    for (const auto& [answer, port] : table)
        EXPECT_EQ(connection::BrowserPort(answer, "INST"), port) << answer.substr(3);
}

// A TDS packet of `type` holding `data`, the last of its message when `last`.
std::string Packet(char type, const std::string& data, bool last = true) {
    const std::size_t size = data.size() + 8;
    return std::string{type, char(last), char(size >> 8), char(size & 0xFF), 0, 0, 1, 0} + data;
}

// A server's PRELOGIN answer: version 15.0.4123, `encryption`, INSTOPT `instance`.
std::string PreloginData(char encryption, char instance = 0) {
    return std::string{0, 0, 16, 0, 6, 1, 0, 22, 0, 1, 2, 0, 23, 0, 1, char(0xFF)} +
           std::string{15, 0, 0x10, 0x1B, 0, 0} + encryption + instance;
}

// Each answer and how it reads: "version encryption[ other]", "more" or "not".
TEST(Prelogin, AnswerReadWithinItsPacketsAndOptions) {
    const std::string ok = PreloginData(0);
    const std::pair<std::string, const char*> table[] = {
        {Packet(4, ok), "SQL Server 15.0.4123 (2019) só na entrada"},
        {Packet(4, PreloginData(3, 1)), "SQL Server 15.0.4123 (2019) obrigatória other"},
        {Packet(4, ok.substr(0, 10), false) + Packet(4, ok.substr(10)),
         "SQL Server 15.0.4123 (2019) só na entrada"},
        {"", "more"},
        {Packet(4, ok).substr(0, 5), "more"},
        {Packet(4, ok).substr(0, 20), "more"},
        {Packet(4, ok, false), "more"},
        {Packet(4, ok) + "x", "not"},  // more than was asked for
        {"HTTP/1.1 400 Bad Request\r\n", "not"},
        {Packet(0x12, ok), "not"},
        {std::string{4, 1, 0, 4}, "not"},                      // shorter than its header
        {Packet(4, ok.substr(0, 15)), "not"},                  // no terminator
        {Packet(4, std::string{0, 0, 6, 0, 6, char(0xFF)} + ok.substr(16, 6)),
         "not"},  // no encryption
        {Packet(4, ok.substr(0, 7) + "\x1F" + ok.substr(8)), "not"},  // value beyond the data
        {Packet(4, ok.substr(0, 22) + "\x04" + ok.substr(23)), "not"},  // encryption unknown
        {std::string(8, '\x04') + std::string(70000, 'x'), "not"},
    };
    for (const auto& [bytes, expected] : table) {
        const connection::PreloginAnswer a = connection::ReadPreloginAnswer(bytes);
        using Status = connection::PreloginAnswer::Status;
        EXPECT_EQ(a.status == Status::Incomplete ? "more"
                  : a.status == Status::NotTds
                      ? "not"
                      : connection::ServerVersion(a) + " " +
                            connection::EncryptionName(a.encryption) +
                            (a.otherInstance ? " other" : ""),
                  expected)
            << testing::PrintToString(bytes);
    }
}

// The request, read back as an answer would be: its lengths and offsets
// hold, it names the instance and asks to encrypt as told.
TEST(Prelogin, RequestIsWellFormed) {
    for (const bool encrypt : {false, true}) {
        std::string request = connection::PreloginRequest("INST", encrypt);
        EXPECT_EQ(request[0], 0x12);
        EXPECT_NE(request.find(std::string("INST\0", 5)), std::string::npos);
        request[0] = 4;
        const connection::PreloginAnswer a = connection::ReadPreloginAnswer(request);
        EXPECT_EQ(a.status, connection::PreloginAnswer::Status::Ok);
        EXPECT_EQ(a.encryption,
                  encrypt ? connection::Encryption::On : connection::Encryption::Off);
    }
    for (const auto& [driver, encrypts] :
         {std::pair{"SQL Server", false}, {"ODBC Driver 17 for SQL Server", false},
          {"ODBC Driver 18 for SQL Server", true}, {"ODBC Driver 19 for SQL Server", true},
          {"ODBC Driver  for SQL Server", false}, {"ODBC Driver 1x for SQL Server", false}})
        EXPECT_EQ(connection::EncryptsByDefault(driver), encrypts) << driver;
}

// A TLS record of `type` (0x16 a handshake) holding `body`.
std::string Record(char type, const std::string& body) {
    return std::string{type, 3, 3, char(body.size() >> 8), char(body.size() & 0xFF)} + body;
}

// The client's records go in PRELOGIN packets of at most 4096 bytes; the
// server's come out of its packets however they are cut, or are refused:
// "records" (what came out) or "malformed".
TEST(TlsFraming, RecordsWrappedAndTakenOutOfPackets) {
    const std::string records = Record(0x16, std::string(9000, 'h')) + Record(0x14, "\x01");
    const std::string wrapped = connection::WrapHandshake(records);
    EXPECT_EQ(wrapped.size(), records.size() + 3 * 8);
    EXPECT_EQ(wrapped.substr(0, 8), std::string("\x12\x00\x10\x00\x00\x00\x01\x00", 8));
    EXPECT_EQ(wrapped[1 + 2 * 4096], 1) << "the last packet ends the message";
    const std::string hello = Record(0x16, "server hello");
    const std::pair<std::vector<std::string>, std::string> table[] = {
        {{wrapped}, records},
        {{wrapped.substr(0, 3), wrapped.substr(3, 4100), wrapped.substr(4103)}, records},
        {{Packet(4, hello.substr(0, 3), false), Packet(4, hello.substr(3))}, hello},
        {{Packet(0x12, hello).substr(0, 10)}, ""},  // a packet not yet whole
        {{Packet(0x17, hello)}, "malformed"},       // TLS with no TDS around it
        {{std::string{0x12, 1, 0, 8, 0, 0, 1, 0}}, "malformed"},  // an empty packet
        {{Packet(0x12, Record(0x30, "x"))}, "malformed"},         // not a TLS content type
        {{Packet(0x12, std::string{0x16, 2, 0, 0, 1, 'x'})}, "malformed"},  // not TLS 1.x
        {{Packet(0x12, Record(0x16, std::string(20000, 'x')).substr(0, 4000))}, "malformed"},
        {{Packet(0x12, hello), std::string(connection::kMaxHandshake, 0x12)}, "malformed"},
    };
    for (const auto& [pieces, expected] : table) {
        connection::HandshakeReader reader;
        std::string out;
        bool malformed = false;
        for (const std::string& piece : pieces)
            malformed |= reader.Take(piece, &out) == connection::HandshakeReader::Status::Malformed;
        EXPECT_EQ(malformed ? "malformed" : out, expected) << testing::PrintToString(pieces[0]);
    }
}

// Each step and how it reads, as "etapa+ detail" or "etapa- detail", then
// the lines that follow.
std::string Summary(const connection::Outcome& outcome) {
    std::string text;
    for (const connection::Step& step : outcome.steps)
        text += std::string(connection::StageKey(step.stage)) + (step.ok ? "+ " : "- ") +
                step.detail + "\n";
    for (const std::string& line : outcome.lines) text += line + "\n";
    return text;
}

struct StepCase {
    const char* name;
    const char* server;
    std::function<void(fakes::FakeNetwork&, fakes::FakeServer&, Target&)> setUp;
    std::string summary;
};

class Steps : public ::testing::TestWithParam<StepCase> {};

TEST_P(Steps, StopAtTheFirstThatFails) {
    fakes::FakeNetwork network;
    network.names["srv"] = {"10.0.0.9", "10.0.0.5"};
    network.open = {{"10.0.0.5", 1433}, {"10.0.0.5", 50000}};
    network.answer = Packet(4, PreloginData(0));
    fakes::FakeServer server;
    Target target = Make("SQL Server", GetParam().server, "vendas", "app", "segredo");
    if (GetParam().setUp) GetParam().setUp(network, server, target);
    fakes::FakeRegistry registry;
    const connection::Outcome outcome =
        connection::Attempt(server, network, registry, target, 15);
    EXPECT_EQ(Summary(outcome), GetParam().summary);
    EXPECT_TRUE(target.password.empty());
    for (const std::string& sent : network.sent)
        EXPECT_EQ(sent.find("app"), std::string::npos) << "the steps sent the user name";
}

#define kOtherService                                                                       \
    "Nesta porta escuta outro serviço: verifique a porta do SQL Server (no SQL Server "       \
    "Configuration Manager) ou indique-a como servidor,porta.\n"
#define kSqlServer "servidor_sql+ SQL Server 15.0.4123 (2019), cifra: só na entrada\n"

// The steps up to the PRELOGIN's answer with encryption `e` (the table's
// number: 1 disponível, 3 obrigatória).
#define kReached(e)                                                                          \
    "nome+ 10.0.0.9, 10.0.0.5\nporta+ 1433 aceite em 10.0.0.5\nservidor_sql+ SQL Server "      \
    "15.0.4123 (2019), cifra: " kEncryption##e "\n"
#define kEncryption1 "disponível"
#define kEncryption3 "obrigatória"
#define kLastResort                                                                          \
    "Só em último recurso: TrustServerCertificate=yes faz o controlador aceitar o "           \
    "certificado sem o verificar.\n"

// A server that requires encryption and answers the handshake.
void TlsServer(fakes::FakeNetwork& n) {
    n.answer = Packet(4, PreloginData(3));
    n.handshake = Packet(0x12, Record(0x16, "hello"));
}

// The driver that encrypts by default, and a server that offers to.
void Driver18(fakes::FakeNetwork& n, fakes::FakeServer& s, Target& t) {
    t.driver = s.drivers[0] = "ODBC Driver 18 for SQL Server";
    TlsServer(n);
    n.answer = Packet(4, PreloginData(1));
}

const std::string kRefusedLogin =
    "[08001] FATAL: password authentication failed for user \"app\" in *** and PWD=***;\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, Steps, ::testing::Values(
    StepCase{"connects", "srv", {},
             "nome+ 10.0.0.9, 10.0.0.5\nporta+ 1433 aceite em 10.0.0.5\n" kSqlServer "entrada+ \n"},
    StepCase{"name", "x.invalid", {},
             "nome- 'x.invalid' não se resolve\n"
             "Verifique o nome do servidor, ou indique o seu endereço IP.\n"},
    StepCase{"instance_port", "srv\\INST",
             [](auto& n, auto&, auto&) {
                 n.browser["10.0.0.5"] = {BrowserAnswer("junk"), BrowserAnswer(
                     "ServerName;SRV;InstanceName;OUTRA;tcp;1;;ServerName;SRV;InstanceName;inst;"
                     "IsClustered;No;Version;15.0.2000.5;tcp;50000;;")};
             },
             "nome+ 10.0.0.9, 10.0.0.5\ninstancia+ 'INST' na porta 50000\n"
             "porta+ 50000 aceite em 10.0.0.5\n" kSqlServer "entrada+ \n"},
    StepCase{"instance_unknown", "srv\\INST",
             [](auto& n, auto&, auto&) {
                 n.browser["10.0.0.9"] = {BrowserAnswer("ServerName;SRV;InstanceName;OUTRA;tcp;1;;")};
             },
             "nome+ 10.0.0.9, 10.0.0.5\ninstancia- o SQL Server Browser não dá uma porta TCP "
             "para 'INST'\nVerifique o nome da instância e que nela o TCP/IP está ativo, ou "
             "indique a porta como servidor,porta.\n"},
    StepCase{"instance_cut_short", "srv\\INST",
             [](auto& n, auto&, auto&) {
                 n.browser["10.0.0.9"] = {BrowserAnswer("ServerName;SRV;InstanceName;INST;tcp;54")};
             },
             "nome+ 10.0.0.9, 10.0.0.5\ninstancia- o SQL Server Browser não dá uma porta TCP "
             "para 'INST'\nVerifique o nome da instância e que nela o TCP/IP está ativo, ou "
             "indique a porta como servidor,porta.\n"},
    StepCase{"instance_unknown_to_browser", "srv\\INST",
             [](auto& n, auto&, auto&) {
                 n.browserList["10.0.0.5"] = {BrowserAnswer("ServerName;SRV;InstanceName;OUTRA;;")};
             },
             "nome+ 10.0.0.9, 10.0.0.5\ninstancia- o SQL Server Browser responde, mas não "
             "conhece a instância 'INST'\nVerifique o nome da instância: SQLCMD -L, ou a "
             "configuração do servidor, lista-as.\n"},
    StepCase{"instance_no_browser", "srv\\INST", {},
             "nome+ 10.0.0.9, 10.0.0.5\ninstancia- o SQL Server Browser não respondeu (UDP 1434)\n"
             "Inicie o serviço SQL Server Browser no servidor ou abra-lhe a porta UDP 1434, ou "
             "indique a porta como servidor,porta.\n"},
    StepCase{"port", "10.0.0.5,1500", {},
             "porta- 1500 recusada\nO serviço SQL Server está parado, a porta é outra, ou uma "
             "firewall bloqueia-a.\n"},
    StepCase{"hosts_file", "srv",
             [](auto& n, auto&, auto&) {
                 n.hosts = "# 10.0.0.1 srv\r\n127.0.0.1 localhost\r\n\t10.0.0.5\tother  SRV # ok\r\n";
             },
             "nome+ ficheiro hosts: '10.0.0.5 other SRV', 10.0.0.9, 10.0.0.5\nporta+ 1433 aceite em "
             "10.0.0.5\n" kSqlServer "entrada+ \n"},
    StepCase{"encrypting_driver", "srv",
             [](auto& n, auto& s, auto& t) {
                 Driver18(n, s, t);
                 n.tlsFacts.trusted = true;
                 n.piece = 3;
             },
             kReached(1) "tls+ TLS 1.2, certificado 'srv' emitido por 'CA', válido até "
             "2027-12-31, confiável\nentrada+ \n"},
    StepCase{"tls_other_name_expired", "srv",
             [](auto& n, auto& s, auto& t) {
                 Driver18(n, s, t);
                 n.tlsFacts = {"TLS 1.3", "outro", "CA", "2020-01-31", true, true, false};
             },
             kReached(1) "tls- TLS 1.3, certificado 'outro' emitido por 'CA', válido até "
             "2020-01-31, não confiável: não é para 'srv', fora da validade\nO certificado é "
             "para 'outro': indique o servidor por esse nome, ou dê-o ao controlador em "
             "HostNameInCertificate.\nO certificado não é válido hoje (válido até 2020-01-31): "
             "renove-o no servidor.\n" kLastResort},
    // A certificate's names are the server's: no control character of
    // theirs reaches the output.
    StepCase{"tls_names_with_control_characters", "srv",
             [](auto& n, auto& s, auto& t) {
                 Driver18(n, s, t);
                 n.tlsFacts = {"TLS 1.2", "srv\x1b[2J\r", "C\xc2\x9b" "A\x7f", "2027-12-31",
                               false, true, true};
             },
             kReached(1) "tls+ TLS 1.2, certificado 'srv?[2J?' emitido por 'C?A?', válido até "
             "2027-12-31, confiável\nentrada+ \n"},
    StepCase{"tls_no_common_protocol", "srv",
             [](auto& n, auto& s, auto& t) {
                 Driver18(n, s, t);
                 n.tlsEnd = platform::TlsProgress::NoCommonProtocol;
             },
             kReached(1) "tls- este computador e o servidor não têm um protocolo TLS em comum\n"
             "O controlador falhará da mesma forma: ative o TLS 1.2 (ou posterior) no servidor e "
             "neste computador.\n"},
    StepCase{"tls_engine_failure", "srv",
             [](auto& n, auto&, auto&) { TlsServer(n); n.tlsEnd = platform::TlsProgress::Failed; },
             kReached(3) "tls- a negociação TLS falhou (0x80090326)\nO controlador falhará da "
             "mesma forma: o registo de eventos do Windows (Sistema, Schannel) diz porquê.\n"},
    StepCase{"tls_not_tls", "srv",
             [](auto& n, auto&, auto&) { TlsServer(n); n.handshake = Record(0x16, "x"); },
             kReached(3) "tls- a resposta à negociação TLS não é TLS dentro de TDS\nO "
             "controlador falhará da mesma forma: o que escuta nesta porta não negoceia TLS como "
             "um SQL Server.\n"},
    StepCase{"tls_unavailable", "srv",
             [](auto& n, auto&, auto&) { TlsServer(n); n.tlsUnavailable = true; },
             kReached(3) "tls- o TLS deste computador não está disponível (secur32.dll)\nO TLS "
             "deste computador não está disponível (secur32.dll ou crypt32.dll não carregou): o "
             "problema está neste computador, não no servidor.\n"},
    StepCase{"not_sql_server", "srv", [](auto& n, auto&, auto&) { n.answer = "SSH-2.0-x\r\n"; },
             "nome+ 10.0.0.9, 10.0.0.5\nporta+ 1433 aceite em 10.0.0.5\nservidor_sql- a porta "
             "responde, mas não como um SQL Server\n" kOtherService},
    StepCase{"no_answer", "srv", [](auto& n, auto&, auto&) { n.silent = true; },
             "nome+ 10.0.0.9, 10.0.0.5\nporta+ 1433 aceite em 10.0.0.5\nservidor_sql- sem "
             "resposta em 15 s\nO servidor aceita a ligação mas não responde como um SQL Server: "
             "verifique que é o serviço SQL Server e que não está sobrecarregado.\n"},
    StepCase{"other_instance", "srv\\INST,50000",
             [](auto& n, auto&, auto&) { n.answer = Packet(4, PreloginData(0, 1)); },
             "nome+ 10.0.0.9, 10.0.0.5\nporta+ 50000 aceite em 10.0.0.5\nservidor_sql- SQL "
             "Server 15.0.4123 (2019), mas a porta não é da instância 'INST'\nA porta é de outra "
             "instância: verifique o nome da instância e a porta, ou deixe que o SQL Server "
             "Browser dê a porta (servidor\\instância, sem porta).\n"},
    StepCase{"no_network", "10.0.0.5", [](auto& n, auto&, auto&) { n.unavailable = true; },
             "porta- a rede não está disponível (ws2_32.dll)\nA rede deste computador não está "
             "disponível (ws2_32.dll não carregou): o problema está neste computador, não no "
             "servidor.\n"},
    StepCase{"not_an_address", "1:2:3", {},
             "entrada+ \nServidor: \"1:2:3\" não é um nome, endereço ou porta TCP; só o "
             "controlador o tenta, sem os passos de rede.\n"},
    StepCase{"login", "srv", [](auto&, auto& s, auto&) { s.password = "outra"; },
             "nome+ 10.0.0.9, 10.0.0.5\nporta+ 1433 aceite em 10.0.0.5\n" kSqlServer "entrada- recusada\n"
             "Verifique o utilizador e a palavra-passe; o controlador explica porquê:\n" +
                 kRefusedLogin},
    StepCase{"database", "srv", [](auto&, auto& s, auto&) { s.database = "outra"; },
             "nome+ 10.0.0.9, 10.0.0.5\nporta+ 1433 aceite em 10.0.0.5\n" kSqlServer ""
             "entrada+ na base de dados master\nbase_dados- 'vendas' recusada\nO utilizador entra no "
             "servidor, mas a base de dados 'vendas' não existe ou não lhe é permitida.\n"
             "[08001] FATAL: database does not exist\n"},
    StepCase{"driver_not_installed", "srv", [](auto&, auto&, auto& t) { t.driver = "Nenhum"; },
             "nome+ 10.0.0.9, 10.0.0.5\nporta+ 1433 aceite em 10.0.0.5\n" kSqlServer "entrada- recusada\n"
             "O controlador ODBC 'Nenhum' não está instalado; instalados com \"SQL Server\" no "
             "nome: SQL Server, ODBC Driver 18 for SQL Server.\n[01000] Can't open lib\n"},
    StepCase{"unreadable_server_to_driver", "np:srv", {},
             "entrada+ \nServidor: \"np:srv\" não é um nome, endereço ou porta TCP; só o "
             "controlador o tenta, sem os passos de rede.\n"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// A client alias named as the server text: the steps go where it points,
// or, for one that is not TCP/IP, leave it to the driver.
TEST(ConnectionAttempt, FollowsAnAlias) {
    const std::pair<const char*, const char*> table[] = {
        {"DBMSSOCN,srv,50000",
         "nome+ alias 'PROD' → 'srv,50000', 10.0.0.9, 10.0.0.5\nporta+ 50000 aceite em "
         "10.0.0.5\n" kSqlServer "entrada+ \n"},
        {"dbmssocn, 10.0.0.5",
         "nome+ alias 'PROD' → '10.0.0.5'\nporta+ 1433 aceite em 10.0.0.5\n" kSqlServer
         "entrada+ \n"},
        {"DBNMPNTW,\\\\srv\\pipe\\sql\\query",
         "entrada+ \nServidor: alias 'PROD' → 'DBNMPNTW,\\\\srv\\pipe\\sql\\query', que não "
         "é TCP/IP; só o controlador o tenta, sem os passos de rede.\n"},
    };
    for (const auto& [data, expected] : table) {
        fakes::FakeNetwork network;
        network.names["srv"] = {"10.0.0.9", "10.0.0.5"};
        network.open = {{"10.0.0.5", 1433}, {"10.0.0.5", 50000}};
        network.answer = Packet(4, PreloginData(0));
        fakes::FakeRegistry registry;
        registry.PutString(0x80000002, "SOFTWARE\\Microsoft\\MSSQLServer\\Client\\ConnectTo",
                           "prod", data);
        fakes::FakeServer server;
        Target target = Make("SQL Server", "PROD", "vendas", "app", "segredo");
        EXPECT_EQ(Summary(connection::Attempt(server, network, registry, target, 15)), expected);
    }
}

// A server's refusal reads the same whatever the password: one letter of
// the message, a word in it, the user's name, or nothing in it at all.
TEST(ConnectionAttempt, RefusalReadsTheSameWhateverThePassword) {
    fakes::FakeNetwork network;
    fakes::FakeServer server;
    server.password = "certa";
    fakes::FakeRegistry registry;
    std::vector<std::string> messages;
    for (const char* password : {"e", "on", "app", "q}7;x"}) {
        Target target = Make("SQL Server", "np:srv", "", "app", password);
        messages.push_back(connection::Message(connection::Attempt(server, network, registry, target, 15)));
        EXPECT_EQ(messages.back(), messages.front()) << password;
    }
    EXPECT_NE(messages[0].find("for user \"app\" in *** and PWD=***;"), std::string::npos)
        << messages[0];
}

}  // namespace
