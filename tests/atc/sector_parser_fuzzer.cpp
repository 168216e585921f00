// Feeds arbitrary bytes to the sector parser as a file. The first byte picks
// the kind of file (odd: ".sct2"), the rest is the file's text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "atc/sector_parser.h"
#include "platform/clock.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Larger inputs only cost time; a few hundred kilobytes reach every line form.
    if (size == 0 || size > (1u << 19)) return 0;
    static ManualClock clock;
    std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    TarqSectorParser parser(clock);
    TarqSectorData sector;
    // The report is built on success but not written: no file system in the loop.
    parser.ParseText((data[0] & 1) ? "fuzz.sct2" : "fuzz.sct", text, sector, "");
    (void)parser.GetLastError();
    return 0;
}
