// The primary-radar mode's targets drawn offscreen: one bare return for
// every target whatever its transponder, the trail, and never a data block.
#include "scope/target_builder_psr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

#include "target_builder_fixture.h"

namespace {

class PsrBuilderTest : public TargetBuilderFixture {
protected:
    void SetUp() override {
        TargetBuilderFixture::SetUp();
        SetRadarMode(8);
    }
    PixelSet Around(PixelPoint p, Rgb color) const {
        return Pixels(color, p.x - 20, p.y - 20, p.x + 20, p.y + 20);
    }
    // The return as drawn by hand at a point, on a cleared frame.
    PixelSet ReferenceReturn(PixelPoint p, Rgb color) {
        Clear();
        DrawReferenceText(p + PixelPoint{-3, -3}, "\\", color);
        return Around(p, color);
    }
    bool OnlyColours(std::initializer_list<Rgb> allowed) const {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                Rgb c = At(x, y);
                if (c == Rgb{0, 0, 0}) continue;
                if (std::find(allowed.begin(), allowed.end(), c) == allowed.end()) return false;
            }
        return true;
    }
};

TEST_F(PsrBuilderTest, TheManagerDrawsModeEightWithThisBuilder) {
    EXPECT_NE(dynamic_cast<TarqTargetBuilderPSR*>(&manager->GetBuilder()), nullptr);
}

TEST_F(PsrBuilderTest, EveryTargetIsTheSameBareReturnWithoutDataBlock) {
    host.vfrCodes = {1200};
    const PixelPoint p{200, 150};
    PixelSet expected = ReferenceReturn(p, kPrimaryRgb);
    ASSERT_FALSE(expected.empty());
    struct Case {
        const char* name;
        int transponder;
        uint16_t squawk;
        const char* ownerId;
        bool trackedByMe;
        bool fullDataBlock;
        bool incomingHandoff;
    } cases[] = {
        {"untracked", 'N', 4321, "", false, false, false},
        {"standby", 'S', 4321, "", false, false, false},
        {"VFR code", 'N', 1200, "", false, false, false},
        {"ident", 'Y', 4321, "", false, false, false},
        {"tracked by another", 'N', 4321, "CC", false, true, false},
        {"tracked by the user", 'N', 4321, "--", true, true, false},
        {"offered to the user", 'N', 4321, "CC", false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = MakeTarget(p.x, p.y);
        t.transponderMode = c.transponder;
        t.squawk = c.squawk;
        t.ownerId = c.ownerId;
        t.ownerSectorText = "CX";
        t.trackedByMe = c.trackedByMe;
        t.fullDataBlock = c.fullDataBlock;
        t.incomingHandoff = c.incomingHandoff;
        t.inConflict = c.trackedByMe;
        host.bools["ShowSepRingsOnCA"] = true;
        EXPECT_EQ(Build(t), TagRect::Empty());
        EXPECT_EQ(Around(p, kPrimaryRgb), expected);
        EXPECT_TRUE(OnlyColours({kPrimaryRgb})) << "no leader, data block, vector or ring";
        EXPECT_EQ(t.leaderLength, 20);
    }
}

TEST_F(PsrBuilderTest, TheTrailRepeatsTheReturnUpToTheHistoryCount) {
    host.ints["HistoryCount"] = 2;
    PixelSet glyph = ReferenceReturn({300, 150}, kHistoryRgb);
    auto shifted = [](const PixelSet& s, int dx) {
        PixelSet out;
        for (auto [x, y] : s) out.insert({x + dx, y});
        return out;
    };
    TargetSnapshot t = MakeTarget(300, 150);
    t.history = {PointAt(250, 150), {10.0, 0.0}, PointAt(200, 150), PointAt(150, 150)};
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_EQ(Around({250, 150}, kHistoryRgb), shifted(glyph, -50));
    EXPECT_EQ(Around({200, 150}, kHistoryRgb), shifted(glyph, -100)) << "the zero entry does not count";
    EXPECT_TRUE(Around({150, 150}, kHistoryRgb).empty()) << "beyond the history count";
    EXPECT_FALSE(Around({300, 150}, kPrimaryRgb).empty());
    EXPECT_TRUE(Around({300, 150}, kHistoryRgb).empty());

    host.ints["HistoryCount"] = 0;
    Build(t);
    EXPECT_TRUE(OnlyColours({kPrimaryRgb}));
    EXPECT_FALSE(Around({300, 150}, kPrimaryRgb).empty());
}

TEST_F(PsrBuilderTest, AHiddenTargetIsDrawnOnlyWithSeeAll) {
    TargetSnapshot t = MakeTarget(200, 150);
    t.hideSymbol = true;
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_FALSE(AnythingDrawn());

    t.seeAll = true;
    EXPECT_EQ(Build(t), TagRect::Empty());
    EXPECT_TRUE(Near(200, 150, kPrimaryRgb, 6));
}

}  // namespace
