#include "connection/hosts_file.h"

#include <vector>

#include "connection/same_name.h"

namespace connection {
namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    while (true) {
        const std::size_t start = line.find_first_not_of(" \t\r");
        if (start == std::string_view::npos) return words;
        line.remove_prefix(start);
        const std::size_t end = std::min(line.find_first_of(" \t\r"), line.size());
        words.push_back(line.substr(0, end));
        line.remove_prefix(end);
    }
}

}  // namespace

std::string HostsLine(std::string_view text, std::string_view name) {
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        line = line.substr(0, line.find('#'));
        const std::vector<std::string_view> words = Words(line);
        for (std::size_t i = 1; i < words.size(); ++i) {
            if (!SameName(words[i], name)) continue;
            std::string found(words[0]);
            for (std::size_t j = 1; j < words.size(); ++j) found += " " + std::string(words[j]);
            return found;
        }
    }
    return {};
}

}  // namespace connection
