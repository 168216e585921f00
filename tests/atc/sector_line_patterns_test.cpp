// The line forms of a sector file: what each one accepts and which texts its
// groups give.
#include "atc/sector_line_patterns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(SectorLinePatterns, GroupsOfEachForm) {
    struct Case {
        const char* name;
        SectorPattern pattern;
        std::string line;
        bool matches;
        std::vector<std::string> groups;  // groups 1..n
    };
    const std::string name26 = "KJFK SKORR4 RWY 31L       ";
    const Case cases[] = {
        {"define", SectorPattern::Define, "#define COAST 16744448", true, {"COAST", "16744448"}},
        {"define in any case, value with spaces",
         SectorPattern::Define,
         "#DeFiNe  a\tb c ",
         true,
         {"a", "b c "}},
        {"define needs a value", SectorPattern::Define, "#define COAST", false, {}},
        {"define needs space after the word", SectorPattern::Define, "#defineX 1", false, {}},
        {"define value taken from the space run", SectorPattern::Define, "#define A \v", true, {"A", "\v"}},
        {"header", SectorPattern::Header, "[ARTCC HIGH]", true, {"ARTCC HIGH"}},
        {"header with text after it", SectorPattern::Header, "[INFO] x", false, {}},
        {"empty header", SectorPattern::Header, "[]", false, {}},
        {"header inner brackets", SectorPattern::Header, "[A]B]", true, {"A]B"}},
        {"navaid",
         SectorPattern::Navaid,
         "JFK 115.900 N040 W073 extra",
         true,
         {"JFK", "115.900", "N040", "W073"}},
        {"navaid needs four fields", SectorPattern::Navaid, "JFK 115.900 N040", false, {}},
        {"navaid must start at column one", SectorPattern::Navaid, " JFK 1 2 3", false, {}},
        {"fix", SectorPattern::Fix, "MERIT\tN041 W073", true, {"MERIT", "N041", "W073"}},
        {"airport with class",
         SectorPattern::Airport,
         "KJFK 119.1 N W B",
         true,
         {"KJFK", "119.1", "N", "W", "B"}},
        {"airport class is the first letter only",
         SectorPattern::Airport,
         "KJFK 1 N W Bravo",
         true,
         {"KJFK", "1", "N", "W", "B"}},
        {"airport lower-case class is none",
         SectorPattern::Airport,
         "KJFK 1 N W b",
         true,
         {"KJFK", "1", "N", "W", ""}},
        {"runway",
         SectorPattern::Runway,
         "04L 22R 044 224 a b c d",
         true,
         {"04L", "22R", "044", "224", "a", "b", "c", "d"}},
        {"runway with seven fields", SectorPattern::Runway, "04L 22R 044 224 a b c", false, {}},
        {"segment", SectorPattern::Segment, "ZNY a b c d", true, {"ZNY", "a", "b", "c", "d"}},
        {"procedure first line",
         SectorPattern::ProcFirst,
         name26 + "a b c d 255",
         true,
         {name26, "a", "b", "c", "d", "255"}},
        {"procedure name runs into a field",
         SectorPattern::ProcFirst,
         "KJFK SKORR4 RWY 31L N040.0 b c d e",
         true,
         {"KJFK SKORR4 RWY 31L N040.0", "b", "c", "d", "e", ""}},
        {"procedure name cuts a field",
         SectorPattern::ProcFirst,
         "KJFK SKORR4 RWY 31L N040.0X1 b c d",
         true,
         {"KJFK SKORR4 RWY 31L N040.0", "X1", "b", "c", "d", ""}},
        {"procedure first line too short", SectorPattern::ProcFirst, "KJFK SKORR4 a b c d", false, {}},
        {"procedure continuation", SectorPattern::ProcNext, "\t a b c d", true, {"a", "b", "c", "d", ""}},
        {"procedure continuation needs leading space", SectorPattern::ProcNext, "a b c d", false, {}},
        {"geo with colour", SectorPattern::Geo, "a b c d RED x", true, {"a", "b", "c", "d", "RED"}},
        {"geo without colour", SectorPattern::Geo, "a b c d", true, {"a", "b", "c", "d", ""}},
        {"region first line", SectorPattern::RegionFirst, "RED a b", true, {"RED", "a", "b"}},
        {"region continuation", SectorPattern::RegionNext, "   a b", true, {"a", "b"}},
        {"region continuation with one field", SectorPattern::RegionNext, "   a", false, {}},
        {"label", SectorPattern::Label, "\"JFK\" a b 255", true, {"JFK", "a", "b", "255"}},
        {"label takes the last usable quote",
         SectorPattern::Label,
         "\"say \"hi\" now\" a b c",
         true,
         {"say \"hi\" now", "a", "b", "c"}},
        {"label quote followed by too few fields is text",
         SectorPattern::Label,
         "\"a\" b c\" d e f",
         true,
         {"a\" b c", "d", "e", "f"}},
        {"empty label", SectorPattern::Label, "\"\" a b c", false, {}},
        {"label without closing quote", SectorPattern::Label, "\"abc a b c", false, {}},
    };
    SectorLinePatterns patterns;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SectorGroups groups;
        ASSERT_EQ(patterns.Match(c.pattern, c.line, groups), c.matches);
        if (!c.matches) continue;
        for (size_t i = 0; i < c.groups.size(); ++i) {
            SCOPED_TRACE(i + 1);
            EXPECT_EQ(std::string(groups[i + 1]), c.groups[i]);
        }
    }
}

}  // namespace
