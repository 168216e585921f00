// Every incoming packet kind, sent by the local test server to a logged-in
// client: the callbacks it raises (with their arguments) and the lines the
// session answers by itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server_fixture.h"

namespace {

struct Row {
    const char* name;
    std::string line;  // sent with CR LF
    std::vector<std::string> events;
    std::vector<std::string> replies;
};

const std::string kInfo =
    "#TMME_CTR:AAA:CID=1000001 Tarq 1.2.3 IP=127.0.0.1 SYS_UID=0 FSVER= LT=0.000000 LO=0.000000 AL=0 Test "
    "ME_CTR";

// "@20000&@20001&..." and the kHz list it should give.
std::string Frequencies(int count) {
    std::string list;
    for (int i = 0; i < count; ++i) list += (i ? "&@" : "@") + std::to_string(20000 + i);
    return list;
}

std::string Expected(int count) {
    std::string list;
    for (int i = 0; i < count; ++i) list += (i ? "," : "") + std::to_string(120000 + i);
    return list;
}

std::vector<Row> PacketRows() {
    return {
        {"private text keeps colons",
         "#TMAAA:ME_CTR:hello: world",
         {"PrivateMessage|AAA|ME_CTR|hello: world"},
         {}},
        {"radio text on two frequencies",
         "#TMAAA:@22800&@27500:hi",
         {"RadioMessage|AAA|2|122800,127500|hi"},
         {}},
        {"frequency list ending in a separator", "#TMAAA:@22800&:x", {"RadioMessage|AAA|1|122800|x"}, {}},
        {"frequency list cut short", "#TMAAA:@:x", {"RadioMessage|AAA|1|100000|x"}, {}},
        {"frequency beyond the int32 range saturates",
         "#TMAAA:@99999999999&@-5:x",
         {"RadioMessage|AAA|2|2147483647,99995|x"},
         {}},
        {"frequency list is capped at 64",
         "#TMAAA:" + Frequencies(70) + ":x",
         {"RadioMessage|AAA|64|" + Expected(64) + "|x"},
         {}},
        {"text with too few fields", "#TMAAA:ME_CTR", {}, {}},
        {"pilot position",
         "@N:DLH123:1200:1:50.5:8.25:35000.7:450.9:1024:12.9",
         {"PilotPosition|DLH123|50.5|8.25|35000|12|450|90|0|0|1200|78|1"},
         {}},
        {"pilot position attitude folded",
         "@S:DLH123:7700:1:0:0:0:0:2149580800:0",
         {"PilotPosition|DLH123|0|0|0|0|0|0|-180|180|7700|83|1"},
         {}},
        {"pilot position with nine fields", "@N:DLH123:1200:1:50.5:8.25:35000:450:0", {}, {}},
        {"controller position",
         "%EDDF_TWR:19700:4:50:5:50.033:8.57:0",
         {"ATCPosition|EDDF_TWR|119700|4|50|5|50.033|8.57|0"},
         {}},
        {"controller frequency out of range is dropped", "%EDDF_TWR:99999999999:4:50:5:50:8:0", {}, {}},
        {"controller latitude beyond the pole is dropped", "%EDDF_TWR:21800:4:50:5:90.5:8:0", {}, {}},
        {"controller with a word for a number is dropped", "%EDDF_TWR:21800:four:50:5:50:8:0", {}, {}},
        {"controller with many decimals", "%EDDF_TWR:21800:4:50:5:50.0000001:8.25:0",
         {"ATCPosition|EDDF_TWR|121800|4|50|5|50.0000001|8.25|0"}, {}},
        {"pilot at longitude 181 is dropped", "@N:DLH1:1200:1:50:181:5000:250:0:0", {}, {}},
        {"pilot with an empty altitude is dropped", "@N:DLH1:1200:1:50:8::250:0:0", {}, {}},
        {"pilot callsign with a blank is dropped", "@N:DLH 1:1200:1:50:8:5000:250:0:0", {}, {}},
        {"kill keeps colons", "$!!SERVER:ME_CTR:You: are out", {"Kill|You: are out"}, {}},
        {"kill without reason", "$!!SERVER:ME_CTR", {"Kill|"}, {}},
        {"ping is answered", "$PIAAA:ME_CTR:12345", {}, {"$POME_CTR:AAA:12345"}},
        {"pong gives elapsed seconds", "$POAAA:ME_CTR:1699999990", {"Pong|AAA|10"}, {}},
        {"flight plan, route keeps colons",
         "$FPDLH123:*A:I:B738:450:EDDF:1200:1215:FL350:EGLL:1:30:3:0:EGKK:/v/:DCT WOBUN:UL9",
         {"FlightPlan|DLH123|73|B738|450|EDDF|1200|1215|FL350|EGLL|1|30|3|0|EGKK|/v/|DCT WOBUN:UL9"},
         {"#TMME_CTR:FP:DLH123 GET"}},
        {"flight plan with 16 fields",
         "$FPDLH123:*A:I:B738:450:EDDF:1200:1215:FL350:EGLL:1:30:3:0:EGKK:/v/",
         {},
         {}},
        {"flight plan without rules",
         "$FPDLH123:*A::B738:450:EDDF:1200:1215:FL350:EGLL:1:30:3:0:EGKK:/v/:DCT",
         {"FlightPlan|DLH123|0|B738|450|EDDF|1200|1215|FL350|EGLL|1|30|3|0|EGKK|/v/|DCT"},
         {"#TMME_CTR:FP:DLH123 GET"}},
        {"handoff offer", "$HOAAA:ME_CTR:DLH123", {"HandoffOffer|AAA|DLH123"}, {}},
        {"handoff accepted", "$HAAAA:ME_CTR:DLH123", {"HandoffAccept|ME_CTR|AAA|DLH123"}, {}},
        {"metar", "$ARSERVER:ME_CTR:METAR:EDDF 101250Z 27010KT", {"METAR|EDDF 101250Z 27010KT"}, {}},
        {"metar without text", "$ARSERVER:ME_CTR:METAR", {"METAR|"}, {}},
        {"metar request is dropped", "$AXAAA:SERVER:METAR:EDDF", {}, {}},
        {"query frequency", "$CQAAA:ME_CTR:C?", {"Query|AAA|1|(null)"}, {}},
        {"query atis", "$CQAAA:ME_CTR:ATIS", {"Query|AAA|3|(null)"}, {}},
        {"query real name", "$CQAAA:ME_CTR:RN", {"Query|AAA|5|(null)"}, {}},
        {"query capabilities is answered",
         "$CQAAA:ME_CTR:CAPS",
         {},
         {"$CRME_CTR:AAA:CAPS:VERSION=1:SECPOS=1:ATCINFO=1:MODELDESC=1"}},
        {"query SV is not answered", "$CQAAA:ME_CTR:SV", {}, {}},
        {"query information is answered", "$CQAAA:ME_CTR:INF", {}, {kInfo}},
        {"query IPC is dropped", "$CQAAA:ME_CTR:IPC", {}, {}},
        {"query is case-sensitive", "$CQAAA:ME_CTR:caps", {}, {}},
        {"reply frequency", "$CRAAA:ME_CTR:C?:122.800", {"Reply|AAA|1|122.800|(null)"}, {}},
        {"reply SV", "$CRAAA:ME_CTR:SV:x", {"Reply|AAA|4|x|(null)"}, {}},
        {"reply ATC with callsign", "$CRSERVER:ME_CTR:ATC:Y:ME_CTR", {"Reply|SERVER|6|Y|ME_CTR"}, {}},
        {"reply ATC without callsign", "$CRSERVER:ME_CTR:ATC:N", {"Reply|SERVER|6|N|(null)"}, {}},
        {"reply real name", "$CRAAA:ME_CTR:RN:Anna:EDDF:5", {"Reply|AAA|5|Anna|EDDF"}, {}},
        {"reply real name with three fields", "$CRAAA:ME_CTR:RN", {"Reply|AAA|5||"}, {}},
        {"reply IP", "$CRSERVER:ME_CTR:IP:10.0.0.7", {"Reply|SERVER|8|10.0.0.7|(null)"}, {}},
        {"reply ATIS keeps colons",
         "$CRAAA:ME_CTR:ATIS:T:QNH 1013 TIME 12:30",
         {"ATISLine|AAA|T|QNH 1013 TIME 12:30"},
         {}},
        {"reply ATIS with four fields", "$CRAAA:ME_CTR:ATIS", {"ATISLine|AAA|0|"}, {}},
        {"reply capabilities",
         "$CRAAA:ME_CTR:CAPS:ATCINFO=1:junk:SECPOS=a=b",
         {"Capabilities|AAA|ATCINFO,1,SECPOS,a=b"},
         {}},
        {"error",
         "$ERSERVER:ME_CTR:006:1000001:Invalid CID/password",
         {"Error|6|Invalid CID/password|1000001"},
         {}},
        {"error with three fields", "$ERSERVER:ME_CTR:004", {"Error|4||"}, {}},
        {"error message keeps colons",
         "$ERSERVER:ME_CTR:001:X:Callsign: in use",
         {"Error|1|Callsign: in use|X"},
         {}},
        {"prefix in lower case", "$erSERVER:ME_CTR:002:p:m", {"Error|2|m|p"}, {}},
        {"private data of another kind", "#PCAAA:ME_CTR:OTHER:x", {"PrivateOther|AAA|OTHER"}, {}},
        {"plane info request is dropped", "#SBAAA:ME_CTR:PIR", {}, {}},
        {"plane info X form",
         "#SBAAA:ME_CTR:PI:X:0:3:B738",
         {"PlaneInfo|AAA|ENGINETYPE,P,TYPE,H,CSL,B738"},
         {}},
        {"plane info X jet",
         "#SBAAA:ME_CTR:PI:X:0:1:A320",
         {"PlaneInfo|AAA|ENGINETYPE,J,TYPE,P,CSL,A320"},
         {}},
        {"plane info GEN form",
         "#SBAAA:ME_CTR:PI:GEN:equipment=B738:airline=DLH:noeq",
         {"PlaneInfo|AAA|EQUIPMENT,B738,AIRLINE,DLH"},
         {}},
        {"plane info of neither form", "#SBAAA:ME_CTR:PI", {"PlaneInfo|AAA|"}, {}},
        {"pilot information of another kind", "#SBAAA:ME_CTR:XX", {"InfoOther|AAA|XX"}, {}},
        {"controller leaves", "#DAEDDF_TWR:SERVER", {"DeleteATC|EDDF_TWR"}, {}},
        {"pilot leaves", "#DPDLH123", {"DeletePilot|DLH123"}, {}},
        {"identification of another client is dropped", "$IDAAA:SERVER:1:x:1:2:3:4:abc", {}, {}},
        {"traffic data is dropped", "#TDA:B:C:D:E:F:G:H:I:J:K", {}, {}},
        {"wind data is dropped", "#WD" + std::string(25, ':'), {}, {}},
        {"cloud data is dropped", "#CD" + std::string(17, ':'), {}, {}},
        {"pilot leave with extra fields", "#DPDLH1:x:y", {"DeletePilot|DLH1"}, {}},
        {"ping with too many fields keeps them in the stamp", "$PIAAA:ME_CTR:1:2", {}, {"$POME_CTR:AAA:1:2"}},
        {"handoff offer with a fourth field", "$HOAAA:ME_CTR:DLH1:x", {"HandoffOffer|AAA|DLH1"}, {}},
        {"unknown prefix", "$XXAAA:B", {}, {}},
        {"line too short", "#D", {}, {}},
        {"empty line", "", {}, {}},
    };
}

std::vector<Row> ClientToClientRows() {
    return {
        {"notice IT, code in lower case", "#PCAAA:ME_CTR:CCP:it:DLH1", {"ATCNotice|AAA|DLH1|0"}, {}},
        {"notice IT without aircraft", "#PCAAA:ME_CTR:CCP:IT", {}, {}},
        {"notice DR to all", "$CQAAA:@94835:DR:DLH1", {"ATCNotice|AAA|DLH1|1"}, {}},
        {"notice IH", "#PCAAA:ME_CTR:CCP:IH:DLH1", {"ATCNotice|AAA|DLH1|2"}, {}},
        {"notice WH", "$CQAAA:@94835:WH:DLH1", {"ATCNotice|AAA|DLH1|3"}, {}},
        {"notice PT", "#PCAAA:ME_CTR:CCP:PT:DLH1", {"ATCNotice|AAA|DLH1|4"}, {}},
        {"notice DP", "#PCAAA:ME_CTR:CCP:DP:DLH1", {"ATCNotice|AAA|DLH1|5"}, {}},
        {"handoff transfer", "$CQAAA:@94835:HT:DLH1:BBB", {"HandoffAccept|BBB|AAA|DLH1"}, {}},
        {"handoff transfer without receiver", "$CQAAA:@94835:HT:DLH1", {}, {}},
        {"handoff cancel", "#PCAAA:ME_CTR:CCP:HC:DLH1", {"HandoffCancel|AAA|DLH1"}, {}},
        {"identify is answered first", "#PCAAA:ME_CTR:CCP:ID", {"Identify|AAA"}, {"#PCME_CTR:AAA:CCP:DI"}},
        {"identify answer is dropped", "#PCAAA:ME_CTR:CCP:DI", {}, {}},
        {"break on", "$CQAAA:@94835:BY", {"Break|AAA|1"}, {}},
        {"break off", "$CQAAA:@94835:HI", {"Break|AAA|0"}, {}},
        {"carrier name in lower case", "#PCAAA:ME_CTR:ccp:BY", {"Break|AAA|1"}, {}},
        {"strip push", "#PCAAA:ME_CTR:CCP:ST:DLH1:2:a:b:c", {"StripPush|AAA|DLH1|2|a,b,c"}, {}},
        {"strip push with callsign only", "#PCAAA:ME_CTR:CCP:ST:DLH1", {"StripPush|AAA|DLH1|0|"}, {}},
        {"strip push without callsign", "#PCAAA:ME_CTR:CCP:ST", {}, {}},
        {"help on", "$CQAAA:@94835:HLP:need help", {"Help|AAA|1|need help"}, {}},
        {"help off", "$CQAAA:@94835:NOHLP", {"Help|AAA|0|"}, {}},
        {"version is answered", "#PCAAA:ME_CTR:CCP:VER", {}, {"#TMME_CTR:AAA:Tarq 1.2.3"}},
        {"data scratchpad", "#PCAAA:ME_CTR:CCP:SC:DLH1:EXP", {"ATCData|AAA|DLH1|0|EXP"}, {}},
        {"data temporary altitude to all", "$CQAAA:@94835:TA:DLH1:FL350", {"ATCData|AAA|DLH1|4|FL350"}, {}},
        {"data without value", "#PCAAA:ME_CTR:CCP:SC:DLH1", {}, {}},
        {"intercom call", "#PCAAA:ME_CTR:CCP:IC:10.0.0.2:3290", {"LandLine|AAA|0|0|10.0.0.2|3290"}, {}},
        {"intercom call without port", "#PCAAA:ME_CTR:CCP:IC:10.0.0.2", {}, {}},
        {"monitor accept", "#PCAAA:ME_CTR:CCP:mk:1.2.3.4:5", {"LandLine|AAA|1|2|1.2.3.4|5"}, {}},
        {"override busy", "#PCAAA:ME_CTR:CCP:OB", {"LandLine|AAA|2|1|(null)|0"}, {}},
        {"override end", "#PCAAA:ME_CTR:CCP:EO", {"LandLine|AAA|3|1|(null)|0"}, {}},
        {"unknown code", "#PCAAA:ME_CTR:CCP:ZZ:a:b", {}, {}},
    };
}

class ParserTest : public ServerFixture {
protected:
    void Run(const std::vector<Row>& rows) {
        TarqTestClient& client = Login("ME_CTR");
        for (const Row& row : rows) {
            SCOPED_TRACE(row.name);
            client.ClearEvents();
            size_t mark = server->Received("ME_CTR").size();
            server->Inject("ME_CTR", row.line + "\r\n");
            Sync(client);
            EXPECT_EQ(client.Events(), row.events);
            EXPECT_EQ(ReceivedSince("ME_CTR", mark), row.replies);
            ASSERT_EQ(client.State(), HalkSession::kConnected);
        }
    }
};

}  // namespace

TEST_F(ParserTest, EveryPacketKind) { Run(PacketRows()); }

TEST_F(ParserTest, EveryClientToClientCode) { Run(ClientToClientRows()); }

TEST_F(ParserTest, IPAnswerBecomesTheOwnAddress) {
    TarqTestClient& client = Login("ME_CTR");
    server->Inject("ME_CTR", "$CRSERVER:ME_CTR:IP:10.0.0.7\r\n");
    Sync(client);
    EXPECT_EQ(client.Session().OwnAddress(), "10.0.0.7");
}
