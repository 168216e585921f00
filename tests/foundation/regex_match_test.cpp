#include "foundation/regex_match.h"

#include <gtest/gtest.h>

#include "regex/rpattern.h"

namespace {

struct Case {
    const char* name;
    std::string text;
    const char* pattern;
    uint32_t maxLength;
    bool expected;
};

// The validators' own patterns and limits.
const Case kCases[] = {
    {"matches but too long", "KJFK", "^[\\w ]+$", 3, false},
    {"need not cover the text", "abc", "b", 3, true},
    {"empty text needs a character", "", "^[\\w ]+$", 128, false},
    {"profile name", "My Profile 2", "^[\\w ]+$", 128, true},
    {"profile name with dot", "My.Profile", "^[\\w ]+$", 128, false},
    {"host name", "voice.example-1.net", "^[\\w\\.\\-]+$", 255, true},
    {"host name with slash", "voice/x", "^[\\w\\.\\-]+$", 255, false},
    {"frequency", "118.300", "^1\\d\\d\\.\\d\\d\\d$", 7, true},
    {"frequency without leading one", "218.300", "^1\\d\\d\\.\\d\\d\\d$", 7, false},
    {"frequency too long", "118.3001", "^1\\d\\d\\.\\d\\d\\d$", 8, false},
    {"unset frequency", "000.000", "^000\\.000$", 7, true},
    {"callsign with dash", "EDDF-TWR", "^[\\w \\-]+$", 12, true},
    {"display routing", "/12", "/\\d+", 3, true},
    {"routing too long", "/123", "/\\d+", 3, false},
    {"routing without digits", "/x", "/\\d+", 3, false},
};

TEST(RegexMatch, ValidatorPatterns) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RegexMatch(c.text, c.pattern, c.maxLength), c.expected);
    }
}

TEST(RegexMatch, MalformedPatternRaises) { EXPECT_THROW(RegexMatch("abc", "(a", 10), regex::bad_regexpr); }

// A search that cannot finish within the budget is neither accepted nor
// refused: the caller hears that the engine gave up.
TEST(RegexMatch, SearchOverBudgetRaises) {
    const std::string text = std::string(40, 'a') + "d";
    try {
        RegexMatch(text, "^(?:(a)|a)+(?(1)b|c)", 255);
        ADD_FAILURE() << "no match_limit_exceeded";
    } catch (const regex::match_limit_exceeded& e) {
        EXPECT_EQ(e.why(), regex::match_limit_exceeded::reason::steps);
    }
    // Hostile text on a validator's own pattern is answered at once.
    EXPECT_FALSE(RegexMatch(std::string(100000, 'a') + "!", "^[\\w ]+$", 200000));
}

}  // namespace
