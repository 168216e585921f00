// Coordinates and line cleaning of sector files: tables of cases.
#include <gtest/gtest.h>

#include <charconv>
#include <optional>
#include <string>

#include "atc/sector_parser.h"
#include "foundation/random15.h"

namespace {

TEST(SectorText, ParseCoordinate) {
    constexpr auto kLat = CoordinateAxis::Latitude;
    constexpr auto kLon = CoordinateAxis::Longitude;
    struct Case {
        const char* name;
        const char* text;
        CoordinateAxis axis;
        std::optional<double> expected;  // nothing: the field is no coordinate
    };
    const Case cases[] = {
        {"north", "N040.38.51.000", kLat, 40.0 + 38.0 / 60 + 51.0 / 3600},
        {"west is negative", "W073.46.43.500", kLon, -(73.0 + 46.0 / 60 + 43.5 / 3600)},
        {"south", "S033.56.41.400", kLat, -33.944833},
        {"east", "E151.10.38.000", kLon, 151.177222},
        {"commas as separators", "N040,38,51,000", kLat, 40.0 + 38.0 / 60 + 51.0 / 3600},
        {"mixed separators", "N040.38,51.500", kLat, 40.0 + 38.0 / 60 + 51.5 / 3600},
        {"lower-case hemisphere", "s010.00.00.000", kLat, -10.0},
        {"short fields", "E1.2.3.4", kLon, 1.0 + 2.0 / 60 + 3.4 / 3600},
        {"long fraction", "N040.38.51.1234567", kLat, 40.0 + 38.0 / 60 + 51.1234567 / 3600},
        {"sixty seconds carry over", "N040.59.60.000", kLat, 41.0},
        {"pole", "S090.00.00.000", kLat, -90.0},
        {"date line", "W180.00.00.000", kLon, -180.0},
        {"beyond the pole", "N090.00.00.001", kLat, std::nullopt},
        {"beyond the date line", "E180.00.01.000", kLon, std::nullopt},
        {"mended: huge degrees are refused, not saturated", "N99999999999999.00.00.000", kLat, std::nullopt},
        {"huge seconds", "N001.00.99999999999999999999.0", kLat, std::nullopt},
        {"latitude field with E", "E073.46.43.500", kLat, std::nullopt},
        {"latitude field with W", "w073.46.43.500", kLat, std::nullopt},
        {"longitude field with N", "N040.38.51.000", kLon, std::nullopt},
        {"longitude field with S", "S034.48.22.000", kLon, std::nullopt},
        {"mended: a hemisphere letter also at the end is refused, not read as negative", "N010.00.00.00W",
         kLat, std::nullopt},
        {"mended: a first character that is no hemisphere is refused, not dropped", "X010.30.00.000", kLat,
         std::nullopt},
        {"mended: a digit in the hemisphere's place is refused, not dropped", "1010.30.00.000", kLat,
         std::nullopt},
        {"three parts", "S034.48.2", kLat, std::nullopt},
        {"mended: no fraction is refused, not read as 0", "N040.38.51", kLat, std::nullopt},
        {"mended: decimal degrees are refused, not read as 0", "40.632889", kLat, std::nullopt},
        {"signed decimal degrees", "-73.778889", kLon, std::nullopt},
        {"mended: a separator as last character is refused, not read as 0", "N040.38.51.", kLat,
         std::nullopt},
        {"two separators in a row", "N040..38.51.000", kLat, std::nullopt},
        {"mended: empty is refused, not read as 0", "", kLat, std::nullopt},
        {"mended: only a letter is refused, not read as 0", "N", kLat, std::nullopt},
        {"a name", "KJFK", kLon, std::nullopt},
        {"mended: letters in the fields are refused, not read as 0", "Nab.cd.ef.gh", kLat, std::nullopt},
        {"mended: text after the fraction is refused, not read past", "N001.00.00.5xyz", kLat, std::nullopt},
        {"mended: a fifth part is refused, not the end of the seconds", "N001.00.30.5.9", kLat, std::nullopt},
        {"mended: an exponent in the seconds is refused, not read as 0 seconds", "N001.00.1e999.0", kLat,
         std::nullopt},
        {"mended: inf in the seconds is refused, not read as 0 seconds", "N001.00.inf.0", kLat, std::nullopt},
        {"mended: negative minutes are refused, not taken as written", "N010.-30.00.000", kLat, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<double> value = TarqSectorParser::ParseCoordinate(c.text, c.axis);
        ASSERT_EQ(value.has_value(), c.expected.has_value());
        if (value) {
            EXPECT_NEAR(*value, *c.expected, 1e-6);
        }
    }
}

TEST(SectorText, SecondsAreHeldInSinglePrecision) {
    // 51.1 is not exact in a float; the value must carry the float's error.
    double expected = 40.0 + 38.0 / 60 + static_cast<double>(51.1f) / 3600;
    EXPECT_DOUBLE_EQ(*TarqSectorParser::ParseCoordinate("N040.38.51.1", CoordinateAxis::Latitude), expected);
    EXPECT_DOUBLE_EQ(*TarqSectorParser::ParseCoordinate("N040,38,51,1", CoordinateAxis::Latitude), expected);
}

// The seconds must read exactly as their decimal text does, whatever the
// number of digits.
TEST(SectorText, SecondsReadAsTheirDecimalText) {
    Random15 random(4201);
    for (int i = 0; i < 20000; ++i) {
        std::string seconds = std::to_string(random.Next() % 60);
        std::string fraction;
        for (int n = 1 + random.Next() % 12; n > 0; --n)
            fraction += static_cast<char>('0' + random.Next() % 10);
        std::string decimal = seconds + "." + fraction;
        double read = 0.0;
        std::from_chars(decimal.data(), decimal.data() + decimal.size(), read);
        double expected = static_cast<float>(read) / 3600.0 + (0 / 60.0 + 1);
        SCOPED_TRACE(decimal);
        ASSERT_EQ(*TarqSectorParser::ParseCoordinate("N001.00." + decimal, CoordinateAxis::Latitude),
                  expected);
    }
}

TEST(SectorText, StripCommentAndTrimRight) {
    struct Case {
        const char* name;
        std::string input;
        std::string expected;
    };
    const Case cases[] = {
        {"semicolon cuts", "VOR 1 2 3 ; note", "VOR 1 2 3"},
        {"double slash cuts", "GEO a b c d // note", "GEO a b c d"},
        {"semicolon wins over an earlier double slash", "http://x ; y", "http://x"},
        {"double slash kept when a semicolon follows it", "a // b ; c", "a // b"},
        {"a single slash stays", "a / b", "a / b"},
        {"trailing tab, cr and ff", "abc \t\r\f", "abc"},
        {"mended: 0xA0 is no blank, so a trailing UTF-8 letter keeps its last byte", "Voil\xC3\xA0 ",
         "Voil\xC3\xA0"},
        {"vertical tab is not trimmed", "abc\v", "abc\v"},
        {"leading space stays", "   N040.00.00.000 W073", "   N040.00.00.000 W073"},
        {"only a comment", "// all gone", ""},
        {"nothing to do", "[INFO]", "[INFO]"},
        {"newline trimmed", "text\n", "text"},
        {"embedded nbsp stays", std::string("a\xA0") + "b", std::string("a\xA0") + "b"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string line = c.input;
        TarqSectorParser::StripComment(line);
        TarqSectorParser::TrimRight(line);
        EXPECT_EQ(line, c.expected);
    }
}

TEST(SectorText, IsSpace) {
    for (char c : std::string(" \t\r\n\f")) {
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c)));
        EXPECT_TRUE(TarqSectorParser::IsSpace(c));
    }
    for (char c : std::string("\vA0;.\x01\xA0")) {
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c)));
        EXPECT_FALSE(TarqSectorParser::IsSpace(c));
    }
}

TEST(SectorText, ErrorTextIsCut) {
    const std::string fits(kSectorMaxErrorText, 'x');
    EXPECT_EQ(TarqSectorParser::ErrorText(fits), fits);
    EXPECT_EQ(TarqSectorParser::ErrorText(fits + "yz"), fits + "...");
}

}  // namespace
