// The line forms of a sector file: what each one accepts and which texts its
// groups give.
#include "atc/sector_line_patterns.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/random15.h"
#include "platform/atomic_file.h"
#include "tests/atc/sector_generator.h"
#include "tests/atc/sector_line_reference.h"

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
        SectorGroups reference;
        EXPECT_EQ(ReferenceMatch(c.pattern, c.line, reference), c.matches)
            << "the reference matcher disagrees";
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

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

// Every line form against a hand-written reference, on real lines and on
// seeded random edits of them (spaces, tabs, quotes, separators, cuts).
TEST(SectorLinePatterns, AgreeWithTheReferenceOnEditedLines) {
    std::vector<std::string> lines;
    for (const char* file : {"data/new_york.sct2", "data/new_york.sct"}) {
        std::string text;
        ASSERT_TRUE(ReadWholeFile(file, text));
        for (std::string& line : SplitLines(text)) lines.push_back(std::move(line));
    }
    LargeSectorShape shape{200, 100, 20, 50};
    for (std::string& line : SplitLines(GenerateLargeSector(3, shape))) lines.push_back(std::move(line));

    Random15 random(20261210);
    auto below = [&](size_t n) { return n == 0 ? 0 : static_cast<size_t>(random.Next()) % n; };
    const std::string inserts = std::string(" \t\v\"\".,[]#Aa0;") + '\xA0';
    std::vector<std::string> inputs;
    for (const std::string& line : lines) {
        inputs.push_back(line);
        for (int variant = 0; variant < 4; ++variant) {
            std::string edited = line;
            for (int edit = below(4) + 1; edit > 0; --edit) {
                switch (below(4)) {
                    case 0:
                        edited.insert(below(edited.size() + 1), 1, inserts[below(inserts.size())]);
                        break;
                    case 1:
                        if (!edited.empty()) edited.erase(below(edited.size()), 1);
                        break;
                    case 2:
                        edited.resize(below(edited.size() + 1));
                        break;
                    case 3:
                        edited.insert(0, std::string(below(3), ' '));
                        break;
                }
            }
            inputs.push_back(edited);
        }
    }

    SectorLinePatterns patterns;
    int compared = 0;
    for (const std::string& input : inputs) {
        for (int p = 0; p <= static_cast<int>(SectorPattern::Label); ++p) {
            SectorPattern which = static_cast<SectorPattern>(p);
            SectorGroups expected, actual;
            bool expectedMatch = ReferenceMatch(which, input, expected);
            bool actualMatch = patterns.Match(which, input, actual);
            ++compared;
            if (expectedMatch != actualMatch) {
                ADD_FAILURE() << SectorLinePatterns::PatternText(which) << " on [" << input << "]: engine "
                              << actualMatch << ", reference " << expectedMatch;
                continue;
            }
            for (size_t n = 1; n < expected.size(); ++n) {
                if (expected[n] != actual[n]) {
                    ADD_FAILURE() << SectorLinePatterns::PatternText(which) << " on [" << input << "] group "
                                  << n << ": engine [" << actual[n] << "], reference [" << expected[n] << "]";
                }
            }
        }
    }
    EXPECT_GT(compared, 20000);
}

}  // namespace
