// Login, identification and the challenge exchange, against the local test server.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/md5.h"
#include "server_fixture.h"

namespace {

constexpr const char* kNotPeltan =
    "PrivateMessage|SERVER|ME_CTR|ERROR: the server you are connected to is not a Peltan server.";

bool IsLowerHex(const std::string& text) {
    return text.size() == 32 && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

class LoginTest : public ServerFixture {};

}  // namespace

TEST(ComputeResponse, ArrangesKeyPiecesAndChallengeHalvesBySelector) {
    const std::string key = "AAAAAAAAAAAABBBBBBBBBBCCCCCCCCCC";
    const std::string p0 = "AAAAAAAAAAAA", p1 = "BBBBBBBBBB", p2 = "CCCCCCCCCC";
    struct Case {
        const char* name;
        unsigned selector;
        std::string digestInput;
    } cases[] = {
        {"even, pieces from 0", 0, p0 + "123" + p1 + "456" + p2},
        {"odd, pieces from 1, halves swapped", 1, p1 + "456" + p2 + "123" + p0},
        {"even, pieces from 2", 2, p2 + "123" + p0 + "456" + p1},
        {"odd, pieces from 0, halves swapped", 3, p0 + "456" + p1 + "123" + p2},
        {"0x7a3d is odd and a multiple of 3", 0x7a3d, p0 + "456" + p1 + "123" + p2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A seven-character challenge uses "123" and "456"; the seventh is ignored.
        EXPECT_EQ(HalkSession::ComputeResponse(key, "1234567", c.selector), MD5Hex(c.digestInput));
    }
}

TEST(ComputeResponse, ShortKeysAreZeroFilled) {
    struct Case {
        const char* name;
        std::string key;
        std::string normalized;
    } cases[] = {
        {"short", "1a2b3c", "1a2b3c00000000000000000000000000"},
        {"empty", "", std::string(32, '0')},
        {"exact", std::string(32, 'f'), std::string(32, 'f')},
        {"long", std::string(40, 'e'), std::string(32, 'e')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HalkSession::NormalizeLoginKey(c.key), c.normalized);
        EXPECT_EQ(HalkSession::ComputeResponse(c.key, "abcdef", 2),
                  HalkSession::ComputeResponse(c.normalized, "abcdef", 2));
    }
}

TEST_F(LoginTest, IdentifiesLogsInAndPassesTwoRoundsOfKeyRolling) {
    TarqTestClient& client = Login("ME_CTR");
    std::vector<std::string> expected = {"State|1|2", "State|2|3"};
    EXPECT_EQ(client.Events(), expected);

    std::vector<std::string> lines = server->Received("ME_CTR");
    ASSERT_GE(lines.size(), 2u);
    const std::string idPrefix = "$IDME_CTR:SERVER:7a3d:Tarq 1.2.3:1:2:1000001:0:";
    ASSERT_EQ(lines[0].substr(0, idPrefix.size()), idPrefix);
    EXPECT_TRUE(IsLowerHex(lines[0].substr(idPrefix.size()))) << lines[0];
    EXPECT_EQ(lines[1], "#AAME_CTR:SERVER:Test ME_CTR:1000001:secret:5:100");

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(server->Challenge("ME_CTR"));
        ASSERT_TRUE(PumpUntil([&] { return server->VerifiedAnswers("ME_CTR") == round; }));
        Sync(client);  // the server's answer to our own challenge has been checked
    }
    EXPECT_EQ(server->WrongAnswers("ME_CTR"), 0);
    EXPECT_EQ(client.State(), HalkSession::kConnected);
    EXPECT_EQ(client.FindEvent("PrivateMessage"), -1);
    // Both rounds also challenged the server back.
    int challenges = 0;
    for (const auto& line : server->Received("ME_CTR")) challenges += line.rfind("$ZCME_CTR:SERVER:", 0) == 0;
    EXPECT_EQ(challenges, 2);
}

TEST_F(LoginTest, AnswerKeyRollsSoTheSameChallengeGetsANewAnswer) {
    TarqTestClient& client = Login("ME_CTR");
    const std::string challenge = "$ZCSERVER:ME_CTR:0123456789abcdef0123456789abcdef\r\n";
    server->Inject("ME_CTR", challenge);
    server->Inject("ME_CTR", challenge);
    Sync(client);
    std::vector<std::string> answers;
    for (const auto& line : server->Received("ME_CTR")) {
        if (line.rfind("$ZRME_CTR:SERVER:", 0) == 0) answers.push_back(line.substr(17));
    }
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_TRUE(IsLowerHex(answers[0]));
    EXPECT_NE(answers[0], answers[1]);
}

TEST_F(LoginTest, WrongServerAnswerWarnsAndClosesWithinFiveSeconds) {
    TarqTestClient& client = Login("ME_CTR");
    server->SetWrongAnswers(true);
    server->Challenge("ME_CTR");
    ASSERT_TRUE(PumpUntil([&] { return client.FindEvent(kNotPeltan) >= 0; }));
    // The server sees the delete line and closes; the client follows.
    ASSERT_TRUE(PumpUntil([&] { return client.State() == HalkSession::kClosed; }));
    EXPECT_EQ(server->Received("ME_CTR").back(), "#DAME_CTR:SERVER");
    EXPECT_EQ(client.Events().back(), "State|3|4");
}

TEST_F(LoginTest, WrongServerAnswerClosesAfterFiveSecondsWhenTheServerHangs) {
    TarqTestClient& client = Login("ME_CTR");
    server->SetWrongAnswers(true);
    server->Challenge("ME_CTR");
    ASSERT_TRUE(PumpUntil([&] { return client.FindEvent(kNotPeltan) >= 0; }));
    server->SetStalled("ME_CTR", true);
    for (int i = 0; i < 20; ++i) client.Poll();
    EXPECT_EQ(client.State(), HalkSession::kConnected);
    clientClock.Advance(5000);
    client.Poll();
    EXPECT_EQ(client.State(), HalkSession::kConnected);  // not yet past the five seconds
    clientClock.Advance(1);
    client.Poll();
    EXPECT_EQ(client.State(), HalkSession::kClosed);
}

TEST_F(LoginTest, AnswerWithoutAChallengeOfOursIsRefused) {
    TarqTestClient& client = Login("ME_CTR");
    server->Inject("ME_CTR", "$ZRSERVER:ME_CTR:00000000000000000000000000000000\r\n");
    ASSERT_TRUE(PumpUntil([&] { return client.State() == HalkSession::kClosed; }));
    EXPECT_GE(client.FindEvent(kNotPeltan), 0);
}

TEST_F(LoginTest, ReplayedAnswerIsRefused) {
    TarqTestClient& client = Login("ME_CTR");
    server->Challenge("ME_CTR");
    ASSERT_TRUE(PumpUntil([&] { return server->VerifiedAnswers("ME_CTR") == 1; }));
    Sync(client);
    ASSERT_EQ(client.State(), HalkSession::kConnected);
    // The very answer that was right a moment ago, sent again.
    std::string replay = server->LastAnswerSent("ME_CTR");
    ASSERT_FALSE(replay.empty());
    server->Inject("ME_CTR", "$ZRSERVER:ME_CTR:" + replay + "\r\n");
    ASSERT_TRUE(PumpUntil([&] { return client.State() == HalkSession::kClosed; }));
    EXPECT_GE(client.FindEvent(kNotPeltan), 0);
}

TEST_F(LoginTest, RepeatedIdentificationRequestIsIgnored) {
    TarqTestClient& client = Login("ME_CTR");
    client.ClearEvents();
    size_t mark = server->Received("ME_CTR").size();
    server->Inject("ME_CTR", "$DISERVER:CLIENT:again:0123456789abcdef\r\n");
    Sync(client);
    EXPECT_TRUE(ReceivedSince("ME_CTR", mark).empty());
    EXPECT_TRUE(client.Events().empty());
    // The keys did not change: the next round still verifies.
    server->Challenge("ME_CTR");
    ASSERT_TRUE(PumpUntil([&] { return server->VerifiedAnswers("ME_CTR") == 1; }));
}

TEST_F(LoginTest, ClientWithAnotherKeyFailsTheServerChallenge) {
    TarqTestClient& client = AddClient("ME_CTR", "ffffffffffffffffffffffffffffffff");
    ASSERT_TRUE(client.Connect());
    ASSERT_TRUE(PumpUntil([&] { return client.FindEvent("State|2|3") >= 0; }));
    ASSERT_TRUE(PumpUntil([&] { return !server->LoggedIn().empty(); }));
    server->Challenge("ME_CTR");
    ASSERT_TRUE(PumpUntil([&] { return client.State() == HalkSession::kClosed; }));
    EXPECT_EQ(server->WrongAnswers("ME_CTR"), 1);
    EXPECT_GE(client.FindEvent("Kill|Wrong answer to the server challenge"), 0);
}

TEST_F(LoginTest, WrongPasswordIsReportedAndTheConnectionEnds) {
    TestServerOptions options;
    options.passwords = {{"1000001", "other"}};
    StartServer(options);
    TarqTestClient& client = AddClient("ME_CTR");
    ASSERT_TRUE(client.Connect());
    ASSERT_TRUE(PumpUntil([&] { return client.State() == HalkSession::kClosed; }));
    EXPECT_GE(client.FindEvent("Error|6|Invalid CID/password|1000001"), 0)
        << ::testing::PrintToString(client.Events());
}
