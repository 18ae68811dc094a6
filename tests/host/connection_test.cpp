// The connection test's portable part: the connection string, and a
// driver's records as the user reads them.
#include <gtest/gtest.h>

#include "connection/attempt.h"

namespace {

using connection::Target;

TEST(ConnectionString, BracesEveryValueAndLeavesOutEmptyOnes) {
    const std::pair<Target, std::string> table[] = {
        {{"SQL Server", "srv01", "vendas", "app", "segredo"},
         "Driver={SQL Server};Server={srv01};Database={vendas};UID={app};PWD={segredo};"},
        {{"SQL Server", "x;Driver={y}", "b}", "u}}", "a;b}c=d"},
         "Driver={SQL Server};Server={x;Driver={y}}};Database={b}}};UID={u}}}}};PWD={a;b}}c=d};"},
        {{"SQL Server", "srv", "", "app", ""},
         "Driver={SQL Server};Server={srv};UID={app};PWD={};"},
        {{"ODBC Driver 18", "srv", "db", "", "p"},
         "Driver={ODBC Driver 18};Server={srv};Database={db};"},
    };
    for (const auto& [target, expected] : table)
        EXPECT_EQ(connection::ConnectionString(target), expected);
}

// A driver that fails, repeating in each message what it was sent.
class EchoingDatabase : public platform::Database {
public:
    platform::ConnectResult Connect(const std::string& text, unsigned,
                                    std::vector<platform::DiagnosticRecord>* records) override {
        for (const auto& r : answer) records->push_back({r.sqlState, r.message + text});
        return platform::ConnectResult::Failed;
    }
    std::vector<platform::DiagnosticRecord> answer;
};

TEST(ConnectionAttempt, FailureGivesEachRecordOnOneLineWithoutTheSecrets) {
    EchoingDatabase database;
    database.answer = {{"08001", "falhou:\n a;b}c=d e a;b}}c=d em "}, {"01000", "aviso "}};
    Target target{"SQL Server", "srv", "", "app", "a;b}c=d"};
    const connection::Outcome outcome = connection::Attempt(database, target, 15);
    EXPECT_TRUE(target.password.empty());
    EXPECT_EQ(connection::Message(outcome),
              "Não foi possível ligar à base de dados:\n\n[08001] falhou:  *** e *** em ***\n"
              "[01000] aviso ***");
}

}  // namespace
