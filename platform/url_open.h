// Opens a web page in the user's browser through xdg-open.
// Tested by tests/platform/url_open_test.cpp.
#pragma once

#include <string>

// Only http and https addresses without blanks or control characters pass:
// anything else could make xdg-open start a local program or open a file.
bool IsOpenableUrl(const std::string& url);

// Starts xdg-open (found on PATH) without a shell and without waiting for it;
// false when the address is refused or the program cannot be started.
bool OpenUrl(const std::string& url);
