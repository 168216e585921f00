// The user's runtime folder for locks, sockets and crash reports.
// Tested by tests/platform/local_sockets_test.cpp.
#pragma once

#include <string>

// $XDG_RUNTIME_DIR, else /tmp/tarq-<uid> made with mode 0700: in /tmp itself
// one user's files would block or expose another's.
std::string UserRuntimeDirectory();
