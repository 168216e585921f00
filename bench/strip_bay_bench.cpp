// Frames of a strip bay holding 300 strips with flight plans, two columns
// of 150, laid out and drawn offscreen at 1102 x 1000, next to a frame of an
// empty bay measured in the same run: "per_empty" is the ratio, the time
// column the software renderer's cost per frame.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <memory>

#include "floor_ratio.h"
#include "platform/gl_context_resources.h"
#include "tests/offscreen_gl.h"
#include "tests/tools/strip_fakes.h"
#include "tools/strip_bay_gl.h"

namespace {

class GlMeasure : public FakeStripServices {
public:
    const StripBayGl* gl = nullptr;
    StripTextExtent GetTextExtent(int font, const std::string& text) const override {
        return gl->GetTextExtent(font, text);
    }
};

struct Rig {
    OffscreenGl context{1102, 1000};
    GlContextResources resources{[this] { return context.MakeCurrent(); }};
    std::unique_ptr<StripBayGl> gl;
    GlMeasure services;
    TarqFlightStripBay bay{services};

    explicit Rig(int strips) {
        StripBayGl::LoadFonts(resources, nullptr);
        gl = std::make_unique<StripBayGl>(resources);
        gl->MakeRailTexture();
        services.gl = gl.get();
        services.bools["StripBayTwoCols"] = true;
        bay.InitFields();
        bay.SetViewSize(context.Width(), context.Height());
        for (int i = 0; i < strips; ++i) {
            const std::string callsign = "TQ" + std::to_string(1000 + i);
            TarqFlightPlanRecord plan;
            plan.flightRules = i % 5 == 0 ? 'V' : 'I';
            plan.aircraftType = "H/B744/L";
            plan.departure = "EGLL";
            plan.destination = "KJFK";
            plan.cruiseAltitude = "FL350";
            plan.route = "DCT CPT UL9 KENET UN14 BUCKO N541B SUNOT 5120N 5230N 5340N 5450N DOTTY N170C YAY";
            plan.remarks = "PBN/A1B1C1D1L1O1S2 DOF/240101 REG/GABCD EET/EISN0017 RMK/TCAS";
            services.plans[callsign] = plan;
            bay.AddStrip(callsign, 1, {"A", "350", "", "CLR", "", "", "27R", "", ""});
        }
        // Half of them to the right column, by the bay's own drag and drop.
        for (int i = 0; i < strips / 2; ++i) {
            StripBayFrame frame;
            bay.BuildFrame(frame);
            const int y = (strips - 1 - i) * kStripHeight + 30;
            bay.OnMouseMove(30, y);
            bay.OnLButtonDown(30, y, {});
            bay.OnMouseMove(600, y + 10000);
            bay.OnLButtonUp();
        }
    }
    // Names are freed in their own context: each rig's own, not the last made.
    ~Rig() { context.MakeCurrent(); }
    void Frame() {
        context.MakeCurrent();
        StripBayFrame frame;
        bay.BuildFrame(frame);
        gl->Draw(frame);
        glFinish();
    }
};

// Frames of a bay of strips against frames of an empty bay, interleaved,
// each rig in its own context.
void FrameAgainstEmpty(benchmark::State& state, int strips) {
    Rig empty(0);
    Rig rig(strips);
    state.counters["strips"] = static_cast<double>(rig.bay.Slots().size());
    RunAgainstFloor(
        state, "per_empty", [&] { empty.Frame(); }, [&] { rig.Frame(); });
}

void BM_EmptyBayFrame(benchmark::State& state) { FrameAgainstEmpty(state, 0); }
BENCHMARK(BM_EmptyBayFrame)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_Bay300StripsFrame(benchmark::State& state) { FrameAgainstEmpty(state, 300); }
BENCHMARK(BM_Bay300StripsFrame)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
