// The TAAATS radar mode drawn offscreen: symbol colours and shapes, the
// selection octagon, ident, history and vector ticks, alert words and frames,
// the short and the full block, placement, the anchor block and wild vectors.
#include "scope/target_builder_taaats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "target_builder_fixture.h"

namespace {

constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kMine{200, 255, 200};
constexpr Rgb kMineSelected{0, 255, 0};
constexpr Rgb kOther{0, 0, 188};
constexpr Rgb kHandoff{255, 205, 105};
constexpr Rgb kCyan{0, 255, 255};
constexpr Rgb kHighMarker{255, 204, 0};
constexpr Rgb kGrey{64, 64, 64};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kAnchorRgb{255, 0, 128};

class TaaatsBuilderTest : public TargetBuilderFixture {
protected:
    void SetUp() override {
        TargetBuilderFixture::SetUp();
        SetRadarMode(10);
        host.colors["ColorAnchorLines"] = static_cast<int>(PackRgb(kAnchorRgb));
    }
    PixelSet Around(PixelPoint p, Rgb color, int r = 9) const {
        return Pixels(color, p.x - r, p.y - r, p.x + r, p.y + r);
    }
    PixelSet All(Rgb color) const { return Pixels(color, 0, 0, kWidth - 1, kHeight - 1); }
    PixelSet Reference(PixelPoint p, Rgb color, GLenum mode, const std::vector<PixelPoint>& vertices) {
        Clear();
        PrepareTargetPass();
        glColor3ub(static_cast<GLubyte>(color[0]), static_cast<GLubyte>(color[1]),
                   static_cast<GLubyte>(color[2]));
        glBegin(mode);
        for (PixelPoint v : vertices) glVertex3d(p.x + v.x, p.y + v.y, 0.97);
        glEnd();
        glFinish();
        return Around(p, color);
    }
    TagRect BuildOnGrey(TargetSnapshot& t) {
        glClearColor(0.25f, 0.25f, 0.25f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return Build(t, false);
    }
    // The user's target at (100, 150), full block at tag position 6: origin
    // (100 + 20 + 2, 150 - 10).
    TargetSnapshot Mine() const {
        TargetSnapshot t = MakeTarget(100, 150);
        t.trackedByMe = true;
        t.ownerId = "--";
        t.groundSpeed = 0;
        t.altitude = 5000;
        t.previousAltitude = 5000;
        t.cruiseAltitude = 35000;
        t.destination = "YSSY";
        t.scratchpad = "YSSY";
        t.equipmentSuffix = "w";
        t.weightClass = "S+";
        return t;
    }
    static constexpr PixelPoint kOrigin{122, 140};
};

TEST_F(TaaatsBuilderTest, SymbolColourByHandoffTrackingAndSelection) {
    struct Case {
        const char* name;
        bool handoff, incoming, mine;
        const char* owner;
        bool selected;
        Rgb expected;
    } cases[] = {
        {"handing off", true, false, true, "--", true, kHandoff},
        {"offered", false, true, false, "CC", false, kHandoff},
        {"mine", false, false, true, "--", false, kMine},
        {"mine selected", false, false, true, "--", true, kMineSelected},
        {"another's", false, false, false, "CC", false, kOther},
        {"another's selected", false, false, false, "CC", true, kWhite},
        {"untracked selected", false, false, false, "", true, kWhite},
        {"untracked", false, false, false, "", false, kBlack},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = MakeTarget(200, 150);
        t.handoffTargetId = c.handoff ? "DD" : "";
        t.incomingHandoff = c.incoming;
        t.trackedByMe = c.mine;
        t.ownerId = c.owner;
        t.isRadioSelected = c.selected;
        t.tagPosition = 3;
        t.leaderLength = 60;
        BuildOnGrey(t);
        EXPECT_FALSE(Around({200, 150}, c.expected, 6).empty());
    }
}

TEST_F(TaaatsBuilderTest, SymbolShapeByCode) {
    host.vfrCodes = {1200};
    const PixelPoint p{200, 150};
    PixelSet cup = Reference(p, kMine, GL_LINE_STRIP, {{-4, 5}, {-4, -4}, {4, -4}, {4, 5}});
    PixelSet hourglass = Reference(p, kMine, GL_LINES,
                                   {{-5, -5}, {5, -5}, {5, -5}, {-5, 5}, {-5, 4}, {5, 4}, {5, 5}, {-5, -5}});
    Clear();
    PrepareTargetPass();
    glColor3ub(200, 255, 200);
    glBegin(GL_LINE_STRIP);
    for (PixelPoint v : {PixelPoint{-4, 4}, {-4, -4}, {4, -4}, {4, 4}})
        glVertex3d(p.x + v.x, p.y + v.y, 0.97);
    glEnd();
    glBegin(GL_LINES);
    glVertex3d(p.x + 5, p.y + 4, 0.97);
    glVertex3d(p.x - 4, p.y + 4, 0.97);
    glEnd();
    glFinish();
    PixelSet square = Around(p, kMine);
    Clear();
    PrepareTargetPass();
    glColor3ub(200, 255, 200);
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < 30; ++i) {
        double a = i * 2.0 * M_PI / 30;
        glVertex3d(p.x + 5 * std::cos(a), p.y + 5 * std::sin(a), 0.97);
    }
    glEnd();
    glFinish();
    PixelSet circle = Around(p, kMine);
    struct Case {
        const char* name;
        uint16_t squawk;
        bool coasting;
        const PixelSet* expected;  // null: the code-2000 glyph, only seen drawn
    } cases[] = {
        {"0100 before coasting", 100, true, &cup},
        {"2000", 2000, false, nullptr},
        {"VFR before coasting", 1200, true, &hourglass},
        {"coasting", 4321, true, &square},
        {"any other", 4321, false, &circle},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = Mine();
        t.position = PointAt(p.x, p.y);
        t.squawk = c.squawk;
        t.coasting = c.coasting;
        t.filtered = true;  // no leader or block
        Build(t);
        if (c.expected) {
            EXPECT_EQ(Around(p, kMine), *c.expected);
        } else {
            EXPECT_FALSE(Around(p, kMine, 12).empty());
        }
    }
}

TEST_F(TaaatsBuilderTest, AStandbyTargetShowsOnlyABlackCrossAndItsOctagon) {
    TargetSnapshot t = Mine();
    t.position = PointAt(200, 150);
    t.transponderMode = 'S';
    t.history = {PointAt(150, 150)};
    EXPECT_EQ(BuildOnGrey(t), TagRect::Empty());
    EXPECT_TRUE(Near(205, 150, kBlack, 1));
    EXPECT_TRUE(Near(200, 155, kBlack, 1));
    EXPECT_EQ(At(200, 144), kGrey);
    EXPECT_TRUE(Pixels(kMine, 0, 0, kWidth - 1, kHeight - 1).empty()) << "no octagon, history or block";

    t = Mine();
    t.position = PointAt(200, 150);
    t.transponderMode = 'S';
    t.isRadioSelected = true;
    BuildOnGrey(t);
    PixelSet octagon = Reference({200, 150}, kMineSelected, GL_LINES,
                                 {{-3, -8},
                                  {3, -8},
                                  {3, -8},
                                  {8, -3},
                                  {8, -3},
                                  {8, 4},
                                  {8, 4},
                                  {4, 8},
                                  {4, 8},
                                  {-3, 8},
                                  {-3, 8},
                                  {-8, 3},
                                  {-8, 3},
                                  {-8, -2},
                                  {-8, -2},
                                  {-2, -8}});
    t = Mine();
    t.position = PointAt(200, 150);
    t.transponderMode = 'S';
    t.isRadioSelected = true;
    BuildOnGrey(t);
    EXPECT_EQ(Around({200, 150}, kMineSelected), octagon);
    EXPECT_EQ(All(kMineSelected), octagon) << "nothing else";
}

TEST_F(TaaatsBuilderTest, TheCircleAndHourglassOctagonIsNarrower) {
    // The leader runs straight down: above the circle only the octagon shows.
    PixelSet narrow = Reference({200, 150}, kMineSelected, GL_LINES,
                                {{-3, -8},
                                 {2, -8},
                                 {2, -8},
                                 {7, -3},
                                 {7, -3},
                                 {7, 3},
                                 {7, 3},
                                 {3, 7},
                                 {3, 7},
                                 {-3, 7},
                                 {-3, 7},
                                 {-8, 2},
                                 {-8, 2},
                                 {-8, -2},
                                 {-8, -2},
                                 {-2, -8}});
    narrow = Pixels(kMineSelected, 190, 156, 210, 160);
    TargetSnapshot t = Mine();
    t.position = PointAt(200, 150);
    t.isRadioSelected = true;
    t.tagPosition = 2;
    t.leaderLength = 60;
    Build(t);
    EXPECT_FALSE(narrow.empty());
    EXPECT_EQ(Pixels(kMineSelected, 190, 156, 210, 160), narrow);
}

TEST_F(TaaatsBuilderTest, AnIdentingSymbolShowsCyanForHalfOfEverySecond) {
    TargetSnapshot t = Mine();
    t.position = PointAt(200, 150);
    t.transponderMode = 'Y';
    t.filtered = true;
    clock.Advance(499 - clock.NowMs() % 1000);
    Build(t);
    EXPECT_TRUE(Around({200, 150}, kCyan).empty());
    EXPECT_TRUE(Around({200, 150}, kMine).empty());
    clock.Advance(1);
    Build(t);
    EXPECT_FALSE(Around({200, 150}, kCyan, 6).empty());
    EXPECT_TRUE(Around({200, 150}, kMine).empty());
}

TEST_F(TaaatsBuilderTest, HistoryAndVectorTicksAreTheGlyph) {
    host.ints["HistoryCount"] = 1;
    TargetSnapshot t = Mine();
    t.position = PointAt(100, 150);
    t.history = {PointAt(60, 150), PointAt(30, 150)};
    t.groundSpeed = 300;
    t.track = 90.0;
    t.vectorLength = 3;  // 30 pixels, ticks at 10 and 20
    t.tagPosition = 8;
    Build(t);
    PixelSet drawn = All(kMine);
    auto glyphAt = [&](PixelPoint at) {
        Clear();
        DrawReferenceText(at, "\xDC", kMine);
        return All(kMine);
    };
    auto contains = [](const PixelSet& all, const PixelSet& part) {
        return !part.empty() && std::includes(all.begin(), all.end(), part.begin(), part.end());
    };
    PixelSet history = glyphAt({57, 146});
    EXPECT_EQ(Pixels(kMine, 0, 0, 80, kHeight - 1), history) << "one history glyph";
    EXPECT_TRUE(contains(drawn, glyphAt({108, 146})));
    EXPECT_TRUE(contains(drawn, glyphAt({118, 146})));
    EXPECT_FALSE(contains(drawn, glyphAt({128, 146}))) << "none at the end";
    EXPECT_TRUE(Near(125, 150, kMine, 1)) << "the vector line";
}

TEST_F(TaaatsBuilderTest, AHugeVectorStopsAtTheViewport) {
    TargetSnapshot t = Mine();
    t.position = PointAt(100, 150);
    t.groundSpeed = 2000;
    t.track = 90.0;
    t.vectorLength = 2000000000;
    host.bools["TimeBasedVector"] = true;
    Build(t);
    EXPECT_TRUE(Near(395, 150, kMine, 1));
}

TEST_F(TaaatsBuilderTest, AlertWordPresentation) {
    struct Case {
        const char* name;
        void (*change)(TargetSnapshot&);
        const char* word;  // null: none
        Rgb wordColor, boxColor, frameColor;
    } cases[] = {
        {"coasting before emergency", [](TargetSnapshot& t) { t.coasting = true, t.squawk = 7700; }, "CSTA",
         kYellow, kBlack, kYellow},
        {"conflict", [](TargetSnapshot& t) { t.inConflict = true; }, "STCA", kYellow, kRed, kYellow},
        {"emergency", [](TargetSnapshot& t) { t.squawk = 7700; }, "EMRG", kRed, kYellow, kRed},
        {"hijack", [](TargetSnapshot& t) { t.squawk = 7500; }, "HIJK", kRed, kYellow, kRed},
        {"radio failure", [](TargetSnapshot& t) { t.squawk = 7600; }, "RDOF", kRed, kYellow, kYellow},
        {"leaving the cleared level",
         [](TargetSnapshot& t) { t.temporaryAltitude = 8000, t.previousAltitude = 5000, t.altitude = 4900; },
         "CLAM", kYellow, kBlack, kYellow},
        {"climbing towards it",
         [](TargetSnapshot& t) { t.temporaryAltitude = 8000, t.previousAltitude = 4900, t.altitude = 5000; },
         nullptr, kYellow, kBlack, kYellow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = Mine();
        c.change(t);
        TagRect r = Build(t);
        PixelPoint o = kOrigin;
        EXPECT_EQ(r, (TagRect{o.x, o.y + 8 * (c.word ? 3 : 2), o.x + 77, o.y}));
        if (!c.word) {
            EXPECT_TRUE(All(kRed).empty());
            EXPECT_TRUE(All(kYellow).empty());
            continue;
        }
        EXPECT_EQ(At(o.x + 50, o.y + 23), c.boxColor) << "the box behind the word";
        EXPECT_TRUE(Near(o.x + 77, o.y, c.frameColor, 1)) << "the frame";
        PixelSet word = Pixels(c.wordColor, o.x + 49, o.y + 24, o.x + 74, o.y + 32);
        glClearColor(static_cast<float>(c.boxColor[0]) / 255, static_cast<float>(c.boxColor[1]) / 255,
                     static_cast<float>(c.boxColor[2]) / 255, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawReferenceText(o + PixelPoint{49, 24}, c.word, c.wordColor);
        glClearColor(0, 0, 0, 1);
        EXPECT_EQ(word, Pixels(c.wordColor, o.x + 49, o.y + 24, o.x + 74, o.y + 32));
    }
}

TEST_F(TaaatsBuilderTest, AConflictBoxesTheCallsignLineInRed) {
    TargetSnapshot t = Mine();
    t.inConflict = true;
    Build(t);
    // "ABC123 M": 8 characters, a box 49 pixels wide from 10 to 22 above the origin.
    EXPECT_EQ(At(kOrigin.x + 1, kOrigin.y + 11), kRed);
    EXPECT_EQ(At(kOrigin.x + 48, kOrigin.y + 11), kRed);
    EXPECT_NE(At(kOrigin.x + 51, kOrigin.y + 11), kRed);
    EXPECT_FALSE(Pixels(kYellow, kOrigin.x, kOrigin.y + 10, kOrigin.x + 48, kOrigin.y + 22).empty())
        << "the callsign over it";
    EXPECT_TRUE(Pixels(kMine, kOrigin.x, kOrigin.y + 10, kOrigin.x + 48, kOrigin.y + 22).empty());
}

TEST_F(TaaatsBuilderTest, NoFrameAroundAnotherControllersTarget) {
    TargetSnapshot t = Mine();
    t.trackedByMe = false;
    t.ownerId = "CC";
    t.squawk = 7700;
    Build(t);
    EXPECT_EQ(At(kOrigin.x + 50, kOrigin.y + 23), kYellow);
    EXPECT_FALSE(Near(kOrigin.x + 77, kOrigin.y, kRed, 2));
    EXPECT_FALSE(Near(kOrigin.x + 77, kOrigin.y, kYellow, 2));
}

TEST_F(TaaatsBuilderTest, FullBlockLines) {
    struct Case {
        const char* name;
        void (*change)(TargetSnapshot&);
        std::vector<std::pair<PixelPoint, std::string>> lines;  // in the symbol colour
        int lineCount;
    } cases[] = {
        {"level, cruise level and speed",
         [](TargetSnapshot& t) { t.groundSpeed = 250; },
         {{{0, 12}, "ABC123 M"}, {{0, 0}, "050>350 25"}},
         2},
        {"slow: no trend",
         [](TargetSnapshot& t) { t.groundSpeed = 39, t.altitude = 5100; },
         {{{0, 12}, "ABC123 M"}, {{0, 0}, "051 350 03"}},
         2},
        {"climbing to the temporary level",
         [](TargetSnapshot& t) { t.groundSpeed = 40, t.previousAltitude = 4900, t.temporaryAltitude = 6000; },
         {{{0, 12}, "ABC123 M"}, {{0, 0}, "050^060 04"}},
         2},
        {"descending, light",
         [](TargetSnapshot& t) {
             t.groundSpeed = 400, t.previousAltitude = 5100, t.weightClass = "S", t.cruiseAltitude = 0;
         },
         {{{0, 12}, "ABC123 L"}, {{0, 0}, "050v000 40"}},
         2},
        {"heavy, a scratchpad of its own",
         [](TargetSnapshot& t) { t.weightClass = "H", t.scratchpad = "RWY34L"; },
         {{{0, 24}, " RWY34"}, {{0, 12}, "ABC123 H"}, {{0, 0}, "050 350 00"}},
         3},
        {"extended",
         [](TargetSnapshot& t) {
             t.blockToggled = true, t.typeCode = "B744", t.voiceType = kVoiceReceiveOnly;
         },
         {{{0, 12}, "ABC123 M"}, {{0, 0}, "050 350 00"}, {{0, -12}, "YSSY B744 R"}},
         3},
        {"no suffix, low",
         [](TargetSnapshot& t) { t.equipmentSuffix = "", t.cruiseAltitude = 9000; },
         {{{0, 12}, "ABC123 M"}, {{0, 0}, "050 090 00"}, {{49, 0}, "X"}},
         2},
        {"VFR",
         [](TargetSnapshot& t) { t.isVfr = true, t.cruiseAltitude = 0; },
         {{{0, 12}, "ABC123 M"}, {{0, 0}, "050 000 00"}, {{49, 0}, "V"}},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = Mine();
        c.change(t);
        TagRect r = Build(t);
        EXPECT_EQ(r, (TagRect{kOrigin.x, kOrigin.y + 8 * c.lineCount, kOrigin.x + 77, kOrigin.y}));
        PixelSet drawn = Pixels(kMine, kOrigin.x, 0, kWidth - 1, kHeight - 1);
        Clear();
        for (const auto& [at, text] : c.lines) DrawReferenceText(kOrigin + at, text, kMine);
        EXPECT_EQ(drawn, Pixels(kMine, kOrigin.x, 0, kWidth - 1, kHeight - 1));
    }
}

TEST_F(TaaatsBuilderTest, TheHighLevelMarker) {
    TargetSnapshot t = Mine();
    t.equipmentSuffix = "A";
    t.altitude = 29000;
    t.previousAltitude = 29000;
    Build(t);
    PixelSet drawn = All(kHighMarker);
    Clear();
    DrawReferenceText(kOrigin + PixelPoint{49, 0}, "X", kHighMarker);
    EXPECT_FALSE(drawn.empty());
    EXPECT_EQ(drawn, All(kHighMarker));

    t = Mine();
    t.equipmentSuffix = "q";
    t.altitude = 29000;
    Build(t);
    EXPECT_TRUE(All(kHighMarker).empty()) << "a qualifying suffix shows nothing";
}

TEST_F(TaaatsBuilderTest, AWrongCodeGetsTheShortBlock) {
    host.vfrCodes = {1200};
    struct Case {
        const char* name;
        uint16_t squawk, assigned;
        int tagPosition;
        bool isShort;
        PixelPoint origin;
    } cases[] = {
        {"wrong code", 4321, 1234, 6, true, kOrigin},
        {"wrong code on the left moves right", 4321, 1234, 4, true, {100 - 20 - 78 + 40, 140}},
        {"VFR code", 1200, 0, 6, true, kOrigin},
        {"0100", 100, 0, 6, true, kOrigin},
        {"an emergency is never short", 7600, 1234, 6, false, kOrigin},
        {"the right code", 1234, 1234, 6, false, kOrigin},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = Mine();
        t.trackedByMe = false;
        t.ownerId = "CC";
        t.squawk = c.squawk;
        t.assignedCode = c.assigned;
        t.tagPosition = c.tagPosition;
        TagRect r = Build(t);
        if (!c.isShort) {
            EXPECT_EQ(r.right - r.left, 77);
            continue;
        }
        PixelPoint o = c.origin;
        EXPECT_EQ(r, (TagRect{o.x, o.y + 16, o.x + 28, o.y}));
        PixelSet drawn = Pixels(kOther, o.x - 2, o.y - 4, o.x + 30, o.y + 40);
        Clear();
        char code[8];
        std::snprintf(code, sizeof code, "%04d", c.squawk);
        DrawReferenceText(o + PixelPoint{0, 12}, code, kOther);
        DrawReferenceText(o, "050", kOther);
        EXPECT_EQ(drawn, Pixels(kOther, o.x - 2, o.y - 4, o.x + 30, o.y + 40));
    }
}

TEST_F(TaaatsBuilderTest, PlacementByTagPosition) {
    const PixelPoint s{200, 150};
    struct Case {
        int position, leader;
        PixelPoint origin;
        PixelPoint leaderMid;
        int left;
    } cases[] = {
        {1, 20, {-15 - 78, -25}, {-8, -8}, 15}, {1, 1, {3 - 78, -10}, {}, 0},
        {2, 20, {3, -30}, {0, -12}, 20},        {3, 20, {16, -25}, {8, -8}, 15},
        {4, 20, {-98, -10}, {-12, 1}, 20},      {4, 0, {-75, -10}, {}, 0},
        {5, 20, {22, -10}, {12, 1}, 20},        {6, 0, {5, -10}, {}, 0},
        {7, 20, {-93, 5}, {-8, 8}, 15},         {8, 20, {3, 10}, {0, 12}, 20},
        {9, 20, {17, 5}, {8, 8}, 15},           {0, 20, {0, 0}, {}, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position * 100 + c.leader);
        TargetSnapshot t = Mine();
        t.position = PointAt(s.x, s.y);
        t.tagPosition = c.position;
        t.leaderLength = static_cast<int16_t>(c.leader);
        TagRect r = Build(t);
        PixelPoint o = s + c.origin;
        EXPECT_EQ(r, (TagRect{o.x, o.y + 16, o.x + 77, o.y}));
        EXPECT_EQ(t.leaderLength, c.left);
        if (c.leaderMid != PixelPoint{}) {
            EXPECT_TRUE(Near(s.x + c.leaderMid.x, s.y + c.leaderMid.y, kMine));
        }
        EXPECT_TRUE(AnyIn(kMine, r));
    }
}

TEST_F(TaaatsBuilderTest, AFilteredTargetHasNoBlockUnlessSelected) {
    TargetSnapshot t = Mine();
    t.filtered = true;
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_TRUE(Pixels(kMine, 110, 0, kWidth - 1, kHeight - 1).empty());
    t = Mine();
    t.filtered = true;
    t.isRadioSelected = true;
    EXPECT_FALSE(Build(t).IsEmpty());
}

TEST_F(TaaatsBuilderTest, TheAnchorBlockSitsOppositeTheDataBlock) {
    TargetSnapshot t = Mine();
    t.position = PointAt(200, 150);
    t.hasAnchor = true;
    t.anchor.heading = 45;
    t.anchor.distance = 12.25;
    t.anchor.timeToGo = "03:10";
    Build(t);  // tag position 6: side 1, to the left
    PixelPoint d{200 - 46, 150};
    PixelSet drawn = All(kAnchorRgb);
    Clear();
    DrawReferenceText(d + PixelPoint{2, 27}, "12.2", kAnchorRgb);
    DrawReferenceText(d + PixelPoint{2, 15}, "045", kAnchorRgb);
    DrawReferenceText(d + PixelPoint{2, 3}, "03:10", kAnchorRgb);
    PrepareTargetPass();
    glColor3ub(255, 0, 128);
    glBegin(GL_LINE_LOOP);
    for (PixelPoint v : {PixelPoint{0, 0}, {37, 0}, {38, 37}, {0, 37}})
        glVertex3d(d.x + v.x, d.y + v.y, 0.965);
    glEnd();
    glFinish();
    EXPECT_EQ(drawn, All(kAnchorRgb));
}

TEST_F(TaaatsBuilderTest, TheModeHasItsBuilder) {
    EXPECT_NE(dynamic_cast<TarqTargetBuilderTAAATS*>(&manager->GetBuilder()), nullptr);
}

}  // namespace
