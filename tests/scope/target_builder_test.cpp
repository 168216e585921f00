// The steps all target builders share: hidden targets, the history points
// and their limit, tag placement with the diagonal leader, the voice suffix,
// depths, the result box, the separation ring and the vector line; and the
// manager's builder per radar mode.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "scope/target_builder_simple.h"
#include "target_builder_fixture.h"

namespace {

// The shared steps made public; Build draws nothing.
class ContractBuilder : public TarqTargetBuilder {
public:
    using TarqTargetBuilder::TarqTargetBuilder;
    TagRect Build(TargetSnapshot&) override { return TagRect::Empty(); }

    using TarqTargetBuilder::CallsignLine;
    using TarqTargetBuilder::DataBlockDepth;
    using TarqTargetBuilder::DataBlockRect;
    using TarqTargetBuilder::DrawSepRing;
    using TarqTargetBuilder::DrawVectorLine;
    using TarqTargetBuilder::FormatLine;
    using TarqTargetBuilder::IsDataBlockHidden;
    using TarqTargetBuilder::IsHandoffBlinkOff;
    using TarqTargetBuilder::IsHidden;
    using TarqTargetBuilder::PlaceTag;
    using TarqTargetBuilder::ScreenPoints;
    using TarqTargetBuilder::VoiceSuffix;
};

// Encodes what the table was asked: leader start (position, 0), leader end
// (length, 0), origin (0, length).
int g_tableCalls = 0;
TagOffsets RecordingTable(int position, int length) {
    ++g_tableCalls;
    return {{position, 0}, {length, 0}, {0, length}};
}

class TargetBuilderContractTest : public TargetBuilderFixture {
protected:
    void SetUp() override {
        TargetBuilderFixture::SetUp();
        builderOwner = std::make_unique<ContractBuilder>(manager.get());
    }
    std::unique_ptr<ContractBuilder> builderOwner;
    ContractBuilder& builder() { return *builderOwner; }
};

TEST_F(TargetBuilderContractTest, HiddenOnlyWithoutSeeAll) {
    TargetSnapshot t = MakeTarget();
    EXPECT_FALSE(ContractBuilder::IsHidden(t));
    t.hideSymbol = true;
    EXPECT_TRUE(ContractBuilder::IsHidden(t));
    t.seeAll = true;
    EXPECT_FALSE(ContractBuilder::IsHidden(t));

    t = MakeTarget();
    t.hideDataBlock = true;
    EXPECT_TRUE(ContractBuilder::IsDataBlockHidden(t));
    t.seeAll = true;
    EXPECT_FALSE(ContractBuilder::IsDataBlockHidden(t));
}

TEST_F(TargetBuilderContractTest, HistoryPointsSkipZeroCoordinatesAndStopAtTheHistoryCount) {
    const ScopePoint zeroX{0.0, 10.0};
    const ScopePoint zeroY{10.0, 0.0};
    auto pixels = [](std::vector<int> xs) {
        std::vector<PixelPoint> out;
        for (int x : xs) out.push_back({x, 150});
        return out;
    };
    auto history = [&](int n) {
        std::vector<ScopePoint> out;
        for (int i = 1; i <= n; ++i) out.push_back(PointAt(200 - 10 * i, 150));
        return out;
    };
    struct Case {
        const char* name;
        int historyCount;
        std::vector<ScopePoint> history;
        std::vector<PixelPoint> expected;
    } cases[] = {
        {"count 0: only the current position", 0, history(5), pixels({200})},
        {"count 5 of 12 stored", 5, history(12), pixels({200, 190, 180, 170, 160, 150})},
        {"fewer stored than the count", 5, history(2), pixels({200, 190, 180})},
        {"zero entries are skipped and not counted",
         2,
         {zeroX, PointAt(190, 150), zeroY, PointAt(180, 150), PointAt(170, 150)},
         pixels({200, 190, 180})},
        {"only zero entries", 5, {zeroX, zeroY, {0.0, 0.0}}, pixels({200})},
        {"a negative count is 0", -3, history(2), pixels({200})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.ints["HistoryCount"] = c.historyCount;
        TargetSnapshot t = MakeTarget(200, 150);
        t.history = c.history;
        EXPECT_EQ(builder().ScreenPoints(t), c.expected);
    }
}

TEST_F(TargetBuilderContractTest, TagPlacementCutsDiagonalLeadersAndWritesThemBack) {
    const PixelPoint symbol{100, 80};
    struct Case {
        const char* name;
        int position;
        int leader;
        int rowAsked;   // the table row used; 0 when none
        int effective;  // the length placed and left in the record
    } cases[] = {
        {"9: three quarters of 20", 9, 20, 9, 15},
        {"1: 1 becomes 0", 1, 1, 1, 0},
        {"3: 7 becomes 5 (truncated)", 3, 7, 3, 5},
        {"7: a negative length truncates toward zero", 7, -7, 7, -5},
        {"2: straight positions keep the length", 2, 20, 2, 20},
        {"5 is placed like 6", 5, 20, 6, 20},
        {"0 is out of range", 0, 20, 0, 20},
        {"10 is out of range", 10, 20, 0, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = MakeTarget();
        t.tagPosition = c.position;
        t.leaderLength = static_cast<int16_t>(c.leader);
        g_tableCalls = 0;
        TagPlacement tag = ContractBuilder::PlaceTag(t, symbol, &RecordingTable);
        EXPECT_EQ(t.leaderLength, c.effective);
        EXPECT_EQ(tag.leaderLength, c.effective);
        if (c.rowAsked == 0) {
            EXPECT_EQ(g_tableCalls, 0);
            EXPECT_EQ(tag.leaderStart, symbol);
            EXPECT_EQ(tag.leaderEnd, symbol);
            EXPECT_EQ(tag.origin, symbol);
        } else {
            EXPECT_EQ(g_tableCalls, 1);
            EXPECT_EQ(tag.leaderStart, (PixelPoint{symbol.x + c.rowAsked, symbol.y}));
            EXPECT_EQ(tag.leaderEnd, (PixelPoint{symbol.x + c.effective, symbol.y}));
            EXPECT_EQ(tag.origin, (PixelPoint{symbol.x, symbol.y + c.effective}));
        }
    }
}

TEST_F(TargetBuilderContractTest, CallsignLineCarriesTheVoiceSuffix) {
    struct Case {
        int voice;
        const char* line;
    } cases[] = {{1, "ABC123/t"}, {2, "ABC123/r"}, {3, "ABC123"},
                 {0, "ABC123/?"}, {4, "ABC123/?"}, {-1, "ABC123/?"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.voice);
        TargetSnapshot t = MakeTarget();
        t.voiceType = c.voice;
        EXPECT_EQ(ContractBuilder::CallsignLine(t), c.line);
    }
}

TEST_F(TargetBuilderContractTest, DataBlockLinesAreCutToFiftyCharacters) {
    std::string longText(80, 'X');
    EXPECT_EQ(ContractBuilder::FormatLine("%s%s", longText.c_str(), "/t"), std::string(50, 'X'));
    EXPECT_EQ(ContractBuilder::FormatLine("%03d %s", 35, "CSTG"), "035 CSTG");
}

TEST_F(TargetBuilderContractTest, DataBlockDepthByTrackingAndFullBlock) {
    struct Case {
        bool tracked;
        bool full;
        double depth;
    } cases[] = {{false, false, 0.99}, {false, true, 0.995}, {true, false, 0.998}, {true, true, 0.998}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tracked << c.full);
        TargetSnapshot t = MakeTarget();
        t.trackedByMe = c.tracked;
        t.fullDataBlock = c.full;
        EXPECT_EQ(ContractBuilder::DataBlockDepth(t), c.depth);
    }
}

TEST_F(TargetBuilderContractTest, HandoffBlinksOffInPhasesFourAndEight) {
    TargetSnapshot t = MakeTarget();
    for (uint16_t phase = 1; phase <= 8; ++phase) {
        SCOPED_TRACE(phase);
        t.blinkPhase = phase;
        t.incomingHandoff = false;
        EXPECT_FALSE(ContractBuilder::IsHandoffBlinkOff(t));
        t.incomingHandoff = true;
        EXPECT_EQ(ContractBuilder::IsHandoffBlinkOff(t), phase == 4 || phase == 8);
    }
}

TEST_F(TargetBuilderContractTest, TheResultBoxAndTheEmptyRectangle) {
    EXPECT_EQ(ContractBuilder::DataBlockRect({100, 50}), (TagRect{100, 83, 148, 50}));
    EXPECT_EQ(ContractBuilder::DataBlockRect({100, 50}, 54), (TagRect{100, 83, 154, 50}));
    TagRect empty = TagRect::Empty();
    EXPECT_TRUE(empty.IsEmpty());
    const std::pair<int, int> corners[] = {{0, 0}, {1, 1}, {1, 0}, {0, 1}};
    for (auto [x, y] : corners) EXPECT_FALSE(empty.Contains(x, y));
    TagRect box = ContractBuilder::DataBlockRect({100, 50});
    EXPECT_FALSE(box.IsEmpty());
    EXPECT_TRUE(box.Contains(100, 50));
    EXPECT_TRUE(box.Contains(148, 83));
    EXPECT_FALSE(box.Contains(149, 60));
}

TEST_F(TargetBuilderContractTest, SeparationRingWhenTrackedAndFastOrInConflict) {
    host.ints["CALateralMin"] = 3;  // 30 pixels at 0.1 NM a pixel
    struct Case {
        const char* name;
        bool ringsOn;
        bool tracked;
        int speed;
        bool conflict;
        bool onConflict;  // "ShowSepRingsOnCA"
        bool drawn;
    } cases[] = {
        {"tracked at 40 kt with the rings on", true, true, 40, false, false, true},
        {"tracked at 39 kt", true, true, 39, false, false, false},
        {"the rings off", false, true, 300, false, false, false},
        {"not tracked", true, false, 300, false, false, false},
        {"conflict, tracked, shown on conflict", false, true, 0, true, true, true},
        {"conflict, tracked, not shown on conflict", false, true, 0, true, false, false},
        {"conflict, not tracked", true, false, 300, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (manager->GetShowSepRings() != c.ringsOn) manager->ToggleSepRings();
        host.bools["ShowSepRingsOnCA"] = c.onConflict;
        TargetSnapshot t = MakeTarget(200, 150);
        t.trackedByMe = c.tracked;
        t.groundSpeed = c.speed;
        t.inConflict = c.conflict;
        Clear();
        PrepareTargetPass();
        builder().DrawSepRing(t, {200, 150});
        manager->GetBatch().Flush();
        glFinish();
        bool ring = false;
        for (Rgb color : {kRingRgb, kRingBlinkRgb})
            ring = ring || (Near(230, 150, color) && Near(170, 150, color) && Near(200, 180, color));
        EXPECT_EQ(ring, c.drawn);
        EXPECT_FALSE(Near(215, 150, kRingRgb, 3) || Near(215, 150, kRingBlinkRgb, 3));
    }
}

TEST_F(TargetBuilderContractTest, ARingInConflictBlinksEveryHalfSecond) {
    manager->ToggleSepRings();
    TargetSnapshot t = MakeTarget(200, 150);
    t.trackedByMe = true;
    t.inConflict = true;
    struct Case {
        uint64_t ms;
        Rgb color;
    } cases[] = {
        {1000000, kRingBlinkRgb}, {1000499, kRingBlinkRgb}, {1000500, kRingRgb}, {1000999, kRingRgb}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ms);
        clock.Advance(c.ms - clock.NowMs());
        Clear();
        PrepareTargetPass();
        builder().DrawSepRing(t, {200, 150});
        manager->GetBatch().Flush();
        glFinish();
        EXPECT_TRUE(Near(230, 150, c.color));
    }
    t.inConflict = false;  // tracked and fast: drawn, steady
    clock.Advance(2000);
    Clear();
    PrepareTargetPass();
    builder().DrawSepRing(t, {200, 150});
    manager->GetBatch().Flush();
    glFinish();
    EXPECT_TRUE(Near(230, 150, kRingRgb));
}

TEST_F(TargetBuilderContractTest, VectorLineAlongTheTrackForMinutesOrMiles) {
    struct Case {
        const char* name;
        bool timeBased;
        int length;
        int speed;
        double track;
        double scale;
        PixelPoint end;  // from (200, 150); 60 pixels is 6 NM
    } cases[] = {
        {"1 minute at 360 kt, east", true, 1, 360, 90.0, 1.0, {260, 150}},
        {"6 NM, north", false, 6, 360, 360.0, 1.0, {200, 210}},
        {"6 NM east at a longitude scale of 0.75", false, 6, 100, 90.0, 0.75, {260, 150}},
        {"2 minutes at 90 kt, south", true, 2, 90, 180.0, 1.0, {200, 120}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LongitudeScale = c.scale;
        host.bools["TimeBasedVector"] = c.timeBased;
        TargetSnapshot t = MakeTarget(200, 150);
        t.trackedByMe = true;
        t.vectorLength = c.length;
        t.groundSpeed = c.speed;
        t.track = c.track;
        PixelPoint from = PixelOf(t.position);
        Clear();
        PrepareTargetPass();
        builder().DrawVectorLine(t, from);
        manager->GetBatch().Flush();
        glFinish();
        int dx = (c.end.x > 200) - (c.end.x < 200);
        int dy = (c.end.y > 150) - (c.end.y < 150);
        EXPECT_TRUE(Near(c.end.x - 3 * dx, c.end.y - 3 * dy, kVectorRgb)) << "near the end";
        EXPECT_FALSE(Near(c.end.x + 5 * dx, c.end.y + 5 * dy, kVectorRgb, 2)) << "not beyond it";
    }
}

TEST_F(TargetBuilderContractTest, NoVectorLineUntrackedOrStanding) {
    host.bools["TimeBasedVector"] = false;
    const std::pair<bool, int> cases[] = {{false, 300}, {true, 0}};
    for (auto [tracked, speed] : cases) {
        TargetSnapshot t = MakeTarget(200, 150);
        t.trackedByMe = tracked;
        t.groundSpeed = speed;
        t.vectorLength = 6;
        t.track = 90.0;
        Clear();
        PrepareTargetPass();
        builder().DrawVectorLine(t, {200, 150});
        manager->GetBatch().Flush();
        glFinish();
        EXPECT_FALSE(AnythingDrawn());
    }
}

// Speed times minutes overflowed an int, and a vector of thousands of
// miles projected past any pixel an int holds.
TEST_F(TargetBuilderContractTest, AHugeVectorStillLeavesTheSymbolEastward) {
    host.bools["TimeBasedVector"] = true;
    TargetSnapshot t = MakeTarget(200, 150);
    t.trackedByMe = true;
    t.groundSpeed = 2'000'000'000;
    t.vectorLength = 2'000'000'000;
    t.track = 90.0;
    Clear();
    PrepareTargetPass();
    builder().DrawVectorLine(t, PixelOf(t.position));
    manager->GetBatch().Flush();
    glFinish();
    EXPECT_TRUE(Near(390, 150, kVectorRgb)) << "drawn to the viewport's edge";
}

TEST_F(TargetBuilderContractTest, EveryRadarModeHasABuilderOwnedByTheManager) {
    for (int mode : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}) {
        SCOPED_TRACE(mode);
        SetRadarMode(mode);
        EXPECT_EQ(manager->GetRadarMode(), mode);
        EXPECT_EQ(manager->GetBuilder().Owner(), manager.get());
    }
    SetRadarMode(1);
    EXPECT_NE(dynamic_cast<TarqTargetBuilderSimple*>(&manager->GetBuilder()), nullptr);
}

}  // namespace
