// Frames of 300 and 1,500 targets with 10 history points each, offscreen at
// 1600 x 1000, in every radar mode, against a frame of the same scope without
// aircraft measured in the same run, interleaved ("per_empty"). The time column is the
// software renderer's cost per display frame.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>

#include "floor_ratio.h"
#include "platform/gl_context_resources.h"
#include "platform/gl_font.h"
#include "scope/display_scope.h"
#include "scope/scope_gl.h"
#include "scope/target_manager.h"
#include "tests/atc/atc_fakes.h"
#include "tests/offscreen_gl.h"
#include "tests/scope/fake_target_environment.h"
#include "tests/scope/test_fonts.h"
#include "tests/scope/fake_scope_host.h"

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 1000;
constexpr int kTargets = 1500;

struct Rig {
    OffscreenGl gl{kWidth, kHeight};
    TestFonts fonts;
    GlContextResources resources{[this] { return gl.MakeCurrent(); }};
    FakeScopeHost host;
    AtcWorld world;
    FakeTargetEnvironment environment{world};
    std::unique_ptr<TarqDisplayScope> scope;
    std::unique_ptr<TarqTargetManager> targets;
    std::unique_ptr<ScopeGl> drawer;

    Rig(int mode, int count) {
        host.ints["HistoryCount"] = 10;
        host.ints["LeaderLength"] = 20;
        host.ints["TagPosition"] = 6;
        TarqDisplaySettings settings;
        settings.Zoom = 2.0;  // about 240 by 150 NM
        settings.Mode = mode;
        settings.CenterLon = -74.0;
        settings.CenterLat = 41.0;
        scope = std::make_unique<TarqDisplayScope>(host, settings);
        scope->SetViewportSize(kWidth, kHeight);
        targets = std::make_unique<TarqTargetManager>(*scope, fonts, mode);
        targets->SetEnvironment(&environment);
        scope->SetTargets(targets.get());
        // A grid across the screen; each aircraft flies a few reports north.
        for (int i = 0; i < count; ++i) {
            char callsign[16];
            std::snprintf(callsign, sizeof callsign, "BEN%04d", i);
            double lon = -75.8 + (i % 50) * 0.072;
            double lat = 40.0 + (i / 50) * 0.065;
            for (int step = 0; step <= 10; ++step) {
                world.aircraft.UpdatePilotPosition(
                    callsign, AtcWorld::Report(lat + step * 0.004, lon, 5000 + 100 * (i % 300), 250,
                                               static_cast<uint16_t>(1000 + i % 700)));
            }
            TarqFlightPlanRecord plan;
            plan.flightRules = 'I';
            plan.bareType = "B738";
            plan.aircraftType = "B738/L";
            plan.cruiseAltitude = "35000";
            plan.departure = "KJFK";
            plan.destination = "KBOS";
            world.aircraft.OnFlightPlanReceived(callsign, plan);
        }
        drawer = std::make_unique<ScopeGl>(*scope, fonts, resources);
        Frame();
    }
    ~Rig() {
        scope->SetTargets(nullptr);
        // Names are freed in their own context: each rig's own, not the last made.
        gl.MakeCurrent();
    }
    void Frame() {
        gl.MakeCurrent();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawer->Draw();
        glFinish();
    }
};

// The body against frames of the same scope with one aircraft, interleaved,
// each rig in its own context.
template <typename Body>
void AgainstEmpty(benchmark::State& state, Body body) {
    Rig empty(1, 0);
    RunAgainstFloor(state, "per_empty", [&] { empty.Frame(); }, body);
}

void BM_EmptyFrame(benchmark::State& state) {
    Rig rig(1, 0);
    AgainstEmpty(state, [&] { rig.Frame(); });
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMillisecond)->UseManualTime();

// The arguments are the radar mode and the number of targets.
void BM_TargetsFrame(benchmark::State& state) {
    Rig rig(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    AgainstEmpty(state, [&] { rig.Frame(); });
}
BENCHMARK(BM_TargetsFrame)
    ->ArgsProduct({benchmark::CreateDenseRange(1, 11, 1), {300, kTargets}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// The records alone: the same walk with a builder that draws nothing.
void BM_TargetRecordsOnly(benchmark::State& state) {
    Rig rig(1, kTargets);
    AgainstEmpty(state, [&] {
        rig.targets->GetState()->RunFrame(1, 1, [](TargetSnapshot&) { return TagRect::Empty(); });
    });
}
BENCHMARK(BM_TargetRecordsOnly)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
