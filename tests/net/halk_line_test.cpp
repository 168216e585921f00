#include "net/halk_line.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

std::string Dump(const HalkFields& f) {
    std::string out;
    for (int i = 0; i < f.Count(); ++i) out += std::string(i ? "|" : "") + f[i];
    return out;
}

}  // namespace

TEST(HalkFields, SplitsAndStopsAtTheSplitCount) {
    struct Case {
        const char* name;
        const char* body;
        int split;
        const char* fields;
        int count;
    } cases[] = {
        {"empty body has one empty field", "", -1, "", 1},
        {"no limit", "A:B:C", -1, "A|B|C", 3},
        {"empty fields kept", "A::C:", -1, "A||C|", 4},
        {"last field keeps colons", "A:B:hello: there:x", 3, "A|B|hello: there:x", 3},
        {"limit above count", "A:B", 5, "A|B", 2},
        {"limit of one", "A:B:C", 1, "A:B:C", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HalkFields f;
        f.Split(c.body, c.split);
        EXPECT_EQ(f.Count(), c.count);
        EXPECT_EQ(Dump(f), c.fields);
        EXPECT_STREQ(f[c.count], "");  // a missing field reads as empty
        EXPECT_STREQ(f[-1], "");
    }
}

TEST(HalkLineBuilder, NoArgumentCanAddALineOrShiftAField) {
    struct Case {
        const char* name;
        std::vector<std::string> fields;
        std::string last;
        const char* line;
    } cases[] = {
        {"plain", {"ME", "YOU"}, "hi", "#TMME:YOU:hi\r\n"},
        {"colon in a middle field", {"ME", "Y:OU"}, "a:b", "#TMME:Y OU:a:b\r\n"},
        {"line breaks removed everywhere",
         {"M\r\nE", "YOU\n"},
         "x\r\n#DAME:SERVER",
         "#TMME:YOU:x#DAME:SERVER\r\n"},
        {"nul removed", {std::string("M\0E", 3)}, "t", "#TMME:t\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HalkLineBuilder b("#TM");
        for (const auto& f : c.fields) b.Field(f);
        b.Last(c.last);
        EXPECT_EQ(b.Finish(), c.line);
    }
}

TEST(HalkLineBuilder, LongLineKeepsItsTerminator) {
    std::string huge(100000, 'x');
    std::string line = HalkLineBuilder("#TM").Field("ME").Field("YOU").Last(huge).Finish();
    EXPECT_EQ(line.size(), HalkLineBuilder::kMaxLineBytes);
    EXPECT_EQ(line.substr(line.size() - 2), "\r\n");
    EXPECT_EQ(line.find('\r'), line.size() - 2);
}

TEST(HalkLineBuilder, FixedMatchesPrintfWidths) {
    struct Case {
        const char* name;
        double value;
        int width;
        const char* text;
    } cases[] = {
        {"six decimals", 51.5, 8, "51.500000"},
        {"padded", 1.5, 10, "  1.500000"},
        {"negative", -0.25, 0, "-0.250000"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string out;
        HalkAppendFixed(out, c.value, 6, c.width);
        EXPECT_EQ(out, c.text);
    }
}

TEST(HalkNumbers, ConvertLikeTheStandardLibraryWithoutItsFaults) {
    struct Case {
        const char* name;
        const char* text;
        int32_t asInt;
        uint32_t asUnsigned;
        int32_t truncated;
    } cases[] = {
        {"plain", "1200", 1200, 1200, 1200},
        {"blanks and sign", "  -42", -42, 0, -42},
        {"plus sign", "+7", 7, 7, 7},
        {"trailing text", "12abc", 12, 12, 12},
        {"not a number", "abc", 0, 0, 0},
        {"empty", "", 0, 0, 0},
        {"fraction truncates to zero", "-3.9", -3, 0, -3},
        {"too large saturates", "99999999999999", 2147483647, 0, 2147483647},
        {"exponent", "1e3", 1, 1, 1000},
        {"nan is zero", "nan", 0, 0, 0},
        {"huge float saturates", "1e300", 1, 1, 2147483647},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HalkToInt(c.text), c.asInt);
        EXPECT_EQ(HalkToUnsigned(c.text), c.asUnsigned);
        EXPECT_EQ(HalkToTruncatedInt(c.text), c.truncated);
    }
    EXPECT_DOUBLE_EQ(HalkToDouble(" 51.25"), 51.25);
}

TEST(PackedPBH, DecodesAndFoldsAngles) {
    struct Case {
        const char* name;
        uint32_t word;
        double pitch, bank, heading;
    } cases[] = {
        {"zero", 0, 0, 0, 0},
        {"pitch bits 512 fold to +180", 512u << 22, 180, 0, 0},
        {"bank bits 512 stay -180", 512u << 12, 0, -180, 0},
        {"heading 90", 256u << 2, 0, 0, 90},
        {"small nose down", 1023u << 22, 360.0 / 1024, 0, 0},
        {"bits 0 and 1 unused", 3u, 0, 0, 0},
        {"all ones", 0xFFFFFFFFu, 360.0 / 1024, 360.0 / 1024, 1023 * 360.0 / 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HalkAttitude a = DecodePackedPBH(c.word);
        EXPECT_DOUBLE_EQ(a.pitch, c.pitch);
        EXPECT_DOUBLE_EQ(a.bank, c.bank);
        EXPECT_DOUBLE_EQ(a.heading, c.heading);
    }
}

TEST(PackedPBH, EncodeRoundTrips) {
    for (double heading : {0.0, 45.0, 180.0, 270.0, 359.0}) {
        for (double bank : {-20.0, 0.0, 25.0}) {
            SCOPED_TRACE(heading);
            HalkAttitude a = DecodePackedPBH(EncodePackedPBH(-5.0, bank, heading));
            EXPECT_NEAR(a.heading, heading, 360.0 / 1024);
            EXPECT_NEAR(a.bank, bank, 360.0 / 1024);
            EXPECT_NEAR(a.pitch, -5.0, 360.0 / 1024);
        }
    }
}
