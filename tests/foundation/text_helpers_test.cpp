#include "foundation/text_helpers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <thread>

#include "comma_locale.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"

namespace fs = std::filesystem;

namespace {

std::string Joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& part : parts) out += "<" + part + ">";
    return out;
}

}  // namespace

TEST(TextHelpers, CaseChangesAsciiOnly) {
    EXPECT_EQ(ToLower("AbC xYz 09 \xC9\xE9"), "abc xyz 09 \xC9\xE9");
    EXPECT_EQ(ToUpper("AbC xYz 09 \xC9\xE9"), "ABC XYZ 09 \xC9\xE9");
    EXPECT_EQ(ToUpper(std::string("a\0b", 3)), std::string("A\0B", 3));
}

TEST(TextHelpers, TrimBlanksAtBothEnds) {
    EXPECT_EQ(TrimBlanks(" \t a b \t"), "a b");
    EXPECT_EQ(TrimBlanks(" \t "), "");
    EXPECT_EQ(TrimBlanks("\r\nx"), "\r\nx") << "only blanks and tabs";
}

TEST(TextHelpers, NumbersToText) {
    struct Case {
        const char* name;
        int32_t value;
        const char* decimal;
        const char* hex;
    };
    const Case cases[] = {
        {"zero", 0, "0", "0x00000000"},
        {"negative", -42, "-42", "0xffffffd6"},
        {"minus one", -1, "-1", "0xffffffff"},
        {"byte", 255, "255", "0x000000ff"},
        {"smallest", INT32_MIN, "-2147483648", "0x80000000"},
        {"largest", INT32_MAX, "2147483647", "0x7fffffff"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IntToString(c.value), c.decimal);
        EXPECT_EQ(IntToHexString(static_cast<uint32_t>(c.value)), c.hex);
    }
}

TEST(TextHelpers, NumbersToTextFromManyThreads) {
    // The network's socket threads call these; they must share nothing.
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t, &failures] {
            for (int i = 0; i < 20000; ++i) {
                int value = t * 1000003 + i;
                if (IntToString(value) != std::to_string(value)) ++failures[t];
                if (IntToHexString(static_cast<uint32_t>(value)).size() != 10) ++failures[t];
            }
        });
    for (auto& thread : threads) thread.join();
    for (int f : failures) EXPECT_EQ(f, 0);
}

TEST(TextHelpers, AltitudeByTransitionLevel) {
    struct Case {
        const char* name;
        int altitude;
        const char* expected;
    };
    const Case cases[] = {
        {"rounded up below", 1234, "1300"}, {"low", 50, "100"},
        {"exact hundreds", 1200, "1200"},   {"just below", 17999, "18000"},
        {"at the level", 18000, "FL180"},   {"truncated level", 35099, "FL350"},
        {"negative", -20, "100"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatAltitudeWithTransLevel(c.altitude, 18000), c.expected);
    }
    EXPECT_EQ(FormatAltitudeWithTransLevel2("  35099ft", 18000), "FL350");
    EXPECT_EQ(FormatAltitudeWithTransLevel2("-20", 18000), "100");
    EXPECT_EQ(FormatAltitudeWithTransLevel2("none", 18000), "100");
}

TEST(TextHelpers, LatLonDMS) {
    struct Case {
        const char* name;
        double value;
        bool isLatitude;
        const char* expected;
    };
    const Case cases[] = {
        {"half degree", 47.5, true, "N47.30.00.000"},
        {"three-digit west", -122.25, false, "W122.15.00.000"},
        {"seconds", 40.6413, true, "N40.38.28.680"},
        {"carries into the minutes", 5.1, true, "N05.06.00.000"},
        {"carries into the degrees", 9.99999999, true, "N10.00.00.000"},
        {"south", -33.9425, true, "S33.56.33.000"},
        {"east", 151.1775, false, "E151.10.39.000"},
        {"zero", 0.0, true, "N00.00.00.000"},
        {"negative zero", -0.0, false, "E00.00.00.000"},
        {"tiny negative", -0.0000001, false, "W00.00.00.000"},
        {"longest real", -179.9999, false, "W179.59.59.640"},
        {"huge value stays whole", 1e300, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = FormatLatLonDMS(c.value, c.isLatitude);
        if (c.expected) {
            EXPECT_EQ(text, c.expected);
        } else {
            EXPECT_EQ(text.size(), 1 + 301 + 10u);  // no buffer cuts it
            EXPECT_EQ(text.substr(text.size() - 10), ".00.00.000");
        }
    }
    EXPECT_EQ(FormatLatLonDMS(std::numeric_limits<double>::infinity(), true), "Ninf");
    EXPECT_EQ(FormatLatLonDMS(-std::numeric_limits<double>::quiet_NaN(), false).substr(1), "nan");
}

TEST(TextHelpers, NumbersIgnoreTheDesktopLocale) {
    CommaLocale locale;
    if (!locale.Active()) GTEST_SKIP() << "no locale with a decimal comma could be had";
    EXPECT_EQ(FormatLatLonDMS(40.6413, true), "N40.38.28.680");
    EXPECT_EQ(IntToString(-1234567), "-1234567");
    EXPECT_EQ(FormatAltitudeWithTransLevel2("1.234", 18000), "100");
}

TEST(TextHelpers, UtcClock) {
    // 2026-12-10 09:05:07 UTC.
    ManualClock clock(0, 1796893507);
    EXPECT_EQ(FormatUtcClock(clock), "09:05:07");
    clock.SetWallSeconds(1796893507 + 14 * 3600 + 54 * 60 + 52);
    EXPECT_EQ(FormatUtcClock(clock), "23:59:59");
    EXPECT_EQ(FormatUtcClock().size(), 8u);
}

TEST(TextHelpers, ReplaceAll) {
    struct Case {
        const char* name;
        const char* text;
        const char* search;
        const char* replacement;
        const char* expected;
    };
    const Case cases[] = {
        {"collapses runs of blanks", "a    b  c", "  ", " ", "a b c"},
        {"replacement recreates the search", "aab", "ab", "b", "b"},
        {"removes", "a\r\nb\r\n", "\r", "", "a\nb\n"},
        {"same length", "a:b:c", ":", " ", "a b c"},
        {"longer", "a|b|", "|", "\r\n", "a\r\nb\r\n"},
        {"template field", "%icao% at %time%", "%icao%", "EGLL", "EGLL at %time%"},
        {"nothing found", "abc", "x", "y", "abc"},
        {"empty text", "", "a", "b", ""},
        {"empty search changes nothing", "abc", "", "x", "abc"},
        {"replacement holds the search", "a-a", "a", "aa", "aa-aa"},
        {"replacement is the search", "aaa", "a", "a", "aaa"},
        {"field value holds the field", "%wind%!", "%wind%", "x%wind%", "x%wind%!"},
        {"search longer than text", "ab", "abc", "", "ab"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReplaceAll(c.text, c.search, c.replacement), c.expected);
    }
}

TEST(TextHelpers, ReplaceAllCollapsesALongRunQuickly) {
    std::string text = "a" + std::string(200000, ' ') + "b";
    EXPECT_EQ(ReplaceAll(text, "  ", " "), "a b");
}

TEST(TextHelpers, AircraftTypes) {
    struct Case {
        const char* type;
        const char* bare;
        const char* suffix;
    };
    const Case cases[] = {
        {"H/B744/F", "B744", "F"}, {"B744/F", "B744", "F"},
        {"B744", "B744", ""},      {"/B738", "/B738", ""},
        {"B7", "B7", ""},          {"C172/U", "C172", "U"},
        {"B744/", "B744", ""},     {"T/B738", "B738", ""},
        {"H/", "H/", ""},          {"", "", ""},
        {"H/B7", "B7", ""},        {"L/C172/G", "C172", "G"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(GetBareAircraftType(c.type), c.bare);
        EXPECT_EQ(GetEquipmentSuffix(c.type), c.suffix);
    }
}

TEST(TextHelpers, SplitString) {
    struct Case {
        const char* name;
        const char* text;
        unsigned limit;
        const char* delimiters;
        const char* expected;
    };
    const Case cases[] = {
        {"limit keeps the rest", "  a  b c ", 2, " ", "<a><b c >"},
        {"no limit", "  a  b c ", 0, " ", "<a><b><c>"},
        {"limit one", "  a  b c ", 1, " ", "<a  b c >"},
        {"limit above count", "a b", 5, " ", "<a><b>"},
        {"empty text", "", 0, " ", ""},
        {"delimiters only", " | ", 0, " |", ""},
        {"delimiter set", "a.b c\td", 0, " .\t", "<a><b><c><d>"},
        {"line ends", "one\r\ntwo\r\n", 0, "\r\n\t ", "<one><two>"},
        {"no delimiter", "abc", 0, ",", "<abc>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> out = {"stale"};
        SplitString(c.text, out, c.limit, c.delimiters);
        EXPECT_EQ(Joined(out), c.expected);
    }
}

TEST(TextHelpers, SplitStringBySeparator) {
    struct Case {
        const char* name;
        const char* text;
        const char* separator;
        bool keepEmpty;
        int count;
        const char* expected;
    };
    const Case cases[] = {
        {"keeps empty", "a,,b", ",", true, 2, "<old><a><><b>"},
        {"drops empty", "a,,b", ",", false, 2, "<old><a><b>"},
        {"trailing", "a,b,", ",", true, 2, "<old><a><b><>"},
        {"leading", ",a", ",", true, 1, "<old><><a>"},
        {"no separator", "abc", ",", true, 0, "<old>"},
        {"empty text", "", ",", true, 0, "<old>"},
        {"empty separator", "abc", "", true, 0, "<old>"},
        {"long separator", "a::b::::c", "::", true, 3, "<old><a><b><><c>"},
        {"no overlap", "aaa", "aa", true, 1, "<old><><a>"},
        {"only separator", ":", ":", true, 1, "<old><><>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> out = {"old"};
        EXPECT_EQ(SplitStringBySeparator(c.text, c.separator, out, c.keepEmpty), c.count);
        EXPECT_EQ(Joined(out), c.expected);
    }
}

TEST(TextHelpers, JoinStrings) {
    EXPECT_EQ(JoinStrings({}, "|"), "");
    EXPECT_EQ(JoinStrings({"a"}, "|"), "a");
    EXPECT_EQ(JoinStrings({"a", "", "c"}, "\r\n"), "a\r\n\r\nc");
    std::vector<std::string> parts;
    SplitStringBySeparator("x|y||z", "|", parts, true);
    EXPECT_EQ(JoinStrings(parts, "|"), "x|y||z");
}

TEST(TextHelpers, WriteStringToFile) {
    fs::path dir = fs::temp_directory_path() / ("tarq_text_" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::string path = (dir / "radio.log").string();
    ASSERT_TRUE(WriteStringToFile(path, "first line that is long\n"));
    ASSERT_TRUE(WriteStringToFile(path, "a\r\nb\n"));
    std::string back;
    ASSERT_TRUE(ReadWholeFile(path, back));
    EXPECT_EQ(back, "a\r\nb\n");
    EXPECT_FALSE(WriteStringToFile((dir / "missing" / "x.log").string(), "x"));
    fs::remove_all(dir);
}
