// The STARS radar mode's targets drawn offscreen: the bar, primary-return
// line and mark behind the target, fading history dots, the three data block
// forms with their rectangles, alert texts and blinking.
#include "scope/target_builder_stars.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "foundation/session_services.h"
#include "target_builder_fixture.h"

namespace {

using Lines = std::vector<std::pair<PixelPoint, std::string>>;  // from the origin

constexpr Rgb kAlertRgb{255, 0, 0};

class PlayingAlarm : public TarqAlarmSound {
public:
    bool IsSoundPlaying() const override { return true; }
    bool StopSound() override { return true; }
};

class StarsBuilderTest : public TargetBuilderFixture {
protected:
    void SetUp() override {
        TargetBuilderFixture::SetUp();
        SetRadarMode(11);
    }
    void TearDown() override { g_alarmSound = nullptr; }
    PixelSet Around(PixelPoint p, Rgb color) const {
        return Pixels(color, p.x - 8, p.y - 8, p.x + 8, p.y + 8);
    }
    // What was drawn in a colour right of fromX against the texts alone.
    void ExpectTexts(PixelPoint origin, const Lines& lines, Rgb color, int fromX) {
        PixelSet drawn = Pixels(color, fromX, 0, kWidth - 1, kHeight - 1);
        Clear();
        for (const auto& [at, text] : lines) DrawReferenceText(origin + at, text, color);
        EXPECT_EQ(drawn, Pixels(color, fromX, 0, kWidth - 1, kHeight - 1));
        EXPECT_FALSE(drawn.empty());
    }
    // Moving east at (100, 150), tag position 6 with a leader of 20.
    TargetSnapshot Eastbound(uint16_t phase = 1) const {
        TargetSnapshot t = MakeTarget(100, 150);
        t.plotBearing = 90.0;
        t.destination = "EGLL";
        t.typeCode = "B738";
        t.altitude = 12301;
        t.blinkPhase = phase;
        return t;
    }
};

TEST_F(StarsBuilderTest, TheManagerCreatesItForMode11) {
    EXPECT_NE(dynamic_cast<TarqTargetBuilderSTARS*>(&manager->GetBuilder()), nullptr);
}

TEST_F(StarsBuilderTest, TheBarAcrossTheTrackWidensWithThePlotExtent) {
    struct Case {
        double extent;
        double clamped;
        int halfWidth;  // R rounded down
    } cases[] = {{0.0, 0.1, 2}, {0.5, 0.5, 3}, {3.0, 1.0, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extent);
        TargetSnapshot t = Eastbound();
        t.plotExtent = c.extent;
        t.hideDataBlock = true;
        Build(t);
        EXPECT_DOUBLE_EQ(t.plotExtent, c.clamped);
        EXPECT_EQ(At(100, 150 + c.halfWidth - 1), kSymbolRgb);
        EXPECT_NE(At(100, 150 + c.halfWidth + 1), kSymbolRgb);
        EXPECT_TRUE(Near(98, 150 + 3 * c.halfWidth, kPrimaryRgb)) << "primary line, three times as wide";
        EXPECT_FALSE(AnyIn(kPrimaryRgb, 101, 140, 110, 160)) << "only behind";
    }
}

TEST_F(StarsBuilderTest, TheMarkBehindTheTarget) {
    host.vfrCodes = {1200};
    struct Case {
        const char* name;
        int transponder;
        uint16_t squawk;
        const char* ownerId;
        const char* text;
        PixelPoint at;  // from the target
    } cases[] = {
        {"standby", 'S', 1200, "KK", "+", {-7, -3}},
        {"VFR code", 'N', 1200, "KK", "V", {-7, -3}},
        {"tracked", 'N', 4321, "KK", "K", {-7, -3}},
        {"untracked", 'N', 4321, "", "*", {-7, -6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = Eastbound();
        t.transponderMode = c.transponder;
        t.squawk = c.squawk;
        t.ownerId = c.ownerId;
        t.ownerSectorText = "KX";
        t.tagPosition = 2;
        Build(t);
        PixelSet drawn = Around({100, 150}, kPositionSymbolRgb);
        Clear();
        DrawReferenceText(PixelPoint{100, 150} + c.at, c.text, kPositionSymbolRgb);
        EXPECT_EQ(drawn, Around({100, 150}, kPositionSymbolRgb));
        EXPECT_FALSE(drawn.empty());
    }
}

TEST_F(StarsBuilderTest, AtMostFourHistoryDotsEachDimmerThanTheLast) {
    host.ints["HistoryCount"] = 10;
    TargetSnapshot t = Eastbound();
    t.position = PointAt(350, 100);
    for (int i = 1; i <= 6; ++i) t.history.push_back(PointAt(350 - 40 * i, 100));
    t.hideDataBlock = true;
    Build(t);
    const Rgb expected[] = {{0, 255, 255}, {0, 153, 153}, {0, 91, 91}, {0, 54, 54}};
    for (int i = 1; i <= 4; ++i) EXPECT_TRUE(Near(350 - 40 * i, 100, expected[i - 1])) << i;
    EXPECT_EQ(CountIn({0, 32, 32}, 0, 0, kWidth - 1, kHeight - 1), 0) << "no fifth dot";
    EXPECT_EQ(Around({110, 100}, {0, 0, 0}).size(), 17u * 17u) << "nothing where a fifth would be";
}

TEST_F(StarsBuilderTest, TheThreeBlockForms) {
    const int x = 100 + 26;  // tag position 6, leader 20
    const int y = 150 - 8;
    struct Case {
        const char* name;
        TargetSnapshot t;
        Lines lines;
        TagRect rect;
    };
    TargetSnapshot full = Eastbound(1);
    full.fullDataBlock = true;
    full.handoffTargetId = "EE";
    full.handoffTargetSectorText = "E";
    full.isHeavy = true;
    full.isVfr = true;
    full.voiceType = kVoiceReceiveOnly;
    TargetSnapshot scratch = Eastbound(5);
    scratch.fullDataBlock = true;
    scratch.scratchpad = "ABCDE";
    TargetSnapshot noScratch = Eastbound(6);
    noScratch.fullDataBlock = true;
    TargetSnapshot coasting = Eastbound(2);
    coasting.fullDataBlock = true;
    coasting.coasting = true;
    coasting.transponderMode = 'Y';
    TargetSnapshot mismatchEven = Eastbound(2);
    mismatchEven.fullDataBlock = true;
    mismatchEven.assignedCode = 4321;
    TargetSnapshot mismatchOdd = mismatchEven;
    mismatchOdd.blinkPhase = 3;
    TargetSnapshot duplicate = Eastbound(1);
    duplicate.fullDataBlock = true;
    duplicate.duplicateCode = true;
    TargetSnapshot special = duplicate;
    special.squawk = 1236;
    special.blinkPhase = 3;
    TargetSnapshot alertLimited = Eastbound(1);
    alertLimited.squawk = 1236;
    TargetSnapshot coastAlert = alertLimited;
    coastAlert.coasting = true;
    TargetSnapshot plain = Eastbound(1);
    plain.isHeavy = true;
    TargetSnapshot plainCoast = plain;
    plainCoast.coasting = true;
    Case cases[] = {
        {"full, phase 1", full, {{{0, 12}, "ABC123/r "}, {{0, 0}, "123E25 VH"}}, {x, y + 31, x + 57, y}},
        {"full, scratchpad's last three",
         scratch,
         {{{0, 12}, "ABC123 "}, {{0, 0}, "CDE B738"}},
         {x, y + 31, x + 57, y}},
        {"full, no scratchpad",
         noScratch,
         {{{0, 12}, "ABC123 "}, {{0, 0}, "123 B738"}},
         {x, y + 31, x + 57, y}},
        {"full, coasting, ident",
         coasting,
         {{{0, 12}, "ABC123 ID"}, {{0, 0}, "CST 25 "}},
         {x, y + 31, x + 57, y}},
        {"code mismatch, even",
         mismatchEven,
         {{{0, 12}, "ABC123 "}, {{0, 0}, "123 25 "}, {{0, -12}, "1234 4321"}},
         {x, y + 31, x + 57, y - 12}},
        {"code mismatch, odd",
         mismatchOdd,
         {{{0, 12}, "ABC123 "}, {{0, 0}, "123 25 "}, {{0, -12}, "1234"}},
         {x, y + 31, x + 57, y - 12}},
        {"duplicate",
         duplicate,
         {{{0, 12}, "ABC123 "}, {{0, 0}, "123 25 "}, {{0, -12}, "DB"}},
         {x, y + 31, x + 57, y - 12}},
        {"an alert code hides line 3",
         special,
         {{{0, 12}, "ABC123 "}, {{0, 0}, "123 25 "}},
         {x, y + 31, x + 57, y}},
        {"limited with alert", alertLimited, {{{0, 12}, "1236"}, {{0, 0}, "123 25"}}, {x, y + 31, x + 44, y}},
        {"limited with alert, coasting",
         coastAlert,
         {{{0, 12}, "1236"}, {{0, 0}, "CST 25"}},
         {x, y + 31, x + 44, y}},
        {"limited plain", plain, {{{0, 12}, "123 H"}}, {x, y + 19, x + 30, y + 8}},
        {"limited plain, coasting", plainCoast, {{{0, 12}, "CST"}}, {x, y + 19, x + 30, y + 8}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = c.t;
        EXPECT_EQ(Build(t), c.rect);
        ExpectTexts({x, y}, c.lines, kDataBlockRgb, 126);
    }
}

TEST_F(StarsBuilderTest, WestSideLimitedBlocksMoveRight) {
    struct Case {
        int position;
        bool alert;
        int left;
    } cases[] = {
        {4, true, 200 - 83 + 10}, {4, false, 200 - 83 + 30}, {1, false, 200 - 78 + 30}, {6, false, 226}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position);
        TargetSnapshot t = Eastbound(1);
        t.position = PointAt(200, 150);
        t.squawk = c.alert ? 7600 : 1234;
        t.tagPosition = c.position;
        EXPECT_EQ(Build(t).left, c.left);
    }
}

TEST_F(StarsBuilderTest, ShortLeadersAreNotDrawn) {
    for (int leader : {4, 5}) {
        SCOPED_TRACE(leader);
        TargetSnapshot t = Eastbound(1);
        t.position = PointAt(200, 150);
        t.fullDataBlock = true;
        t.tagPosition = 2;
        t.leaderLength = static_cast<int16_t>(leader);
        TagRect r = Build(t);
        EXPECT_EQ(r.bottom, 150 - 25 - leader);
        EXPECT_EQ(AnyIn(kDataBlockRgb, 199, 150 - 10 - leader, 200, 146), leader > 4);
    }
}

TEST_F(StarsBuilderTest, AlertTextsInTheAlertColour) {
    struct Case {
        const char* name;
        uint16_t squawk;
        bool conflict;
        bool alarm;
        uint16_t phase;
        const char* text;
    } cases[] = {
        {"MI even", 7777, false, false, 2, "MI"},
        {"EM even", 7700, false, false, 2, "EM"},
        {"RF odd: none", 7600, false, false, 1, ""},
        {"HJ even", 7500, false, false, 4, "HJ"},
        {"SA even", 1236, false, false, 6, "SA"},
        {"CA odd", 1234, true, false, 1, "CA"},
        {"CA odd while the alarm sounds: none", 1234, true, true, 1, ""},
        {"CA even while the alarm sounds", 1234, true, true, 2, "CA"},
    };
    PlayingAlarm alarm;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_alarmSound = c.alarm ? &alarm : nullptr;
        TargetSnapshot t = Eastbound(c.phase);
        t.squawk = c.squawk;
        t.inConflict = c.conflict;
        TagRect r = Build(t);
        if (*c.text) {
            ExpectTexts({r.left, r.bottom}, {{{0, 24}, c.text}}, kAlertRgb, 124);
        } else {
            EXPECT_FALSE(AnyIn(kAlertRgb, 0, 0, kWidth - 1, kHeight - 1));
        }
    }
}

TEST_F(StarsBuilderTest, IdentDimsTheBlockInOddPhasesAndHandoffsBlinkOff) {
    TargetSnapshot t = Eastbound(1);
    t.fullDataBlock = true;
    t.transponderMode = 'Y';
    Build(t);
    EXPECT_TRUE(AnyIn({0, 84, 0}, 0, 0, kWidth - 1, kHeight - 1));
    EXPECT_FALSE(AnyIn(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1));
    for (uint16_t phase = 1; phase <= 8; ++phase) {
        SCOPED_TRACE(phase);
        t = Eastbound(phase);
        t.incomingHandoff = true;
        bool off = phase == 4 || phase == 8;
        EXPECT_EQ(Build(t).IsEmpty(), off);
        EXPECT_EQ(AnyIn(kDataBlockRgb, 0, 0, kWidth - 1, kHeight - 1), !off);
    }
}

TEST_F(StarsBuilderTest, ABadPlotBearingOrExtentDrawsNoGarbage) {
    TargetSnapshot t = Eastbound(1);
    t.plotBearing = std::nan("");
    t.plotExtent = std::nan("");
    TagRect r = Build(t);
    EXPECT_DOUBLE_EQ(t.plotExtent, 0.1);
    EXPECT_TRUE(Near(100, 150, kSymbolRgb, 3));
    EXPECT_TRUE(AnyIn(kDataBlockRgb, r));
}

}  // namespace
