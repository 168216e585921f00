#include "net/network_status.h"

#include <gtest/gtest.h>

#include "loopback_http_server.h"
#include "net/key_value_lines.h"

namespace {

using Server = LoopbackHttpServer;

std::string Names(const std::vector<NetworkServer>& servers) {
    std::string out;
    for (const NetworkServer& s : servers) out += (out.empty() ? "" : " ") + s.name + "=" + s.address;
    return out;
}

TEST(NetworkStatusTest, StatusFile) {
    NetworkStatusFile status = ParseNetworkStatus(
        "; comment\r\nurl0=http://a/list.txt ; trailing comment\r\nmsg0=Hello=all\r\nurl1=ignored\r\n"
        "url0=http://b/list.txt\nmoveto0=http://new/\nurl0=http://after/moved\n");
    EXPECT_EQ(status.serverListUrls, (std::vector<std::string>{"http://a/list.txt", "http://b/list.txt"}));
    EXPECT_EQ(status.messages, std::vector<std::string>{"Hello=all"});
    EXPECT_EQ(status.movedTo, "http://new/");
}

TEST(NetworkStatusTest, ServerListTable) {
    struct Case {
        const char* name;
        const char* text;
        bool complete;
        const char* servers;
        int dropped;
    };
    const Case cases[] = {
        {"ends with a short line",
         "head\n!SERVERS\nEU:eu.example:Europe:Main:1:\nUS:us.example:US:Main:1\n\nXX:x:x:x:1\n", true,
         "EU=eu.example US=us.example", 0},
        {"field 4 other than 1 skipped", "!SERVERS:\r\nA:a:l:d:0:\r\nB:b:l:d:1:\r\n;\r\n", true, "B=b", 0},
        {"comment cut before splitting", "!SERVERS\nA:a:l:d:1;:x:y\nB:b:l:d:1 ;ok\nC:c\n", true, "A=a", 0},
        {"no section", "A:a:l:d:1:\n\n", false, "", 0},
        {"ends inside the section", "!SERVERS\nA:a:l:d:1:\n", false, "A=a", 0},
        {"blank or empty names dropped", "!SERVERS\nA B:a:l:d:1\n:a:l:d:1\nC:c d:l:d:1\nD:d:l:d:1\n.\n", true,
         "D=d", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<NetworkServer> servers;
        int dropped = 0;
        EXPECT_EQ(ParseServerList(c.text, servers, &dropped), c.complete);
        EXPECT_EQ(Names(servers), c.servers);
        EXPECT_EQ(dropped, c.dropped);
    }
}

TEST(NetworkStatusTest, KeyValueLines) {
    auto pairs = ParseKeyValueLines("a=1\r\nno equals\n#b=2\nc = 3 # note\n", '#');
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0], (std::pair<std::string, std::string>{"a", "1"}));
    EXPECT_EQ(pairs[1], (std::pair<std::string, std::string>{"c ", " 3 "}));
}

class FetchTest : public ::testing::Test {
protected:
    bool Fetch(const std::string& root) {
        servers.clear();
        messages.clear();
        NetworkStatusCallbacks callbacks;
        callbacks.server = [this](const NetworkServer& s) { servers.push_back(s); };
        callbacks.message = [this](const std::string& m) { messages.push_back(m); };
        why.clear();
        return FetchNetworkStatus(root, callbacks, 7, &why);
    }
    Server server;
    std::vector<NetworkServer> servers;
    std::vector<std::string> messages;
    std::string why;
};

TEST_F(FetchTest, SecondListServesWhenTheFirstFails) {
    server.Route("/status.txt", Server::Ok("url0=" + server.Url("/gone.txt") +
                                           "\nurl0=" + server.Url("/list.txt") + "\nmsg0=Welcome\n"));
    server.Route("/list.txt", Server::Chunked({"!SERVERS\nEU:127.0.0.1:Europe:Main:1:\n", "\n"}));
    server.Route("/gone.txt", Server::Truncated("!SERVERS\nXX:10.0.0.1:x:x:1:\n\n", 12));
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(Fetch(server.Url("/"))) << why;
        EXPECT_EQ(Names(servers), "EU=127.0.0.1") << "only the list read whole";
        EXPECT_EQ(messages, std::vector<std::string>{"Welcome"});
    }
    int statusRequests = 0;
    for (const std::string& r : server.Requests()) statusRequests += r.rfind("GET /status.txt ", 0) == 0;
    EXPECT_EQ(statusRequests, 2) << "every fetch starts from the status file";
}

TEST_F(FetchTest, MovedStatusFile) {
    server.Route("/old/status.txt", Server::Ok("moveto0=" + server.Url("/new") + "\n"));
    server.Route("/new/status.txt", Server::Ok("url0=" + server.Url("/list.txt") + "\n"));
    server.Route("/list.txt", Server::Ok("!SERVERS\nEU:h:l:d:1\n\n"));
    EXPECT_TRUE(Fetch(server.Url("/old"))) << why;
    EXPECT_EQ(Names(servers), "EU=h");

    server.Route("/new/status.txt", Server::Ok("moveto0=" + server.Url("/old") + "\n"));
    EXPECT_FALSE(Fetch(server.Url("/old")));
    EXPECT_EQ(why, "the status file moved back to " + server.Url("/old"));
}

TEST_F(FetchTest, Failures) {
    server.Route("/status.txt", Server::Status(500));
    EXPECT_FALSE(Fetch(server.Url("/")));
    EXPECT_EQ(why, "status file: HTTP request failed (500)");

    server.Route("/status.txt", Server::Ok("msg0=nothing else\n"));
    EXPECT_FALSE(Fetch(server.Url("/")));
    EXPECT_EQ(why, "no server list address in the status file");

    server.Route("/status.txt", Server::Ok("url0=" + server.Url("/a.txt") + "\n"));
    server.Route("/a.txt", Server::Ok("!SERVERS\nA:a:l:d:1\n"));
    EXPECT_FALSE(Fetch(server.Url("/")));
    EXPECT_EQ(why, "server list: incomplete server list at " + server.Url("/a.txt"));
    EXPECT_TRUE(servers.empty());

    EXPECT_FALSE(Fetch(""));
    EXPECT_EQ(why, "no status address");
}

}  // namespace
