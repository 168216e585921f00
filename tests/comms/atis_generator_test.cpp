// The ATIS text generator: wind, runway, CAVOK and keyword tables.
#include "comms/atis_generator.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(AtisGeneratorTest, WindPhrases) {
    const struct {
        const char* name;
        int direction, variableTo, speed, gust;
        const char* phrase;
    } cases[] = {
        {"sector_with_gust", 240, 300, 12, 20, "variable 240-300 at 12 gust 20"},
        {"sector", 40, 110, 5, 0, "variable 040-110 at 5"},
        {"vrb_before_calm", -1, -1, 2, 0, "variable at 2"},
        {"vrb_gust_not_said", -1, -1, 15, 25, "variable at 15"},
        {"calm_zero", 0, -1, 0, 0, "calm"},
        {"calm_below_three", 90, -1, 2, 0, "calm"},
        {"plain", 90, -1, 15, 0, "090 at 15"},
        {"gust", 310, -1, 15, 25, "310 at 15 gust 25"},
        {"three_digit", 270, -1, 105, 130, "270 at 105 gust 130"},
        {"no_report", -1, -1, 0, 0, "variable at 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WindPhrase(c.direction, c.variableTo, c.speed, c.gust), c.phrase);
    }
}

TEST(AtisGeneratorTest, RunwayPhrases) {
    using V = std::vector<std::string>;
    const struct {
        const char* name;
        V landing, departing;
        bool visual, lahsos;
        const char* phrase;
    } cases[] = {
        {"same_one", {"04L"}, {"04L"}, false, false, "Landing & departing runway 04L."},
        {"same_two", {"22L", "22R"}, {"22L", "22R"}, false, false, "Landing & departing runways 22L & 22R."},
        {"different", {"04L", "04R"}, {"04R"}, false, false, "Landing rwys 04L & 04R. Departing rwy 04R."},
        {"departing_only", {}, {"22"}, false, false, "Departing rwy 22."},
        {"three", {"22L", "22R", "31L"}, {}, false, false, "Landing rwys 22L, 22R & 31L."},
        {"visual", {"27"}, {}, true, false, "Landing rwy 27. Visual approaches in use."},
        {"lahso_keeps_blank",
         {"27"},
         {"27"},
         false,
         true,
         "Landing & departing runway 27. LAHSOs in effect."},
        {"nothing", {}, {}, false, false, ""},
        {"only_lahso", {}, {}, false, true, "LAHSOs in effect."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RunwayPhrase(c.landing, c.departing, c.visual, c.lahsos), c.phrase);
    }
}

TEST(AtisGeneratorTest, RatingNames) {
    const std::pair<int, const char*> cases[] = {
        {1, "Observer"}, {2, "S1"},   {5, "C1"},        {7, "C3"},       {10, "I3"},
        {11, "SUP"},     {12, "ADM"}, {13, "Observer"}, {0, "Observer"}, {-4, "Observer"}};
    for (const auto& [rating, name] : cases) EXPECT_EQ(ShortRatingName(rating), name) << rating;
}

AtisInputs Weather() {
    AtisInputs in;
    in.station = "KXYZ";
    in.reportTime = "091853Z";
    in.visibility = " 10SM";
    in.weather = " -RA";
    in.clouds = " BKN020 OVC100";
    in.temperature = "12";
    in.dewPoint = "08";
    in.altimeter = "2992";
    in.windDirection = 240;
    in.windVariableTo = 300;
    in.windSpeed = 10;
    in.windGust = 20;
    in.metar = "KXYZ 091853Z 27010G20KT 240V300 10SM -RA BKN020 OVC100 12/08 A2992";
    in.letterWord = "BRAVO";
    in.landing = {"27"};
    in.departing = {"27"};
    in.realName = "Ann: Smith";
    in.callsign = "XYZ_TWR";
    in.rating = 5;
    return in;
}

TEST(AtisGeneratorTest, KeywordsFilledOnceInTableOrder) {
    const struct {
        const char* name;
        const char* templ;
        const char* text;
    } cases[] = {
        {"default_text_template",
         "$radioname()|Information %id%: Winds $wind(%icao%) Vis %vis% %precip% Sky %clouds% Alt "
         "$altim(%icao%)|%runways%",
         "$radioname()|Information BRAVO Winds $wind(KXYZ) Vis 10SM -RA Sky BKN020 OVC100 Alt "
         "$altim(KXYZ)|Landing & departing runway 27."},
        {"all_spellings",
         "%wind%/%winds% %visibility% %sky% %precipitation% %alt% %altim% %altimeter% %temperature% "
         "%dewpoint% %time%",
         "variable 240-300 at 10 gust 20/variable 240-300 at 10 gust 20 10SM BKN020 OVC100 -RA 2992 2992 "
         "2992 12 08 091853Z"},
        {"colon_of_template_only", "%name%: %callsign% %rating%", "Ann: Smith XYZ_TWR C1"},
        {"unknown_and_upper_case_keywords_stay", "%foo% %ICAO% %icao%", "%foo% %ICAO% KXYZ"},
        {"three_blanks", "a   b", "a b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ExpandAtisTemplate(c.templ, Weather()).text, c.text);
    }
}

TEST(AtisGeneratorTest, ValuesHoldingKeywordsAreNotFilledAgain) {
    AtisInputs in = Weather();
    in.realName = "%name% and %callsign%";
    EXPECT_EQ(ExpandAtisTemplate("%name%", in).text, "%name% and XYZ_TWR");
    in.station = "%icao%";
    EXPECT_EQ(ExpandAtisTemplate("%icao%", in).text, "%icao%");
    EXPECT_EQ(ReplaceKeyword("aXa", "X", "XX"), "aXXa");
    // What the removal joins is not searched again either.
    EXPECT_EQ(ReplaceKeyword("%ic%icao%ao%", "%icao%", ""), "%icao%");
}

TEST(AtisGeneratorTest, NoReportGivesTheFallbackWords) {
    AtisInputs in;
    in.station = "KXYZ";
    in.letterWord = "(None)";
    const AtisText out = ExpandAtisTemplate(
        "%icao% info %id% %time% winds %winds% visibility %vis% %precip% sky %sky% temp %temp% dewpt %dew% "
        "altimeter %altim% %metar%|%runways%",
        in);
    EXPECT_EQ(
        out.text,
        "KXYZ info (None) winds variable at 0 visibility unknown sky unknown temp unknown dewpt unknown "
        "altimeter unknown |");
    EXPECT_EQ(
        out.status,
        "ATIS (None) now current. Wind: variable at 0 - Sky: unknown - Visibility: unknown - Altimeter: "
        "unknown");
}

TEST(AtisGeneratorTest, CavokOverridesVisibilityAndSky) {
    AtisInputs in = Weather();
    in.metar = "LFPG 091900Z 04008KT CAVOK 16/03 Q1025 NOSIG";
    in.windVariableTo = -1;
    in.windDirection = 40;
    in.windSpeed = 8;
    in.windGust = 0;
    in.altimeter = "1025";
    in.altimeterHpa = true;
    const AtisText out = ExpandAtisTemplate("%vis% %sky%", in);
    EXPECT_EQ(out.text, "CAVOK CAVOK");
    EXPECT_EQ(out.status, "ATIS BRAVO now current. Wind: 040 at 8 - CAVOK - QNH: 1025");
}

TEST(AtisGeneratorTest, VerticalVisibilityJoinsTheSky) {
    AtisInputs in = Weather();
    in.clouds = "";
    in.verticalVisibility = " VV002";
    EXPECT_EQ(ExpandAtisTemplate("Sky %sky%.", in).text, "Sky VV002.");
    in.clouds = " BKN002";
    EXPECT_EQ(ExpandAtisTemplate("Sky %sky%.", in).text, "Sky BKN002 VV002.");
}

}  // namespace
