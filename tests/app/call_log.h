// The steps the shell's tests follow: the global objects' creation and
// deletion and the fake UI's calls, recorded while recording is on.
#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

class CallLog {
public:
    static void Record(const std::string& call) {
        std::lock_guard<std::mutex> lock(State().mutex);
        if (State().recording) State().calls.push_back(call);
    }
    static void Start() {
        std::lock_guard<std::mutex> lock(State().mutex);
        State().calls.clear();
        State().recording = true;
    }
    // And stops recording.
    static std::vector<std::string> Take() {
        std::lock_guard<std::mutex> lock(State().mutex);
        State().recording = false;
        return std::exchange(State().calls, {});
    }

private:
    struct Log {
        std::mutex mutex;
        bool recording = false;
        std::vector<std::string> calls;
    };
    static Log& State() {
        static Log log;
        return log;
    }
};
