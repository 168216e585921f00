// Coordinates and line cleaning of sector files: tables of cases.
#include <gtest/gtest.h>

#include <string>

#include "atc/sector_parser.h"

namespace {

TEST(SectorText, ParseCoordinate) {
    struct Case {
        const char* name;
        const char* text;
        double expected;
    };
    const Case cases[] = {
        {"north", "N040.38.51.000", 40.0 + 38.0 / 60 + 51.0 / 3600},
        {"west is negative", "W073.46.43.500", -(73.0 + 46.0 / 60 + 43.5 / 3600)},
        {"south", "S033.56.41.400", -33.944833},
        {"east", "E151.10.38.000", 151.177222},
        {"commas as separators", "N040,38,51,000", 40.0 + 38.0 / 60 + 51.0 / 3600},
        {"mixed separators", "N040.38,51.500", 40.0 + 38.0 / 60 + 51.5 / 3600},
        {"lower-case hemisphere", "s010.00.00.000", -10.0},
        {"letter anywhere makes it negative", "N010.00.00.00W", -10.0},
        {"first character dropped whatever it is", "X010.30.00.000", 10.5},
        {"digit in first place is dropped too", "1010.30.00.000", 10.5},
        {"no fraction", "N040.38.51", 0.0},
        {"decimal degrees", "40.6425", 0.0},
        {"separator as last character", "N040.38.51.", 0.0},
        {"empty", "", 0.0},
        {"only a letter", "N", 0.0},
        {"garbage fields read as zero", "Nab.cd.ef.gh", 0.0},
        {"text after the fraction", "N001.00.00.5xyz", 1.0 + 0.5 / 3600},
        {"further separators end the seconds", "N001.00.30.5.9", 1.0 + 30.5 / 3600},
        {"huge exponent in the seconds reads zero seconds", "N001.00.1e999.0", 1.0},
        {"seconds overflowing single precision", "N001.00.1e300.0", 0.0},
        {"inf is no number", "N001.00.inf.0", 1.0},
        {"huge degrees saturate instead of overflowing", "N99999999999999.00.00.000", 2147483647.0},
        {"negative minutes as written", "N010.-30.00.000", 9.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(TarqSectorParser::ParseCoordinate(c.text), c.expected, 1e-6);
    }
}

TEST(SectorText, SecondsAreHeldInSinglePrecision) {
    // 51.1 is not exact in a float; the value must carry the float's error.
    double expected = 40.0 + 38.0 / 60 + static_cast<double>(51.1f) / 3600;
    EXPECT_DOUBLE_EQ(TarqSectorParser::ParseCoordinate("N040.38.51.1"), expected);
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
        {"trailing tab, cr, ff and nbsp", std::string("abc \t\r\f\xA0"), "abc"},
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
    for (char c : std::string(" \t\r\n\f\xA0")) {
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c)));
        EXPECT_TRUE(TarqSectorParser::IsSpace(c));
    }
    for (char c : std::string("\vA0;.\x01")) {
        SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(c)));
        EXPECT_FALSE(TarqSectorParser::IsSpace(c));
    }
}

}  // namespace
