// Looks host names up on worker threads, so the frame tick never waits on a
// name server. Dotted addresses answer at once. Lookups are asked for and
// collected on the main thread. Tested by tests/voice/voice_engine_test.cpp
// and tests/threads/voice_threads_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class HostResolver {
public:
    // name -> IPv4 in host order, 0 when unknown; runs on a worker thread.
    using Lookup = std::function<uint32_t(const std::string&)>;
    // Lookups running at once; more wait for a free one.
    static constexpr size_t kMaxRunning = 4;

    explicit HostResolver(Lookup lookup);
    ~HostResolver();
    HostResolver(const HostResolver&) = delete;
    HostResolver& operator=(const HostResolver&) = delete;

    // True with the address when it is known now (a dotted address, or a name
    // looked up before); otherwise starts a lookup and returns false.
    bool Resolve(const std::string& host, uint32_t& address);
    // Names whose lookups ended since the last call, with their addresses.
    std::vector<std::pair<std::string, uint32_t>> TakeFinished();

private:
    void StartWaiting();

    Lookup m_lookup;
    std::mutex m_mutex;  // guards m_done and m_running
    std::vector<std::pair<std::string, uint32_t>> m_done;
    size_t m_running = 0;
    std::map<std::string, uint32_t> m_known;       // main thread only
    std::vector<std::string> m_pending;            // started or waiting; main thread only
    std::vector<std::string> m_waiting;            // main thread only
    std::map<std::string, std::thread> m_threads;  // by host; main thread only
};
