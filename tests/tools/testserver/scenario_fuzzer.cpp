// Fuzz target: arbitrary text as a scenario file; a scenario that parses is
// then flown for a while by a server that nobody connects to, so odd routes
// (repeated waypoints, poles, zero speed) are exercised too.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/clock.h"
#include "tools/testserver/scenario.h"
#include "tools/testserver/test_server.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Result<Scenario> scenario = ParseScenario(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!scenario) return 0;
    ManualClock clock;
    TestServerOptions options;
    options.scenario = std::move(scenario).Value();
    TarqTestServer server(std::move(options), clock);
    for (int i = 0; i < 20; ++i) {
        clock.Advance(5000);
        server.Poll(0);
    }
    return 0;
}
