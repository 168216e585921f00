// Tests of the controller record and database: identifiers (generated
// sequences, the position file's, reserved ones, a frequency change, the
// refresh), lookups, symbols, squawk ranges, purge and the position file.
#include "atc/controller_db.h"

#include <gtest/gtest.h>

#include "atc_fakes.h"

namespace {

PofRecord Line(const std::string& prefix, const std::string& suffix, int frequency, const std::string& id,
               const std::string& symbol = "X") {
    PofRecord r;
    r.prefix = prefix;
    r.suffix = suffix;
    r.frequency = frequency;
    r.positionId = id;
    r.symbol = symbol;
    r.radioCallsign = "Radio " + prefix;
    r.squawkLow = 2000;
    r.squawkHigh = 2077;
    return r;
}

std::string Id(AtcWorld& w, const std::string& callsign) {
    return w.controllers.GetController(callsign)->GetPositionId();
}

TEST(ControllerRecord, Defaults) {
    TarqController c("ABC_CTR");
    EXPECT_EQ(c.GetFrequency(), 199998);
    EXPECT_EQ(c.GetFacility(), 0);
    EXPECT_EQ(c.GetVisRange(), 0);
    EXPECT_EQ(c.GetRating(), 1);
    EXPECT_FALSE(c.IsRequestingBreak());
    ControllerReport r;
    r.latitude = 40;
    r.longitude = -74;
    r.frequency = 125000;
    c.SetPositionId("AA");
    c.UpdateFromReport(r, 123);
    EXPECT_EQ(c.GetOffsetPosition(0, 0), (ScopePoint{-74, 40}));
    EXPECT_EQ(c.GetLastReportTime(), 123);
    EXPECT_EQ(c.GetPositionId(), "AA") << "a report never changes the identifier";
}

TEST(ControllerDB, GeneratedIdentifierSequences) {
    struct Row {
        const char* name;
        std::vector<std::string> callsigns;
        std::vector<std::string> ids;
    };
    const Row rows[] = {
        {"approach", {"ABC_APP", "XYZ_APP"}, {"AA", "AB"}},
        {"centre", {"XYZ_CTR", "ABC_CTR"}, {"41", "42"}},
        {"delivery and departure share D", {"A_DEL", "B_DEP", "C_DEL"}, {"DA", "DB", "DC"}},
        {"atis", {"KJFK_ATIS"}, {"SA"}},
        {"unknown suffix", {"OBSERVER", "X_OBS"}, {"A", "B"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        for (const std::string& c : row.callsigns) w.AddController(c);
        for (size_t i = 0; i < row.callsigns.size(); ++i) EXPECT_EQ(Id(w, row.callsigns[i]), row.ids[i]);
    }
}

TEST(ControllerDB, CentreIdentifiersRunThroughDigitsThenLetters) {
    AtcWorld w;
    std::vector<std::string> ids;
    for (int i = 0; i < 37; ++i) {
        const std::string c = "C" + std::to_string(100 + i) + "_CTR";
        w.AddController(c);
        ids.push_back(Id(w, c));
    }
    EXPECT_EQ(ids[8], "49");
    EXPECT_EQ(ids[9], "40");
    EXPECT_EQ(ids[10], "4A");
    EXPECT_EQ(ids[35], "4Z");
    EXPECT_EQ(ids[36], "4") << "the letter alone comes last";
}

TEST(ControllerDB, TwentySeventhApproachGetsNoIdentifier) {
    AtcWorld w;
    for (int i = 0; i < 27; ++i) w.AddController("A" + std::to_string(10 + i) + "_APP");
    EXPECT_EQ(Id(w, "A35_APP"), "AZ");
    EXPECT_EQ(Id(w, "A36_APP"), "");
    EXPECT_EQ(w.controllers.GetCallsignForPositionId(""), "") << "an empty identifier names nobody";
}

TEST(ControllerDB, PositionFileIdentifiersAndReservations) {
    AtcWorld w;
    w.controllers.SetPositionRecords({Line("JFK", "APP", 127400, "AA"), Line("LGA", "APP", 120800, "AA"),
                                      Line("NY", "CTR", 125325, "4A"), Line("EWR", "TWR", 118300, "")});
    w.AddController("JFK_APP", 127400);
    w.AddController("LGA_APP", 120800);
    w.AddController("ABC_APP", 121000);
    w.AddController("EWR_TWR", 118300);
    EXPECT_EQ(Id(w, "JFK_APP"), "AA");
    EXPECT_EQ(Id(w, "LGA_APP"), "AB") << "the file's AA is held; AA is reserved for generation too";
    EXPECT_EQ(Id(w, "ABC_APP"), "AC");
    EXPECT_EQ(Id(w, "EWR_TWR"), "TA") << "a line without an identifier gives way to a generated one";
    EXPECT_EQ(w.controllers.GetCallsignForPositionId("aa"), "JFK_APP");
    EXPECT_EQ(w.controllers.GeneratePositionId("LGA_APP", 120800, true), "AA")
        << "file only: whoever holds it";
    EXPECT_EQ(w.controllers.GeneratePositionId("ABC_APP", 121000, true), "");
}

TEST(ControllerDB, FrequencyChangeGivesNewIdentifierAndFreesOld) {
    AtcWorld w;
    w.controllers.SetPositionRecords({Line("JFK", "APP", 127400, "KA")});
    w.AddController("JFK_APP", 120000);
    EXPECT_EQ(Id(w, "JFK_APP"), "AA");
    w.log.Clear();
    w.AddController("JFK_APP", 127400);
    EXPECT_EQ(Id(w, "JFK_APP"), "KA");
    EXPECT_EQ(w.controllers.GetCallsignForPositionId("AA"), "");
    EXPECT_EQ(w.controllers.GetCallsignForPositionId("KA"), "JFK_APP");
    EXPECT_EQ(w.controllers.GetSymbol("JFK_APP"), "X");
    EXPECT_EQ(w.log.lines, (std::vector<std::string>{"RebuildControllerList", "RebuildControllerList"}));
    w.AddController("XYZ_APP", 120000);
    EXPECT_EQ(Id(w, "XYZ_APP"), "AA") << "the freed identifier is handed out again";
}

TEST(ControllerDB, RefreshKeepsGeneratedIdentifiers) {
    AtcWorld w;
    w.AddController("ABC_APP");
    w.AddController("XYZ_APP");
    w.controllers.RefreshPositionIds();
    EXPECT_EQ(Id(w, "ABC_APP"), "AA");
    EXPECT_EQ(Id(w, "XYZ_APP"), "AB");
    w.controllers.RemoveController("ABC_APP", true);
    EXPECT_EQ(Id(w, "XYZ_APP"), "AA") << "a departure lets the refresh choose again";
    EXPECT_EQ(w.controllers.GetCallsignForPositionId("AA"), "XYZ_APP");
    EXPECT_EQ(w.controllers.GetCallsignForPositionId("AB"), "");
}

TEST(ControllerDB, FirstReportAsksThreeQuestions) {
    AtcWorld w;
    w.AddController("abc_ctr");
    const std::vector<std::string> expected = {"RequestRealName ABC_CTR", "RequestIsValidATC ABC_CTR",
                                               "SendCCPID ABC_CTR", "RebuildChatGroups",
                                               "RebuildControllerList"};
    EXPECT_EQ(w.log.lines, expected);
    ASSERT_NE(w.controllers.GetController("Abc_Ctr"), nullptr);
    w.log.Clear();
    w.AddController("ABC_CTR");
    EXPECT_TRUE(w.log.lines.empty()) << "an unchanged report rebuilds nothing";
}

TEST(ControllerDB, SymbolsRadioCallsignsAndRanges) {
    AtcWorld w;
    w.controllers.SetPositionRecords({Line("NY", "CTR", 125325, "4A", "N"), Line("ABCD", "APP", 0, "ZZ", "Q"),
                                      Line("", "", 122800, "UU", "U")});
    struct Row {
        const char* callsign;
        int frequency;
        const char* symbol;
        const char* radio;
        uint16_t low, high;
    };
    const Row rows[] = {
        {"ny_ctr", 125325, "N", "Radio NY", 2000, 2077},  {"NY_CTR", 125000, "C", "NY_CTR", 1000, 6777},
        {"ABCD_N_APP", 0, "Q", "Radio ABCD", 2000, 2077}, {"ABCD", 122800, "U", "Radio ", 2000, 2077},
        {"X_DEL", 1, "L", "X_DEL", 1000, 6777},           {"X_ATIS", 1, "?", "X_ATIS", 1000, 6777},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.callsign);
        EXPECT_EQ(w.controllers.FindSymbol(row.callsign, row.frequency), row.symbol);
        EXPECT_EQ(w.controllers.FindRadioCallsign(row.callsign, row.frequency), row.radio);
        uint16_t low = 0, high = 0;
        w.controllers.GetSquawkRange(row.callsign, row.frequency, low, high);
        EXPECT_EQ(low, row.low);
        EXPECT_EQ(high, row.high);
    }
    EXPECT_FALSE(w.controllers.IsInPositionFile("ABCD", 122800)) << "no '_': never in the file";
    EXPECT_TRUE(w.controllers.IsInPositionFile("NY_CTR", 125325));
    EXPECT_EQ(w.controllers.GetSymbol("NOBODY"), "??");
}

TEST(ControllerDB, PurgeAfterFortyFiveSecondsOfSilence) {
    AtcWorld w;
    w.See("N1");
    w.AddController("OLD_APP");
    w.aircraft.SetTrackingController("N1", "OLD_APP");
    w.clock.SetWallSeconds(AtcWorld::kStart + 1);
    w.AddController("NEW_APP");
    w.clock.SetWallSeconds(AtcWorld::kStart + 46);
    w.controllers.OnTimer();
    EXPECT_EQ(w.controllers.GetController("OLD_APP"), nullptr);
    EXPECT_NE(w.controllers.GetController("NEW_APP"), nullptr) << "45 s is not yet too long";
    EXPECT_TRUE(w.aircraft.GetTrackingController("N1").empty())
        << "the departed controller's track is released";
    w.clock.SetWallSeconds(AtcWorld::kStart + 50);
    w.controllers.OnTimer();
    EXPECT_NE(w.controllers.GetController("NEW_APP"), nullptr) << "checked only every 10 s";
}

TEST(ControllerDB, ClearRemovesEveryoneAndTheirTracks) {
    AtcWorld w;
    w.See("N1");
    w.AddController("A_APP");
    w.AddController("B_APP");
    w.aircraft.SetTrackingController("N1", "B_APP");
    w.controllers.Clear();
    EXPECT_EQ(w.controllers.GetControllerCount(), 0u);
    EXPECT_EQ(w.controllers.GetCallsignForPositionId("AA"), "");
    EXPECT_TRUE(w.aircraft.GetTrackingController("N1").empty());
}

TEST(ControllerDB, HandoffTargetListAndFlags) {
    AtcWorld w;
    for (const char* c : {"A_CTR", "B_DEL", "C_GND", "D_TWR", "OBS", "E_ATIS"}) w.AddController(c);
    EXPECT_EQ(w.controllers.GetControllerCallsigns(false),
              (std::vector<std::string>{"A_CTR", "B_DEL", "C_GND", "D_TWR"}));
    EXPECT_EQ(w.controllers.GetControllerCallsigns(true), (std::vector<std::string>{"A_CTR", "D_TWR"}));
    // The controller list shows them all, ATIS stations and observers too.
    EXPECT_EQ(w.controllers.GetAllCallsigns(),
              (std::vector<std::string>{"A_CTR", "B_DEL", "C_GND", "D_TWR", "E_ATIS", "OBS"}));
    w.controllers.SetBreakRequest("a_ctr", true);
    EXPECT_TRUE(w.controllers.GetController("A_CTR")->IsRequestingBreak());
    w.controllers.SetHelpFlag("A_CTR", true);
    w.controllers.SetHelpMessage("A_CTR", "busy");
    w.controllers.SetHelpFlag("NOBODY", true);
    EXPECT_TRUE(w.controllers.GetHelpFlag("A_CTR"));
    EXPECT_EQ(w.controllers.GetHelpMessage("A_CTR"), "busy");
    EXPECT_FALSE(w.controllers.GetHelpFlag("NOBODY"));
    w.controllers.RemoveController("A_CTR", false);
    EXPECT_FALSE(w.controllers.GetHelpFlag("A_CTR"));
}

TEST(ControllerDB, LoadPositionFile) {
    AtcWorld w;
    EXPECT_FALSE(w.controllers.LoadPOFFile()) << "no file named";
    w.settings.strings["POFFile"] = std::string(TARQ_TEST_DATA_DIR) + "/pof/facility.pof";
    ASSERT_TRUE(w.controllers.LoadPOFFile());
    EXPECT_EQ(w.controllers.GetPositionRecords().size(), 5u);
    w.settings.strings["POFFile"] = std::string(TARQ_TEST_DATA_DIR) + "\\pof\\missing.pof";
    EXPECT_FALSE(w.controllers.LoadPOFFile());
    EXPECT_EQ(w.controllers.GetPositionRecords().size(), 5u) << "a failed load keeps the records";
    w.AddController("NY_CTR", 125325);
    EXPECT_EQ(Id(w, "NY_CTR"), "4A");
    w.AddController("ZZ_CTR", 125000);
    EXPECT_EQ(Id(w, "ZZ_CTR"), "41");
}

}  // namespace
