// Fuzz target of alias loading and expansion with the variables: the input is
// an alias file, a line "\n--\n" and the text to expand. Every expansion ends
// (the budget or its failure), and a failure leaves the output untouched.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "comms/alias_table.h"
#include "comms/text_variables.h"
#include "comms/weather_store.h"
#include "foundation/profile.h"
#include "platform/clock.h"
#include "tests/comms/fake_variable_sources.h"
#include "tests/comms/weather_fixture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Alias files and typed lines are small; 64 KB holds any real one.
    if (size > (1u << 16)) return 0;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find("\n--\n");
    const std::string file = split == std::string::npos ? std::string() : input.substr(0, split);
    const std::string line = split == std::string::npos ? input : input.substr(split + 4);

    static TarqProfile profile("/nonexistent/Tarq.ini");
    static const ManualClock clock(0, 1710027900);
    static RecordingWeatherHost host;
    static WeatherStore weather(profile, host, clock);
    static FakeVariableSources sources = [] {
        FakeVariableSources s;
        TarqFlightPlanRecord plan;
        plan.route = "$route $uc($route) $dist(";
        plan.destination = "$arr)";
        s.plans["AAL1"] = plan;
        s.aircraft["AAL1"] = {};
        s.points["KBOS"] = {1, 1};
        return s;
    }();
    static TextVariables variables(profile, weather, sources, clock);
    static bool primed = [] {
        weather.OnMetar("KBOS 091853Z 27010KT 10SM CLR 12/08 A2992 RMK $metar(KBOS) $uc(");
        variables.SetContextCallsign("AAL1");
        return true;
    }();
    (void)primed;

    AliasTable aliases;
    aliases.LoadAliasText(file);
    std::string out = "\x01";
    if (!aliases.ExpandAliases(line, out, &variables) && out != "\x01") std::abort();
    return 0;
}
