// The scope drawn offscreen: every map class in its own colour where the
// projection puts it, range rings at their radius, the stipple, sticky
// notes, and a 3-D view whose rings stay round at a longitude scale of 0.75.
#include "scope/scope_gl.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <memory>

#include "platform/gl_font.h"
#include "scope/scope_targets.h"
#include "scope/sticky_builder.h"
#include "scope_fixture.h"
#include "test_fonts.h"
#include "tests/offscreen_gl.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
using Rgb = std::array<int, 3>;


class ScopeGlTest : public ScopeFixture {
protected:
    void SetUp() override {
        ScopeFixture::SetUp();
        ASSERT_TRUE(m_gl.Ok());
        host.colors = DistinctListColors();
    }
    std::unique_ptr<TarqDisplayScope> Scope(uint32_t mask, int mode = 0) {
        TarqDisplaySettings settings;
        settings.Toggles = static_cast<int>(mask);
        settings.Mode = mode;
        auto scope = MakeScope(settings);
        scope->SetViewportSize(kWidth, kHeight);
        return scope;
    }
    void DrawFrame(TarqDisplayScope& scope) {
        ScopeGl gl(scope, fonts, m_resources);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        gl.Draw();
        glFinish();
    }
    Rgb At(int x, int y) {
        auto p = m_gl.Pixel(x, y);
        return {p[0], p[1], p[2]};
    }
    // Whether a pixel within radius of (x, y) has the colour.
    bool Near(int x, int y, Rgb color, int radius = 1) {
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx) {
                int px = x + dx, py = y + dy;
                if (px >= 0 && py >= 0 && px < kWidth && py < kHeight && At(px, py) == color) return true;
            }
        return false;
    }

    OffscreenGl m_gl{kWidth, kHeight};
    GlContextResources m_resources{[this] { return m_gl.MakeCurrent(); }};
    TestFonts fonts;
};

TEST_F(ScopeGlTest, EachMapClassInItsColourWhereTheProjectionPutsIt) {
    // Everything but the range rings; 0.1 NM a pixel, longitude scale 0.75;
    // centrelines 10 NM long.
    auto scope = Scope(0x7FFFFFF & ~ShowBit::RangeRings);
    DrawFrame(*scope);
    auto screen = [&](double x, double y) { return scope->ProjectToScreen({x, y}); };
    // Runway 04's threshold at KAAA: its centreline leaves on 220 degrees;
    // the second dash runs from 3 to 4 NM out, 30 to 40 px at 0.1 NM a pixel.
    PixelPoint threshold = screen(-1.0 / 6, 0.0);
    const double away = DegToRad(220.0);
    PixelPoint dash{threshold.x + static_cast<int>(std::lround(35 * std::sin(away))),
                    threshold.y + static_cast<int>(std::lround(35 * std::cos(away)))};
    PixelPoint gap{threshold.x + static_cast<int>(std::lround(25 * std::sin(away))),
                   threshold.y + static_cast<int>(std::lround(25 * std::cos(away)))};
    struct Case {
        const char* name;
        PixelPoint at;
        Rgb color;
        int radius;
    } cases[] = {
        {"ARTCC boundary", screen(0.0, 1.0 / 3), {255, 255, 0}, 1},
        {"high boundary", screen(0.1, 25.0 / 60), {255, 0, 255}, 1},
        {"geography (red by its own colour)", screen(0.0, -5.0 / 60), {255, 0, 0}, 1},
        {"region (green fill)", screen(-14.0 / 60, -14.0 / 60), {0, 255, 0}, 0},
        {"runway", screen(-0.1583, 1.0 / 120), {128, 128, 128}, 1},
        {"VOR symbol", screen(0.0, 1.0 / 6), {0, 255, 0}, 8},
        {"fix symbol", screen(1.0 / 6, 0.0), {0, 0, 255}, 8},
        {"NDB symbol", screen(0.0, -1.0 / 6), {0, 128, 255}, 8},
        {"airport symbol", screen(-1.0 / 6, 0.0), {255, 128, 0}, 8},
        {"label text (blue)", screen(-5.0 / 60 + 0.01, 5.0 / 60 + 0.005), {0, 0, 255}, 8},
        // A quarter of the way along each airway: clear of symbols and labels.
        {"low airway V1, VVV to FFF", screen(1.0 / 24, 1.0 / 8), {64, 64, 64}, 1},
        {"high airway J1, NNN to FFF", screen(1.0 / 24, -1.0 / 8), {32, 32, 32}, 1},
        {"runway centreline dash", dash, {128, 255, 0}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Near(c.at.x, c.at.y, c.color, c.radius)) << "at " << c.at.x << "," << c.at.y;
    }
    EXPECT_FALSE(Near(gap.x, gap.y, {128, 255, 0}, 1)) << "the gap between the first two dashes";
    // The projection of the sector's ARTCC line: 100 NM / 0.1 NM per px above the centre.
    EXPECT_NEAR(screen(0.0, 1.0 / 3).y, 500, 1);
    EXPECT_EQ(At(400, 300), (Rgb{0, 0, 0}));

    // The SID and STAR diagrams once selected; they lie over the runway and
    // the centre, so they come in a frame of their own.
    scope->SetSelectedSIDs({"KAAA DEP1"});
    scope->SetSelectedSTARs({"KAAA ARR1"});
    DrawFrame(*scope);
    const Case diagrams[] = {
        {"SID DEP1, KAAA to VVV", screen(-1.0 / 8, 1.0 / 24), {128, 0, 255}, 1},
        {"STAR ARR1, FFF to KAAA", screen(1.0 / 12, 0.0), {255, 0, 128}, 1},
        {"SID name above its first point", screen(-1.0 / 6 + 0.01, 0.01 + 0.005), {128, 0, 255}, 8},
        {"STAR name above its first point", screen(1.0 / 6 + 0.01, 0.01 + 0.005), {255, 0, 128}, 8},
    };
    for (const Case& c : diagrams) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Near(c.at.x, c.at.y, c.color, c.radius)) << "at " << c.at.x << "," << c.at.y;
    }
}

TEST_F(ScopeGlTest, MouseReadoutWhereTheHostPlacesItOnlyWithItsBit) {
    auto scope = Scope(ShowBit::MouseLocation);
    host.readoutPlace = {20, 40};
    ScopeMouse mouse;
    mouse.x = 400;
    mouse.y = 300;
    scope->OnMouseMove(mouse);
    const Rgb tool{250, 250, 250};
    auto inked = [&] {
        int n = 0;
        for (int y = 38; y < 54; ++y)
            for (int x = 20; x < 220; ++x) n += At(x, y) == tool;
        return n;
    };
    DrawFrame(*scope);
    EXPECT_GT(inked(), 40) << scope->FormatMousePosition();
    EXPECT_FALSE(Near(15, 45, tool, 3)) << "nothing left of its place";
    // Off in 3-D, and without the View menu's bit.
    scope->SetRadarMode(kRadarMode3D);
    DrawFrame(*scope);
    EXPECT_EQ(inked(), 0);
    scope->SetRadarMode(0);
    scope->ToggleShowBit(ShowBit::MouseLocation);
    DrawFrame(*scope);
    EXPECT_EQ(inked(), 0);
}

TEST_F(ScopeGlTest, ClearsToTheBackgroundOfTheDisplaysColourProfile) {
    auto scope = Scope(0);
    scope->SetBackgroundColor("Default", Packed(10, 20, 30));
    ScopeGl gl(*scope, fonts, m_resources);
    gl.Clear();
    glFinish();
    EXPECT_EQ(At(5, 5), (Rgb{10, 20, 30}));
    EXPECT_EQ(At(799, 599), (Rgb{10, 20, 30}));
}

TEST_F(ScopeGlTest, OnlyTheShownOceanicTracksInTheirDirectionsColour) {
    host.colors["ColorOceanicTracksEast"] = Packed(0, 200, 100);
    host.colors["ColorOceanicTracksWest"] = Packed(100, 0, 200);
    auto track = [](int direction, double latitude) {
        OceanicTrack t;
        t.direction = direction;
        t.waypoints = {{"WEST", -74.1, latitude}, {"EAST", -73.9, latitude}};
        return t;
    };
    host.oceanicTracks = {{"A", track(4, 40.05)}, {"B", track(5, 39.95)}, {"Z", track(5, 39.9)}};
    auto scope = Scope(0);
    scope->SetShownOceanicTracks({"A", "B"});
    DrawFrame(*scope);
    auto at = [&](double lon, double lat) {
        ScopePoint p{lon, lat};
        scope->AddOffset(p);
        return scope->ProjectToScreen(p);
    };
    const Rgb east{0, 200, 100};
    const Rgb west{100, 0, 200};
    PixelPoint a = at(-74.0, 40.05);
    EXPECT_TRUE(Near(a.x, a.y, east));
    PixelPoint b = at(-74.0, 39.95);
    EXPECT_TRUE(Near(b.x, b.y, west));
    PixelPoint z = at(-74.0, 39.9);
    EXPECT_FALSE(Near(z.x, z.y, west, 2)) << "a track not shown";
    // "TRACK A" stands left of the eastbound track's first point.
    PixelPoint first = at(-74.1, 40.05);
    bool label = false;
    for (int x = first.x - 48; x < first.x - 8 && !label; ++x)
        for (int y = first.y; y < first.y + 10 && !label; ++y) label = At(x, y) == east;
    EXPECT_TRUE(label);
}

TEST_F(ScopeGlTest, TheFrameDrawnWhileASectorLoadsShowsTheLoadingBox) {
    auto scope = Scope(0);
    bool outline = false;
    int loadingFrames = 0;
    host.onRedraw = [&] {
        if (!scope->IsLoading()) return;
        ++loadingFrames;
        DrawFrame(*scope);
        outline = Near(300, 300, {250, 250, 250});  // the box's left edge
    };
    ASSERT_TRUE(scope->LoadSectorFile(dir.File("small.sct2"), true));
    EXPECT_EQ(loadingFrames, 1);
    EXPECT_TRUE(outline);
    EXPECT_FALSE(scope->IsLoading());
}

TEST_F(ScopeGlTest, RangeRingsAtTheirRadius) {
    host.ints["RingSpacing"] = 5;  // 50 px apart at 0.1 NM a pixel
    auto scope = Scope(ShowBit::RangeRings);
    DrawFrame(*scope);
    const Rgb red{255, 0, 0};
    for (int k = 1; k <= 3; ++k) {
        SCOPED_TRACE(k);
        EXPECT_TRUE(Near(400 + 50 * k, 300, red));
        EXPECT_TRUE(Near(400, 300 + 50 * k, red));
        EXPECT_TRUE(Near(400 - 50 * k, 300, red));
        EXPECT_FALSE(Near(400 + 50 * k - 25, 300, red, 2));
    }
}

TEST_F(ScopeGlTest, LowBoundariesAreStippledAndHighOnesSolid) {
    auto scope = Scope(ShowBit::LowBoundaries | ShowBit::HighBoundaries);
    DrawFrame(*scope);
    int lowY = scope->ProjectToScreen({0.0, -1.0 / 3}).y;
    int highY = scope->ProjectToScreen({0.0, 25.0 / 60}).y;
    auto onRow = [&](int y, Rgb color, int x) {
        return Near(x, y, color, 0) || Near(x, y + 1, color, 0) || Near(x, y - 1, color, 0);
    };
    int lowOn = 0, highOn = 0;
    for (int x = 300; x < 364; ++x) {
        lowOn += onRow(lowY, {0, 255, 255}, x);
        highOn += onRow(highY, {255, 0, 255}, x);
    }
    EXPECT_EQ(highOn, 64);
    // Four on, four off: half the row.
    EXPECT_NEAR(lowOn, 32, 4);
}

TEST_F(ScopeGlTest, StickyNoteBoxAroundItsPoint) {
    auto scope = Scope(0);
    scope->GetStickyBuilder()->AddNote({0.0, 0.0}, "NOTE");
    DrawFrame(*scope);
    // Anchor (396, 296): the box's top edge at y 308, left edge at x 396.
    // Lines on whole pixels may land one pixel lower or further left.
    EXPECT_TRUE(Near(396, 302, {200, 100, 50}));
    EXPECT_TRUE(Near(410, 308, {200, 100, 50}));
    EXPECT_FALSE(Near(410, 302, {200, 100, 50}, 2));
    // The text inside, in its own colour.
    EXPECT_TRUE(Near(404, 302, {50, 100, 200}, 4));
}

TEST_F(ScopeGlTest, ThreeDRingsStayRoundAtLongitudeScaleThreeQuarters) {
    host.ints["RingSpacing"] = 5;
    auto scope = Scope(ShowBit::RangeRings, kRadarMode3D);
    ASSERT_DOUBLE_EQ(LongitudeScale, 0.75);
    scope->GetCamera().SetPosition(0.0f, 0.5f, 0.0f);
    scope->GetCamera().SetPitch(-90.0f);
    DrawFrame(*scope);
    const Rgb red{255, 0, 0};
    auto firstRing = [&](int dx, int dy) {
        for (int r = 3; r < 300; ++r)
            if (At(400 + dx * r, 300 + dy * r) == red) return r;
        return -1;
    };
    int east = firstRing(1, 0);
    int north = firstRing(0, 1);
    int west = firstRing(-1, 0);
    ASSERT_GT(east, 0);
    EXPECT_NEAR(east, north, 2);
    EXPECT_NEAR(east, west, 2);
    // 5 NM seen from 30 NM up through a 45-degree field of view.
    EXPECT_NEAR(east, 300 * (5.0 / 60) / (0.5 * 0.41421356), 3);
}

struct CountingTargets : DrawOnlyTargets {
    int drawn2D = 0;
    int drawn3D = 0;
    void Draw(bool in3D) override { ++(in3D ? drawn3D : drawn2D); }
};

TEST_F(ScopeGlTest, TargetsGoThroughTheSeamUnlessTheDebugBitHidesThem) {
    auto scope = Scope(0);
    CountingTargets targets;
    scope->SetTargets(&targets);
    scope->GetStickyBuilder()->AddNote({0.0, 0.0}, "NOTE");
    DrawFrame(*scope);
    EXPECT_EQ(targets.drawn2D, 1);
    host.debugFlags = 2;
    DrawFrame(*scope);
    EXPECT_EQ(targets.drawn2D, 1);
    EXPECT_TRUE(Near(410, 308, {200, 100, 50}));  // the notes still show
    host.debugFlags = 0;
    scope->SetRadarMode(kRadarMode3D);
    DrawFrame(*scope);
    EXPECT_EQ(targets.drawn3D, 1);
    // The heading tape across the top of the 3-D view, below the rows the
    // display's button bar takes.
    EXPECT_TRUE(Near(400, kHeight - 5, {255, 255, 255}, 3));
    host.overlayBelowTop = 51;
    DrawFrame(*scope);
    auto whiteInRows = [&](int from, int to) {
        int n = 0;
        for (int y = from; y < to; ++y)
            for (int x = 0; x < kWidth; ++x) n += At(x, y) == Rgb{255, 255, 255};
        return n;
    };
    EXPECT_EQ(whiteInRows(kHeight - 51, kHeight), 0) << "nothing of the tape under the bar";
    EXPECT_TRUE(Near(400, kHeight - 57, {255, 255, 255}, 3)) << "the centre tick below it";
}

// The frame tick leaves a display alone while its key stays the same: the
// key must move with everything but the targets that the frame shows.
TEST_F(ScopeGlTest, ThePictureKeyMovesWithEverythingTheFrameShows) {
    host.colors["ColorOceanicTracksEast"] = Packed(0, 200, 100);
    OceanicTrack track;
    track.direction = 4;
    track.waypoints = {{"WEST", -74.1, 40.05}, {"EAST", -73.9, 40.05}};
    host.oceanicTracks = {{"A", track}};
    using Step = std::function<void(TarqDisplayScope&)>;
    const Step nothing = [](TarqDisplayScope&) {};
    struct Case {
        const char* name;
        Step before;  // done before the first key
        Step change;
    } cases[] = {
        {"pan", nothing, [](TarqDisplayScope& s) { s.SetCenter({s.GetCenter().x + 0.01, s.GetCenter().y}); }},
        {"zoom", nothing, [](TarqDisplayScope& s) { s.ZoomIn(false); }},
        {"window resized", nothing, [](TarqDisplayScope& s) { s.SetViewportSize(kWidth, kHeight - 20); }},
        {"list toggled", nothing, [](TarqDisplayScope& s) { s.ToggleShowBit(ShowBit::Fixes); }},
        {"background", nothing, [](TarqDisplayScope& s) { s.SetBackgroundColor("Default", Packed(1, 2, 3)); }},
        {"tool colour", nothing, [&](TarqDisplayScope&) { host.colors["ColorToolLines"] = Packed(1, 1, 1); }},
        {"sticky note", nothing, [](TarqDisplayScope& s) { s.GetStickyBuilder()->AddNote({0.0, 0.0}, "N"); }},
        {"find marker", nothing, [](TarqDisplayScope& s) { s.FindPoint("VVV"); }},
        {"find marker's time runs out", [](TarqDisplayScope& s) { s.FindPoint("VVV"); },
         [&](TarqDisplayScope&) { host.now += 3600; }},
        {"mouse moved under the readout", nothing,
         [](TarqDisplayScope& s) {
             ScopeMouse mouse;
             mouse.x = 123;
             mouse.y = 77;
             s.OnMouseMove(mouse);
         }},
        {"oceanic track shown", nothing, [](TarqDisplayScope& s) { s.SetShownOceanicTracks({"A"}); }},
        {"shown oceanic track moved", [](TarqDisplayScope& s) { s.SetShownOceanicTracks({"A"}); },
         [&](TarqDisplayScope&) { host.oceanicTracks["A"].waypoints[1].latitude = 40.1; }},
        {"targets hidden by the debug bit", nothing, [&](TarqDisplayScope&) { host.debugFlags = 2; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.debugFlags = 0;
        host.colors["ColorToolLines"] = Packed(250, 250, 250);
        auto scope = Scope(0x7FFFFFF | ShowBit::MouseLocation);
        ScopeGl gl(*scope, fonts, m_resources);
        c.before(*scope);
        const uint64_t first = gl.PictureKey();
        EXPECT_NE(first, 0u);
        EXPECT_EQ(gl.PictureKey(), first) << "nothing changed";
        c.change(*scope);
        EXPECT_NE(gl.PictureKey(), first);
    }

    auto scope = Scope(0x7FFFFFF | ShowBit::MouseLocation);
    ScopeGl gl(*scope, fonts, m_resources);
    host.debugFlags = 1;
    EXPECT_EQ(gl.PictureKey(), 0u) << "the debug overlay counts frames";
    host.debugFlags = 0;
    scope->SetRadarMode(kRadarMode3D);
    EXPECT_EQ(gl.PictureKey(), 0u) << "3-D redraws every frame";
}

}  // namespace
