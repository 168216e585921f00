// Reading and writing a heavy user's INI text in memory. Each benchmark reports
// "x_floor": its time over a plain scan that only splits the same text into
// lines, measured in the same run.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <string_view>

#include "bench/floor_ratio.h"
#include "foundation/ini_file.h"

namespace {

// 50 session profiles of 300 keys and 30 colour profiles of 60 colours.
std::string HeavyIni() {
    std::string text = "[:META]\r\nVersion=4\r\n\r\n";
    for (int p = 0; p < 50; ++p) {
        text += "[Profile " + std::to_string(p) + "]\r\n";
        for (int k = 0; k < 300; ++k)
            text += "SettingKey" + std::to_string(k) + "=" + std::to_string(k * 37) + "\r\n";
        text += "\r\n";
    }
    for (int c = 0; c < 30; ++c) {
        text += "[:CP:Colours " + std::to_string(c) + "]\r\n";
        for (int k = 0; k < 60; ++k)
            text += "Color" + std::to_string(k) + "=" + std::to_string(k * 65793) + "\r\n";
        text += "\r\n";
    }
    return text;
}

const std::string& Text() {
    static const std::string text = HeavyIni();
    return text;
}

size_t ScanLines(std::string_view text) {
    size_t lines = 0;
    for (size_t pos = 0; pos < text.size();) {
        size_t lf = text.find('\n', pos);
        if (lf == std::string_view::npos) break;
        lines += text[pos] != '\r';
        pos = lf + 1;
    }
    return lines;
}

void Floor() { benchmark::DoNotOptimize(ScanLines(Text())); }

void BM_IniReadText(benchmark::State& state) {
    RunAgainstFloor(state, "x_floor", Floor, [] {
        CIniFile ini;
        benchmark::DoNotOptimize(ini.ReadText(Text()));
    });
}
BENCHMARK(BM_IniReadText)->UseManualTime();

void BM_IniToText(benchmark::State& state) {
    CIniFile ini;
    ini.ReadText(Text());
    RunAgainstFloor(state, "x_floor", Floor, [&] { benchmark::DoNotOptimize(ini.ToText()); });
}
BENCHMARK(BM_IniToText)->UseManualTime();

// Every key of every profile looked up by name, as a profile load does.
void BM_IniGetEveryKey(benchmark::State& state) {
    CIniFile ini;
    ini.ReadText(Text());
    RunAgainstFloor(state, "x_floor", Floor, [&] {
        for (int s = 0; s < ini.SectionCount(); ++s) {
            std::string section = ini.SectionName(s);
            for (int k = 0, n = ini.EntryCount(section); k < n; ++k)
                benchmark::DoNotOptimize(ini.GetText(section, ini.EntryName(s, k), ""));
        }
    });
}
BENCHMARK(BM_IniGetEveryKey)->UseManualTime();

}  // namespace
