// A small client for the local test server: one HalkSession with every
// callback recorded as a line of text ("PrivateMessage|A|B|hello"), so tests
// and the tarq_testclient program can wait for and compare what arrived.
// Tested by tests/tools/testserver/test_server_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/halk_session.h"

class Clock;

// Registers a recorder for every callback of the session; each event appends
// one line to *log. The query callback is registered too, so "CAPS" is answered.
void RecordAllCallbacks(HalkSession& session, std::vector<std::string>* log);

class TarqTestClient {
public:
    static constexpr uint16_t kClientId = 0x7a3d;

    TarqTestClient(std::string callsign, uint16_t port, std::string key, Clock* clock = nullptr);

    bool Connect();
    void Poll() { m_session->Poll(); }
    HalkSession& Session() { return *m_session; }
    int State() const { return m_session->GetState(); }
    const std::vector<std::string>& Events() const { return m_events; }
    void ClearEvents() { m_events.clear(); }
    void EraseEvent(int index) { m_events.erase(m_events.begin() + index); }
    // Index of the first event that starts with prefix, or -1.
    int FindEvent(std::string_view prefix) const;

private:
    std::string m_callsign;
    uint16_t m_port;
    std::unique_ptr<HalkSession> m_session;
    std::vector<std::string> m_events;
};
