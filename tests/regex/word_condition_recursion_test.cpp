// Word assertions, conditionals, recursion, repeated and right-to-left
// searches, run every way the engine offers (match_variants.h).
#include <gtest/gtest.h>

#include "match_variants.h"

namespace {

using namespace regex;

struct MatchCase {
    const char* name;
    const char* pattern;
    int flags;
    std::string text;
    size_t position;
    const char* expected;
};

const MatchCase kMatchCases[] = {
    // Word assertions.
    {"whole word", "\\bcat\\b", 0, "a cat sat", 0, "2-5"},
    {"no word inside a word", "\\bcat\\b", 0, "concatenate", 0, "none"},
    {"not a boundary", "\\Bcat", 0, "concatenate", 0, "3-6"},
    {"search start is a boundary", "\\bcat", 0, "xcat", 1, "1-4"},
    {"boundary at the end of the range", "a\\b", 0, "a", 0, "0-1"},
    {"not a boundary in empty text", "\\B", 0, "", 0, "0-0"},
    {"no boundary in empty text", "\\b", 0, "", 0, "none"},
    {"words between spaces", "\\b\\w+\\b", 0, "  ab_9 ", 0, "2-6"},
    {"high byte is no word character", "\\b", 0,
     "\xe9"
     "a",
     0, "1-1"},
    // Conditionals.
    {"condition on a taken group", "^(a)?(?(1)b|c)$", 0, "ab", 0, "0-2 0-1"},
    {"condition on an untaken group", "^(a)?(?(1)b|c)$", 0, "c", 0, "0-1 -"},
    {"taken group refuses the no branch", "^(a)?(?(1)b|c)$", 0, "ac", 0, "none"},
    {"untaken group refuses the yes branch", "^(a)?(?(1)b|c)$", 0, "b", 0, "none"},
    {"no no-branch matches empty", "^(a)?(?(1)b)$", 0, "", 0, "0-0 -"},
    {"group defined after the condition", "(?(1)a|b)(c)", 0, "bc", 0, "0-2 1-2"},
    {"condition on a look-ahead", "(?(?=a)ab|cd)", 0, "xab", 0, "1-3"},
    {"look-ahead condition takes no branch", "(?(?=a)ab|cd)", 0, "xcd", 0, "1-3"},
    {"look-ahead condition chooses once", "(?(?=a)ab|cd)", 0, "ad", 0, "none"},
    {"negative look-ahead condition", "(?(?!a)b|ac)", 0, "ac", 0, "0-2"},
    {"look-behind condition", "(?(?<=x)a|b)", 0, "xa", 0, "1-2"},
    {"look-behind condition fails", "(?(?<=x)a|b)", 0, "ya", 0, "none"},
    {"capture inside the condition", "(?(?=(a))ab|b)", 0, "ab", 0, "0-2 0-1"},
    {"quantified conditional", "(a)?(?(1)b|c)+", 0, "abbb", 0, "0-4 0-1"},
    {"conditional inside a repeat", "(?:(a)|b(?(1)c|d))+", 0, "bdabc", 0, "0-5 2-3"},
    // Recursion.
    {"balanced parentheses", "\\((?:[^()]|(?R))*\\)", 0, "x(a(b)c)y", 0, "1-8"},
    {"nested a and b", "a(?:(?R))?b", 0, "aaabbb", 0, "0-6"},
    {"recursion without progress is skipped", "(?R)", 0, "x", 0, "0-0"},
    {"captures inside a recursion stay", "(?:b(?R)|(a))", 0, "ba", 0, "0-2 1-2"},
    {"recursion is matched once", "^(?:a(?R)|a)b$", 0, "aab", 0, "none"},
    // Repeated and right-to-left searches.
    {"last of repeated matches", "a*", repeat_search, "baa", 0, "3-3"},
    {"all whole matches", "a*", repeat_search | collect_whole_matches, "baa", 0, "0-0 1-3 3-3"},
    {"whole matches win over all groups", "a", repeat_search | collect_whole_matches | collect_all_groups,
     "aba", 0, "0-1 2-3"},
    {"all groups of every match", "(a)|(b)", repeat_search | collect_all_groups, "ab", 0,
     "0-1 0-1 - 1-2 - 1-2"},
    {"repeated search finds nothing", "x", repeat_search, "ab", 0, "none"},
    {"repeated search from a position", "\\w", repeat_search | collect_whole_matches, "ab cd", 2, "3-4 4-5"},
    {"rightmost match", "a", search_from_right, "aXa", 0, "2-3"},
    {"rightmost start is tried first", "a+", search_from_right, "aaXaa", 0, "4-5"},
    {"anchored pattern ignores right to left", "^a", search_from_right, "aXa", 0, "0-1"},
    {"right to left finds nothing", "b", search_from_right, "aXa", 0, "none"},
    {"repeated right to left search ends", "^",
     multi_line | repeat_search | collect_whole_matches | search_from_right, "ab", 0, "0-0"},
    {"repeated right to left after a match", "a*", repeat_search | collect_whole_matches | search_from_right,
     "baa", 0, "3-3"},
    // Deep patterns on both drivers.
    {"lazy group quantifier", "(a|b)*?c", 0, "abac", 0, "0-4 2-3"},
    {"counted group bounds", "(ab){2,3}", 0, "abababab", 0, "0-6 4-6"},
    {"lazy counted group", "(ab){2,3}?", 0, "abababab", 0, "0-4 2-4"},
    {"group quantifier backs off", "(a|ab)(c|bcd)*(d*)", 0, "abcd", 0, "0-4 0-1 1-4 4-4"},
    {"atomic group in a loop", "(?>a|ab)*c", 0, "aabc", 0, "3-4"},
    {"positive look-behind retries a later start", "(?<=(ab|b))\\1", 0, "abb", 0, "2-3 1-2"},
};

TEST(WordConditionRecursion, Searches) {
    for (const auto& c : kMatchCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(match_variants::FormatEveryWay(c.pattern, c.flags, c.text, c.position), c.expected)
            << c.pattern;
    }
}

struct ErrorCase {
    const char* name;
    const char* pattern;
    const char* expected;
};

const ErrorCase kErrorCases[] = {
    {"quantified recursion", "(?R)*", "recursion sub-expression cannot be quantified"},
    {"counted recursion", "a(?R){2}", "recursion sub-expression cannot be quantified"},
    {"optional recursion", "a(?R)?b", "recursion sub-expression cannot be quantified"},
    {"recursion with junk", "(?Rx)", "bad extension sequence"},
    {"condition on a missing group", "(a)(?(5)a|b)", "reference to nonexistent group"},
    {"condition without groups", "(?(1)a|b)", "reference to nonexistent group"},
    {"condition on nothing", "(?(x)a)", "bad extension sequence"},
    {"three branches", "(x)(?(1)a|b|c)", "Too many alternates in conditional subexpression"},
    {"quantified word boundary", "\\b*", "quantifier not expected"},
};

TEST(WordConditionRecursion, CompileErrors) {
    for (const auto& c : kErrorCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(match_variants::FormatEveryWay(c.pattern, 0, "x"), std::string("error: ") + c.expected)
            << c.pattern;
    }
}

}  // namespace
