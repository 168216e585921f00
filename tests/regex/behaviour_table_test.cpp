// The engine's behaviour on its own documented cases: one table of searches
// (pattern, flags, text -> spans of every group) and one of compile errors.
#include <gtest/gtest.h>

#include "match_format.h"
#include "match_variants.h"

namespace {

using namespace regex;

struct MatchCase {
    const char* name;
    const char* pattern;
    int flags;
    std::string text;
    const char* expected;
};

const MatchCase kMatchCases[] = {
    // Literals, runs and counted quantifiers.
    {"literal run then star", "abc*", 0, "xabccc", "1-6"},
    {"counted atom then literal", "a{2,3}b", 0, "aaab", "0-4"},
    {"unfinished count is literal", "a{3", 0, "a{3", "0-3"},
    {"count with junk is literal", "a{2,x}", 0, "a{2,x}", "0-6"},
    {"open lower bound", "a{,2}", 0, "aaa", "0-2"},
    {"open upper bound", "a{3,}", 0, "aaaaa", "0-5"},
    {"lazy exact count", "a{2}?", 0, "aaa", "0-2"},
    {"greedy count caps", "a{2,3}", 0, "aaaa", "0-3"},
    {"lazy count stops early", "a{2,3}?", 0, "aaaa", "0-2"},
    {"lazy count extends for continuation", "a{2,3}?b", 0, "aaab", "0-4"},
    {"zero count skips atom", "xa{0}y", 0, "xy", "0-2"},
    {"zero to zero", "xa{0,0}", 0, "xa", "0-1"},
    {"star on empty text", "a*", 0, "", "0-0"},
    {"plus on empty text", "a+", 0, "", "none"},
    // Groups and captures.
    {"non-capturing takes no visible number", "(a)(?:b)(c)\\2", 0, "abcc", "0-4 0-1 2-3"},
    {"alternation backtracks into iterations", "(a|ab)*c", 0, "ababc", "0-5 2-4"},
    {"an empty iteration ends the loop", "(a?)*", 0, "b", "0-0 0-0"},
    {"capture kept from earlier iteration", "(?:(a)|b)*", 0, "ab", "0-2 0-1"},
    {"unset group backreference fails", "(a)?b\\1", 0, "b", "none"},
    {"empty backreference at end", "(x?)\\1{3}", 0, "y", "0-0 0-0"},
    {"group width with backreference", "(a\\1)", 0, "a", "none"},
    {"optional group unset", "(a)?b", 0, "b", "0-1 -"},
    {"nested groups", "((a)(b))", 0, "ab", "0-2 0-2 0-1 1-2"},
    {"alternatives in order", "a|ab", 0, "ab", "0-1"},
    // Atomic groups and look-around.
    {"atomic group is not re-entered", "(?>a*)a", 0, "aaa", "none"},
    {"atomic group then literal", "(?>a*)b", 0, "aab", "0-3"},
    {"look-ahead consumes nothing", "(?=ab)a", 0, "ab", "0-1"},
    {"negative look-ahead", "(?!ab)a", 0, "ab", "none"},
    {"capture in negative look-ahead restored", "(?!(a)b)(a)c", 0, "ac", "0-2 - 0-1"},
    {"look-behind", "(?<=ab)c", 0, "abc", "2-3"},
    {"look-behind too short", "(?<=ab)c", 0, "c", "none"},
    {"negative look-behind too short", "(?<!ab)c", 0, "c", "0-1"},
    {"look-behind of mixed widths", "(?<=a|bc)d", 0, "xbcd", "3-4"},
    {"negative look-behind checks every start", "(?<!a|bc)d", 0, "xad", "none"},
    {"negative look-behind passes", "(?<!a|bc)d", 0, "xxd", "2-3"},
    {"dollar in look-behind sees real end", "(?<=a$)b", 0, "ab", "none"},
    {"dollar in look-behind at real end", "a(?<=a$)", 0, "xa", "1-2"},
    {"look-ahead in look-behind sees past", "(?<=a(?=b))b", 0, "ab", "1-2"},
    {"look-behind after an open-width alternative", "(?:x*$|(?<=b)c)", 0, "bc", "1-2"},
    {"empty negative look-ahead fails", "a(?!)", 0, "a", "none"},
    {"empty negative look-behind fails", "(?<!)a", 0, "a", "none"},
    {"empty positive look-ahead holds", "a(?=)", 0, "a", "0-1"},
    {"empty group builds nothing", "(?:)a", 0, "a", "0-1"},
    {"empty bad extension builds nothing", "(?<)a(?)", 0, "a", "0-1"},
    {"empty comment", "a(?#)b", 0, "ab", "0-2"},
    {"comment with escaped parenthesis", "a(?#x\\)y)b", 0, "ab", "0-2"},
    {"bare options last to the group end", "(?i)a", 0, "A", "0-1"},
    {"empty scoped options end with their group", "(?i:)a", 0, "A", "none"},
    // Anchors and the dot.
    {"dot stops at newline", "a.c", 0, "a\nc", "none"},
    {"dot with single-line", "a.c", dot_matches_newline, "a\nc", "0-3"},
    {"caret only at search start", "^b", 0, "a\nb", "none"},
    {"caret per line", "^b", multi_line, "a\nb", "2-3"},
    {"dollar before final newline", "a$", 0, "a\n", "0-1"},
    {"dollar not before inner newline", "a$", 0, "a\nb", "none"},
    {"dollar per line", "a$", multi_line, "a\nb", "0-1"},
    {"small z only at very end", "a\\z", 0, "a\n", "none"},
    {"big Z before final newline", "a\\Z", 0, "a\n", "0-1"},
    {"big A ignores multi-line", "\\Ab", multi_line, "a\nb", "none"},
    // Case.
    {"inline option to group end", "a(?i)b", 0, "aB", "0-2"},
    {"inline option does not reach back", "a(?i)b", 0, "AB", "none"},
    {"scoped option group", "(?i:a)b", 0, "Ab", "0-2"},
    {"scoped option group ends", "(?i:a)b", 0, "AB", "none"},
    {"option inside group ends with it", "((?i)a)b", 0, "Ab", "0-2 0-1"},
    {"option inside group not outside", "((?i)a)b", 0, "AB", "none"},
    {"caseless backreference", "(a)\\1", ignore_case, "aA", "0-2 0-1"},
    {"caseless literal", "kjfk", ignore_case, "xKjFk", "1-5"},
    {"caseless set", "[a-c]+", ignore_case, "xAbC", "1-4"},
    {"upper class under ignore case", "[[:upper:]]+", ignore_case, "aB", "0-2"},
    {"upper class without ignore case", "[[:upper:]]+", 0, "aB", "1-2"},
    // Escapes.
    {"octal twelve", "\\12", 0, "\n", "0-1"},
    {"octal zero", "a\\0", 0, std::string("a\0", 2), "0-2"},
    {"hex escape", "\\x41", 0, "A", "0-1"},
    {"hex escape reads two digits", "\\x414", 0, "A4", "0-2"},
    {"control escape", "\\cA\\ca", 0, "\x01\x01", "0-2"},
    {"escape e", "\\e", 0, "\x1b", "0-1"},
    {"t without expand is a letter", "\\t", 0, "t\t", "0-1"},
    {"t with expand is a tab", "\\t", expand_escapes, "t\t", "1-2"},
    {"quoted run", "\\Qa.b\\E", 0, "axb a.b", "4-7"},
    {"quoted run to end", "\\Qa+", 0, "a+", "0-2"},
    {"trailing backslash", "a\\", 0, "a\\", "0-2"},
    {"escaped dot", "\\.", 0, "a.", "1-2"},
    // Character sets.
    {"bracket first", "[]a]+", 0, "x]a", "1-3"},
    {"negated bracket first", "[^]a]+", 0, "]ab", "2-3"},
    {"dash last", "[a-]+", 0, "x-a", "1-3"},
    {"dash first", "[-a]+", 0, "x-a", "1-3"},
    {"dash after set, last", "[\\d-]+", 0, "xa-5", "2-4"},
    {"non-word and digit", "[\\W\\d]+", 0, "a.5_", "1-3"},
    {"negated digit class", "[[:^digit:]]+", 0, "12ab3", "2-4"},
    {"blank is space only", "[[:blank:]]", 0, "\t ", "1-2"},
    {"octal in brackets", "[\\101]", 0, "A", "0-1"},
    {"hex in brackets", "[\\x41]", 0, "A", "0-1"},
    {"hex in brackets two digits", "[\\x414]+", 0, "A4", "0-2"},
    {"octal in brackets three digits", "[\\1011]+", 0, "A1", "0-2"},
    {"n in brackets is a letter", "[\\n]", 0, "\nn", "1-2"},
    {"n in brackets expanded", "[\\n]", expand_escapes, "\nn", "0-1"},
    {"open bracket is plain", "[[a]+", 0, "[a", "0-2"},
    {"negated set holds newline", "[^a]", 0, "\n", "0-1"},
    {"word class", "\\w+", 0, "  ab_9 ", "2-6"},
    {"space class", "\\s+", 0, "a \t\r\n\v\fb", "1-7"},
    {"high bytes are in no class", "\\W", 0, "a\xe9", "1-2"},
    // Free spacing.
    {"free spacing literal", "a b # note", free_spacing, "ab", "0-2"},
    {"inline free spacing", "(?x) a b", 0, "ab", "0-2"},
    // Word assertions, conditionals and recursion.
    {"word boundaries", "\\bcat\\b", 0, "a cat sat", "2-5"},
    {"no boundary inside a word", "\\bcat\\b", 0, "concatenate", "none"},
    {"not a boundary", "\\Bcat", 0, "concatenate", "3-6"},
    {"boundary at end after a word character", "a\\b", 0, "a", "0-1"},
    {"not a boundary in an empty text", "\\B", 0, "", "0-0"},
    {"condition on a group that matched", "^(a)?(?(1)b|c)$", 0, "ab", "0-2 0-1"},
    {"condition on a group that did not", "^(a)?(?(1)b|c)$", 0, "c", "0-1 -"},
    {"condition takes the yes branch only", "^(a)?(?(1)b|c)$", 0, "ac", "none"},
    {"condition takes the no branch only", "^(a)?(?(1)b|c)$", 0, "b", "none"},
    {"condition without a no branch", "^(a)?(?(1)b)$", 0, "", "0-0 -"},
    {"condition on a look-ahead", "(?(?=x)xy|z)", 0, "axy", "1-3"},
    {"condition on a failed look-ahead", "(?(?=x)xy|z)", 0, "az", "1-2"},
    {"condition on an empty negative look-ahead", "(?(?!)a|b)", 0, "ab", "1-2"},
    {"group inside a condition is numbered after it", "(?(?=(a))ab|c)", 0, "ab", "0-2 0-1"},
    {"condition without a no branch may match empty", "(?(?=x)xy)z", 0, "z", "0-1"},
    {"recursion", "\\((?:[^()]|(?R))*\\)", 0, "x(a(b)c)", "1-8"},
    {"recursion where the level began is skipped", "(?R)a", 0, "a", "0-1"},
    // Start positions.
    {"search start acts as text start", "^abc", 0, "abcabc", "0-3"},
    {"empty alternative group", "(a|)", 0, "b", "0-0 0-0"},
};

TEST(BehaviourTable, Searches) {
    for (const auto& c : kMatchCases) {
        SCOPED_TRACE(c.name);
        // Every driver, both text forms and both iterator types give the same answer.
        EXPECT_EQ(match_variants::FormatEveryWay(c.pattern, c.flags, c.text), c.expected) << c.pattern;
    }
}

struct ErrorCase {
    const char* name;
    const char* pattern;
    const char* expected;
};

const ErrorCase kErrorCases[] = {
    {"quantifier first", "*a", "quantifier not expected"},
    {"quantifier first in group", "(*a)", "quantifier not expected"},
    {"quantifier after bar", "a|*b", "quantifier not expected"},
    {"double quantifier", "a**", "quantifier not expected"},
    {"quantified caret", "^*", "quantifier not expected"},
    {"question mark first", "?a", "quantifier not expected"},
    {"plus first", "+", "quantifier not expected"},
    {"reversed count", "a{3,1}", "Can't do {n, m} with n > m"},
    {"huge count", "a{4294967296}", "number too big in {} quantifier"},
    {"huge upper count", "a{1,99999}", "number too big in {} quantifier"},
    {"open group", "(a", "mismatched parenthesis"},
    {"stray close", "a)", "mismatched parenthesis"},
    {"bare extension", "(?", "ill-formed regular expression"},
    {"bare option", "(?i", "ill-formed regular expression"},
    {"unknown extension", "(?z)", "bad extension sequence"},
    {"two dashes", "(?i-m-s)", "bad extension sequence"},
    {"open comment", "(?#abc", "Expecting end of comment"},
    {"reference without groups", "\\1", "reference to nonexistent group"},
    {"reference past groups", "(a)\\2", "reference to nonexistent group"},
    {"incomplete control", "\\c", "incomplete escape sequence \\c"},
    {"stray quote end", "\\E", "quotemeta turned off, but was never turned on"},
    {"reversed range", "[z-a]", "invalid range specified in character set"},
    {"open set", "[abc", "expecting end of character set"},
    {"open set escape", "[a\\", "expecting end of character set"},
    {"quantified look-behind", "(?<=a)*", "quantifier not expected"},
    {"quantified word boundary", "\\b*", "quantifier not expected"},
    // A count where "*" would be refused is refused too, not read as text.
    {"count first", "{2}", "quantifier not expected"},
    {"count on a count", "a{2}{3}", "quantifier not expected"},
    {"count on a look-ahead", "(?=abc){3}abc", "quantifier not expected"},
    {"count on an anchor", "^{2}", "quantifier not expected"},
    {"count after an option", "(?i){2}", "quantifier not expected"},
    {"count after a comment", "(?#c){3}", "quantifier not expected"},
    {"range up to a set", "[a-\\d]", "invalid range in character class"},
    {"range from a set", "[\\w-.]", "invalid range in character class"},
    {"range from a class", "[[:digit:]-z]", "invalid range in character class"},
    {"unknown class name", "[[:foo:]]", "unknown POSIX class name"},
    {"class outside brackets", "[:alpha:]", "POSIX named classes are supported only within a class"},
    {"collating element", "[[.a.]]", "POSIX collating elements are not supported"},
    {"octal above a byte", "\\400", "octal value is greater than \\377"},
    {"octal above a byte in a set", "[\\777]", "octal value is greater than \\377"},
    {"anchor escape in a set", "[\\A]", "escape sequence \\A is invalid in a character class"},
    {"case escape", "a\\Lb", "unsupported escape sequence \\L"},
    {"code point escape", "\\u0041", "unsupported escape sequence \\u"},
    {"case escape in a set", "[\\U]", "unsupported escape sequence \\U"},
    {"letter that names nothing", "\\i", "unrecognized escape sequence \\i"},
    {"quantified recursion", "a(?R)*", "recursion sub-expression cannot be quantified"},
    {"recursion without its parenthesis", "(?Rx)", "bad extension sequence"},
    {"three branches in a conditional", "(a)(?(1)a|b|c)", "Too many alternates in conditional subexpression"},
    {"condition on a missing group", "(a)(?(5)a|b)", "reference to nonexistent group"},
    {"condition that is no look-around", "(?(x)a)", "bad extension sequence"},
    {"deep nesting",
     "((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((("
     "(((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((((("
     "(",
     "parentheses nested too deeply"},
};

TEST(BehaviourTable, CompileErrors) {
    for (const auto& c : kErrorCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CompileError(c.pattern), c.expected) << c.pattern;
    }
}

}  // namespace
