// Tested by tests/net/network_status_test.cpp.
#include "net/key_value_lines.h"

#include "foundation/text_helpers.h"

std::vector<std::pair<std::string, std::string>> ParseKeyValueLines(const std::string& text, char comment) {
    std::vector<std::pair<std::string, std::string>> pairs;
    ForEachLine(text, [&](std::string line) {
        if (comment != 0) line = line.substr(0, line.find(comment));
        size_t equals = line.find('=');
        if (equals != std::string::npos) pairs.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    });
    return pairs;
}
