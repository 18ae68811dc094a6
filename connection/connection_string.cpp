#include "connection/connection_string.h"

namespace connection {
namespace {

void AppendEscaped(std::string& text, const std::string& value) {
    for (const char c : value) {
        text += c;
        if (c == '}') text += '}';
    }
}

void Append(std::string& text, const char* keyword, const std::string& value) {
    text += keyword;
    text += "={";
    AppendEscaped(text, value);
    text += "};";
}

}  // namespace

std::string Escaped(const std::string& value) {
    std::string text;
    text.reserve(2 * value.size());
    AppendEscaped(text, value);
    return text;
}

std::string ConnectionString(const Target& target) {
    std::string text;
    // Room for the longest outcome, so that the text never moves while it
    // grows and leaves no stray copy of the password behind.
    text.reserve(64 + 2 * (target.driver.size() + target.server.size() + target.database.size() +
                           target.user.size() + target.password.size()));
    Append(text, "Driver", target.driver);
    Append(text, "Server", target.server);
    if (!target.database.empty()) Append(text, "Database", target.database);
    if (!target.user.empty()) {
        Append(text, "UID", target.user);
        Append(text, "PWD", target.password);
    }
    return text;
}

}  // namespace connection
