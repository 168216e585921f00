// The real program under X signed on to an in-process test server, with a
// second client (BOS_CTR) that talks to it as pilots and controllers do:
// radio text on a received frequency, on one not received, on guard and on
// the controllers' channel, a broadcast and a wallop must reach the main
// display's radio history in its own words; an ATIS query is answered with
// the profile's ATIS, its alias and "$" variables expanded; ".findac" centres
// the main scope on the position the found client gives; a help request
// shows the helper's information in the controller list; a pushed strip's
// quiet flight plan look-up says nothing when the server has no plan, while
// the user's own look-up does; the controller list shows an ATIS station and
// an observer and adds a controller to a chat group from its menu; a kill
// resets the voice side of the communications panel.
#include <wx/wx.h>

#include <algorithm>
#include <memory>

#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/radio_history.h"
#include "comms/chat_window.h"
#include "net/network_manager.h"
#include "platform/clock.h"
#include "program_driver.h"
#include "scope/display_scope.h"
#include "tools/controller_list.h"
#include "tools/testserver/test_client.h"
#include "tools/testserver/test_server.h"

namespace {

constexpr const char* kScenario =
    "CONTROLLER KJFK_ATIS 128.725 4 0 5 40.64 -73.78\n"
    "CONTROLLER NY_OBS 199.998 0 0 1 40.70 -73.90\n"
    "METAR EGLL EGLL 111150Z 27015KT 9999 FEW030 12/08 Q1013\n";

// The found client's answer to the information query carries its position.
constexpr double kFoundLatitude = 42.36;
constexpr double kFoundLongitude = -71.01;

struct Results {
    std::string failure;
    std::vector<std::string> history;
    std::vector<std::string> peerEvents;
    ScopePoint centreBefore;
    ScopePoint centreAfter;
    ScopePoint expectedCentre;
    std::string info;
    std::vector<std::string> listNames;
    std::vector<std::string> groupMembers;
    bool talkingBeforeKill = false;
    bool talkingAfterKill = true;
    bool receiveAfterKill = false;
};

Results g_results;
TarqTestServer* g_server = nullptr;

// The history's messages without their "[hh:mm:ss] " stamps.
std::vector<std::string> History() {
    WxDisplayWindow* main = MainDisplay();
    TarqDisplayRadioHistory* history = main ? main->GetRadioHistory() : nullptr;
    std::vector<std::string> lines = history ? history->GetMessages() : std::vector<std::string>{};
    for (std::string& line : lines) {
        if (line.size() > 11 && line[0] == '[' && line[9] == ']') line.erase(0, 11);
    }
    return lines;
}

bool HistoryHas(const std::string& line) {
    const std::vector<std::string> lines = History();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool ServerHasFromProgram(const std::string& line) {
    const std::vector<std::string> lines = g_server->Received("NY_APP");
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool Contains(const std::vector<std::string>& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

class DriverApp : public ProgramDriver {
public:
    DriverApp() : ProgramDriver(&g_results.failure, 60, &m_boxes) {
        PollEvery10Ms([this] {
            g_server->Poll(0);
            if (m_peer) m_peer->Poll();
        });
    }
    int OnExit() override {
        // The peer goes before the program it talks to.
        m_peer.reset();
        return ProgramDriver::OnExit();
    }

private:
    // What the user and the peer saw, for the failure's message.
    void Fail(const std::string& why) override {
        ProgramDriver::Fail(why);
        g_results.history = History();
        if (m_peer) g_results.peerEvents = m_peer->Events();
    }
    std::vector<std::string> ListNames() const {
        std::vector<std::string> names;
        for (const ControllerListEntry& row : g_controllerList->Model().GetRows()) names.push_back(row.name);
        return names;
    }
    size_t RowOf(const std::string& name) const {
        const auto& rows = g_controllerList->Model().GetRows();
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].name == name) return i;
        }
        return rows.size();
    }
    void Step() override {
        switch (m_step) {
            case 0:
                if (OpenProfile("Default")) Next();
                return;
            case 1: {
                if (!MainDisplay() || m_waited < 5 || !g_networkManager->IsServerListReady()) return;
                // Entry 0 is the primary frequency; entry 1 is only heard.
                CommsEntries& entries = g_commsPanel->Entries();
                entries.OnPrimaryClicked(0, true);
                entries.OnReceiveClicked(1, true);
                g_networkManager->Connect();
                Next();
                return;
            }
            case 2:
                if (!g_networkManager->IsConnected() || !g_networkManager->IsValidATC()) return;
                m_peer = std::make_unique<TarqTestClient>("BOS_CTR", g_server->Port(),
                                                          TarqNetworkManager::LoginKey());
                if (!m_peer->Connect()) return Fail("the second client could not connect");
                Next();
                return;
            case 3: {
                if (m_peer->State() != HalkSession::kConnected) return;
                if (!m_positionSent) {
                    ATCPositionRecord position;
                    position.frequency = 128100;
                    position.facility = 6;
                    position.visibilityRange = 300;
                    position.rating = 5;
                    position.latitude = kFoundLatitude;
                    position.longitude = kFoundLongitude;
                    m_peer->Session().SendATCPosition(position);
                    m_positionSent = true;
                }
                if (!g_controllerDB->GetController("BOS_CTR")) return;
                HalkSession& peer = m_peer->Session();
                const int32_t tower[] = {118300};
                const int32_t unheard[] = {119000};
                const int32_t guard[] = {121500};
                const int32_t controllers[] = {TarqNetworkManager::kControllerChannel};
                const int32_t primary[] = {120800};
                peer.SendRadioMessage(tower, "traffic on final");
                peer.SendRadioMessage(unheard, "nobody hears this");
                peer.SendRadioMessage(guard, "mayday mayday");
                peer.SendRadioMessage(controllers, "coordination please");
                peer.SendRadioMessage(primary, "on your frequency");
                peer.SendTextMessage("*", "all stations");
                peer.SendTextMessage("*S", "supervisors only");
                peer.SendQuery(3, "NY_APP");  // ATIS
                peer.SendHelpRequest(true, "need a hand");
                TarqDisplayScope* scope = MainDisplay()->GetScope();
                if (!scope) return Fail("the main display has no scope");
                g_results.centreBefore = scope->GetCenter();
                g_results.expectedCentre = {kFoundLongitude, kFoundLatitude};
                scope->AddOffset(g_results.expectedCentre);
                TypeLine(*MainDisplay(), ".findac bos_ctr");
                Next();
                return;
            }
            case 4:
                // The information query has gone out; the found client answers it.
                if (!ServerHasFromProgram("$CQNY_APP:BOS_CTR:INF")) return;
                m_peer->Session().SendTextMessage("NY_APP",
                                                  "CID=1000001 Test BOS_CTR LT=42.36 LO=-71.01 AL=0");
                // A strip pushed for a pilot the server has no plan of.
                m_peer->Session().SendStripPush("NY_APP", "N999ZZ", 0, std::vector<std::string>{});
                Next();
                return;
            case 5:
                if (!HistoryHas("Received flight strip for N999ZZ from BOS_CTR.") || m_waited < 10) return;
                // The user's own look-up of a callsign without a plan is answered aloud.
                TypeLine(*MainDisplay(), ".ss N888YY");
                Next();
                return;
            case 6: {
                if (!Contains(History(), "No flightplan") && m_waited < 30) return;
                if (!HistoryHas("[WALLOP] BOS_CTR: supervisors only") && m_waited < 30) return;
                if (m_peer->FindEvent("ATISLine|NY_APP|E|") < 0 && m_waited < 30) return;
                g_results.centreAfter = MainDisplay()->GetScope()->GetCenter();
                g_results.info = g_controllerList->GetInfoText();
                // The list rebuilds on the next frame tick.
                if (RowOf("NY_OBS") >= ListNames().size() && m_waited < 30) return;
                g_results.listNames = ListNames();
                g_chatManager->OpenChatWindow(":ops", "", true);
                Next();
                return;
            }
            case 7: {
                const size_t row = RowOf("BOS_CTR");
                if (row >= ListNames().size()) return;
                g_controllerList->RunMenuCommand(row, ControllerListModel::kFirstGroupCommand);
                if (TarqChatWindow* group = g_chatManager->FindWindow(":ops"))
                    g_results.groupMembers = group->GetMembers();
                // The user is talking when the kill comes.
                g_voiceEngine->SetPushToTalk(true);
                g_results.talkingBeforeKill = g_voiceEngine->IsPushToTalk();
                m_peer->Session().SendKill("NY_APP", "enough");
                Next();
                return;
            }
            case 8:
                if (!Contains(History(), "forcibly disconnected")) return;
                g_results.talkingAfterKill = g_voiceEngine->IsPushToTalk();
                g_results.receiveAfterKill = g_commsPanel->Entries().GetSelection(1).receive;
                g_results.history = History();
                g_results.peerEvents = m_peer->Events();
                ExitMainLoop();
                return;
        }
    }

    std::unique_ptr<TarqTestClient> m_peer;
    AnswerNo m_boxes;
    bool m_positionSent = false;
};

TEST(NetProgram, WhatAnotherClientSendsReachesTheUserInTheProgramsOwnWords) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    TestServerOptions options = LocalServerOptions(kScenario);
    options.controllerIntervalMs = 1000;
    TarqTestServer server(std::move(options), SystemClock::Instance());
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    g_server = &server;

    {
        ProgramDataDir dir("net-program");
        dir.Write("myservers.txt", ServerEntry("LOCAL-TEST", server.Port()));
        dir.Write(
            "Tarq.ini",
            "[:META]\nVersion=4\n[Default]\nDisplayCount=1\nDisplayLocX1=40\nDisplayLocY1=40\n"
            "Callsign=NY_APP\nRealName=Demo Controller\nCID=1234567\nPassword=secret\nRating=11\n"
            "Server=LOCAL-TEST\nAliasFile=aliases.txt\nWxStations=EGLL\n"
            "ATIS=.rwy|Wind $wind(EGLL) altimeter $altim(EGLL)\n"
            "CommsEntryName0=NY_APP\nCommsEntryFreq0=120800\nCommsEntryName1=TWR\nCommsEntryFreq1=118300\n");
        dir.Write("aliases.txt", ".rwy Landing runway 27L\r\n");
        RunDriver(new DriverApp);
    }
    g_server = nullptr;
    const Results& r = g_results;
    ASSERT_EQ(r.failure, "") << ::testing::PrintToString(r.history) << ::testing::PrintToString(r.peerEvents);
    const auto& h = r.history;
    // Radio text, as the radio history words it.
    EXPECT_TRUE(HasLine(h, "BOS_CTR on 118.300: traffic on final")) << ::testing::PrintToString(h);
    EXPECT_TRUE(HasLine(h, "BOS_CTR: on your frequency")) << ::testing::PrintToString(h);
    EXPECT_TRUE(HasLine(h, "[GUARD] BOS_CTR: mayday mayday")) << ::testing::PrintToString(h);
    EXPECT_TRUE(HasLine(h, "[ATC] BOS_CTR: coordination please")) << ::testing::PrintToString(h);
    EXPECT_TRUE(HasLine(h, "[BROADCAST] BOS_CTR: all stations")) << ::testing::PrintToString(h);
    EXPECT_TRUE(HasLine(h, "[WALLOP] BOS_CTR: supervisors only")) << ::testing::PrintToString(h);
    EXPECT_FALSE(Contains(h, "nobody hears this")) << ::testing::PrintToString(h);
    // The ATIS reply, expanded for the station that asked.
    const auto& p = r.peerEvents;
    EXPECT_TRUE(HasLine(p, "ATISLine|NY_APP|T|Landing runway 27L")) << ::testing::PrintToString(p);
    EXPECT_FALSE(Contains(p, "$wind")) << ::testing::PrintToString(p);
    EXPECT_FALSE(Contains(p, "Wind unknown")) << ::testing::PrintToString(p);
    EXPECT_TRUE(Contains(p, "altimeter 1013")) << ::testing::PrintToString(p);
    // ".findac" moved the scope to the found client.
    EXPECT_NEAR(r.centreAfter.x, r.expectedCentre.x, 1e-6);
    EXPECT_NEAR(r.centreAfter.y, r.expectedCentre.y, 1e-6);
    EXPECT_GT(std::abs(r.centreBefore.y - r.expectedCentre.y), 0.1) << "the test must move the scope";
    // The help request shows the helper in the controller list's pane.
    EXPECT_NE(r.info.find("BOS_CTR"), std::string::npos) << r.info;
    EXPECT_NE(r.info.find("Help: need a hand"), std::string::npos) << r.info;
    // The strip's own look-up is quiet; the user's is not.
    EXPECT_TRUE(HasLine(h, "Received flight strip for N999ZZ from BOS_CTR.")) << ::testing::PrintToString(h);
    EXPECT_EQ(
        std::count_if(h.begin(), h.end(),
                      [](const std::string& l) { return l.find("No flightplan") != std::string::npos; }),
        1)
        << ::testing::PrintToString(h);
    // The controller list: the ATIS station and the observer too.
    EXPECT_TRUE(HasLine(r.listNames, "KJFK_ATIS")) << ::testing::PrintToString(r.listNames);
    EXPECT_TRUE(HasLine(r.listNames, "NY_OBS")) << ::testing::PrintToString(r.listNames);
    EXPECT_TRUE(HasLine(r.groupMembers, "BOS_CTR")) << ::testing::PrintToString(r.groupMembers);
    // The kill reset the panel's voice side (push-to-talk released); the
    // text radio boxes stay.
    EXPECT_TRUE(r.talkingBeforeKill);
    EXPECT_FALSE(r.talkingAfterKill);
    EXPECT_TRUE(r.receiveAfterKill);
}

}  // namespace
