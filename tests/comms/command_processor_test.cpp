// Tests of the command processor: one table per group of commands, each row a
// typed line with the state before and the calls, lines sent and
// radio-history lines after.
#include "comms/command_processor.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "foundation/text_helpers.h"
#include "tests/comms/fake_command_services.h"

namespace {

using fake_command::World;
using RowSetup = std::function<void(World&)>;

struct Row {
    std::string line;
    std::vector<std::string> calls;
    std::vector<std::string> lines;
    RowSetup setup = nullptr;
};

// Traffic, controllers and points every row starts from.
void Populate(World& w) {
    w.AddAircraft("BAW1", {"101", "EGLL", "KBOS", "", "John Smith"});
    w.AddAircraft("AAL2", {"202", "", "", "BOS_APP", ""});
    w.AddAircraft("DAL3", {"303", "KJFK", "", "NY_CTR", "Dee Lane"});
    w.traffic.controllers["NY_CTR"] = {"N", "Ann Lee", {-73.5, 40.5}, 300};
    w.traffic.controllers["BOS_TWR"] = {"T", "", {-71, 42.3}, 20};
    w.traffic.controllers["DAL3"] = {"D3", "Controller Dee", {}, 0};
    for (int i = 1; i <= 3; ++i) {
        w.display(i).points["KBOS"] = {-71.0, 42.3};
        w.display(i).points["KJFK"] = {-73.7, 40.6};
    }
    w.strips.strips = {"BAW1", "AAL2"};
}

void RunTable(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        World w;
        Populate(w);
        if (row.setup) row.setup(w);
        w.Type(row.line);
        EXPECT_EQ(w.log.calls, row.calls) << "line: " << row.line;
        EXPECT_EQ(w.log.lines, row.lines) << "line: " << row.line;
    }
}

const RowSetup kDisconnected = [](World& w) { w.network.connected = false; };
const RowSetup kObserver = [](World& w) { w.network.validAtc = false; };
const RowSetup kSupervisor = [](World& w) { w.profile.SetInt("Rating", 11); };

TEST(CommandProcessorTest, TableHasEveryWordOnceInLowerCase) {
    std::set<std::string> words;
    for (const auto& entry : TarqCommandProcessor::kTable) {
        const std::string word = entry.word;
        EXPECT_EQ(word, ToLower(word));
        EXPECT_EQ(word[0], '.');
        EXPECT_TRUE(words.insert(word).second) << word;
    }
    EXPECT_EQ(TarqCommandProcessor::FindCommand(".qp"), &TarqCommandProcessor::kTable[0]);
    EXPECT_STREQ(TarqCommandProcessor::kTable[116].word, ".modelinfo");
    EXPECT_EQ(TarqCommandProcessor::FindCommand(".q"), nullptr);
}

TEST(CommandProcessorTest, Frame) {
    const RowSetup selectBaw1 = [](World& w) { w.shell.selected = "BAW1"; };
    const RowSetup aliases = [](World& w) {
        w.text.aliases[".tk"] = ".qt $cs";
        w.text.aliases[".c2"] = ".center KBOS";
        w.text.aliases[".a1"] = ".a2 x";
        w.text.aliases[".a2"] = ".qt x";
    };
    RunTable({
        {".qt   BAW1", {"AcceptHandoff(BAW1)"}, {}},
        {".QT baw1", {"AcceptHandoff(BAW1)"}, {}},
        {".qt", {}, {}},
        {".", {}, {}},
        {".qtx BAW1", {"ExpandAliases(.qtx BAW1,)"}, {}},
        // The ATC channel; a "/" alone sends nothing and so echoes nothing.
        {"/", {}, {}},
        {"/hello  all", {"SendFrequencyText(hello all)"}, {"own 3: hello all"}},
        {"/hello", {}, {"error: Not connected."}, kDisconnected},
        // Text radio.
        {"descend  and maintain",
         {"SendRadioMessage(descend and maintain)"},
         {"own 2: descend and maintain"}},
        {"climb", {"SendRadioMessage(BAW1, climb)"}, {"own 2: BAW1, climb"}, selectBaw1},
        {"climb", {}, {"error: Not connected."}, kDisconnected},
        {"climb", {}, {"error: You must be an active controller to send text radio messages."}, kObserver},
        {"climb", {}, {"error: No transmit frequency selected."}, [](World& w) { w.network.transmitting = false; }},
        {"", {}, {}},
        // Display routing.
        {".center /2 kjfk", {"d2:CenterOnPoint(KJFK)"}, {}},
        {".novis /3", {"d3:ClearVisibilityCenters(true)"}, {}},
        {".novis /9", {}, {"error: Specified display does not exist."}},
        {".rings /AB", {"d1:SetRingCenterToPoint(/AB)"}, {}},
        {".center /100 KBOS", {"d1:CenterOnPoint(/100)"}, {}},
        {".c2 /2", {"ExpandAliases(.c2,)", "d2:CenterOnPoint(KBOS)"}, {}, aliases},
        // The fall-through: one expansion, one re-run without aliases.
        {".tk",
         {"ExpandAliases(.tk,BAW1)", "AcceptHandoff(BAW1)"},
         {},
         [&](World& w) { aliases(w), selectBaw1(w); }},
        {".a1", {"ExpandAliases(.a1,)"}, {}, aliases},
        {".loop", {"ExpandAliases(.loop,)"}, {"error: Error parsing alias. It may contain an alias loop."}},
        // Supervisor checks come before argument checks.
        {".com? A B", {}, {"error: Command restricted to supervisors and admins."}},
        {".com? A B", {}, {"error: Must specify a single callsign."}, kSupervisor},
        {".seeall", {"ToggleSeeAll()"}, {}, [](World& w) { w.profile.SetString("CID", "614828"); }},
        // No line break reaches a protocol line.
        {".msg NY_CTR hi\r\n#TMBOS_APP:*:x", {}, {"error: A command cannot hold a line break."}},
        {"climb\nnow", {}, {"error: A command cannot hold a line break."}},
    });
}

TEST(CommandProcessorTest, HistoryRecordsTypedLinesOnceEvenWhenRouted) {
    World w;
    Populate(w);
    w.Type(".center  /2 KBOS");
    w.Type(".unknown");
    w.processor.ProcessCommandLine(w.display(2), ".novis", true, false);
    auto& history = w.processor.History();
    EXPECT_EQ(history.Count(), 3);
    EXPECT_EQ(history.Previous(""), ".unknown");
    EXPECT_EQ(history.Previous(""), ".center /2 KBOS");
}

TEST(CommandProcessorTest, ChatWindowsForwardWithoutAliasesAndAskTheirPartnerForItsAtis) {
    World w;
    Populate(w);
    w.profile.SetString("ATIS", "Info A||Rwy 4R");
    w.processor.ProcessChatLine({"NY_CTR", ChatWindowKind::Private}, ".atis");
    w.processor.ProcessChatLine({":SUP", ChatWindowKind::Group}, ".atis");
    w.processor.ProcessChatLine({"Incoming Chat Log", ChatWindowKind::IncomingLog}, ".showatis");
    w.processor.ProcessChatLine({":SUP", ChatWindowKind::Group}, ".atis dal3");
    w.processor.ProcessChatLine({":SUP", ChatWindowKind::Group}, ".notacommand");
    w.processor.ProcessChatLine({":SUP", ChatWindowKind::Group}, ".qt 101");
    EXPECT_EQ(w.log.calls, (std::vector<std::string>{"RequestATIS(NY_CTR)", "ExpandAliases(Info A,)",
                                                     "ExpandAliases(Rwy 4R,)", "ExpandAliases(Info A,)",
                                                     "ExpandAliases(Rwy 4R,)", "RequestATIS(DAL3)",
                                                     "AcceptHandoff(BAW1)"}));
    EXPECT_EQ(w.log.lines,
              (std::vector<std::string>{"info: [ATIS] Info A", "info: [ATIS] Rwy 4R", "info: [ATIS] Info A",
                                        "info: [ATIS] Rwy 4R", "info: ATIS request sent."}));
    EXPECT_EQ(w.processor.History().Count(), 1);
}

TEST(CommandProcessorTest, TracksAndAircraft) {
    const RowSetup noControl = [](World& w) { w.traffic.control = false; };
    const RowSetup deletePushed = [](World& w) { w.profile.SetBool("DelPushedStrips", true); };
    RunTable({
        {".qp N", {"ShowFullDataBlocksOf(NY_CTR)"}, {}},
        {".qp 101", {"d1:MarkPointout(BAW1)"}, {}},
        {".qp n baw1", {"SendPointOut(NY_CTR,BAW1)"}, {"info: Pointout sent: NY_CTR->BAW1"}},
        {".qp X BAW1", {}, {"error: Controller not found."}},
        {".qp N BAW1", {}, {"error: Invalid control."}, kObserver},
        {".qp N a:b", {}, {"error: Invalid callsign: A:B"}},
        {".qt 202 extra", {"AcceptHandoff(AAL2)"}, {}},
        {".qt 999", {"AcceptHandoff(999)"}, {}},
        {".qx BAW1", {"DropTrack(BAW1,BOS_APP)"}, {}},
        {".qx /ok BAW1", {"SendWhoHas(BAW1)"}, {"info: Attempting to force drop track on BAW1."}},
        {".qx n 101", {"InitiateHandoff(BAW1,N)", "ShowControllerInfo(NY_CTR)"}, {}},
        {".qx Z BAW1", {}, {"error: Controller not found."}},
        {".qz 350 BAW1", {"SetCruiseAltitude(BAW1,35000)"}, {}},
        {".qz 0 BAW1", {}, {}},
        {".qz abc BAW1", {}, {}},
        {".qz BAW1", {}, {"error: Not enough parameters."}},
        {".qz 350 BAW1 x", {}, {"error: Not enough parameters."}},
        {".ss", {"HideFlightPlanEditor()"}, {}},
        {".ss baw1",
         {"SetAwaitedFlightPlan(BAW1)", "RequestFlightPlan(BAW1)", "ShowFlightPlanEditor(BAW1)",
          "ActivateMainWindow()"},
         {}},
        {".ss N BAW1", {"PushStrip(BAW1,NY_CTR)"}, {"info: Flight strip for BAW1 pushed to NY_CTR."}},
        {".ss N BAW1",
         {"PushStrip(BAW1,NY_CTR)", "RemoveStrip(BAW1)"},
         {"info: Flight strip for BAW1 pushed to NY_CTR."},
         deletePushed},
        {".ss N BAW1", {}, {"error: Not valid control."}, kObserver},
        {".ss Q BAW1", {}, {"error: Controller not found."}},
        {".ss N a:b", {}, {"error: Invalid callsign: A:B"}},
        {".ss a b c", {}, {}},
        {".qu 101 extra", {"d1:ShowRoute(BAW1,false)"}, {}},
        {".qr BAW1", {"d1:ShowRoute(BAW1,true)"}, {}},
        {".qq BAW1", {"SetTemporaryAltitude(BAW1,BOS_APP,0)"}, {}},
        {".qq 80 BAW1", {"SetTemporaryAltitude(BAW1,BOS_APP,8000)"}, {}},
        {".qq 0 BAW1", {}, {}},
        {".qb BAW1", {"CheckControl(BAW1)", "SetAssignedSquawk(BAW1,BOS_APP,65535)"}, {}},
        {".qb BAW1", {"CheckControl(BAW1)"}, {}, noControl},
        {".qb 1200 101", {"CheckControl(BAW1)", "SetAssignedSquawk(BAW1,BOS_APP,1200)"}, {}},
        {".qb 0017 BAW1", {"CheckControl(BAW1)", "SetAssignedSquawk(BAW1,BOS_APP,17)"}, {}},
        {".qb 1289 BAW1", {"CheckControl(BAW1)"}, {"error: A squawk code is four digits from 0 to 7."}},
        {".qb 120 BAW1", {"CheckControl(BAW1)"}, {"error: A squawk code is four digits from 0 to 7."}},
        {".qb 12a4 BAW1", {"CheckControl(BAW1)"}, {"error: A squawk code is four digits from 0 to 7."}},
        {".qb 1200 BAW1", {"CheckControl(BAW1)"}, {}, noControl},
        {".qb V BAW1", {"CheckControl(BAW1)", "SetVoiceType(BAW1,BOS_APP,3)"}, {}},
        {".qb r BAW1", {"CheckControl(BAW1)", "SetVoiceType(BAW1,BOS_APP,2)"}, {}},
        {".qb t BAW1", {"CheckControl(BAW1)", "SetVoiceType(BAW1,BOS_APP,1)"}, {}},
        {".qs BAW1", {"SetScratchpad(BAW1,BOS_APP,)"}, {}},
        {".qs Rwy4 baw1", {"SetScratchpad(BAW1,BOS_APP,Rwy4)"}, {}},
        {".qs a b BAW1", {}, {}},
    });
}

TEST(CommandProcessorTest, ScopeDisplay) {
    RunTable({
        {".rings kbos", {"d1:SetRingCenterToPoint(KBOS)"}, {}},
        {".rings", {}, {}},
        {".ff a  b", {"d1:ShowItems(a b,0,false)"}, {}},
        {".fv v", {"d1:ShowItems(v,1,false)"}, {}},
        {".fn n", {"d1:ShowItems(n,2,false)"}, {}},
        {".fa a", {"d1:ShowItems(a,3,false)"}, {}},
        {".fc 4R", {"d1:ShowItems(4R,4,false)"}, {}},
        {".fw J75 Q1", {"d1:ShowItems(J75 Q1,5,false)"}, {}},
        {".ff", {}, {}},
        {".fd Sid1 Star2", {"d1:ShowDiagrams(Sid1 Star2)"}, {}},
        {".nofixes x", {"d1:HideItems(0)"}, {}},
        {".novors", {"d1:HideItems(1)"}, {}},
        {".nondbs", {"d1:HideItems(2)"}, {}},
        {".noairports", {"d1:HideItems(3)"}, {}},
        {".nocenterlines", {"d1:HideItems(4)"}, {}},
        {".noairways", {"d1:HideItems(5)"}, {}},
        {".nodiagrams", {"d1:ClearDiagrams()"}, {}},
        {".center kbos x", {"d1:CenterOnPoint(KBOS)"}, {}},
        {".centre kbos", {"d1:CenterOnPoint(KBOS)"}, {}},
        {".center2 kbos", {"d1:CenterOnPoint(KBOS)", "d1:SetRingCenterToPoint(KBOS)"}, {}},
        {".centre2 zzz", {"d1:CenterOnPoint(ZZZ)", "d1:SetRingCenterToPoint(ZZZ)"}, {}},
        {".vis a b c d e",
         {"d1:SetVisibilityCenterToPoint(0,A)", "d1:SetVisibilityCenterToPoint(1,B)",
          "d1:SetVisibilityCenterToPoint(2,C)", "d1:SetVisibilityCenterToPoint(3,D)"},
         {}},
        {".vis a b", {"d1:SetVisibilityCenterToPoint(0,A)", "d1:SetVisibilityCenterToPoint(1,B)"}, {}},
        {".vis", {}, {"error: Must specify fix."}},
        {".vis3 kbos", {"d1:SetVisibilityCenterToPoint(2,KBOS)"}, {}},
        {".vis4", {}, {"error: Must specify fix."}},
        {".novis", {"d1:ClearVisibilityCenters(true)"}, {}},
        {".showvis", {"d1:ShowVisibilityCenters()"}, {}},
    });
}

TEST(CommandProcessorTest, WeatherChatContactAndDebug) {
    const std::string contact =
        "Please contact me on 118.700. Please do not respond via private message - use the frequency "
        "instead.";
    RunTable({
        {".qd BAW1", {"ToggleStation(KBOS)"}, {}},
        {".qd DAL3", {}, {"error: No destination airport filed."}},
        {".qd kjfk EGLL abcde KLGA",
         {"ToggleStation(KJFK)", "ToggleStation(EGLL)", "ToggleStation(KLGA)"},
         {}},
        {".qd KJFK", {}, {"error: Not connected."}, kDisconnected},
        {".wx 101",
         {"RequestMetar(KBOS)", "ShowWeatherPanel()", "RebuildAllMenus()", "ActivateMainWindow()"},
         {"info: METAR requested for KBOS."}},
        {".wx kjfk",
         {"RequestMetar(KJFK)", "ShowWeatherPanel()", "RebuildAllMenus()", "ActivateMainWindow()"},
         {}},
        {".wx KJFKX", {}, {"error: No aircraft or weather station named KJFKX."}},
        {".wx DAL3", {}, {"error: No destination airport filed."}},
        {".ow BAW1",
         {"RequestMetar(EGLL)", "ShowWeatherPanel()", "RebuildAllMenus()"},
         {"info: METAR requested for EGLL."}},
        {".ow KJFK", {}, {"error: Aircraft not found."}},
        {".ow AAL2", {}, {"error: No departure airport filed."}},
        {".contactme baw1",
         {"SendTextMessage(BAW1," + contact + ")"},
         {"info: Contact request message sent to BAW1."},
         [](World& w) { w.shell.primaryFrequency = 118700; }},
        {".contactme BAW1",
         {"SendTextMessage(BAW1,Please contact me on 0.000. Please do not respond via private message - use "
          "the "
          "frequency instead.)"},
         {"info: Contact request message sent to BAW1."}},
        {".contactme BAW1", {}, {"error: Observers cannot use this function."}, kObserver},
        {".group sup bos_twr  ny_ctr", {"OpenChatWindow(:SUP,bos_twr ny_ctr,true)"}, {}},
        {".group sup", {"OpenChatWindow(:SUP,,true)"}, {}},
        {".chat baw1 x", {"OpenChatWindow(BAW1,,true)"}, {}},
        {".chat", {}, {}},
    });
}

TEST(CommandProcessorTest, DebugTogglesBitsAndOffClearsThem) {
    World w;
    w.Type(".debug 3");
    w.Type(".debug 1");
    EXPECT_EQ(w.shell.debugFlags, 2u);
    w.Type(".debug OFF");
    EXPECT_EQ(w.shell.debugFlags, 2u);
    w.Type(".debug off");
    EXPECT_EQ(w.shell.debugFlags, 0u);
}

TEST(CommandProcessorTest, MessagesQueriesAndStatus) {
    const RowSetup atis = [](World& w) { w.profile.SetString("ATIS", "Info A||$cs Rwy 4R"); };
    const RowSetup selectBaw1 = [](World& w) { w.shell.selected = "BAW1"; };
    RunTable({
        {".wallop need  help", {"SendWallop(need help)"}, {"own 5: need help"}},
        {".wallop", {}, {}},
        {".wall hi all", {"SendBroadcast(hi all)"}, {"own 4: hi all"}},
        {".wall hi", {}, {"error: Not connected."}, kDisconnected},
        {".info dal3", {"RequestInfo(DAL3)"}, {"info: Information request sent for callsign: DAL3"}},
        {".inf dal3", {"RequestInfo(DAL3)"}, {"info: Information request sent for callsign: DAL3"}},
        {".info", {}, {}},
        {".msg ny_ctr good  day now",
         {"SendTextMessage(ny_ctr,good day now)"},
         {"own 9: ny_ctr good day now"}},
        {".msg ny_ctr", {}, {}},
        {".msg a:b hi", {}, {"error: Invalid callsign: a:b"}},
        {".atis",
         {"ExpandAliases(Info A,BAW1)", "ExpandAliases($cs Rwy 4R,BAW1)"},
         {"info: [ATIS] Info A", "info: [ATIS] BAW1 Rwy 4R"},
         [&](World& w) { atis(w), selectBaw1(w); }},
        {".atis", {}, {"error: ATIS is currently empty."}},
        {".atis", {}, {"error: Not connected."}, [&](World& w) { atis(w), kDisconnected(w); }},
        {".showatis ny_ctr", {"RequestATIS(NY_CTR)"}, {"info: ATIS request sent."}},
        {".copy x", {"CopyRadioHistory()"}, {}},
        {".log radio.txt", {"SaveRadioLog(radio.txt)"}, {}},
        {".log", {}, {"error: Must specify filename as a single parameter."}},
        {".log a b", {}, {"error: Must specify filename as a single parameter."}},
        {".break", {"SetBreakRequest(true)"}, {}},
        {".nobreak", {"SetBreakRequest(false)"}, {}},
        {".break", {}, {"error: Not connected."}, kDisconnected},
        {".busy", {"SetRejectPrivate(true,I am not currently accepting private messages.)"}, {}},
        {".busy on  a break", {"SetRejectPrivate(true,on a break)"}, {}},
        {".busyall away", {"SetRejectAllPrivate(away)"}, {}},
        {".nobusy", {"SetRejectPrivate(false,)"}, {}},
        {".help", {"SetHelpRequest(true,)"}, {}},
        {".help lost here", {"SetHelpRequest(true,lost here)"}, {}},
        {".nohelp", {"SetHelpRequest(false,)"}, {}},
        {".logofftime 18:30 x", {"SetLogoffTime(1830)"}, {"info: Your logoff time is now set to: 1830"}},
        {".logofftime", {"SetLogoffTime()"}, {"info: Your logoff time has been cleared."}},
        {".nologofftime", {"SetLogoffTime()"}, {"info: Your logoff time has been cleared."}},
        {".silence", {"StopAlertSound()"}, {}, [](World& w) { w.traffic.soundPlaying = true; }},
        {".silence", {}, {}},
        {".nomsgs", {"ClearMessageWaiting()"}, {}},
        {".openurl https://example.org/a b", {"OpenUrl(https://example.org/a)"}, {}},
        {".openurl", {}, {"error: Must specify URL."}},
        {".openurl file:///etc/passwd", {}, {"error: Only http and https addresses can be opened."}},
        {".openurl -display", {}, {"error: Only http and https addresses can be opened."}},
        {".reloadaliases",
         {"LoadAliases(aliases.txt)"},
         {"info: Alias file aliases.txt reloaded."},
         [](World& w) { w.profile.SetString("AliasFile", "aliases.txt"); }},
        {".reloadaliases",
         {"LoadAliases()"},
         {"error: Error loading alias file!"},
         [](World& w) { w.text.aliasFileReads = false; }},
        {".reloadpof",
         {"ReloadPositionFile()"},
         {"info: Position file bos.pof reloaded."},
         [](World& w) { w.profile.SetString("POFFile", "bos.pof"); }},
        {".reloadpof",
         {"ReloadPositionFile()"},
         {"error: Error loading position file!"},
         [](World& w) { w.traffic.positionFileReads = false; }},
        {".cascade", {"CascadeWindows()", "CascadeChatWindows()"}, {}},
        {".rsb kbos baw1", {"d1:ShowRangeBearing(KBOS,BAW1)"}, {}},
        {".rsb kbos", {}, {"error: Specify two points or one point and select an aircraft."}},
        {".showname baw1", {}, {"info: Real name for BAW1: John Smith"}},
        {".showname ny_ctr", {}, {"info: Real name for NY_CTR: Ann Lee"}},
        {".showname AAL2", {}, {"info: Name not found."}},
        {".showname", {}, {"error: Must specify callsign."}},
        {".kill baw1 bad  manners", {"SendKill(BAW1,bad manners)"}, {}},
        {".kill baw1", {"SendKill(BAW1,)"}, {}},
        {".kill", {}, {"error: Not enough parameters."}},
        {".seeall", {}, {"error: Command restricted to supervisors and admins."}},
        {".seeall", {"ToggleSeeAll()"}, {}, kSupervisor},
        // ".ver" says "sent" only when it was.
        {".ver ny_ctr",
         {"RequestClientVersion(NY_CTR)"},
         {"info: Version request sent to NY_CTR."},
         kSupervisor},
        {".ver ny_ctr", {}, {"error: Command restricted to supervisors and admins."}},
        {".ver ny_ctr", {}, {"error: Not connected."}, [&](World& w) { kSupervisor(w), kDisconnected(w); }},
        {".ver", {}, {"error: Must specify callsign."}},
        {".ping ny_ctr", {"SendPing(NY_CTR)"}, {"info: Ping sent to NY_CTR."}},
        {".ping", {}, {"error: Must specify callsign."}},
        {".com? ny_ctr", {"RequestFrequency(NY_CTR)"}, {"info: Frequency request sent."}, kSupervisor},
        {".findac baw1",
         {"SetPendingFindCallsign(BAW1)", "RequestInfo(BAW1)", "SendTextMessage(SERVER,IP BAW1)"},
         {"info: Searching for callsign: BAW1"},
         kSupervisor},
        {".findac", {}, {}, kSupervisor},
        {".findac baw1", {}, {"error: Command restricted to supervisors and admins."}},
        {".acinfo baw1", {"ShowAircraftInfo(BAW1,true)"}, {}},
        {".acinfo", {}, {"error: Must specify aircraft callsign."}},
        {".typeinfo b744", {"ShowAircraftInfo(B744,false)"}, {}},
        {".typeinfo", {}, {"error: Must specify aircraft type code."}},
        {".modelinfo baw1", {"ShowModelInfo(BAW1)"}, {}},
        {".modelinfo", {}, {"error: Must specify callsign."}},
    });
}

TEST(CommandProcessorTest, SettingsCommandsStoreAndMarkTheProfile) {
    World w;
    w.profile.SetModified(false);
    w.Type(".setatis Info B  |Rwy 4R");
    EXPECT_EQ(w.profile.GetString("ATIS"), "Info B |Rwy 4R");
    EXPECT_TRUE(w.profile.IsModified());
    w.profile.SetModified(false);
    w.Type(".splist RV  H1 DCT");
    EXPECT_EQ(w.profile.GetListSetting("ScratchpadPresets"), (std::vector<std::string>{"RV", "H1", "DCT"}));
    EXPECT_TRUE(w.profile.IsModified());
    w.Type(".splist");
    EXPECT_TRUE(w.profile.GetListSetting("ScratchpadPresets").empty());
    w.Type(".setatis");
    EXPECT_EQ(w.log.lines, (std::vector<std::string>{"info: Your ATIS has been updated.",
                                                     "info: Your scratchpad presets have been updated.",
                                                     "info: Your scratchpad presets have been cleared."}));
}

TEST(CommandProcessorTest, LandLines) {
    RunTable({
        {".ov n", {"OpenOverride(NY_CTR)"}, {}},
        {".ic T", {"OpenIntercom(BOS_TWR)"}, {}},
        {".ic Q", {}, {"error: Controller not found."}},
        {".ov n", {}, {"error: Must be an active controller to initiate ground-to-ground calls."}, kObserver},
        {".ov", {}, {}},
        {".acc x", {"AcceptLandLine()"}, {}},
        {".hold", {"ToggleLandLine()"}, {}},
        {".rls", {"StopLandLine()"}, {}},
        {".mon ny_ctr", {"StartMonitor(NY_CTR)"}, {}, kObserver},
        {".mon t", {"StartMonitor(BOS_TWR)"}, {}},
        // A callsign wins over an equal position identifier.
        {".mon d3",
         {"StartMonitor(D3)"},
         {},
         [](World& w) {
             w.traffic.controllers["D3"] = {"XX", "", {}, 0};
             w.traffic.controllers["DAL3"].positionId = "D3";
         }},
        {".mon zz", {}, {"error: Controller not found."}},
    });
}

TEST(CommandProcessorTest, AircraftAndStrips) {
    const RowSetup editor = [](World& w) { w.shell.editorCallsign = "BAW1"; };
    RunTable({
        {".am rte DCT  BOS J75", {"AmendRoute(BAW1,DCT BOS J75)"}, {}, editor},
        {".am RTE", {}, {"error: Not enough parameters."}, editor},
        {".am alt 350",
         {},
         {"error: Amendment command not supported. Please use flight strip window."},
         editor},
        {".am RTE DCT", {}, {"error: No flight plan selected."}},
        {".transfer n", {"HandoffToPositionId(N)", "ShowControllerInfo(NY_CTR)"}, {}},
        {".transfer q", {}, {"error: Controller not found."}},
        {".transfer n x", {}, {}},
        {".an 101", {"RemoveAnchorsAll(BAW1)"}, {}},
        {".an kbos 101", {"d1:AddAnchor(BAW1,KBOS)"}, {}},
        {".an zzz BAW1", {}, {"error: Point not found."}},
        {".an a b c", {}, {"error: Must specify a callsign or use <ASEL>."}},
        {".an", {}, {"error: Must specify a callsign or use <ASEL>."}},
        {".noanchors", {"RemoveAnchorsAll()"}, {}},
        {".strip baw1", {"AddStripForAircraft(BAW1)"}, {}},
        {".strip", {}, {"error: Must specify callsign."}},
        {".sep ARR|DEP", {"AddSeparator(ARR|DEP,0)"}, {}},
        {".sep", {}, {"error: Must specify at least one separator label."}},
        {".nostrips", {"ClearStrips()"}, {}},
        {".delstrip baw1", {"RemoveStrip(BAW1)"}, {}},
        {".delstrip dal3", {"RemoveStrip(DAL3)"}, {"error: Flight strip not found for specified callsign."}},
        {".delstrip a b", {}, {"error: Must specify a single callsign."}},
        {".own dal3", {}, {"info: DAL3 is owned by NY_CTR."}},
        {".own baw1", {}, {"info: BAW1 is not owned by any known controller."}},
        {".own xyz", {}, {"error: Aircraft not found."}},
        {".own", {}, {"error: Must specify a single callsign."}},
        {".showstats", {"ShowStatistics()"}, {}},
        {".resetstats", {"ResetStatistics()"}, {"info: Statistics counters reset."}},
        // ".deletetarget" says what happened.
        {".deletetarget baw1", {"RemoveAircraft(BAW1,true)"}, {"info: Target deleted."}},
        {".deletetarget aal2",
         {"RemoveAircraft(AAL2,true)"},
         {"error: Target not deleted: you are tracking AAL2."}},
        {".deletetarget xyz", {}, {"error: Aircraft not found."}},
        {".deletetarget", {}, {"error: Must specify aircraft callsign."}},
    });
}

TEST(CommandProcessorTest, ScopeToolsAnd3DView) {
    RunTable({
        {".find kbos", {"d1:FindPoint(KBOS)"}, {}},
        {".find", {}, {}},
        {".declutter", {"d1:Declutter()"}, {}},
        {".seprings", {"d1:ToggleSepRings()"}, {}},
        {".filters", {"d1:ToggleFilters()"}, {}},
        {".quicklook", {"d1:ToggleQuicklook()"}, {}},
        {".norings", {"d1:SetRingCenterToPoint()"}, {}},
        {".reloadsector", {"d1:ReloadSectorFile()"}, {}},
        {".noseplinks", {"d1:ClearSeparationLinks()"}, {}},
        {".nostickys", {"d1:ClearNotes()"}, {}},
        {".nostickies", {"d1:ClearNotes()"}, {}},
        {".set3dalt 1500", {"d1:SetCameraAltitudeFeet(1500)"}, {}},
        {".set3dalt -20", {"d1:SetCameraAltitudeFeet(-20)"}, {}},
        {".set3dalt 1500 x", {}, {"error: Must specify an altitude in feet."}},
        {".setterrainalt 300", {"d1:SetMinCameraAltitude(300)"}, {}},
        {".setterrainalt", {}, {"error: Must specify an altitude in feet."}},
        {".set3dcenter kbos", {"d1:SetCameraToPoint(KBOS)"}, {}},
        {".spotview baw1", {"d1:SetCameraToAircraft(BAW1,true)"}, {}},
        {".lockview baw1", {"d1:SetCameraToAircraft(BAW1,false)"}, {}},
        {".spotview", {"d1:SetCameraToAircraft(,false)"}, {}},
        {".lockview", {"d1:SetCameraToAircraft(,false)"}, {}},
        {".showloc ny_ctr", {"d1:ShowLocation(NY_CTR,-73.500000,40.500000,300)"}, {}},
        {".showloc N", {}, {"error: Controller not found."}},
        {".showloc", {}, {"error: Must specify controller's callsign."}},
        {".seplink baw1 aal2", {"d1:AddSeparationLink(BAW1,AAL2)"}, {}},
        {".seplink baw1 xyz", {}, {"error: Aircraft not found."}},
        {".seplink baw1", {}, {"error: Not enough parameters."}},
        {".sticky Watch  Out", {"d1:AddNoteAtCenter(Watch Out)"}, {}},
        {".sticky", {}, {"error: No text entered."}},
        {".visrange 100nm", {"d1:ShowVisibilityCenters()"}, {"info: Your visibility range is now 100 NM."}},
        {".visrange 5", {"d1:ShowVisibilityCenters()"}, {"info: Your visibility range is now 5 NM."}},
        {".visrange 600", {"d1:ShowVisibilityCenters()"}, {"info: Your visibility range is now 600 NM."}},
        {".visrange 4", {}, {"error: Invalid range. Must be between 5 and 600."}},
        {".visrange 601", {}, {"error: Invalid range. Must be between 5 and 600."}},
        {".visrange abc", {}, {"error: Invalid range. Must be between 5 and 600."}},
        {".visrange 99999999999999", {}, {"error: Invalid range. Must be between 5 and 600."}},
        {".visrange", {}, {"error: Must specify range in nautical miles."}},
        {".visrange /2 50", {"d2:ShowVisibilityCenters()"}, {"info: Your visibility range is now 50 NM."}},
    });
}

}  // namespace
