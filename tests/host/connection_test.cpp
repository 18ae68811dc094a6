// The connection test's portable part: the connection string, and a
// driver's records as the user reads them.
#include <gtest/gtest.h>

#include "connection/attempt.h"

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

// A driver that fails, repeating in each message what it was sent.
class EchoingDatabase : public platform::Database {
public:
    platform::ConnectResult Connect(const platform::Secret& text, unsigned,
                                    std::vector<platform::DiagnosticRecord>* records) override {
        for (const auto& r : answer)
            records->push_back({r.sqlState, r.message + std::string(text.view())});
        return platform::ConnectResult::Failed;
    }
    std::vector<platform::DiagnosticRecord> answer;
};

TEST(ConnectionAttempt, FailureGivesEachRecordOnOneLineWithoutTheSecrets) {
    EchoingDatabase database;
    database.answer = {{"08001", "falhou:\n a;b}c=d e a;b}}c=d em "}, {"01000", "aviso "}};
    Target target = Make("SQL Server", "srv", "", "app", "a;b}c=d");
    const connection::Outcome outcome = connection::Attempt(database, target, 15);
    EXPECT_TRUE(target.password.empty());
    EXPECT_EQ(connection::Message(outcome),
              "Não foi possível ligar à base de dados:\n\n[08001] falhou:  *** e *** em ***\n"
              "[01000] aviso ***");
}

}  // namespace
