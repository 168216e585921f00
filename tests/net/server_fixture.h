// A local test server on an ephemeral loopback port and helpers to pump it and
// its clients in the test's own thread until something has happened.
#pragma once

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "tools/testserver/test_client.h"
#include "tools/testserver/test_server.h"

// A loopback port whose listener never accepts and whose accept queue is
// full, so the kernel drops further connection requests: a connect to it
// stays pending, as one to an address that drops packets does.
class UnansweredPort {
public:
    UnansweredPort() {
        m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof a;
        bind(m_listener, reinterpret_cast<sockaddr*>(&a), sizeof a);
        listen(m_listener, 0);
        getsockname(m_listener, reinterpret_cast<sockaddr*>(&a), &length);
        m_port = ntohs(a.sin_port);
        // Fill the queue until a connect of our own stays unanswered.
        for (int i = 0; i < 16; ++i) {
            int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            m_fillers.push_back(fd);
            connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
            pollfd entry{fd, POLLOUT, 0};
            if (poll(&entry, 1, 300) == 0) {
                m_full = true;
                break;
            }
        }
    }
    ~UnansweredPort() {
        for (int fd : m_fillers) close(fd);
        close(m_listener);
    }
    UnansweredPort(const UnansweredPort&) = delete;
    UnansweredPort& operator=(const UnansweredPort&) = delete;
    uint16_t Port() const { return m_port; }
    // False if the kernel answered every request (the test cannot run).
    bool Full() const { return m_full; }

private:
    int m_listener = -1;
    uint16_t m_port = 0;
    bool m_full = false;
    std::vector<int> m_fillers;
};

class ServerFixture : public ::testing::Test {
protected:
    static constexpr const char* kKey = "00112233445566778899aabbccddeeff";

    void StartServer(TestServerOptions options = {}) {
        options.port = 0;
        options.key = serverKey;
        options.challengeIntervalMs = 0;
        server = std::make_unique<TarqTestServer>(std::move(options), serverClock);
        std::string error;
        ASSERT_TRUE(server->Start(&error)) << error;
    }

    void SetUp() override { StartServer(); }

    // Pumps the server and every client until done() or a few seconds passed.
    bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            server->Poll(1);
            for (auto& client : clients) client->Poll();
            if (done()) return true;
        }
        return done();
    }

    TarqTestClient& AddClient(const std::string& callsign, const char* key = kKey) {
        clients.push_back(std::make_unique<TarqTestClient>(callsign, server->Port(), key, &clientClock));
        return *clients.back();
    }

    // A client that has logged in and been identified.
    TarqTestClient& Login(const std::string& callsign) {
        TarqTestClient& client = AddClient(callsign);
        EXPECT_TRUE(client.Connect());
        EXPECT_TRUE(PumpUntil([&] {
            auto names = server->LoggedIn();
            return client.FindEvent("State|2|3") >= 0 &&
                   std::find(names.begin(), names.end(), callsign) != names.end();
        }));
        return client;
    }

    // After this, every line the server injected before has been parsed by the
    // client, and every line the client queued before has reached the server.
    void Sync(TarqTestClient& client) {
        const std::string& me = client.Session().Callsign();
        server->Inject(me, "#TMSERVER:" + me + ":sync\r\n");
        const std::string marker = "PrivateMessage|SERVER|" + me + "|sync";
        ASSERT_TRUE(PumpUntil([&] { return client.FindEvent(marker) >= 0; }));
        client.EraseEvent(client.FindEvent(marker));
        const std::string back = "#TM" + me + ":SERVER:sync";
        auto syncs = [&] {
            auto lines = server->Received(me);
            return std::count(lines.begin(), lines.end(), back);
        };
        auto before = syncs();
        client.Session().Send(back + "\r\n");
        ASSERT_TRUE(PumpUntil([&] { return syncs() > before; }));
    }

    // Lines the server received from callsign since the mark, sync lines left out.
    std::vector<std::string> ReceivedSince(const std::string& callsign, size_t mark) {
        std::vector<std::string> lines = server->Received(callsign);
        std::vector<std::string> since;
        for (size_t i = mark; i < lines.size(); ++i) {
            if (lines[i] != "#TM" + callsign + ":SERVER:sync") since.push_back(lines[i]);
        }
        return since;
    }

    // The key the server expects; a fixture may change it before SetUp.
    std::string serverKey = kKey;
    ManualClock serverClock{0, 1700000000};
    ManualClock clientClock{0, 1700000000};
    std::unique_ptr<TarqTestServer> server;
    std::vector<std::unique_ptr<TarqTestClient>> clients;
};
