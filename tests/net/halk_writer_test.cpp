// Every packet writer's exact bytes, as the local test server receives them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "server_fixture.h"

namespace {

struct Row {
    const char* name;
    std::function<int(HalkSession&)> write;
    std::vector<std::string> lines;  // as received, CR LF cut
};

FlightPlanPacket Plan() {
    FlightPlanPacket p;
    p.flightRules = 'I';
    p.aircraftType = "B738";
    p.trueAirspeed = 450;
    p.departure = "EDDF";
    p.proposedDeparture = 1200;
    p.actualDeparture = 0;
    p.cruiseAltitude = "FL350";
    p.destination = "EGLL";
    p.hoursEnRoute = 1;
    p.minutesEnRoute = 30;
    p.hoursFuel = 3;
    p.minutesFuel = 0;
    p.alternate = "EGKK";
    p.remarks = "/v/ note:x";
    p.route = "DCT WOBUN: UL9";
    return p;
}

std::vector<Row> Rows() {
    const std::vector<int32_t> twoFrequencies = {122800, 127500};
    return {
        {"text message",
         [](HalkSession& s) { return s.SendTextMessage("BBB", "hi: there"); },
         {"#TMME_CTR:BBB:hi: there"}},
        {"text message cannot inject",
         [](HalkSession& s) { return s.SendTextMessage("B:B\r\nX", "a\r\n#DAME"); },
         {"#TMME_CTR:B BX:a#DAME"}},
        {"radio message",
         [=](HalkSession& s) { return s.SendRadioMessage(twoFrequencies, "hi"); },
         {"#TMME_CTR:@22800&@27500:hi"}},
        {"radio message without frequencies",
         [](HalkSession& s) { return s.SendRadioMessage({}, "hi"); },
         {}},
        {"controller position",
         [](HalkSession& s) {
             ATCPositionRecord r{119700, 4, 50, 2, 51.5, -0.25, 100};
             return s.SendATCPosition(r);
         },
         {"%ME_CTR:19700:4:50:5:51.500000:-0.250000:100"}},
        {"controller position pads to eight",
         [](HalkSession& s) {
             ATCPositionRecord r{199998, 0, 0, 0, 1.5, 0, 0};
             return s.SendATCPosition(r);
         },
         {"%ME_CTR:99998:0:0:5:1.500000:0.000000:0"}},
        {"secondary position",
         [](HalkSession& s) { return s.SendSecondaryPosition(1, 50.1, 8.2); },
         {"'ME_CTR:1:50.100000:8.200000"}},
        {"kill", [](HalkSession& s) { return s.SendKill("DLH1", "bye: now"); }, {"$!!ME_CTR:DLH1:bye: now"}},
        {"ping", [](HalkSession& s) { return s.SendPing("BBB"); }, {"$PIME_CTR:BBB:1700000000"}},
        {"pong", [](HalkSession& s) { return s.SendPong("BBB", "42"); }, {"$POME_CTR:BBB:42"}},
        {"handoff offer",
         [](HalkSession& s) { return s.SendHandoffOffer("EDDF_APP", "DLH123"); },
         {"$HOME_CTR:EDDF_APP:DLH123"}},
        {"handoff accept",
         [](HalkSession& s) { return s.SendHandoffAccept("EDDF_APP", "DLH123"); },
         {"$HAME_CTR:EDDF_APP:DLH123", "$CQME_CTR:@94835:HT:DLH123:EDDF_APP"}},
        {"handoff cancel",
         [](HalkSession& s) { return s.SendHandoffCancel("EDDF_APP", "DLH123"); },
         {"#PCME_CTR:EDDF_APP:CCP:HC:DLH123"}},
        {"metar request",
         [](HalkSession& s) { return s.RequestMETAR("EDDF"); },
         {"$AXME_CTR:SERVER:METAR:EDDF"}},
        {"query 0 flight plan",
         [](HalkSession& s) { return s.SendQuery(0, "DLH1"); },
         {"$CQME_CTR:SERVER:FP:DLH1"}},
        {"query 1 frequency", [](HalkSession& s) { return s.SendQuery(1, "AAA"); }, {"$CQME_CTR:AAA:C?"}},
        {"query 2 information", [](HalkSession& s) { return s.SendQuery(2, "AAA"); }, {"$CQME_CTR:AAA:INF"}},
        {"query 3 atis", [](HalkSession& s) { return s.SendQuery(3, "AAA"); }, {"$CQME_CTR:AAA:ATIS"}},
        {"query 4 SV", [](HalkSession& s) { return s.SendQuery(4, "AAA"); }, {"$CQME_CTR:AAA:SV"}},
        {"query 5 real name", [](HalkSession& s) { return s.SendQuery(5, "AAA"); }, {"$CQME_CTR:AAA:RN"}},
        {"query 6 ATC of another",
         [](HalkSession& s) { return s.SendQuery(6, "AAA"); },
         {"$CQME_CTR:SERVER:ATC:AAA"}},
        {"query 6 ATC of myself",
         [](HalkSession& s) { return s.SendQuery(6, ""); },
         {"$CQME_CTR:SERVER:ATC"}},
        {"query 7 capabilities",
         [](HalkSession& s) { return s.SendQuery(7, "AAA"); },
         {"$CQME_CTR:AAA:CAPS"}},
        {"query 8 IP", [](HalkSession& s) { return s.SendQuery(8, ""); }, {"$CQME_CTR:SERVER:IP"}},
        {"query 9 sends nothing", [](HalkSession& s) { return s.SendQuery(9, "AAA"); }, {}},
        {"reply 1 frequency",
         [](HalkSession& s) { return s.SendReply(1, "AAA", "118.500"); },
         {"$CRME_CTR:AAA:C?:118.500"}},
        {"reply 3 atis text",
         [](HalkSession& s) { return s.SendReply(3, "AAA", "ATIS A: wind calm"); },
         {"#TMME_CTR:AAA:ATIS A: wind calm"}},
        {"reply 5 real name",
         [](HalkSession& s) { return s.SendReply(5, "AAA", "EDDF"); },
         {"$CRME_CTR:AAA:RN:Test ME_CTR:EDDF:5"}},
        {"reply 7 capabilities",
         [](HalkSession& s) { return s.SendReply(7, "AAA", ""); },
         {"$CRME_CTR:AAA:CAPS:VERSION=1:SECPOS=1:ATCINFO=1:MODELDESC=1"}},
        {"reply 2 sends nothing", [](HalkSession& s) { return s.SendReply(2, "AAA", "x"); }, {}},
        {"reply 4 sends nothing", [](HalkSession& s) { return s.SendReply(4, "AAA", "x"); }, {}},
        {"reply 8 sends nothing", [](HalkSession& s) { return s.SendReply(8, "AAA", "x"); }, {}},
        {"atis line",
         [](HalkSession& s) { return s.SendATISLine("AAA", 'T', "QNH: 1013"); },
         {"$CRME_CTR:AAA:ATIS:T:QNH: 1013"}},
        {"plane info request",
         [](HalkSession& s) { return s.RequestPlaneInfo("AAA"); },
         {"#SBME_CTR:AAA:PIR"}},
        {"flight plan amendment",
         [](HalkSession& s) { return s.SendFlightPlanAmend("DLH1", Plan()); },
         {"$AMME_CTR:SERVER:DLH1:I:B738:450:EDDF:1200:0:FL350:EGLL:1:30:3:0:EGKK:/v/ note x:DCT WOBUN: UL9"}},
        {"data to all",
         [](HalkSession& s) { return s.SendATCData("", 0, "DLH1", "EXP"); },
         {"$CQME_CTR:@94835:SC:DLH1:EXP"}},
        {"data directed, value made safe",
         [](HalkSession& s) { return s.SendATCData("AAA", 4, "DLH1", "FL:350"); },
         {"#PCME_CTR:AAA:CCP:TA:DLH1:FL 350"}},
        {"data of unknown kind", [](HalkSession& s) { return s.SendATCData("AAA", 5, "DLH1", "x"); }, {}},
        {"notice IT to all",
         [](HalkSession& s) { return s.SendATCNotice("AAA", "DLH1", 0); },
         {"$CQME_CTR:@94835:IT:DLH1"}},
        {"notice DR to all",
         [](HalkSession& s) { return s.SendATCNotice("", "DLH1", 1); },
         {"$CQME_CTR:@94835:DR:DLH1"}},
        {"notice IH directed",
         [](HalkSession& s) { return s.SendATCNotice("AAA", "DLH1", 2); },
         {"#PCME_CTR:AAA:CCP:IH:DLH1"}},
        {"notice WH to all",
         [](HalkSession& s) { return s.SendATCNotice("", "DLH1", 3); },
         {"$CQME_CTR:@94835:WH:DLH1"}},
        {"notice DP directed",
         [](HalkSession& s) { return s.SendATCNotice("AAA", "DLH1", 5); },
         {"#PCME_CTR:AAA:CCP:DP:DLH1"}},
        {"notice PT needs a receiver", [](HalkSession& s) { return s.SendATCNotice("", "DLH1", 4); }, {}},
        {"notice of unknown kind", [](HalkSession& s) { return s.SendATCNotice("AAA", "DLH1", 6); }, {}},
        {"identify", [](HalkSession& s) { return s.SendIdentify("AAA"); }, {"#PCME_CTR:AAA:CCP:ID"}},
        {"identify needs a receiver", [](HalkSession& s) { return s.SendIdentify(""); }, {}},
        {"intercom call",
         [](HalkSession& s) { return s.SendLandLine("AAA", 0, 0, "10.0.0.2", 3290); },
         {"#PCME_CTR:AAA:CCP:IC:10.0.0.2:3290"}},
        {"monitor accept, port as 16 bits",
         [](HalkSession& s) { return s.SendLandLine("AAA", 1, 2, "10.0.0.2", 70000); },
         {"#PCME_CTR:AAA:CCP:MK:10.0.0.2:4464"}},
        {"override end",
         [](HalkSession& s) { return s.SendLandLine("AAA", 3, 1, "", 0); },
         {"#PCME_CTR:AAA:CCP:EO"}},
        {"intercom busy",
         [](HalkSession& s) { return s.SendLandLine("AAA", 2, 0, "", 0); },
         {"#PCME_CTR:AAA:CCP:IB"}},
        {"land line of unknown kind", [](HalkSession& s) { return s.SendLandLine("AAA", 4, 0, "", 0); }, {}},
        {"land line of unknown type",
         [](HalkSession& s) { return s.SendLandLine("AAA", 0, 3, "1.2.3.4", 1); },
         {}},
        {"break on", [](HalkSession& s) { return s.SendBreak(true); }, {"$CQME_CTR:@94835:BY"}},
        {"break off", [](HalkSession& s) { return s.SendBreak(false); }, {"$CQME_CTR:@94835:HI"}},
        {"help on",
         [](HalkSession& s) { return s.SendHelpRequest(true, "need: help"); },
         {"$CQME_CTR:@94835:HLP:need  help"}},
        {"help off",
         [](HalkSession& s) { return s.SendHelpRequest(false, ""); },
         {"$CQME_CTR:@94835:NOHLP:"}},
        {"version to all", [](HalkSession& s) { return s.SendVersionRequest(""); }, {"$CQME_CTR:@94835:VER"}},
        {"version directed",
         [](HalkSession& s) { return s.SendVersionRequest("AAA"); },
         {"#PCME_CTR:AAA:CCP:VER"}},
        {"strip push, texts made safe",
         [](HalkSession& s) {
             const std::string texts[] = {"EDDF", "a:b\r\n#DAME_CTR"};
             return s.SendStripPush("AAA", "DLH1", 2, texts);
         },
         {"#PCME_CTR:AAA:CCP:ST:DLH1:2:EDDF:a b#DAME_CTR"}},
        {"strip push without texts",
         [](HalkSession& s) { return s.SendStripPush("AAA", "DLH1", 0, {}); },
         {"#PCME_CTR:AAA:CCP:ST:DLH1:0"}},
    };
}

class WriterTest : public ServerFixture {};

}  // namespace

TEST_F(WriterTest, EveryWriterExactBytes) {
    TarqTestClient& client = Login("ME_CTR");
    for (const Row& row : Rows()) {
        SCOPED_TRACE(row.name);
        size_t mark = server->Received("ME_CTR").size();
        int queued = row.write(client.Session());
        Sync(client);
        std::vector<std::string> lines = ReceivedSince("ME_CTR", mark);
        EXPECT_EQ(lines, row.lines);
        size_t bytes = 0;
        for (const auto& line : row.lines) bytes += line.size() + 2;
        EXPECT_EQ(queued, static_cast<int>(bytes));
        ASSERT_EQ(client.State(), HalkSession::kConnected);
    }
}

TEST_F(WriterTest, WithoutAConnectionNothingIsQueued) {
    TarqTestClient client("ME_CTR", server->Port(), kKey, &clientClock);
    EXPECT_EQ(client.Session().SendTextMessage("AAA", "hi"), 0);
    EXPECT_EQ(client.Session().Send("#TMME_CTR:AAA:x\r\n"), 0);
    client.Session().Disconnect(5);  // idle: nothing happens
    EXPECT_EQ(client.State(), HalkSession::kIdle);
    EXPECT_TRUE(client.Events().empty());
}

TEST_F(WriterTest, LastSentPositionFeedsTheInformationAnswer) {
    TarqTestClient& client = Login("ME_CTR");
    ATCPositionRecord r{118500, 4, 50, 5, 50.25, 8.5, 364};
    client.Session().SendATCPosition(r);
    Sync(client);
    size_t mark = server->Received("ME_CTR").size();
    server->Inject("ME_CTR", "$CQAAA:ME_CTR:INF\r\n");
    Sync(client);
    std::vector<std::string> lines = ReceivedSince("ME_CTR", mark);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(" LT=50.250000 LO=8.500000 AL=364 Test ME_CTR"), std::string::npos) << lines[0];
}
