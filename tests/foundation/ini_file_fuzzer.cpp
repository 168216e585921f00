// Fuzzes the INI reader with whole files, then checks that what it kept
// writes out and reads back to the same text.
// Seed corpus: tests/foundation/data/ini_corpus.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "foundation/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Tarq.ini is a few hundred keys; a megabyte covers any real file.
    if (size > (1u << 20)) return 0;
    CIniFile ini;
    bool ok = ini.ReadText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!ok) return 0;
    // What a clean read holds must survive a write and a second read unchanged.
    std::string first = ini.ToText();
    CIniFile again;
    if (!again.ReadText(first) || again.ToText() != first) {
        std::fprintf(stderr, "INI text changed on its second round\n");
        std::abort();
    }
    for (int s = 0; s < ini.SectionCount(); ++s) {
        std::string name = ini.SectionName(s);
        for (int k = 0; k < ini.EntryCount(name); ++k) ini.GetFloat(name, ini.EntryName(name, k), 0.0);
    }
    return 0;
}
