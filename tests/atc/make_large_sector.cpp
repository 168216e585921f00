// Writes a generated sector file: make_large_sector <path> [seed] [facility].
// The file is the one the parser benchmark reads; handy for loading into the
// program too. "facility" indents and tab-pads it as facilities do.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/atomic_file.h"
#include "tests/atc/sector_generator.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <path.sct2> [seed] [facility]\n", argv[0]);
        return 2;
    }
    uint32_t seed = argc > 2 ? static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10)) : 1;
    LargeSectorShape shape;
    shape.facilityStyle = argc > 3 && std::strcmp(argv[3], "facility") == 0;
    std::string error;
    if (!WriteFileAtomically(argv[1], GenerateLargeSector(seed, shape), &error)) {
        std::fprintf(stderr, "cannot write %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    return 0;
}
