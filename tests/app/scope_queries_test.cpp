// Bookmarks over a scope with a sector offset, the traffic call-out's clock
// and direction boundaries and phrases, the heading-and-distance query and
// the controller-select key.
#include "app/scope_queries.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/controller_select.h"
#include "foundation/geo_helpers.h"
#include "foundation/profile.h"
#include "tests/app/furniture_fixture.h"

namespace {

// A scope whose own degrees are the absolute ones plus (1, 2).
struct FakeView : BookmarkView {
    ScopePoint GetCenter() const override { return center; }
    void SetCenter(ScopePoint c) override { center = c; }
    double GetZoom() const override { return zoom; }
    void SetZoom(double z) override { zoom = z; }
    ScopePoint GetRangeRingCenter() const override { return ring; }
    void SetRangeRingCenter(ScopePoint c) override { ring = c; }
    void AddOffset(ScopePoint& p) const override {
        p.x += 1.0;
        p.y += 2.0;
    }
    void RemoveOffset(ScopePoint& p) const override {
        p.x -= 1.0;
        p.y -= 2.0;
    }
    void RedrawWithRelayout() override { ++redraws; }

    ScopePoint center{5.0, 50.0};
    double zoom = 0.25;
    ScopePoint ring{6.0, 51.0};
    int redraws = 0;
};

class BookmarkTest : public ::testing::Test {
protected:
    BookmarkTest() : profile(dir.File("Tarq.ini")), bookmarks(profile, view) {}
    void Look(ScopePoint center, double zoom, ScopePoint ring) {
        view.center = center;
        view.zoom = zoom;
        view.ring = ring;
    }
    TempDir dir;
    TarqProfile profile;
    FakeView view;
    TarqBookmarks bookmarks;
};

TEST_F(BookmarkTest, SavesAbsoluteDegreesAndRecallsThemIntoTheScope) {
    Look({9.5, 52.25}, 0.125, {10.5, 53.5});
    profile.SetModified(false);
    bookmarks.Save(3);
    EXPECT_TRUE(profile.IsModified());
    EXPECT_FLOAT_EQ(profile.GetFloat("BookmarkLon3"), 8.5f);
    EXPECT_FLOAT_EQ(profile.GetFloat("BookmarkLat3"), 50.25f);
    EXPECT_FLOAT_EQ(profile.GetFloat("BookmarkZoom3"), 0.125f);
    EXPECT_FLOAT_EQ(profile.GetFloat("BookmarkRingLon3"), 9.5f);
    EXPECT_FLOAT_EQ(profile.GetFloat("BookmarkRingLat3"), 51.5f);

    Look({1.0, 1.0}, 2.0, {3.0, 3.0});
    EXPECT_TRUE(bookmarks.Recall(3));
    EXPECT_EQ(view.center, (ScopePoint{9.5, 52.25}));
    EXPECT_EQ(view.zoom, 0.125);
    EXPECT_EQ(view.ring, (ScopePoint{10.5, 53.5}));
    EXPECT_EQ(view.redraws, 1);

    // Recall 0 goes back to the view before the recall, as often as asked.
    for (int i = 0; i < 2; ++i) {
        view.center = {7.0, 7.0};
        EXPECT_TRUE(bookmarks.Recall(0));
        EXPECT_EQ(view.center, (ScopePoint{1.0, 1.0}));
        EXPECT_EQ(view.zoom, 2.0);
        EXPECT_EQ(view.ring, (ScopePoint{3.0, 3.0}));
    }
}

TEST_F(BookmarkTest, EmptySlotsAndRecallZeroBeforeAnyRecallChangeNothing) {
    EXPECT_FALSE(bookmarks.Recall(0));
    EXPECT_FALSE(bookmarks.Recall(5));
    EXPECT_FALSE(bookmarks.Recall(10));
    EXPECT_EQ(view.center, (ScopePoint{5.0, 50.0}));
    EXPECT_EQ(view.redraws, 0);
}

// The equator and the prime meridian are places like any other.
TEST_F(BookmarkTest, ViewsOnTheEquatorOrThePrimeMeridianAreKept) {
    for (ScopePoint absolute : {ScopePoint{0.0, 51.5}, ScopePoint{-0.5, 0.0}, ScopePoint{0.0, 0.0}}) {
        SCOPED_TRACE(std::to_string(absolute.x) + "," + std::to_string(absolute.y));
        Look({absolute.x + 1.0, absolute.y + 2.0}, 0.5, {1.0, 2.0});
        bookmarks.Save(7);
        EXPECT_TRUE(bookmarks.IsSet(7));
        Look({20.0, 20.0}, 1.0, {20.0, 20.0});
        ASSERT_TRUE(bookmarks.Recall(7));
        EXPECT_EQ(view.center, (ScopePoint{absolute.x + 1.0, absolute.y + 2.0}));
        EXPECT_EQ(view.ring, (ScopePoint{1.0, 2.0})) << "a ring centred on 0, 0 too";
        // And the view before the recall, wherever it was.
        Look({1.0, 2.0}, 0.5, {1.0, 2.0});
        ASSERT_TRUE(bookmarks.Recall(7));
        view.center = {9.0, 9.0};
        ASSERT_TRUE(bookmarks.Recall(0));
        EXPECT_EQ(view.center, (ScopePoint{1.0, 2.0}));
    }
}

TEST(TrafficCall, ClockPositionBoundariesBelongToTheHigherSector) {
    const std::vector<std::pair<double, std::string>> cases = {
        {360.0, "twelve o'clock"}, {0.5, "twelve o'clock"},    {14.99, "twelve o'clock"},
        {15.0, "one o'clock"},     {44.99, "one o'clock"},     {45.0, "two o'clock"},
        {164.99, "five o'clock"},  {165.0, "six o'clock"},     {195.0, "seven o'clock"},
        {315.0, "eleven o'clock"}, {344.99, "eleven o'clock"}, {345.0, "twelve o'clock"},
    };
    for (const auto& [bearing, phrase] : cases) EXPECT_EQ(ClockPosition(bearing), phrase) << bearing;
}

TEST(TrafficCall, DirectionBoundariesBelongToTheHigherSector) {
    const std::vector<std::pair<double, std::string>> cases = {
        {360.0, "north bound"},      {22.49, "north bound"},     {22.5, "northeast bound"},
        {67.5, "east bound"},        {112.5, "southeast bound"}, {157.5, "south bound"},
        {202.5, "southwest bound"},  {247.5, "west bound"},      {292.5, "northwest bound"},
        {337.49, "northwest bound"}, {337.5, "north bound"},
    };
    for (const auto& [heading, phrase] : cases) EXPECT_EQ(Direction(heading), phrase) << heading;
}

TrafficParty Party(std::string callsign, ScopePoint position, double heading, int speed) {
    TrafficParty party;
    party.callsign = std::move(callsign);
    party.position = position;
    party.heading = heading;
    party.groundSpeed = speed;
    party.transponderMode = 'N';
    party.squawk = 04521;
    party.altitude = 24000;
    return party;
}

TEST(TrafficCall, Phrases) {
    const double scale = LongitudeScale;
    LongitudeScale = 1.0;
    // B lies 6.3 NM due north of A.
    struct Case {
        const char* name;
        double aHeading;
        int aSpeed, bSpeed;
        double bHeading;
        int mode;
        bool vfr;
        int altitude;
        std::string type;
        double rotation;
        std::string phrase;
    };
    const std::vector<Case> cases = {
        {"taxiing", 360, 10, 49, 90, 'N', false, 0, "", 0,
         "DLH1, give way to the aircraft at your twelve o'clock."},
        {"taxiing with a type", 90, 0, 0, 90, 'N', false, 0, "A320", 0,
         "DLH1, give way to the a A320 at your nine o'clock."},
        {"standby", 360, 250, 250, 90, 'S', false, 24000, "B738", 0,
         "DLH1, traffic twelve o'clock and 6 miles, east bound, type and altitude unknown."},
        {"VFR code", 315, 250, 100, 200, 'N', true, 4460, "C172", 0,
         "DLH1, traffic two o'clock and 6 miles, south bound, type unknown, altitude indicates 4500 "
         "unverified."},
        {"typed", 360, 250, 250, 60, 'N', false, 24000, "B738", 10,
         "DLH1, traffic twelve o'clock and 6 miles, east bound, a B738 at FL240."},
        {"untyped", 360, 250, 60, 350, 'N', false, 24000, "", 0,
         "DLH1, traffic twelve o'clock and 6 miles, north bound, type unknown, at FL240."},
    };
    for (const Case& c : cases) {
        TrafficParty a = Party("DLH1", {8.0, 50.0}, c.aHeading, c.aSpeed);
        TrafficParty b = Party("N123", {8.0, 50.105}, c.bHeading, c.bSpeed);
        b.transponderMode = c.mode;
        b.altitude = c.altitude;
        b.type = c.type;
        EXPECT_EQ(TrafficCallPhrase(a, b, {c.rotation, 18000, c.vfr}), c.phrase) << c.name;
    }
    LongitudeScale = scale;
}

TEST(RangeBearing, HeadingsDistanceAndTime) {
    const double scale = LongitudeScale;
    LongitudeScale = 1.0;
    struct Case {
        ScopePoint to;
        double rotation;
        int speed;
        std::string text;
    };
    for (const Case& c : {Case{{8.0, 50.5}, 0, 120, "Heading: 360/180 - Distance: 30.0 - Time: 15.0"},
                          Case{{8.0, 50.5}, -5, 0, "Heading: 355/175 - Distance: 30.0"},
                          Case{{8.5, 50.0}, 0, 0, "Heading: 90/270 - Distance: 30.0"},
                          Case{{8.0, 49.75}, 3.7, 450, "Heading: 183/3 - Distance: 15.0 - Time: 2.0"}}) {
        EXPECT_EQ(RangeBearingText({8.0, 50.0}, c.to, c.rotation, c.speed), c.text);
    }
    LongitudeScale = scale;
}

struct FakeQueryHost : ScopeQueryHost {
    bool FindNamedPoint(const std::string& name, ScopePoint& point) const override {
        auto it = points.find(name);
        if (it == points.end()) return false;
        point = it->second;
        return true;
    }
    bool FindAircraft(const std::string& callsign, TrafficParty& party) const override {
        auto it = aircraft.find(callsign);
        if (it == aircraft.end()) return false;
        party = it->second;
        return true;
    }
    double GetRotation() const override { return 0.0; }
    int GetTransLevel() const override { return 18000; }
    bool IsVFRCode(uint16_t code) const override { return code == 07000; }
    void ShowError(const std::string& text) override { lines.push_back("error " + text); }
    void ShowMessage(const std::string& text) override { lines.push_back("info " + text); }
    void Transmit(const std::string& text) override { lines.push_back("radio " + text); }

    std::map<std::string, ScopePoint> points = {{"EDDF", {8.0, 50.0}}, {"TAU", {8.0, 50.5}}};
    std::map<std::string, TrafficParty> aircraft;
    std::vector<std::string> lines;
};

TEST(ScopeQueries, RangeBearingResolvesPointsAndAircraft) {
    const double scale = LongitudeScale;
    LongitudeScale = 1.0;
    FakeQueryHost host;
    host.aircraft["DLH1"] = Party("DLH1", {8.0, 50.25}, 360, 0);
    host.aircraft["TAU"] = Party("TAU", {8.0, 50.25}, 360, 300);  // a callsign beats a point
    TarqScopeQueries queries(host);
    queries.ShowRangeBearing("XYZ", "TAU");
    queries.ShowRangeBearing("EDDF", "NOWHERE");
    queries.ShowRangeBearing("EDDF", "DLH1");
    queries.ShowRangeBearing("EDDF", "TAU");
    EXPECT_EQ(host.lines, (std::vector<std::string>{"error Could not find point: XYZ.",
                                                    "error Could not find point: NOWHERE.",
                                                    "info Heading: 360/180 - Distance: 15.0",
                                                    "info Heading: 360/180 - Distance: 15.0 - Time: 3.0"}));
    LongitudeScale = scale;
}

TEST(ScopeQueries, TrafficCallNeedsBothAircraftAndAsksForTheVfrCode) {
    const double scale = LongitudeScale;
    LongitudeScale = 1.0;
    FakeQueryHost host;
    host.aircraft["DLH1"] = Party("DLH1", {8.0, 50.0}, 360, 250);
    TarqScopeQueries queries(host);
    queries.ShowTrafficCall("DLH1", "N123");
    queries.ShowTrafficCall("N123", "DLH1");
    EXPECT_TRUE(host.lines.empty());
    TrafficParty b = Party("N123", {8.0, 50.105}, 180, 100);
    b.squawk = 07000;
    host.aircraft["N123"] = b;
    queries.ShowTrafficCall("DLH1", "N123");
    EXPECT_EQ(host.lines,
              (std::vector<std::string>{"radio DLH1, traffic twelve o'clock and 6 miles, south bound, "
                                        "type unknown, altitude indicates FL240 unverified."}));
    LongitudeScale = scale;
}

}  // namespace

namespace {

struct FakeSelectHost : ControllerSelectHost {
    std::string GetCallsignForPositionId(const std::string& id) const override {
        return id == "1F" ? "EDDF_TWR" : id == "2" ? "EDDF_APP" : "";
    }
    std::string GetChatGroupName(int slot) const override { return slot == 3 ? "Group Three" : ""; }
    void OpenChatWindow(const std::string& name) override { calls.push_back("chat " + name); }
    void ShowControllerInfo(const std::string& callsign) override { calls.push_back("info " + callsign); }
    void ShowError(const std::string& text) override { calls.push_back("error " + text); }
    std::vector<std::string> calls;
};

TEST(ControllerSelect, IdentifierThenGroupSlot) {
    const std::string invalid =
        "error Invalid parameter. Enter either the sectorID or single-digit chat group index.";
    struct Case {
        std::string text;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases = {
        {"1F", {"chat EDDF_TWR", "info EDDF_TWR"}},
        {"2", {"chat EDDF_APP", "info EDDF_APP"}},  // an identifier beats a slot
        {"3", {"chat Group Three"}},
        {"4", {"error Unknown controller list index."}},
        {"XYZ", {"error Unknown controller list index."}},
        {"", {invalid}},
        {"ABCD", {invalid}},
    };
    for (const Case& c : cases) {
        FakeSelectHost host;
        SelectControllerFromText(c.text, host);
        EXPECT_EQ(host.calls, c.calls) << c.text;
    }
}

}  // namespace
