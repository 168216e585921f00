// Tested by tests/net/network_status_test.cpp.
#include "net/key_value_lines.h"

std::vector<std::pair<std::string, std::string>> ParseKeyValueLines(const std::string& text, char comment) {
    std::vector<std::pair<std::string, std::string>> pairs;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (comment != 0) line = line.substr(0, line.find(comment));
        std::erase(line, '\r');
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        pairs.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return pairs;
}
