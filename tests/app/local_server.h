// The in-process test server that the program's network manager signs on
// to, pumped together with the manager's timer.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "app/global_objects.h"
#include "net/halk_session.h"
#include "net/network_manager.h"
#include "platform/clock.h"
#include "tools/testserver/test_server.h"

class LocalServer {
public:
    LocalServer() {
        TestServerOptions options;
        options.port = 0;
        options.key = TarqNetworkManager::LoginKey();
        options.challengeIntervalMs = 0;
        m_server = std::make_unique<TarqTestServer>(std::move(options), m_clock);
        std::string error;
        EXPECT_TRUE(m_server->Start(&error)) << error;
    }

    uint16_t Port() const { return m_server->Port(); }
    void Poll() { m_server->Poll(1); }

    // Pumps the server and the manager's timer until done() or a few seconds passed.
    bool PumpUntil(const std::function<bool()>& done) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            m_server->Poll(1);
            g_networkManager->OnTimer();
            if (done()) return true;
        }
        return done();
    }

    void SignOn(const std::string& callsign) {
        HalkSession& session = g_networkManager->ControllerSession();
        session.SetConnectInfo("127.0.0.1", m_server->Port(), "1000001", "secret", {callsign, "Me", 5});
        ASSERT_TRUE(session.Connect());
        ASSERT_TRUE(PumpUntil([&] { return g_networkManager->IsConnected(); }));
    }

    // Waits until an earlier connection is gone; then, if asked, signs on
    // under a new callsign and returns it.
    std::string SetConnected(bool connected) {
        HalkSession& session = g_networkManager->ControllerSession();
        EXPECT_TRUE(PumpUntil([&] {
            return session.GetState() != HalkSession::kConnected &&
                   session.GetState() != HalkSession::kConnecting;
        }));
        if (!connected) return "";
        std::string callsign = "C" + std::to_string(++m_count) + "_CTR";
        session.SetConnectInfo("127.0.0.1", m_server->Port(), "1000001", "secret", {callsign, "Me", 5});
        EXPECT_TRUE(session.Connect());
        EXPECT_TRUE(PumpUntil([&] {
            auto names = m_server->LoggedIn();
            return std::find(names.begin(), names.end(), callsign) != names.end();
        }));
        EXPECT_TRUE(g_networkManager->IsConnected());
        return callsign;
    }

    // Sign-off lines the server has from callsign once the session has sent
    // all it queued: a signed-off session ends with its "#DA"; one still on
    // gets a marker through.
    int SignOffs(const std::string& callsign, bool expectSignOff) {
        const std::string signOff = "#DA" + callsign + ":SERVER";
        const std::string marker = "#TM" + callsign + ":SERVER:marker";
        if (!expectSignOff) g_networkManager->ControllerSession().Send(marker + "\r\n");
        auto count = [&](const std::string& line) {
            auto lines = m_server->Received(callsign);
            return static_cast<int>(std::count(lines.begin(), lines.end(), line));
        };
        PumpUntil([&] { return count(signOff) > 0 || count(marker) > 0; });
        return count(signOff);
    }

private:
    ManualClock m_clock{0, 1700000000};
    std::unique_ptr<TarqTestServer> m_server;
    int m_count = 0;
};
