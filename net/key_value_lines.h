// "key=value" lines, as the status file, the version answer and
// "web_services.txt" write them. Tested by tests/net/network_status_test.cpp.
#pragma once

#include <string>
#include <utility>
#include <vector>

// Each line that holds a '=' gives (text before the first '=', the rest),
// with CR and LF removed; from the first comment character on (0: none) a
// line is ignored.
std::vector<std::pair<std::string, std::string>> ParseKeyValueLines(const std::string& text, char comment);
