// The radio history of a long session: a plain redraw lays out the prepared
// lines without wrapping anything; a new message rewraps only what the box
// shows. Each benchmark reports "x_floor": its time over gathering the same
// number of lines into a list, measured in the same run, interleaved.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "bench/floor_ratio.h"

#include "app/radio_history.h"
#include "foundation/profile.h"
#include "platform/clock.h"

namespace {

constexpr int kVisibleLines = 20;
constexpr int kSessionMessages = 20000;

struct QuietHost : RadioHistoryHost {
    void EnsureRadioHistoryShown() override {}
    int GetPrimaryFrequency() override { return 118700; }
    void PlaySoundSetting(const std::string&, bool) override {}
    void ShowErrorLine(const std::string&) override {}
    void ShowInfoLine(const std::string&) override {}
    bool SetClipboardText(const std::string&) override { return true; }
    const GlBitmapFont* GetFont(int) const override { return nullptr; }
};

std::string Message(int i) {
    return "DLH" + std::to_string(i % 900 + 100) + ": request descent flight level one two zero, reaching " +
           std::to_string(i) + " in about two minutes, with information kilo";
}

struct Session {
    Session() : profile("/nonexistent/Tarq.ini"), clock(0, 0) {
        profile.SetInt("RadioHistorySize", kVisibleLines);
        profile.SetBool("ShowTimestamps", true);
        history = std::make_unique<TarqDisplayRadioHistory>(host, profile, clock);
        history->Layout(0, 0, 1280, 1024, true);
        for (int i = 0; i < kSessionMessages; ++i)
            history->AddMessage(Message(i), RadioMessageKind::OtherRadio);
    }
    QuietHost host;
    TarqProfile profile;
    ManualClock clock;
    std::unique_ptr<TarqDisplayRadioHistory> history;
};

Session& TheSession() {
    static Session* session = new Session;
    return *session;
}

// Gathers the visible number of lines into a list: the floor.
void Floor() {
    static const std::vector<std::string> lines = [] {
        std::vector<std::string> made;
        for (int i = 0; i < kVisibleLines; ++i) made.push_back(Message(i));
        return made;
    }();
    std::vector<std::string_view> gathered;
    gathered.reserve(lines.size());
    for (const std::string& line : lines) gathered.push_back(line);
    benchmark::DoNotOptimize(gathered.data());
}

void BM_PlainRedraw(benchmark::State& state) {
    Session& session = TheSession();
    RunAgainstFloor(state, "x_floor", Floor, [&] {
        benchmark::DoNotOptimize(session.history->Layout(0, 0, 1280, 1024, false).lines.size());
    });
}
BENCHMARK(BM_PlainRedraw)->UseManualTime();

void BM_NewMessageWhileLive(benchmark::State& state) {
    Session& session = TheSession();
    std::string message = Message(7);
    RunAgainstFloor(state, "x_floor", Floor,
                    [&] { session.history->AddMessage(message, RadioMessageKind::OtherRadio); });
}
BENCHMARK(BM_NewMessageWhileLive)->UseManualTime();

}  // namespace
