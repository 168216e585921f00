// The ATIS text generator: a template with %keyword% placeholders filled from
// the ATIS station's weather, the letter, the runways in use and the user's
// own values, plus the one-line status summary beside it. The wind phrase is
// shared with the "$wind" variables.
// Tested by tests/comms/atis_generator_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class WeatherStore;

// Everything one expansion reads.
struct AtisInputs {
    std::string station;
    // The station's weather as the store keeps it; empty texts and the
    // numbers' defaults when it has no report.
    std::string reportTime, visibility, weather, verticalVisibility, clouds, temperature, dewPoint, altimeter;
    int32_t windDirection = -1, windVariableTo = -1, windSpeed = 0, windGust = 0;
    bool altimeterHpa = false;
    std::string metar;       // the raw report the maker fetched for this update
    std::string letterWord;  // "(None)", "ALPHA" ... "ZULU"
    std::vector<std::string> landing, departing;
    bool visualApproaches = false;
    bool lahsos = false;
    std::string realName, callsign;
    int rating = 0;

    // Fills the weather fields of `station` from the store.
    void ReadWeather(const WeatherStore& store);
};

struct AtisText {
    std::string text;
    std::string status;
};

// "variable 240-300 at 12 gust 20", "variable at 3", "calm", "090 at 15".
std::string WindPhrase(int32_t direction, int32_t variableTo, int32_t speed, int32_t gust);
// "Landing & departing runway 04L.", "Landing rwys 04L & 04R. Departing rwy 04R."
std::string RunwayPhrase(const std::vector<std::string>& landing, const std::vector<std::string>& departing,
                         bool visualApproaches, bool lahsos);
// "S1" for 2 ... "ADM" for 12, else "Observer".
std::string ShortRatingName(int rating);
// Replaces every occurrence of `keyword` in one pass: what a value inserts is
// never searched again for the same keyword, so the pass always ends.
std::string ReplaceKeyword(std::string_view text, std::string_view keyword, std::string_view value);

AtisText ExpandAtisTemplate(const std::string& templateText, const AtisInputs& inputs);
