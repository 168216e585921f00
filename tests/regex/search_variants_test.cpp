// Pattern objects with substitutions, copies, assignment, swap and
// re-initialisation; NUL-terminated text; long texts on every driver.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "regex/rpattern.h"

namespace {

using namespace regex;

std::string Repeat(const std::string& piece, size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i) out += piece;
    return out;
}

// Group spans of a search, or "none".
std::string Spans(const rpattern& p, const std::string& text) {
    match_results r;
    if (!p.match_text(text, r).matched) return "none";
    std::string out;
    for (size_t i = 0; i < r.size(); ++i) {
        if (i) out += ' ';
        out += r[i].matched
                   ? std::to_string(r[i].begin - text.begin()) + "-" + std::to_string(r[i].end - text.begin())
                   : "-";
    }
    return out;
}

TEST(PatternObject, SubstitutionIsParsedWithThePattern) {
    rpattern p("(a)(b)", "$2-$1", 0);
    EXPECT_EQ(p.substitution(), "$2-$1");
    ASSERT_EQ(p.substitution_items().size(), 3u);
    EXPECT_EQ(p.substitution_items()[0], (subst_item{subst_kind::group, 2, 0}));
    EXPECT_TRUE(p.has_substitution_references());
    EXPECT_EQ(Spans(p, "xab"), "1-3 1-2 2-3");

    // Group references are checked against the pattern's own groups.
    try {
        rpattern bad("(a)", "$2", 0);
        FAIL() << "no error";
    } catch (const bad_regexpr& e) {
        EXPECT_STREQ(e.what(), "invalid backreference in substitution");
    }
    // Escapes are expanded once, before parsing.
    rpattern expanded("a", "x\\ty\\\\$&", expand_escapes);
    EXPECT_EQ(expanded.substitution(), "x\ty\\\\$&");
    EXPECT_EQ(expanded.substitution_items().size(), 3u);
}

TEST(PatternObject, CopiesAssignmentsAndSwapsAreIndependent) {
    auto source = std::make_unique<rpattern>("(\\w+)@(\\w+)", "$2", 0);
    rpattern copy(*source);
    rpattern assigned;
    assigned = *source;
    assigned = assigned;  // self-assignment changes nothing
    rpattern other("x(y)");
    rpattern swapped(*source);
    swapped.swap(other);
    source.reset();  // nothing may still point into the source's nodes

    for (const rpattern* p : {&copy, &assigned, &other}) {
        EXPECT_EQ(Spans(*p, " me@host "), "1-8 1-3 4-8");
        EXPECT_EQ(p->substitution(), "$2");
        EXPECT_EQ(p->substitution_items().size(), 1u);
    }
    EXPECT_EQ(Spans(swapped, "axy"), "1-3 2-3");
    EXPECT_TRUE(swapped.substitution().empty());

    rpattern moved(std::move(copy));
    EXPECT_EQ(Spans(moved, "a@b"), "0-3 0-1 2-3");
}

TEST(PatternObject, ReinitialisationKeepsTheOldPatternOnError) {
    rpattern p("a+");
    p.init("(b)", "[$1]", 0, stack_mode);
    EXPECT_EQ(p.mode(), stack_mode);
    EXPECT_EQ(Spans(p, "ab"), "1-2 1-2");
    EXPECT_THROW(p.init("(c", 0), bad_regexpr);
    EXPECT_EQ(p.pattern(), "(b)");
    EXPECT_EQ(Spans(p, "ab"), "1-2 1-2");

    EXPECT_THROW(p.set_substitution("$5"), bad_regexpr);
    EXPECT_EQ(p.substitution(), "[$1]");
    p.set_substitution("\\U$&");
    EXPECT_EQ(p.substitution_items().size(), 2u);
    p.init("d");
    EXPECT_TRUE(p.substitution().empty());
    EXPECT_EQ(Spans(p, "xd"), "1-2");
}

TEST(NulTerminated, TheTextEndsAtItsFirstNul) {
    const char text[] = "ab\0c";
    for (int mode : {recursive_mode, stack_mode}) {
        SCOPED_TRACE(mode);
        rpattern_c p("b$", 0, mode);
        match_results_c r;
        ASSERT_TRUE(p.match_text(text, r).matched);
        EXPECT_EQ(r[0].begin, text + 1);
        EXPECT_FALSE(rpattern_c("c", 0, mode).match_text(text, r).matched);
        EXPECT_FALSE(rpattern_c("c", 0, mode).run_search(r, text));
        // The bounded form reads past a NUL.
        EXPECT_TRUE(rpattern_c("c", 0, mode).run_search(r, text, text + 4));
        // A start past the end of the text is no match.
        EXPECT_FALSE(p.match_text(text, r, 3).matched);
        EXPECT_EQ(r.size(), 1u);
    }
}

// Deep repetition: the recursive driver runs out of budget and hands over, the
// stack driver keeps its records in blocks.
TEST(LongText, GroupRepetitionOverAMillionPairsInEveryMode) {
    const std::string text = Repeat("ab", 1000000);
    for (int mode : {recursive_mode, stack_mode, pattern_chooses_mode}) {
        SCOPED_TRACE(mode);
        rpattern p("(ab)*", 0, mode);
        match_results r;
        ASSERT_TRUE(p.match_text(text, r).matched);
        EXPECT_EQ(r[0].end - text.begin(), 2000000);
        EXPECT_EQ(r[1].begin - text.begin(), 1999998);

        rpattern_c pc("(ab)*", 0, mode);
        match_results_c rc;
        ASSERT_TRUE(pc.match_text(text.c_str(), rc).matched);
        EXPECT_EQ(rc[0].end - text.c_str(), 2000000);
    }
}

TEST(LongText, BacktrackingThroughDeepIterationsInStackMode) {
    // Every iteration is backtracked into before the match is found.
    const std::string text = Repeat("a", 200000) + "b";
    rpattern p("(?:a|aa)*?b", 0, stack_mode);
    EXPECT_EQ(Spans(p, text), "0-200001");
    rpattern q("^(a|b)*c", 0, stack_mode);
    EXPECT_EQ(Spans(q, text), "none");
}

}  // namespace
