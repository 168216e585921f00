// The 2-D map kept between frames: a frame over the kept map equals the
// frame drawn from the sector lists, with the targets, notes, tracks and
// markers above it as before, and the kept map follows every change of what
// it shows (pan, zoom, rotation, toggles, shown items, colours, background,
// window size, sector reload).
#include "scope/map_texture.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gl_context_resources.h"
#include "scope/scope_gl.h"
#include "scope/scope_targets.h"
#include "scope/sticky_builder.h"
#include "scope_fixture.h"
#include "test_fonts.h"
#include "tests/offscreen_gl.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Targets as the builders lay them: filled boxes and lines in window pixels
// at the data-block and history depths, over the map's busiest part.
struct BoxTargets : DrawOnlyTargets {
    void Draw(bool in3D) override {
        if (in3D) return;
        glColor3ub(240, 60, 60);
        glBegin(GL_QUADS);
        glVertex3d(380, 280, 0.99);
        glVertex3d(430, 280, 0.99);
        glVertex3d(430, 320, 0.99);
        glVertex3d(380, 320, 0.99);
        glEnd();
        glColor3ub(60, 240, 60);
        glBegin(GL_LINES);
        for (int i = 0; i < 20; ++i) {
            glVertex3d(300 + 10 * i, 200, 0.955);
            glVertex3d(320 + 10 * i, 420, 0.955);
        }
        glEnd();
    }
};

class MapTextureTest : public ScopeFixture {
protected:
    void SetUp() override {
        ScopeFixture::SetUp();
        ASSERT_TRUE(m_gl.Ok());
        host.colors = DistinctListColors();
        host.colors["ColorOceanicTracksEast"] = Packed(0, 200, 100);
        host.ints["RingSpacing"] = 5;
        OceanicTrack track;
        track.direction = 4;
        track.waypoints = {{"WEST", -74.1, 40.02}, {"EAST", -73.9, 40.02}};
        host.oceanicTracks = {{"A", track}};
        // Made now: a font made while a list compiles would miss its glyphs.
        for (int id = 1; id <= 5; ++id) fonts.GetFont(id);
    }
    // Every list shown, the background coloured, a note, a track, a find
    // marker and targets over the map.
    std::unique_ptr<TarqDisplayScope> BusyScope() {
        TarqDisplaySettings settings;
        settings.Toggles = 0x7FFFFFF;
        auto scope = MakeScope(settings);
        scope->SetViewportSize(kWidth, kHeight);
        scope->SetBackgroundColor("Default", Packed(10, 20, 30));
        scope->SetSelectedSIDs({"KAAA DEP1"});
        scope->SetShownOceanicTracks({"A"});
        scope->GetStickyBuilder()->AddNote({0.0, 0.0}, "NOTE");
        scope->FindPoint("VVV");
        scope->SetTargets(&targets);
        return scope;
    }
    std::vector<unsigned char> Frame(ScopeGl& drawer) {
        drawer.Clear();
        drawer.Draw();
        glFinish();
        std::vector<unsigned char> pixels(static_cast<size_t>(kWidth) * kHeight * 4);
        glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }
    // The same scope drawn by a drawer that has no kept map.
    std::vector<unsigned char> DirectFrame(TarqDisplayScope& scope) {
        ScopeGl direct(scope, fonts, m_resources);
        return Frame(direct);
    }
    static int Differing(const std::vector<unsigned char>& a, const std::vector<unsigned char>& b) {
        int n = 0;
        for (size_t i = 0; i < a.size(); i += 4)
            n += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2] || a[i + 3] != b[i + 3];
        return n;
    }

    OffscreenGl m_gl{kWidth, kHeight};
    GlContextResources m_resources{[this] { return m_gl.MakeCurrent(); }};
    TestFonts fonts;
    BoxTargets targets;
};

TEST_F(MapTextureTest, AFrameOverTheKeptMapEqualsTheFrameDrawnFromTheLists) {
    auto scope = BusyScope();
    ScopeGl kept(*scope, fonts, m_resources);
    std::vector<unsigned char> first = Frame(kept);
    std::vector<unsigned char> second = Frame(kept);
    std::vector<unsigned char> third = Frame(kept);
    EXPECT_EQ(kept.GetMapDrawCount(), 1) << "the lists were drawn again for an unchanged view";
    std::vector<unsigned char> direct = DirectFrame(*scope);
    // The state the frames leave behind must not change the next one.
    EXPECT_EQ(Differing(first, direct), 0);
    EXPECT_EQ(Differing(second, direct), 0);
    EXPECT_EQ(Differing(third, direct), 0);
    // The frame holds the map and what lies over it, not the background alone.
    std::vector<unsigned char> empty(direct.size());
    for (size_t i = 0; i < empty.size(); i += 4) {
        empty[i] = 10;
        empty[i + 1] = 20;
        empty[i + 2] = 30;
        empty[i + 3] = direct[i + 3];
    }
    EXPECT_GT(Differing(direct, empty), 5000);
}

TEST_F(MapTextureTest, TheKeptMapFollowsEveryChangeOfWhatItShows) {
    const char* const rotatedSector = "small.sct2";
    struct Case {
        const char* name;
        std::function<void(TarqDisplayScope&)> change;
    } cases[] = {
        {"pan east", [](TarqDisplayScope& s) { s.SetCenter({s.GetCenter().x + 0.02, s.GetCenter().y}); }},
        {"pan north", [](TarqDisplayScope& s) { s.SetCenter({s.GetCenter().x, s.GetCenter().y + 0.01}); }},
        {"zoom in", [](TarqDisplayScope& s) { s.ZoomIn(false); }},
        {"zoom out", [](TarqDisplayScope& s) { s.ZoomOut(false); }},
        {"rotation (magnetic variation of a reloaded sector)",
         [&](TarqDisplayScope& s) {
             std::string text = kSmallSector;
             const std::string variation = "45\n0\n1\n";
             text.replace(text.find(variation), variation.size(), "45\n12\n1\n");
             dir.Write(rotatedSector, text);
             s.ReloadSectorFile();
             ASSERT_NE(s.GetRotation(), 0.0);
         }},
        {"list toggled off", [](TarqDisplayScope& s) { s.ToggleShowBit(ShowBit::Fixes); }},
        {"labels toggled off", [](TarqDisplayScope& s) { s.ToggleShowBit(ShowBit::VorLabels); }},
        {"diagram shown", [](TarqDisplayScope& s) { s.SetSelectedSTARs({"KAAA ARR1"}); }},
        {"colour of a list",
         [&](TarqDisplayScope& s) {
             host.colors["ColorARTCCBound"] = Packed(90, 90, 255);
             s.RebuildDisplayLists(ShowBit::ArtccBoundaries);
         }},
        {"background colour", [](TarqDisplayScope& s) { s.SetBackgroundColor("Default", Packed(40, 0, 0)); }},
        {"window resized", [](TarqDisplayScope& s) { s.SetViewportSize(kWidth - 130, kHeight - 70); }},
        {"range ring centre moved", [](TarqDisplayScope& s) { s.SetRangeRingCenter({-74.05, 40.03}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dir.Write("small.sct2", kSmallSector);
        auto scope = BusyScope();
        ScopeGl kept(*scope, fonts, m_resources);
        Frame(kept);
        std::vector<unsigned char> before = Frame(kept);
        c.change(*scope);
        std::vector<unsigned char> after = Frame(kept);
        EXPECT_GT(Differing(before, after), 0) << "the change does not show";
        EXPECT_EQ(Differing(after, DirectFrame(*scope)), 0);
        EXPECT_EQ(kept.GetMapDrawCount(), 2);
        // And the next frame keeps the new map.
        Frame(kept);
        EXPECT_EQ(kept.GetMapDrawCount(), 2);
    }
}

TEST_F(MapTextureTest, TheThreeDSceneDrawsItsMapEveryFrame) {
    auto scope = BusyScope();
    scope->SetRadarMode(kRadarMode3D);
    scope->GetCamera().SetPosition(0.0f, 0.5f, 0.0f);
    scope->GetCamera().SetPitch(-90.0f);
    ScopeGl drawer(*scope, fonts, m_resources);
    std::vector<unsigned char> first = Frame(drawer);
    scope->GetCamera().SetPosition(0.01f, 0.5f, 0.0f);
    std::vector<unsigned char> moved = Frame(drawer);
    EXPECT_GT(Differing(first, moved), 0);
    EXPECT_EQ(Differing(moved, DirectFrame(*scope)), 0);
    EXPECT_EQ(drawer.GetMapDrawCount(), 0);
}

}  // namespace
