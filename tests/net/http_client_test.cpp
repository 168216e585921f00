#include "net/http_client.h"

#include <gtest/gtest.h>
#include <netdb.h>

#include <cerrno>
#include <chrono>
#include <filesystem>

#include "loopback_http_server.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"
#include "tests/temp_dir.h"

namespace {

using Server = LoopbackHttpServer;

struct Transfer {
    std::vector<int> events;
    bool done = false;
    std::string error;
    int64_t announced = -2;
};

void Record(HTTPClient& client, int event, int64_t value, void* user) {
    auto& t = *static_cast<Transfer*>(user);
    if (t.events.empty() || t.events.back() != event) t.events.push_back(event);
    if (event == HTTPClient::kEventHeaders) t.announced = value;
    if (event == HTTPClient::kEventFailure) t.error = client.GetErrorText();
    if (event == HTTPClient::kEventFinished || event == HTTPClient::kEventFinishedWithFailure) t.done = true;
}

class HttpClientTest : public ::testing::Test {
protected:
    // Runs one GET to its end (a few seconds at most on the real clock).
    Transfer Get(const std::string& url, HTTPClient* reuse = nullptr) {
        HTTPClient own;
        HTTPClient& client = reuse ? *reuse : own;
        Transfer t;
        client.Get(url, path, &Record, &t, 5000, true);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!t.done && std::chrono::steady_clock::now() < deadline) client.Poll(20);
        return t;
    }
    std::string FileText() {
        std::string text = "(none)";
        ReadWholeFile(path, text);
        return text;
    }

    Server server;
    TempDir dir;
    std::string path = dir.File("out.txt");
};

const std::vector<int> kSuccess = {0, 3, 4, 1};
const std::vector<int> kFailedAfterConnect = {0, 5, 2};

TEST_F(HttpClientTest, StatusesAndBodies) {
    struct Case {
        const char* name;
        Server::Reply reply;
        std::vector<int> events;
        std::string error;
        std::string file;
    };
    const Case cases[] = {
        {"200 with length", Server::Ok("hello"), kSuccess, "", "hello"},
        {"content length 0", Server::Ok(""), {0, 3, 1}, "", ""},
        {"chunked with extensions", Server::Chunked({"hel", "lo"}, ";v=1"), kSuccess, "", "hello"},
        {"one 5-byte chunk", Server::Chunked({"hello"}), kSuccess, "", "hello"},
        {"404", Server::Status(404), kFailedAfterConnect, "HTTP request failed (404)", "(none)"},
        {"500", Server::Status(500), kFailedAfterConnect, "HTTP request failed (500)", "(none)"},
        {"101", Server::Raw("HTTP/1.1 101 Switching\r\n\r\n"), kFailedAfterConnect,
         "Unhandled status received from HTTP server", "(none)"},
        {"no length, not chunked", Server::Raw("HTTP/1.1 200 OK\r\n\r\nbody"), kFailedAfterConnect,
         "Insufficient information in HTTP response header", "(none)"},
        {"bad status line", Server::Raw("HTTP/1.1 abc OK\r\n\r\n"), kFailedAfterConnect,
         "Bad HTTP response header (HTTP/1.1 abc OK)", "(none)"},
        {"truncated body",
         Server::Truncated("hello world", 4),
         {0, 3, 4, 5, 2},
         "Connection closed before the transfer was complete",
         "(none)"},
        {"bad chunk size",
         Server::Raw("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nq\r\n"),
         {0, 3, 5, 2},
         "Bad chunk size (q)",
         "(none)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path);
        server.Route("/f", c.reply);
        Transfer t = Get(server.Url("/f"));
        EXPECT_EQ(t.events, c.events);
        EXPECT_EQ(t.error, c.error);
        EXPECT_EQ(FileText(), c.file);
        EXPECT_FALSE(std::filesystem::exists(path + ".part"));
    }
}

TEST_F(HttpClientTest, RequestLinesEndInCrLfAndNameTheHost) {
    server.Route("/a/b.txt", Server::Ok("x"));
    Get(server.Url("/a/b.txt?cs=EDDF%20TWR"));
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].substr(0, server.Requests()[0].find("\r\nUser-Agent")),
              "GET /a/b.txt?cs=EDDF%20TWR HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.Port()));
}

TEST_F(HttpClientTest, Redirects) {
    server.Route("/abs", Server::Redirect(302, server.Url("/rel")));
    server.Route("/rel", Server::Redirect(301, "dir/target"));
    server.Route("/dir/target", Server::Ok("arrived"));
    Transfer t = Get(server.Url("/abs"));
    EXPECT_EQ(t.events, (std::vector<int>{0, 3, 4, 1})) << t.error;
    EXPECT_EQ(FileText(), "arrived");

    server.Route("/loop1", Server::Redirect(302, "/loop2"));
    server.Route("/loop2", Server::Redirect(302, "/loop1"));
    EXPECT_EQ(Get(server.Url("/loop1")).error, "Redirect loop detected");

    server.Route("/nowhere", Server::Raw("HTTP/1.1 302 Found\r\nContent-Length: 0\r\n\r\n"));
    EXPECT_EQ(Get(server.Url("/nowhere")).error, "Missing redirect location in header");

    server.Route("/https", Server::Redirect(302, "https://127.0.0.1/x"));
    EXPECT_EQ(Get(server.Url("/https")).error,
              "Failed to initiate redirection HTTP request (URI specifies a non-supported protocol)");
}

TEST_F(HttpClientTest, ThirtyThreeRedirectsAreTooMany) {
    for (int i = 0; i < 40; ++i)
        server.Route("/r" + std::to_string(i), Server::Redirect(307, "/r" + std::to_string(i + 1)));
    server.Route("/r32", Server::Ok("32 redirects are fine"));
    Transfer fine = Get(server.Url("/r0"));
    EXPECT_EQ(fine.error, "");
    EXPECT_EQ(FileText(), "32 redirects are fine");

    server.Route("/r32", Server::Redirect(307, "/r33"));
    EXPECT_EQ(Get(server.Url("/r0")).error, "Maximum number of redirects exceeded");
}

TEST_F(HttpClientTest, BadUrlsFailAtOnceWithEvents) {
    const std::pair<const char*, const char*> cases[] = {
        {"https://127.0.0.1/x", "URI specifies a non-supported protocol"},
        {"ftp://127.0.0.1/x", "URI specifies a non-supported protocol"},
        {"127.0.0.1/x", "Syntax error in URI (127.0.0.1/x)"},
    };
    for (const auto& [url, error] : cases) {
        SCOPED_TRACE(url);
        HTTPClient client;
        Transfer t;
        EXPECT_FALSE(client.Get(url, path, &Record, &t, 1000, true));
        EXPECT_EQ(t.events, (std::vector<int>{5, 2}));
        EXPECT_EQ(t.error, error);
        EXPECT_FALSE(client.IsBusy());
    }
    HTTPClient client;
    EXPECT_FALSE(client.Get(server.Url("/"), path, nullptr, nullptr, 0, true)) << "no callback";
}

TEST_F(HttpClientTest, RefusedConnectionUsesTheSocketText) {
    uint16_t closedPort;
    {
        Server gone;
        closedPort = gone.Port();
    }
    Transfer t = Get("http://127.0.0.1:" + std::to_string(closedPort) + "/");
    EXPECT_EQ(t.error, "Connection refused");
}

TEST_F(HttpClientTest, TimesOutOnTheMonotonicClock) {
    server.Route("/silent", Server::Silent());
    ManualClock clock(1000, 0);
    HTTPClient client(&clock);
    Transfer t;
    ASSERT_TRUE(client.Get(server.Url("/silent"), path, &Record, &t, 5000, true));
    for (int i = 0; i < 20; ++i) EXPECT_TRUE(client.Poll(5));
    clock.Advance(5000);
    EXPECT_TRUE(client.Poll(0)) << "not more than the time-out yet";
    clock.Advance(1);
    EXPECT_FALSE(client.Poll(0));
    EXPECT_EQ(t.error, "Timed out");
    EXPECT_EQ(t.events.back(), HTTPClient::kEventFinishedWithFailure);
}

TEST_F(HttpClientTest, OneClientServesRequestAfterRequest) {
    HTTPClient client;
    server.Route("/bad", Server::Status(503));
    server.Route("/good", Server::Ok("second"));
    EXPECT_EQ(Get(server.Url("/bad"), &client).error, "HTTP request failed (503)");
    Transfer t = Get(server.Url("/good"), &client);
    EXPECT_EQ(t.events, kSuccess);
    EXPECT_EQ(FileText(), "second");
    Transfer again = Get(server.Url("/good"), &client);
    EXPECT_EQ(again.events, kSuccess);
    EXPECT_EQ(server.Connections(), 3);
}

TEST_F(HttpClientTest, FailedTransferKeepsTheOldFile) {
    WriteFileAtomically(path, "old data");
    server.Route("/cut", Server::Truncated(std::string(5000, 'n'), 3000));
    EXPECT_FALSE(DownloadFile(server.Url("/cut"), path, 5000, nullptr));
    EXPECT_EQ(FileText(), "old data");

    server.Route("/new", Server::Ok(std::string(100000, 'n')));
    std::string error;
    EXPECT_TRUE(DownloadFile(server.Url("/new"), path, 5000, &error)) << error;
    EXPECT_EQ(FileText(), std::string(100000, 'n'));
}

TEST_F(HttpClientTest, DownloadStopsWhenAsked) {
    server.Route("/silent", Server::Silent());
    std::atomic<bool> stop{true};
    std::string error;
    EXPECT_FALSE(DownloadFile(server.Url("/silent"), path, 60000, &error, &stop));
    EXPECT_EQ(error, "Cancelled");
}

}  // namespace

namespace {

struct SocketEvents {
    std::vector<int> events;
    std::string data;
};

void RecordSocket(QmvSocket&, void* user, int event, const char* data, size_t length) {
    auto& s = *static_cast<SocketEvents*>(user);
    if (s.events.empty() || s.events.back() != event) s.events.push_back(event);
    if (event == QmvSocket::kData) s.data.append(data, length);
}

TEST(QmvSocketTest, EventsInOrderOnThePumpingThread) {
    LoopbackHttpServer server;
    server.Route("/", LoopbackHttpServer::Ok(std::string(5000, 'z')));
    QmvSocket socket;
    SocketEvents seen;
    ASSERT_TRUE(socket.Connect("127.0.0.1", server.Port(), &RecordSocket, &seen));
    EXPECT_TRUE(socket.Send("GET / HTTP/1.1\r\n\r\n")) << "queued until connected";
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    std::string local;
    while (socket.PumpMessages(20) && std::chrono::steady_clock::now() < deadline) {
        if (local.empty()) local = socket.GetLocalAddress();
    }
    EXPECT_EQ(seen.events, (std::vector<int>{QmvSocket::kConnected, QmvSocket::kData, QmvSocket::kClosed}));
    EXPECT_EQ(seen.data.size(), 5000u + seen.data.find("\r\n\r\n") + 4);
    EXPECT_EQ(local.rfind("127.0.0.1:", 0), 0u);
    EXPECT_FALSE(socket.IsOpen());
    EXPECT_EQ(socket.GetLocalAddress(), "");
}

TEST(QmvSocketTest, ErrorTexts) {
    EXPECT_EQ(QmvSocket::SocketErrorText(ECONNREFUSED), "Connection refused");
    EXPECT_EQ(QmvSocket::SocketErrorText(EMFILE), "Too many open files");
    EXPECT_EQ(QmvSocket::SocketErrorText(9999), "Unknown winsock error (9999)");
    EXPECT_EQ(QmvSocket::LookupErrorText(EAI_NONAME), "Host not found");
    QmvSocket socket;
    EXPECT_FALSE(socket.Send("x"));
    EXPECT_EQ(socket.GetErrorText(), "Socket is not connected");
    EXPECT_FALSE(socket.PumpMessages());
}

}  // namespace
