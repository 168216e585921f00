// Tested by tests/voice/voice_engine_test.cpp and tests/threads/voice_threads_test.cpp.
#include "voice/host_resolver.h"

#include <arpa/inet.h>

#include <algorithm>

HostResolver::HostResolver(Lookup lookup) : m_lookup(std::move(lookup)) {}

HostResolver::~HostResolver() {
    for (auto& [host, thread] : m_threads) thread.join();
}

bool HostResolver::Resolve(const std::string& host, uint32_t& address) {
    in_addr parsed{};
    if (inet_pton(AF_INET, host.c_str(), &parsed) == 1) {
        address = ntohl(parsed.s_addr);
        return true;
    }
    auto known = m_known.find(host);
    if (known != m_known.end()) {
        address = known->second;
        return true;
    }
    if (std::find(m_pending.begin(), m_pending.end(), host) == m_pending.end()) {
        m_pending.push_back(host);
        m_waiting.push_back(host);
        StartWaiting();
    }
    return false;
}

void HostResolver::StartWaiting() {
    std::lock_guard<std::mutex> lock(m_mutex);
    while (!m_waiting.empty() && m_running < kMaxRunning) {
        std::string host = m_waiting.front();
        m_waiting.erase(m_waiting.begin());
        ++m_running;
        m_threads[host] = std::thread([this, host] {
            uint32_t address = m_lookup(host);
            std::lock_guard<std::mutex> done(m_mutex);
            m_done.emplace_back(host, address);
            --m_running;
        });
    }
}

std::vector<std::pair<std::string, uint32_t>> HostResolver::TakeFinished() {
    std::vector<std::pair<std::string, uint32_t>> done;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        done.swap(m_done);
    }
    for (const auto& [host, address] : done) {
        // A failed lookup is not remembered: the next try asks again.
        if (address) m_known[host] = address;
        // The thread has handed its result over and is ending.
        auto thread = m_threads.find(host);
        if (thread != m_threads.end()) {
            thread->second.join();
            m_threads.erase(thread);
        }
        m_pending.erase(std::remove(m_pending.begin(), m_pending.end(), host), m_pending.end());
    }
    if (!done.empty()) StartWaiting();
    return done;
}
