// The cost of one frame tick with nothing to draw, and of drawing one line of
// text in each display font. Each reports its ratio to a floor measured in
// the same run, interleaved: the tick against a tick whose work does nothing, the text
// against placing the raster position and finishing without drawing.
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "app/comms_windows.h"
#include "app/display_manager.h"
#include "app/frame_tick.h"
#include "app/strip_bay_services.h"
#include "app/tool_windows.h"
#include "atc/aircraft_db.h"
#include "atc/atc_services.h"
#include "atc/controller_db.h"
#include "bench/floor_ratio.h"
#include "foundation/profile.h"
#include "net/network_manager.h"
#include "platform/gl_font.h"
#include "platform/gl_text_batch.h"
#include "platform/key_state.h"
#include "platform/memory_sound_devices.h"
#include "tests/atc/quiet_services.h"
#include "tests/net/quiet_owners.h"
#include "tests/offscreen_gl.h"
#include "voice/voice_engine.h"

namespace {

struct NoDisplays : TarqDisplayFactory {
    std::unique_ptr<TarqDisplay> CreateDisplay(const TarqDisplaySettings&, bool) override { return nullptr; }
};

struct NoWork : TarqTickWork {
    int PushToTalkKey() override { return 0xA2; }
    void SetPushToTalk(bool) override {}
    void VoicePeriodic() override {}
    void NetworkTimer() override {}
    void AircraftFrame() override {}
    bool HasThreeDDisplay() override { return false; }
    void RedrawAll(bool) override {}
    void StripBayFrame() override {}
    void CommsPanelFrame() override {}
    void WeatherRefresh() override {}
    void ControllerTimer() override {}
    void AircraftTimer() override {}
    void AircraftListTimer() override {}
    void LandLineRefresh() override {}
};

// The voice engine as the program has it, on memory sound cards.
struct QuietVoiceHost : VoiceEngineHost {
    std::string Callsign() const override { return "NY_CTR"; }
    std::string Cid() const override { return "1"; }
    std::string PublicIp() const override { return {}; }
    std::string AtisName() const override { return {}; }
    void SendLandLine(int, const std::string&, int, int, const std::string&, int) override {}
    void PlayCue(const std::string&) override {}
    void LandLinesChanged() override {}
};

VoiceEngineSetup VoiceSetup(SoundDeviceProvider& devices, VoiceEngineHost& host) {
    VoiceEngineSetup setup;
    setup.devices = &devices;
    setup.host = &host;
    setup.udpPort = 0;
    return setup;
}

// The program's work over the global objects and a display
// manager with no display open.
struct ObjectWork : NoWork {
    TarqDisplayManager& manager;
    MemorySoundDeviceProvider devices{{"Microphone"}, {"Headset"}};
    QuietVoiceHost voiceHost;
    NoltVoiceEngine voice{VoiceSetup(devices, voiceHost)};
    // The frame's work over the objects is measured; their seams stay quiet.
    QuietAtcServices quiet;
    QuietOwners owners;
    TarqNetworkManager network{quiet.Services(), owners.All(), 0};
    TarqAircraftDB aircraft{quiet.Services()};
    TarqAircraftList aircraftList{aircraft};
    TarqControllerDB controllers{quiet.Services()};
    ShellStripBayServices stripServices;
    TarqFlightStripBay strips{stripServices};
    TarqCommsPanel comms;
    TarqProfile profile;
    TarqWeatherPanel weather{profile};
    explicit ObjectWork(TarqDisplayManager& m) : manager(m) {}
    void SetPushToTalk(bool down) override { voice.SetPushToTalk(down); }
    void VoicePeriodic() override { voice.OnTimer(); }
    void NetworkTimer() override { network.OnTimer(); }
    void AircraftFrame() override { aircraft.OnFrameTick(); }
    bool HasThreeDDisplay() override { return manager.HasThreeDDisplay(); }
    void RedrawAll(bool onlyThreeD) override { manager.RedrawAll(onlyThreeD); }
    void StripBayFrame() override { strips.OnFrameTick(); }
    void CommsPanelFrame() override { comms.OnFrameTick(); }
    void WeatherRefresh() override { weather.RefreshMetars(false); }
    void ControllerTimer() override { controllers.OnTimer(); }
    void AircraftTimer() override { aircraft.OnTimer(); }
    void AircraftListTimer() override { aircraftList.OnTimer(); }
};

void BM_FrameTickNothingToDraw(benchmark::State& state) {
    NoDisplays factory;
    TarqDisplayManager manager(factory, [](std::function<void()>) {}, [](uint32_t, std::function<void()>) {}, {});
    ObjectWork work(manager);
    NoWork noWork;
    ManualKeyState keys;
    TarqFrameTick tick(work, keys);
    TarqFrameTick floorTick(noWork, keys);
    RunAgainstFloor(
        state, "ratio_to_floor", [&] { floorTick.OnFrameTick(); }, [&] { tick.OnFrameTick(); });
}
BENCHMARK(BM_FrameTickNothingToDraw)->UseManualTime();

void BM_DrawTextLine(benchmark::State& state) {
    OffscreenGl gl(640, 100);
    if (!gl.Ok()) {
        state.SkipWithError("no offscreen GL context");
        return;
    }
    gl.UsePixelProjection();
    int fontId = static_cast<int>(state.range(0));
    auto font = GlBitmapFont::Create(DisplayFontSpec(fontId));
    if (!font) {
        state.SkipWithError("font did not load");
        return;
    }
    const std::string line = fontId == 5   ? "\xD1"
                             : fontId == 4 ? "DLH123 FL350"
                                           : "DLH123 FL350 B744 0417 280 N";
    const uint8_t white[4] = {255, 255, 255, 255};
    GlTextBatch text;
    text.CaptureTransform();
    auto draw = [&] {
        glRasterPos2i(5, 50);
        text.Text(*font, 5, 50, 0, white, line);
        text.Flush();
        glFinish();
    };
    auto floor = [] {
        glRasterPos2i(5, 50);
        glFinish();
    };
    RunAgainstFloor(state, "ratio_to_floor", floor, draw);
    state.counters["width_px"] = font->MeasureText(line).width;
}
BENCHMARK(BM_DrawTextLine)->DenseRange(1, 5)->UseManualTime();

}  // namespace
