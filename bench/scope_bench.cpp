// Frames of the generated 100,000-line sector drawn offscreen at 1600 x 1000,
// the whole map on screen, in 2-D (the view unchanged, so the map is kept,
// and after a pan, so it is drawn again) and in 3-D, against frames of an
// empty scope interleaved with them: "per_empty" is the ratio, the time
// column the software renderer's cost per frame. The lists are compiled once
// before timing, as the program does on a sector load.
#include <benchmark/benchmark.h>

#include <GL/gl.h>

#include <filesystem>
#include <map>
#include <memory>

#include "floor_ratio.h"
#include "platform/atomic_file.h"
#include "platform/gl_font.h"
#include "scope/display_scope.h"
#include "scope/scope_gl.h"
#include "scope/sector_library.h"
#include "tests/atc/sector_generator.h"
#include "tests/offscreen_gl.h"
#include "tests/scope/test_fonts.h"
#include "tests/scope/fake_scope_host.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;
// The classes drawn as bitmap symbols and texts.
constexpr uint32_t kTextClasses = ShowBit::Airports | ShowBit::Fixes | ShowBit::Vors | ShowBit::Ndbs |
                                  ShowBit::StaticText | ShowBit::LowAirwayLabels | ShowBit::HighAirwayLabels;

const std::string& SectorPath() {
    static const std::string path = [] {
        std::string p = (std::filesystem::temp_directory_path() / "tarq_bench_scope.sct2").string();
        WriteFileAtomically(p, GenerateLargeSector(1));
        return p;
    }();
    return path;
}

struct Rig {
    OffscreenGl gl;
    TestFonts fonts;
    GlContextResources resources{[this] { return gl.MakeCurrent(); }};
    FakeScopeHost host;
    SectorLibrary library;
    std::unique_ptr<TarqDisplayScope> scope;
    std::unique_ptr<ScopeGl> drawer;

    Rig(bool withSector, int mode, uint32_t mask = 0x7FFFFFF, int shrink = 1) : gl(kWidth / shrink, kHeight / shrink) {
        TarqDisplaySettings settings;
        settings.Zoom = 0.4 * shrink;  // the whole generated area on screen
        settings.Mode = mode;
        settings.CenterLon = -74.0;
        settings.CenterLat = 41.0;
        settings.Toggles = static_cast<int>(mask);
        if (withSector) settings.SectorFile = SectorPath();
        scope = std::make_unique<TarqDisplayScope>(host, settings, &library);
        scope->SetViewportSize(kWidth / shrink, kHeight / shrink);
        scope->GetCamera().SetPosition(0.0f, 0.05f, 2.0f);
        scope->GetCamera().SetPitch(-20.0f);
        drawer = std::make_unique<ScopeGl>(*scope, fonts, resources);
        Frame();  // compiles the lists
    }
    // Names are freed in their own context: each rig's own, not the last made.
    ~Rig() { gl.MakeCurrent(); }
    void Frame() {
        gl.MakeCurrent();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawer->Draw();
        glFinish();
    }
    // A frame after the view moved by a pixel (there and back by turns), so
    // the map is drawn from the lists rather than kept.
    void FrameAfterPan() {
        ScopePoint c = scope->GetCenter();
        m_panned = !m_panned;
        scope->SetCenter({c.x + (m_panned ? 1e-3 : -1e-3), c.y});
        Frame();
    }

private:
    bool m_panned = false;
};

// The body's frames against the frames of an empty scope, interleaved, each
// rig in its own context.
template <typename Body>
void AgainstEmpty(benchmark::State& state, Body body) {
    Rig empty(false, 0);
    RunAgainstFloor(state, "per_empty", [&] { empty.Frame(); }, body);
}

void BM_EmptyFrame(benchmark::State& state) {
    Rig rig(false, 0);
    AgainstEmpty(state, [&] { rig.Frame(); });
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseManualTime();

// The view unchanged since the last frame: the map kept from it.
void BM_FullMapFrame2D(benchmark::State& state) {
    Rig rig(true, 0);
    AgainstEmpty(state, [&] { rig.Frame(); });
    state.counters["map_draws"] = rig.drawer->GetMapDrawCount();
}
BENCHMARK(BM_FullMapFrame2D)->Unit(benchmark::kMillisecond)->UseManualTime();

// Every frame after a pan: the map drawn from the lists and kept again.
void BM_FullMapFrame2DViewChange(benchmark::State& state) {
    Rig rig(true, 0);
    AgainstEmpty(state, [&] { rig.FrameAfterPan(); });
}
BENCHMARK(BM_FullMapFrame2DViewChange)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_FullMapFrame3D(benchmark::State& state) {
    Rig rig(true, kRadarMode3D);
    AgainstEmpty(state, [&] { rig.Frame(); });
}
BENCHMARK(BM_FullMapFrame3D)->Unit(benchmark::kMillisecond)->UseManualTime();

// The same map without symbols and texts, after a pan: the lines and fills alone.
void BM_LinesOnlyFrame2DViewChange(benchmark::State& state) {
    Rig rig(true, 0, 0x7FFFFFF & ~kTextClasses);
    AgainstEmpty(state, [&] { rig.FrameAfterPan(); });
}
BENCHMARK(BM_LinesOnlyFrame2DViewChange)->Unit(benchmark::kMillisecond)->UseManualTime();

// The generated regions are random outlines across the whole area: each
// fills a large part of the screen.
void BM_NoRegionsFrame2DViewChange(benchmark::State& state) {
    Rig rig(true, 0, 0x7FFFFFF & ~ShowBit::Regions);
    AgainstEmpty(state, [&] { rig.FrameAfterPan(); });
}
BENCHMARK(BM_NoRegionsFrame2DViewChange)->Unit(benchmark::kMillisecond)->UseManualTime();

// The same map on a viewport a tenth as wide and high: what is left is the
// work per vertex and per call, not the filling of pixels.
void BM_FullMapFrame2DSmallViewportViewChange(benchmark::State& state) {
    Rig rig(true, 0, 0x7FFFFFF, 10);
    AgainstEmpty(state, [&] { rig.FrameAfterPan(); });
}
BENCHMARK(BM_FullMapFrame2DSmallViewportViewChange)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_LinesOnlyFrame2DSmallViewportViewChange(benchmark::State& state) {
    Rig rig(true, 0, 0x7FFFFFF & ~kTextClasses, 10);
    AgainstEmpty(state, [&] { rig.FrameAfterPan(); });
}
BENCHMARK(BM_LinesOnlyFrame2DSmallViewportViewChange)->Unit(benchmark::kMillisecond)->UseManualTime();

// What a sector load costs the frame after it: building every list as data
// and compiling it into GL.
void BM_RebuildAndCompileLists(benchmark::State& state) {
    Rig rig(true, 0);
    AgainstEmpty(state, [&] {
        rig.scope->RebuildDisplayLists(0);
        rig.Frame();
    });
}
BENCHMARK(BM_RebuildAndCompileLists)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

}  // namespace
