// Fuzz target: arbitrary bytes as a downloaded oceanic track document, read
// the whole way (not only the XML tokenizer). No crash, a failed read leaves
// the map alone, and the current-only read keeps only current tracks.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "atc/oceanic_tracks.h"

namespace {

const std::string& Path() {
    static const std::string path = [] {
        char name[] = "/tmp/tarq_oceanic_fuzz_XXXXXX";
        if (!mkdtemp(name)) std::abort();
        return std::string(name) + "/tracks.xml";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 18)) return 0;
    {
        std::ofstream file(Path(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    for (const bool onlyCurrent : {false, true}) {
        OceanicTrackMap tracks;
        tracks["KEEP"].id = "KEEP";
        int count = -1;
        if (!ParseOceanicTracks(Path(), onlyCurrent, tracks, count)) {
            if (tracks.size() != 1 || tracks.count("KEEP") != 1) std::abort();
            continue;
        }
        if (count < 0 || tracks.size() > static_cast<size_t>(count)) std::abort();
        for (const auto& [id, track] : tracks)
            if (onlyCurrent && !track.current) std::abort();
    }
    return 0;
}
