// Fuzz target of the position-file parser: any bytes parse without a crash,
// and every record's fields are within what the parser promises.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "atc/position_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Position files are a few hundred lines; 1 MB covers any real one.
    if (size > (1u << 20)) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const PofRecord& record : ParsePositionFile(text)) {
        if (record.name.find('\n') != std::string::npos) std::abort();
        // "-" stands for the name, so it survives only where the name is "-".
        if (record.radioCallsign == "-" && record.name != "-") std::abort();
    }
    return 0;
}
