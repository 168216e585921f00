// Fuzz target of the aircraft type file parser: any bytes parse without a
// crash and give only records keyed by a code of one line.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "atc/aircraft_types.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The real file is about 200 kB; 4 MB is plenty.
    if (size > (4u << 20)) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const auto& [code, record] : ParseAircraftTypes(text)) {
        if (code.find('\n') != std::string::npos || code.find('\t') != std::string::npos) std::abort();
        if (record.srsCategory.find('\t') != std::string::npos) std::abort();
    }
    return 0;
}
