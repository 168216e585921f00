// Searches that a plain backtracking engine cannot finish: each must end with
// the right answer on every driver, or with match_limit_exceeded, never hang
// and never answer "no match" when it does not know. Also the syntax that the
// corpus of Perl patterns showed to be read wrongly.
#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>

#include "hostile_patterns.h"
#include "match_format.h"
#include "match_variants.h"

namespace {

using namespace regex;
using hostile_patterns::Repeat;

std::string Span(const std::string& pattern, const std::string& text, int mode, uint64_t budget = 0) {
    rpattern p(pattern, 0, mode);
    if (budget) p.set_step_budget(budget);
    match_results r;
    try {
        bool matched = p.match_text(text, r).matched;
        return matched
                   ? std::to_string(r[0].begin - text.begin()) + "-" + std::to_string(r[0].end - text.begin())
                   : "none";
    } catch (const match_limit_exceeded& e) {
        return e.why() == match_limit_exceeded::reason::steps ? "steps" : "depth";
    }
}

// Within the default budget on both drivers: loops stop at an empty
// iteration, remember where they failed, and the required byte is looked for first.
TEST(HostileInput, EveryRowEndsWithTheAnswer) {
    auto rows = hostile_patterns::Rows();
    // The byte the pattern needs is there, far away: only the remembered failures keep these short.
    rows.push_back({"nested star, needed byte at the end", "(a*)*b", Repeat("a", 30) + "cb", "31-32"});
    rows.push_back({"split run, needed byte at the end", "(x+x+)+y", Repeat("x", 30) + "zy", "none"});
    rows.push_back(
        {"quote closed too late", R"re("([^\\"]+|\\.)*"$)re", "\"" + Repeat("x", 26) + "\"x", "none"});
    rows.push_back(
        {"weather report, 40 groups", program_patterns::kMetar, hostile_patterns::SlashedMetar(40), "none"});
    rows.push_back({"nested 50 deep, empty text", hostile_patterns::NestedLoops(50), "", "0-0"});
    rows.push_back(
        {"nested 50 deep over text", hostile_patterns::NestedLoops(50) + "b", Repeat("a", 200), "none"});
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        for (int mode : {recursive_mode, stack_mode})
            EXPECT_EQ(Span(row.pattern, row.text, mode), row.expected) << mode;
    }
}

// Captures can steer a back-reference, so nothing is remembered: the budget ends it.
TEST(HostileInput, BudgetEndsWhatCannotBeRemembered) {
    const std::string pattern = "^(?:(a)|a)+(?(1)b|c)";
    const std::string text = Repeat("a", 40) + "d";
    for (int mode : {recursive_mode, stack_mode}) {
        EXPECT_EQ(Span(pattern, text, mode), "steps") << mode;
        // A small budget of the caller's own ends a search that the default lets finish.
        EXPECT_EQ(Span(pattern, Repeat("a", 8) + "d", mode), "none") << mode;
        EXPECT_EQ(Span(pattern, Repeat("a", 8) + "d", mode, 50), "steps") << mode;
    }
    rpattern p(pattern);
    p.set_step_budget(50);
    rpattern copy(p);
    EXPECT_EQ(copy.step_budget(), 50u);
    // The results of a search that gave up name no match.
    match_results r;
    EXPECT_THROW(p.match_text(Repeat("a", 8) + "d", r), match_limit_exceeded);
    for (size_t i = 0; i < r.size(); ++i) EXPECT_FALSE(r[i].matched);
    // The pattern stays usable.
    EXPECT_TRUE(p.match_text(std::string("ab"), r).matched);
}

// Balanced brackets 30,000 deep: the recursive driver falls back to the stack
// driver; where that is too deep as well the search says so.
TEST(HostileInput, DeepRecursionMatchesOrRaises) {
    const std::string text = Repeat("(", 30000) + Repeat(")", 30000);
    for (int mode : {recursive_mode, stack_mode}) {
        std::string got = Span("\\((?:[^()]|(?R))*\\)", text, mode);
        EXPECT_TRUE(got == "0-60000" || got == "depth") << mode << ": " << got;
    }
    EXPECT_EQ(Span("\\((?:[^()]|(?R))*\\)", Repeat("(", 200) + Repeat(")", 200), recursive_mode), "0-400");
}

struct SyntaxCase {
    const char* name;
    const char* pattern;
    std::string text;
    const char* expected;
};

const SyntaxCase kSyntaxCases[] = {
    {"comment before a count", "^a(?#xxx){3}c", "aaac", "0-4"},
    {"comment before a plus", "a(?#c)+", "baa", "1-3"},
    {"comment before a group's quantifier", "(ab)(?#x)*c", "ababc", "0-5 2-4"},
    {"comment before a class's quantifier", "\\d(?#x)(?#y){2}", "a123", "1-3"},
    {"comment not before a quantifier", "a(?#x)b", "ab", "0-2"},
    {"empty braces are text", "x{}y", "x{}y", "0-4"},
    {"comma alone in braces is text", "a{,}", "a{,}", "0-4"},
    {"open lower bound still counts", "a{,2}", "aaa", "0-2"},
    {"malformed count is text", "a{2,x}", "a{2,x}", "0-6"},
    {"quantified empty group", "a(?:)*b", "ab", "0-2"},
    {"quantified empty atomic group", "a(?>)+b", "ab", "0-2"},
    {"quantified empty look-ahead", "a(?=){2}b", "ab", "0-2"},
    {"hex in braces", "\\x{41}", "zA", "1-2"},
    {"hex in braces in a set", "[\\x{41}-\\x{43}]+", "zABCD", "1-4"},
    {"two hex digits", "\\x41", "A", "0-1"},
    {"letters the engine reads as text stay", "\\t\\n", "tn", "0-2"},
};

TEST(HostileInput, CorpusSyntax) {
    for (const auto& c : kSyntaxCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(match_variants::FormatEveryWay(c.pattern, 0, c.text), c.expected);
    }
}

TEST(HostileInput, UnsupportedEscapesAreRefused) {
    const char* const refused[] = {"a\\Kb",      "\\Ga",        "\\R",      "\\X",    "\\h",     "\\H",
                                   "\\v",        "\\V",         "\\N",      "\\p{L}", "\\P{L}",  "(a)\\g1",
                                   "(a)\\g{-1}", "(?:a)\\k<n>", "\\o{101}", "[\\h]",  "[\\p{L}]"};
    for (const char* pattern : refused)
        EXPECT_EQ(CompileError(pattern).rfind("unsupported escape sequence \\", 0), 0u) << pattern;
    EXPECT_NE(CompileError("\\x{100}"), "ok");
    EXPECT_NE(CompileError("\\x{41"), "ok");
    EXPECT_NE(CompileError("\\x{}"), "ok");
}

}  // namespace

// Between the depth the machine stack allows the recursive driver and the
// one it allows the stack driver, a search falls back and still matches; the
// first attempt's steps then show in the count.
TEST(HostileInput, TooDeepForTheRecursiveDriverTheStackDriverMatches) {
    const std::string pattern = "\\((?:[^()]|(?R))*\\)";
    bool fellBack = false;
    for (int depth = 500; depth <= 64000 && !fellBack; depth += depth / 4) {
        const std::string text = Repeat("(", depth) + Repeat(")", depth);
        rpattern recursive(pattern, 0, recursive_mode), stack(pattern, 0, stack_mode);
        match_results r, s;
        bool stackMatched = false;
        try {
            stackMatched = stack.match_text(text, s).matched;
        } catch (const match_limit_exceeded&) {
            break;  // deeper than either driver goes
        }
        ASSERT_TRUE(stackMatched) << depth;
        ASSERT_TRUE(recursive.match_text(text, r).matched) << depth;
        EXPECT_EQ(r[0].end - r[0].begin, 2 * depth);
        fellBack = r.steps() > s.steps();
    }
    EXPECT_TRUE(fellBack) << "no depth fell back to the stack driver";
}

namespace {

// Runs `work` on a thread whose whole stack is `bytes`.
void OnSmallStack(size_t bytes, void (*work)()) {
    pthread_attr_t attr;
    ASSERT_EQ(pthread_attr_init(&attr), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attr, bytes), 0);
    pthread_t thread;
    ASSERT_EQ(pthread_create(
                  &thread, &attr,
                  [](void* arg) -> void* {
                      reinterpret_cast<void (*)()>(arg)();
                      return nullptr;
                  },
                  reinterpret_cast<void*>(work)),
              0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

std::atomic<int> g_compiled{0};
std::atomic<int> g_refused{0};
std::atomic<int> g_wrong{0};

// Every nesting the parser accepts is parsed on a 64 KB stack, or refused
// with bad_regexpr; a search that is too deep for the stack falls back or gives up.
TEST(HostileInput, SmallThreadStackParsesOrRefuses) {
    OnSmallStack(64 * 1024, [] {
        for (int depth : {1, 5, 20, 50, 100, 150, 199}) {
            for (const char* open : {"(", "(?:", "(?=", "(?>", "(?<="}) {
                std::string pattern = Repeat(open, static_cast<size_t>(depth)) + "a" +
                                      Repeat(")", static_cast<size_t>(depth)) + "a*";
                try {
                    rpattern p(pattern);
                    match_results r;
                    if (!p.match_text(std::string("xaa"), r).matched) ++g_wrong;
                    ++g_compiled;
                } catch (const match_limit_exceeded&) {
                    ++g_refused;
                } catch (const bad_regexpr&) {
                    ++g_refused;
                }
            }
        }
        try {
            rpattern metar(program_patterns::kMetar);
            match_results r;
            if (!metar.match_text(std::string("EGLL 121650Z 24012KT 9999 SCT020 08/06 Q1004"), r).matched)
                ++g_wrong;
            ++g_compiled;
            // Deep enough to need the stack driver on such a stack.
            rpattern deep("(?:ab)*c");
            if (!deep.match_text(Repeat("ab", 20000) + "c", r).matched) ++g_wrong;
        } catch (const bad_regexpr&) {
            ++g_wrong;
        }
    });
    EXPECT_EQ(g_wrong.load(), 0);
    EXPECT_GE(g_compiled.load(), 10) << "shallow patterns compile on a small stack";
    EXPECT_EQ(g_compiled.load() + g_refused.load(), 7 * 5 + 1);
}

}  // namespace
