#include "connection/connection_string.h"

namespace connection {
namespace {

void AppendEscaped(platform::Secret& text, std::string_view value) {
    for (const char c : value) {
        text.Append(c);
        if (c == '}') text.Append('}');
    }
}

void Append(platform::Secret& text, const char* keyword, std::string_view value) {
    text.Append(keyword);
    text.Append("={");
    AppendEscaped(text, value);
    text.Append("};");
}

}  // namespace

platform::Secret Escaped(std::string_view value) {
    platform::Secret text;
    AppendEscaped(text, value);
    return text;
}

platform::Secret ConnectionString(const Target& target) {
    platform::Secret text;
    Append(text, "Driver", target.driver);
    Append(text, "Server", target.server);
    if (!target.database.empty()) Append(text, "Database", target.database);
    if (!target.user.empty()) {
        Append(text, "UID", target.user);
        Append(text, "PWD", target.password.view());
    }
    return text;
}

}  // namespace connection
