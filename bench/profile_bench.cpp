// Loading and saving a heavy user's "Tarq.ini" (50 session profiles with two
// displays each, 30 colour profiles), each reported against reading the same
// file without parsing it ("x_read", measured in the same run).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "bench/floor_ratio.h"
#include "foundation/profile.h"
#include "platform/atomic_file.h"

namespace {

constexpr int kSessionProfiles = 50;
constexpr int kColorProfiles = 30;

std::string ProfileName(int i) { return "Position " + std::to_string(i); }

class HeavyIni {
public:
    HeavyIni() {
        m_dir = std::filesystem::temp_directory_path() / ("tarq_bench_" + std::to_string(getpid()));
        std::filesystem::create_directories(m_dir);
        m_path = (m_dir / "Tarq.ini").string();
        std::string seed = "[:META]\r\nVersion=4\r\n";
        for (int i = 0; i < kSessionProfiles; ++i) {
            seed.append("[").append(ProfileName(i)).append("]\r\nCallsign=POS").append(std::to_string(i));
            seed.append("_CTR\r\nDisplayCount=2\r\n");
        }
        WriteFileAtomically(m_path, seed);
        // Every profile saved once gives each section the whole catalogue.
        TarqProfile profile(m_path);
        profile.OpenIniFile();
        for (int i = 0; i < kColorProfiles; ++i)
            profile.SetColor(profile.NewColorProfile(), "ColorTracked", i);
        for (int i = 0; i < kSessionProfiles; ++i) {
            profile.Load(ProfileName(i));
            profile.SetListSetting("WxStations", {"KJFK", "KLGA", "KEWR", "KTEB"});
            profile.Save();
        }
    }
    ~HeavyIni() { std::filesystem::remove_all(m_dir); }
    const std::string& Path() const { return m_path; }

    // Reads the file whole: the floor every ratio is taken to.
    void Read() const {
        std::string text;
        ReadWholeFile(m_path, text);
        benchmark::DoNotOptimize(text.data());
    }

private:
    std::filesystem::path m_dir;
    std::string m_path;
};

const HeavyIni& Heavy() {
    static HeavyIni heavy;
    return heavy;
}

// The body's time over reading the file it works on.
template <typename Body>
void RunAgainstRead(benchmark::State& state, Body body) {
    RunAgainstFloor(state, "x_read", [] { Heavy().Read(); }, body);
}

void BM_OpenIniFile(benchmark::State& state) {
    TarqProfile profile(Heavy().Path());
    RunAgainstRead(state, [&] { benchmark::DoNotOptimize(profile.OpenIniFile()); });
}

void BM_LoadSessionProfile(benchmark::State& state) {
    TarqProfile profile(Heavy().Path());
    profile.OpenIniFile();
    RunAgainstRead(state, [&] { benchmark::DoNotOptimize(profile.Load(ProfileName(kSessionProfiles / 2))); });
}

void BM_SaveSessionProfile(benchmark::State& state) {
    TarqProfile profile(Heavy().Path());
    profile.OpenIniFile();
    profile.Load(ProfileName(kSessionProfiles - 1));
    RunAgainstRead(state, [&] { benchmark::DoNotOptimize(profile.Save()); });
}

BENCHMARK(BM_OpenIniFile)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_LoadSessionProfile)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_SaveSessionProfile)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace
