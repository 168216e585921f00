// Fuzz target: arbitrary bytes as the version-check answer. Reading and
// comparing the versions it names must not crash, and a version the
// comparison accepts is never newer than itself.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/version_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string latest = "unset";
    std::string aircraftDatabase = "unset";
    ParseVersionAnswer(text, latest, aircraftDatabase);
    const VersionVerdict self = CompareVersion(latest, latest);
    if (self == VersionVerdict::Newer) std::abort();
    const VersionVerdict against = CompareVersion(latest, "1.0.0");
    if ((self == VersionVerdict::Invalid) != (against == VersionVerdict::Invalid)) std::abort();
    return 0;
}
