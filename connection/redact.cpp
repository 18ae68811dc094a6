#include "connection/redact.h"

#include <cctype>

#include "connection/same_name.h"

namespace connection {
namespace {

bool IsKeywordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Where the keyword at `at` ("pwd" or "password", as a whole word followed
// by "=") leaves its value, or npos.
std::size_t ValueStart(std::string_view text, std::size_t at) {
    if (at > 0 && IsKeywordChar(text[at - 1])) return std::string_view::npos;
    for (const std::string_view keyword : {"password", "pwd"}) {
        if (!SameName(text.substr(at, keyword.size()), keyword)) continue;
        std::size_t end = at + keyword.size();
        while (end < text.size() && text[end] == ' ') ++end;
        if (end < text.size() && text[end] == '=') return end + 1;
    }
    return std::string_view::npos;
}

// Where the value starting at `start` ends: after the closing "}" of a
// braced value ("}}" inside it stands for "}"), else at the ";" or the end.
std::size_t ValueEnd(std::string_view text, std::size_t start) {
    if (start < text.size() && text[start] == '{') {
        for (std::size_t i = start + 1; i < text.size(); ++i) {
            if (text[i] != '}') continue;
            if (i + 1 < text.size() && text[i + 1] == '}') {
                ++i;
                continue;
            }
            return i + 1;
        }
        return text.size();
    }
    const std::size_t semicolon = text.find(';', start);
    return semicolon == std::string_view::npos ? text.size() : semicolon;
}

}  // namespace

std::string Redact(std::string_view record, std::string_view connectionString) {
    std::string shown;
    for (std::size_t at = 0; at < record.size();) {
        if (!connectionString.empty() &&
            record.substr(at, connectionString.size()) == connectionString) {
            shown += "***";
            at += connectionString.size();
            continue;
        }
        const std::size_t start = ValueStart(record, at);
        if (start != std::string_view::npos) {
            shown.append(record.substr(at, start - at));
            shown += "***";
            at = ValueEnd(record, start);
            continue;
        }
        const char c = record[at++];
        shown += c == '\n' || c == '\r' || c == '\t' ? ' ' : c;
    }
    shown.erase(shown.find_last_not_of(' ') + 1);
    return shown;
}

}  // namespace connection
