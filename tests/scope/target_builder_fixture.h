// Target builders drawn offscreen. A 400 x 300 scope at 0.1 NM a pixel with
// no rotation and a longitude scale of 1, so every pixel is 1/600 degree;
// its target manager (radar mode 1 unless SetRadarMode) over a fake host, a
// manual clock and the display fonts. A test places a target by pixel,
// builds it and looks for colours:
//
//   TargetSnapshot t = MakeTarget(200, 150);
//   TagRect r = Build(t);                    // or Build(myBuilder, t)
//   EXPECT_TRUE(Near(200, 150, kSymbolRgb, 3));
//   EXPECT_TRUE(AnyIn(kDataBlockRgb, r));
//
// Settings go in host.ints / host.bools / host.vfrCodes, time in clock.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <set>
#include <string_view>
#include <utility>

#include "fake_scope_host.h"
#include "foundation/geo_helpers.h"
#include "platform/clock.h"
#include "platform/gl_font.h"
#include "scope/display_scope.h"
#include "scope/target_builder.h"
#include "scope/target_manager.h"
#include "scope/target_record.h"
#include "scope_fixture.h"
#include "test_fonts.h"
#include "tests/bitmap_text.h"
#include "tests/offscreen_gl.h"

using Rgb = std::array<int, 3>;

// Packed with red in the low byte, as the record holds colours.
constexpr uint32_t PackRgb(Rgb c) { return static_cast<uint32_t>(c[0] | c[1] << 8 | c[2] << 16); }

// The colours MakeTarget gives a record: each a different one.
inline constexpr Rgb kDataBlockRgb{0, 255, 0};
inline constexpr Rgb kPositionSymbolRgb{255, 128, 0};
inline constexpr Rgb kSymbolRgb{255, 255, 0};
inline constexpr Rgb kPrimaryRgb{128, 128, 255};
inline constexpr Rgb kHistoryRgb{0, 255, 255};
inline constexpr Rgb kVectorRgb{255, 0, 255};
// The separation ring and its blink colour.
inline constexpr Rgb kRingRgb{255, 0, 0};
inline constexpr Rgb kRingBlinkRgb{120, 0, 0};

using PixelSet = std::set<std::pair<int, int>>;

class TargetBuilderFixture : public ::testing::Test {
protected:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 300;
    static constexpr double kDegreesPerPixel = 0.1 / 60.0;

    void SetUp() override {
        ASSERT_TRUE(gl.Ok());
        LongitudeScale = 1.0;
        host.ints["HistoryCount"] = 5;
        host.ints["CALateralMin"] = 3;  // a 30-pixel ring
        TarqDisplaySettings settings;
        settings.Zoom = 0.1;
        settings.CenterLon = 10.0;
        settings.CenterLat = 10.0;
        scope = std::make_unique<TarqDisplayScope>(host, settings);
        scope->SetViewportSize(kWidth, kHeight);
        manager = std::make_unique<TarqTargetManager>(*scope, fonts, 1, clock);
    }

    void SetRadarMode(int mode) { manager->SetRadarMode(mode); }

    // The scope point at the middle of a pixel (y up): it projects to that pixel.
    ScopePoint PointAt(int x, int y) const {
        const ScopeProjection& p = scope->Projection();
        double mx = p.Left() + (x + 0.5) * kDegreesPerPixel;
        double cx = p.GetCenter().x;
        return {cx + (mx - cx) / LongitudeScale, p.Bottom() + (y + 0.5) * kDegreesPerPixel};
    }
    PixelPoint PixelOf(ScopePoint point) const { return scope->ProjectToScreen(point); }

    // An untracked target at a pixel with the colours above, callsign
    // "ABC123", full voice, tag position 6, leader 20, blink phase 1.
    TargetSnapshot MakeTarget(int x = 200, int y = 150) const {
        TargetSnapshot t;
        t.dataBlockColor = PackRgb(kDataBlockRgb);
        t.positionSymbolColor = PackRgb(kPositionSymbolRgb);
        t.targetSymbolColor = PackRgb(kSymbolRgb);
        t.primaryTargetColor = PackRgb(kPrimaryRgb);
        t.historyTrailColor = PackRgb(kHistoryRgb);
        t.vectorLineColor = PackRgb(kVectorRgb);
        t.callsign = "ABC123";
        t.squawk = 1234;
        t.transponderMode = 'N';
        t.position = PointAt(x, y);
        t.altitude = 5000;
        t.groundSpeed = 250;
        t.tagPosition = 6;
        t.leaderLength = 20;
        t.voiceType = kVoiceFull;
        t.blinkPhase = 1;
        return t;
    }

    // Clears (unless told not to), draws with the GL state of the scope's
    // target pass, and waits for the pixels.
    TagRect Build(TarqTargetBuilder& builder, TargetSnapshot& target, bool clear = true) {
        if (clear) Clear();
        PrepareTargetPass();
        TagRect r = builder.Build(target);
        manager->GetBatch().Flush();
        glFinish();
        return r;
    }
    TagRect Build(TargetSnapshot& target, bool clear = true) {
        return Build(manager->GetBuilder(), target, clear);
    }

    void Clear() {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
    // Window pixels, y up, depth test letting nearer or equal depths pass.
    void PrepareTargetPass() {
        gl.UsePixelProjection();
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
    }

    // Text as a builder draws it, in a colour, for comparing pixel sets.
    void DrawReferenceText(PixelPoint at, std::string_view text, Rgb color, int fontId = kDataBlockFont) {
        PrepareTargetPass();
        glColor3ub(static_cast<GLubyte>(color[0]), static_cast<GLubyte>(color[1]),
                   static_cast<GLubyte>(color[2]));
        glRasterPos3d(at.x, at.y, kDataBlockDepth);
        if (const GlBitmapFont* font = fonts.GetFont(fontId)) DrawBitmaps(*font, text);
        glFinish();
    }

    Rgb At(int x, int y) const {
        auto p = gl.Pixel(x, y);
        return {p[0], p[1], p[2]};
    }
    // Pixels of a colour in the box [left, right] x [bottom, top] (y up),
    // clipped to the viewport.
    PixelSet Pixels(Rgb color, int left, int bottom, int right, int top) const {
        PixelSet out;
        for (int y = std::max(bottom, 0); y <= std::min(top, kHeight - 1); ++y)
            for (int x = std::max(left, 0); x <= std::min(right, kWidth - 1); ++x)
                if (At(x, y) == color) out.insert({x, y});
        return out;
    }
    int CountIn(Rgb color, int left, int bottom, int right, int top) const {
        return static_cast<int>(Pixels(color, left, bottom, right, top).size());
    }
    bool AnyIn(Rgb color, int left, int bottom, int right, int top) const {
        return CountIn(color, left, bottom, right, top) > 0;
    }
    bool AnyIn(Rgb color, const TagRect& r) const { return AnyIn(color, r.left, r.bottom, r.right, r.top); }
    // A pixel of the colour within radius of (x, y), in a square.
    bool Near(int x, int y, Rgb color, int radius = 1) const {
        return AnyIn(color, x - radius, y - radius, x + radius, y + radius);
    }
    // Whether anything but the background was drawn.
    bool AnythingDrawn() const {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (At(x, y) != Rgb{0, 0, 0}) return true;
        return false;
    }

    // One row of a mode's placement table.
    struct PlacementCase {
        const char* name;
        int position;
        int leader;
        PixelPoint origin;  // from the symbol
        int leftInRecord;
        PixelPoint leaderMid;  // a point on the leader; (0, 0) when none is drawn
    };
    // Builds a target at (200, 150) for each row and checks the 48 by 33 box
    // at the symbol + origin, the leader length left in the record and the
    // leader; then check(box, origin) for what the mode draws in the box.
    template <class Check>
    void ExpectPlacements(std::initializer_list<PlacementCase> cases, Check&& check) {
        const PixelPoint s{200, 150};
        for (const PlacementCase& c : cases) {
            SCOPED_TRACE(c.name);
            TargetSnapshot t = MakeTarget(s.x, s.y);
            t.tagPosition = c.position;
            t.leaderLength = static_cast<int16_t>(c.leader);
            TagRect r = Build(t);
            PixelPoint o = s + c.origin;
            EXPECT_EQ(r, (TagRect{o.x, o.y + 33, o.x + 48, o.y}));
            EXPECT_EQ(t.leaderLength, c.leftInRecord);
            if (c.leaderMid != PixelPoint{}) {
                EXPECT_TRUE(Near(s.x + c.leaderMid.x, s.y + c.leaderMid.y, kDataBlockRgb));
            }
            check(r, o);
        }
    }

    LongitudeScaleGuard scaleGuard;
    FakeScopeHost host;
    ManualClock clock{1000000};
    OffscreenGl gl{kWidth, kHeight};
    TestFonts fonts;  // after gl: its lists go before the context
    std::unique_ptr<TarqDisplayScope> scope;
    std::unique_ptr<TarqTargetManager> manager;
};
