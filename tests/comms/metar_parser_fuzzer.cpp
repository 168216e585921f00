// Fuzz target of the METAR parser: any bytes parse or fail cleanly, within
// the step budget, and a parsed record keeps the grammar's promises.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "comms/metar_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Past twice the parser's cap only the cap itself is exercised.
    if (size > 2 * MetarParser::kMaxReportLength) return 0;
    static const MetarParser parser;
    const std::string text(reinterpret_cast<const char*>(data), size);
    Result<MetarRecord> r = parser.Parse(text);
    if (!r.Ok()) return 0;
    const MetarRecord& m = r.Value();
    if (m.station.size() != 4 || m.time.size() != 7) std::abort();
    if (m.windSpeed < 0 || m.windSpeed > 999 || m.gust < 0 || m.gust > 999) std::abort();
    if (m.windDirection < -1 || m.windDirection > 999 || m.variableTo < -1 || m.variableTo > 999)
        std::abort();
    return 0;
}
