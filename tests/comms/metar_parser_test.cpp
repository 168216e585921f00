// The METAR grammar on worked examples and edge cases, and its bounded matching.
#include "comms/metar_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/comms/metar_format.h"

namespace {

struct MetarCase {
    const char* name;
    const char* text;
    const char* fields;  // FormatMetar of the expected record
};

TEST(MetarParserTest, WorkedExamples) {
    const MetarCase cases[] = {
        {"us_full", "KXYZ 091853Z 27010G20KT 240V300 10SM -RA BKN020 OVC100 12/08 A2992 RMK AO2",
         "KXYZ 091853Z wind=27010G20KT 10/20 dir=240 to=300 vis=[ 10SM] wx=[ -RA] vv=[] "
         "clouds=[ BKN020 OVC100] t=12 d=08 alt=2992 hpa=0"},
        {"icao_auto_vrb", "EXYZ 091850Z AUTO VRB03KT 9999 NCD M05/M07 Q1013",
         "EXYZ 091850Z wind=VRB03KT 3/0 dir=-1 to=-1 vis=[ 9999] wx=[] vv=[] clouds=[ NCD] t=M05 d=M07 "
         "alt=1013 hpa=1"},
        {"cavok_spaced_q", "EXYZ 091850Z 00000KT CAVOK 20/10 Q 1009 NOSIG",
         "EXYZ 091850Z wind=00000KT 0/0 dir=0 to=-1 vis=[ CAVOK] wx=[] vv=[] clouds=[] t=20 d=10 "
         "alt=1009 hpa=1"},
        // Three-digit speeds are read whole.
        {"fog_three_digit_speed", "KXYZ 091853Z 270105KT 1/2SM FG VV002 05/05 A2992",
         "KXYZ 091853Z wind=270105KT 105/0 dir=270 to=-1 vis=[ 1/2SM] wx=[ FG] vv=[ VV002] clouds=[] "
         "t=05 d=05 alt=2992 hpa=0"},
        {"remarks_for_altimeter", "KXYZ 091853Z 27010KT 10SM CLR 20/10 RMK",
         "KXYZ 091853Z wind=27010KT 10/0 dir=270 to=-1 vis=[ 10SM] wx=[] vv=[] clouds=[ CLR] t=20 d=10 "
         "alt=???? hpa=0"},
    };
    MetarParser parser;
    for (const MetarCase& c : cases) {
        SCOPED_TRACE(c.name);
        Result<MetarRecord> record = parser.Parse(c.text);
        ASSERT_TRUE(record.Ok()) << record.Error().message;
        EXPECT_EQ(FormatMetar(record.Value()), c.fields);
    }
}

// Only the fields a row is about: wind numbers and the altimeter.
struct WindCase {
    const char* name;
    const char* text;
    int speed, gust, direction, variableTo;
    const char* altimeter;
    bool hpa;
};

TEST(MetarParserTest, WindAndAltimeterEdges) {
    const WindCase cases[] = {
        {"three_digit_gust", "KXYZ 091853Z 27050G105KT 10SM 12/08 A2992", 50, 105, 270, -1, "2992", false},
        {"three_digit_both", "KXYZ 091853Z 270120G150KT 10SM 12/08 A2992", 120, 150, 270, -1, "2992", false},
        {"metres_per_second", "UXYZ 091830Z 24005MPS 9999 SCT020 M10/M12 Q1020", 5, 0, 240, -1, "1020", true},
        {"vrb_gust_kept", "EXYZ 091850Z VRB15G25KT 9999 FEW030 15/10 Q1012", 15, 25, -1, -1, "1012", true},
        {"vrb_then_sector", "EXYZ 091850Z VRB04KT 180V250 9999 FEW030 15/10 Q1012", 4, 0, 180, 250, "1012",
         true},
        {"slashed_wind", "EXYZ 091850Z /////KT 9999 FEW030 15/10 Q1012", 0, 0, -1, -1, "1012", true},
        {"a_slashes", "KXYZ 091853Z 27010KT 10SM CLR 12/08 A////", 10, 0, 270, -1, "////", false},
        {"q_with_space", "EXYZ 091850Z 27010KT 9999 FEW030 15/10 Q 1013", 10, 0, 270, -1, "1013", true},
        {"no_temperature", "KXYZ 091853Z 27010KT 10SM BKN020 A2992", 10, 0, 270, -1, "2992", false},
        {"point_form", "KXYZ 091853Z 27010KT 10SM BKN020 12/08 992.5", 10, 0, 270, -1, " 992.5", false},
    };
    MetarParser parser;
    for (const WindCase& c : cases) {
        SCOPED_TRACE(c.name);
        Result<MetarRecord> r = parser.Parse(c.text);
        ASSERT_TRUE(r.Ok()) << r.Error().message;
        EXPECT_EQ(r.Value().windSpeed, c.speed);
        EXPECT_EQ(r.Value().gust, c.gust);
        EXPECT_EQ(r.Value().windDirection, c.direction);
        EXPECT_EQ(r.Value().variableTo, c.variableTo);
        EXPECT_EQ(r.Value().altimeter, c.altimeter);
        EXPECT_EQ(r.Value().altimeterHpa, c.hpa);
    }
}

TEST(MetarParserTest, WhiteSpaceRunsReadAsOneSpace) {
    MetarParser parser;
    const std::string plain = "KXYZ 091853Z 27010G20KT 240V300 10SM -RA BKN020 OVC100 12/08 A2992 RMK AO2";
    const std::string ragged =
        "\r\n  KXYZ\t091853Z   27010G20KT\r\n240V300 10SM\t\t-RA BKN020  OVC100 12/08 A2992 RMK AO2 \n";
    Result<MetarRecord> a = parser.Parse(plain);
    Result<MetarRecord> b = parser.Parse(ragged);
    ASSERT_TRUE(a.Ok());
    ASSERT_TRUE(b.Ok());
    EXPECT_EQ(a.Value(), b.Value());
}

TEST(MetarParserTest, TextsThatAreNoReport) {
    const struct {
        const char* name;
        const char* text;
    } cases[] = {
        {"empty", ""},
        {"white_space_only", " \t\r\n "},
        {"lower_case", "kxyz 091853z 27010kt 10sm clr 12/08 a2992"},
        {"server_message", "No weather information available for KXYZ"},
        {"ends_after_temperature", "KXYZ 091853Z 27010KT 10SM CLR 12/08"},
        {"nosig_after_temperature", "EXYZ 091850Z 27010KT 9999 FEW030 15/10 NOSIG"},
        {"short_time", "KXYZ 1853Z 27010KT 10SM CLR 12/08 A2992"},
    };
    MetarParser parser;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Result<MetarRecord> r = parser.Parse(c.text);
        ASSERT_FALSE(r.Ok());
        EXPECT_EQ(r.Error().code, MetarParser::kNotMetar);
    }
}

TEST(MetarParserTest, OverLongReportIsRefusedBeforeMatching) {
    MetarParser parser;
    std::string text = "KXYZ 091853Z 27010KT 10SM CLR 12/08 A2992 RMK";
    while (text.size() <= MetarParser::kMaxReportLength) text += " AO2";
    Result<MetarRecord> r = parser.Parse(text);
    ASSERT_FALSE(r.Ok());
    EXPECT_EQ(r.Error().code, MetarParser::kTooLong);
    EXPECT_EQ(parser.LastSteps(), 0u);
}

// Repeated weather and cloud codes with no altimeter make the groups' nested
// loops try many ways to split them; at the longest report allowed every such
// shape must still end well inside the budget.
TEST(MetarParserTest, HostileShapesEndWithinTheBudget) {
    MetarParser parser;
    for (const char* shape : {"/", "RA", "-RA", " ///", " ///////", "+RA/", " FEW001///CB", " BKN///"}) {
        SCOPED_TRACE(shape);
        std::string text = "KXYZ 091853Z 27010KT 10SM ";
        while (text.size() < MetarParser::kMaxReportLength - 20) text += shape;
        text += " X";
        Result<MetarRecord> r = parser.Parse(text);
        ASSERT_FALSE(r.Ok());
        EXPECT_EQ(r.Error().code, MetarParser::kNotMetar);
        EXPECT_LT(parser.LastSteps(), MetarParser::kStepBudget);
    }
}

}  // namespace
