#include "connection/attempt.h"

#include <algorithm>

#include "platform/wipe.h"

namespace connection {

std::string Scrub(std::string message, std::vector<std::string_view> secrets) {
    std::sort(secrets.begin(), secrets.end(),
              [](std::string_view a, std::string_view b) { return a.size() > b.size(); });
    for (const std::string_view secret : secrets) {
        if (secret.empty()) continue;
        for (auto at = message.find(secret); at != std::string::npos;
             at = message.find(secret, at + 3)) {
            message.replace(at, secret.size(), "***");
        }
    }
    std::replace_if(
        message.begin(), message.end(), [](char c) { return c == '\n' || c == '\r' || c == '\t'; },
        ' ');
    message.erase(message.find_last_not_of(' ') + 1);
    return message;
}

Outcome Attempt(platform::Database& database, Target& target, unsigned loginTimeoutSeconds) {
    const platform::Secret text = ConnectionString(target);
    const platform::Secret escaped = Escaped(target.password.view());
    std::vector<platform::DiagnosticRecord> records;
    const platform::ConnectResult result = database.Connect(text, loginTimeoutSeconds, &records);

    Outcome outcome;
    outcome.connected = result == platform::ConnectResult::Connected;
    if (result == platform::ConnectResult::NoDriverManager) {
        outcome.lines.push_back(
            "Não foi possível carregar o gestor de controladores ODBC (odbc32.dll).");
    } else if (!outcome.connected) {
        // A driver may repeat its input, or part of it, in a message.
        for (platform::DiagnosticRecord& record : records) {
            outcome.lines.push_back(Scrub("[" + record.sqlState + "] " + record.message,
                                          {text.view(), escaped.view(), target.password.view()}));
            platform::Wipe(record.message);
        }
        if (records.empty()) outcome.lines.push_back("O controlador não deu nenhuma razão.");
    }
    target.password.Clear();
    return outcome;
}

std::string Message(const Outcome& outcome) {
    if (outcome.connected) return "Ligação estabelecida.";
    std::string message = "Não foi possível ligar à base de dados:\n";
    for (const std::string& line : outcome.lines) message += "\n" + line;
    return message;
}

}  // namespace connection
