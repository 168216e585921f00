// A log the shell's tests read to follow start-up, session and close steps:
// the global objects' creation and deletion and the fake UI's calls.
// Tested through tests/app/session_test.cpp and startup_test.cpp.
#pragma once

#include <string>
#include <vector>

// The calls recorded while recording is on (tests only).
class PendingCallLog {
public:
    static void Record(const std::string& call);
    static void Start();
    static std::vector<std::string> Take();  // and stops recording
};
