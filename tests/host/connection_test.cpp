// The connection test's portable part: the connection string, and what the
// user reads of a driver's answer.
#include <gtest/gtest.h>

#include "connection/attempt.h"

namespace {

using connection::Target;

struct StringCase {
    const char* name;
    Target target;
    std::string expected;
};

class ConnectionString : public ::testing::TestWithParam<StringCase> {};

TEST_P(ConnectionString, Text) {
    EXPECT_EQ(connection::ConnectionString(GetParam().target), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ConnectionString,
    ::testing::Values(
        StringCase{"all_five",
                   {"SQL Server", "srv01", "vendas", "app", "segredo"},
                   "Driver={SQL Server};Server={srv01};Database={vendas};UID={app};PWD={segredo};"},
        StringCase{"closing_braces_doubled",
                   {"SQL Server", "x;Driver={y}", "b}", "u}}", "a;b}c=d"},
                   "Driver={SQL Server};Server={x;Driver={y}}};Database={b}}};UID={u}}}}};"
                   "PWD={a;b}}c=d};"},
        StringCase{"empty_database_left_out",
                   {"SQL Server", "srv", "", "app", "p"},
                   "Driver={SQL Server};Server={srv};UID={app};PWD={p};"},
        StringCase{"empty_user_leaves_out_the_password",
                   {"SQL Server", "srv", "db", "", "p"},
                   "Driver={SQL Server};Server={srv};Database={db};"},
        StringCase{"empty_password_given",
                   {"SQL Server", "srv", "db", "app", ""},
                   "Driver={SQL Server};Server={srv};Database={db};UID={app};PWD={};"},
        StringCase{"other_driver",
                   {"ODBC Driver 18 for SQL Server", "srv", "", "", ""},
                   "Driver={ODBC Driver 18 for SQL Server};Server={srv};"}),
    [](const auto& info) { return std::string(info.param.name); });

// A driver that fails with the records given, each message followed by
// what it was sent.
class EchoingDatabase : public platform::Database {
public:
    platform::ConnectResult Connect(const std::string& text, unsigned timeout,
                                    std::vector<platform::DiagnosticRecord>* records) override {
        received = text;
        this->timeout = timeout;
        for (const auto& r : answer) records->push_back({r.sqlState, r.message + text});
        return result;
    }
    platform::ConnectResult result = platform::ConnectResult::Failed;
    std::vector<platform::DiagnosticRecord> answer;
    std::string received;
    unsigned timeout = 0;
};

TEST(ConnectionAttempt, FailureNamesEachRecordWithoutTheSecrets) {
    EchoingDatabase database;
    database.answer = {{"08001", "falhou:\n a;b}c=d e a;b}}c=d em "}, {"01000", "aviso "}};
    Target target{"SQL Server", "srv", "", "app", "a;b}c=d"};
    const connection::Outcome outcome = connection::Attempt(database, target, 15);
    EXPECT_EQ(database.received, "Driver={SQL Server};Server={srv};UID={app};PWD={a;b}}c=d};");
    EXPECT_EQ(database.timeout, 15u);
    EXPECT_TRUE(target.password.empty());
    EXPECT_EQ(connection::Message(outcome),
              "Não foi possível ligar à base de dados:\n\n[08001] falhou:  *** e *** em ***\n"
              "[01000] aviso ***");
}

TEST(ConnectionAttempt, Outcomes) {
    EchoingDatabase database;
    Target target{"SQL Server", "srv", "", "", ""};
    database.result = platform::ConnectResult::Connected;
    EXPECT_EQ(connection::Message(connection::Attempt(database, target, 1)),
              "Ligação estabelecida.");
    database.result = platform::ConnectResult::NoDriverManager;
    EXPECT_EQ(connection::Message(connection::Attempt(database, target, 1)),
              "Não foi possível ligar à base de dados:\n\nNão foi possível carregar o gestor de "
              "controladores ODBC (odbc32.dll).");
}

}  // namespace
