// The pattern object and the search entry: positions and lengths, the shape of
// the results, compiled properties, copies, and the recursive driver's stack budget.
#include "regex/rpattern.h"

#include <gtest/gtest.h>
#include <pthread.h>

#include "match_format.h"
#include "regex/arena_allocator.h"

namespace {

using namespace regex;

TEST(MatchText, PositionStartsTheSearchRange) {
    EXPECT_EQ(FormatMatch("^abc", 0, "abcabc", 3), "3-6");
    EXPECT_EQ(FormatMatch("c", 0, "abcabc", 3), "5-6");
}

TEST(MatchText, LengthIsClippedToTheText) {
    rpattern p("c$");
    match_results r;
    const std::string text = "abcabc";
    EXPECT_TRUE(p.match_text(text, r, 0, 3).matched);  // the range ends after the first "c"
    EXPECT_EQ(r[0].begin - text.begin(), 2);
    EXPECT_TRUE(p.match_text(text, r, 4, 100).matched);
    EXPECT_EQ(r[0].begin - text.begin(), 5);
    EXPECT_TRUE(p.match_text(text, r, 4, static_cast<size_t>(-1)).matched);
}

TEST(MatchText, StartPastTheEndIsNoMatch) {
    rpattern p("x*");
    match_results r;
    const std::string text = "ab";
    EXPECT_FALSE(p.match_text(text, r, 3).matched);
    EXPECT_EQ(r.size(), 1u);
    EXPECT_FALSE(r[0].matched);
    EXPECT_TRUE(p.match_text(text, r, 2).matched);  // the end itself is a valid start
}

TEST(MatchResults, VisibleGroupsInOrderAfterSuccessAndFailure) {
    rpattern p("(a)(?>(b))(?:c)(d)");
    match_results r;
    const std::string text = "xabcd";
    ASSERT_TRUE(p.match_text(text, r).matched);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[1].str(), "a");
    EXPECT_EQ(r[2].str(), "b");
    EXPECT_EQ(r[3].str(), "d");
    EXPECT_EQ(p.group_count(), 6u);
    EXPECT_EQ(p.visible_group_count(), 4u);
    EXPECT_EQ(p.invisible_groups(), (std::vector<uint32_t>{2, 4}));

    EXPECT_FALSE(p.match_text(std::string("abce"), r).matched);
    ASSERT_EQ(r.size(), 4u);
    for (size_t i = 0; i < r.size(); ++i) EXPECT_FALSE(r[i].matched);
}

TEST(MatchResults, GroupTextIsEmptyWhenUnset) {
    rpattern p("(a)|(b)");
    match_results r;
    const std::string text = "b";
    ASSERT_TRUE(p.match_text(text, r).matched);
    EXPECT_EQ(r[1].str(), "");
    EXPECT_FALSE(r[1].matched);
    EXPECT_EQ(r[2].str(), "b");
}

TEST(MatchResults, IndexPastTheEndThrows) {
    rpattern p("(a)");
    match_results r;
    p.match_text(std::string("a"), r);
    try {
        r.backref(2);
        FAIL() << "no exception";
    } catch (const std::out_of_range& e) {
        EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
    }
}

TEST(MatchText, NoMatchReturnsTheSharedRecord) {
    rpattern p("z");
    match_results r;
    const auto& record = p.match_text(std::string("abc"), r);
    EXPECT_EQ(&record, &rpattern::no_match_record());
    EXPECT_FALSE(record.matched);
}

struct CompiledCase {
    const char* name;
    const char* pattern;
    int flags;
    uint32_t minWidth;
    uint32_t maxWidth;
    bool floating;
    bool recursionAllowed;
};

constexpr uint32_t kOpen = 0xFFFFFFFFu;

const CompiledCase kCompiledCases[] = {
    {"alternation width", "(a|bc)", 0, 1, 2, true, true},
    {"empty alternative", "(a|)", 0, 0, 1, true, true},
    {"self reference", "(a\\1)", 0, 1, kOpen, true, true},
    {"reference to earlier group", "(ab)\\1", 0, 4, 4, true, true},
    {"star", "a*b", 0, 1, kOpen, true, true},
    {"counted", "a{2,5}", 0, 2, 5, true, true},
    {"width saturates", "(?:(?:a{60000}){60000}){2}", 0, kOpen, kOpen, true, false},
    {"look-around is zero width", "(?=abc)(?<=xy)a", 0, 1, 1, true, true},
    {"caret anchors", "^abc", 0, 3, 3, false, true},
    {"caret with alternatives floats", "^abc|x", 0, 1, 3, true, true},
    {"caret under multi-line floats", "^abc", multi_line, 3, 3, true, true},
    {"caret after layout anchors", "  ^abc", free_spacing, 3, 3, false, true},
    {"dot star under single-line anchors", ".*x", dot_matches_newline, 1, kOpen, false, true},
    {"lazy dot plus anchors", ".+?x", dot_matches_newline, 2, kOpen, false, true},
    {"dot optional floats", ".?x", dot_matches_newline, 1, 2, true, true},
    {"dot count floats", ".{2}x", dot_matches_newline, 3, 3, true, true},
    {"dot star floats without single-line", ".*x", 0, 1, kOpen, true, true},
    {"group up to sixteen", "(ab){1,16}", 0, 2, 32, true, true},
    {"group star", "(ab)*", 0, 0, kOpen, true, false},
    {"group above sixteen", "(ab){1,17}", 0, 2, 34, true, false},
    {"group open count", "(ab){2,}", 0, 4, kOpen, true, false},
    {"atom above sixteen", "a{1,17}", 0, 1, 17, true, true},
    {"recursion", "a(?R)b|c", 0, 1, kOpen, true, false},
};

TEST(CompiledPattern, WidthsAnchoringAndDriverChoice) {
    for (const auto& c : kCompiledCases) {
        SCOPED_TRACE(c.name);
        rpattern p(c.pattern, c.flags);
        EXPECT_EQ(p.min_width(), c.minWidth);
        EXPECT_EQ(p.max_width(), c.maxWidth);
        EXPECT_EQ(p.floating(), c.floating);
        EXPECT_EQ(p.recursion_allowed(), c.recursionAllowed);
    }
}

TEST(CompiledPattern, AnchoringClearsSearchFromRight) {
    rpattern p("^a", search_from_right);
    EXPECT_EQ(p.flags() & search_from_right, 0);
}

TEST(MatchText, SearchFromRightFindsTheRightmostMatch) {
    EXPECT_EQ(FormatMatch("a", search_from_right, "aXa"), "2-3");
    EXPECT_EQ(FormatMatch("^a", search_from_right, "aXa"), "0-1");
    EXPECT_EQ(FormatMatch("(a+)X", search_from_right, "aaXaX"), "3-5 3-4");
    EXPECT_EQ(FormatMatch("z", search_from_right, "aXa"), "none");
    EXPECT_EQ(FormatMatch("x*", search_from_right, "ab"), "2-2");
}

TEST(CompiledPattern, TextShorterThanMinimumWidthIsNoMatch) {
    EXPECT_EQ(FormatMatch("abcd", 0, "abc"), "none");
    EXPECT_EQ(FormatMatch("abc", 0, "abc"), "0-3");
}

TEST(CompiledPattern, DefaultConstructedMatchesNothingUntilAssigned) {
    rpattern p;
    match_results r;
    EXPECT_FALSE(p.match_text(std::string("abc"), r).matched);
    p = rpattern("b");
    EXPECT_TRUE(p.match_text(std::string("abc"), r).matched);
}

TEST(CompiledPattern, CopiesAreIndependent) {
    auto source = std::make_unique<rpattern>("(a+)b", ignore_case);
    rpattern copy(*source);
    rpattern assigned;
    assigned = *source;
    assigned = assigned;  // self-assignment keeps it usable
    source.reset();       // the copies own their graphs
    const std::string text = "xAab";
    for (const rpattern* p : {&copy, &assigned}) {
        match_results r;
        ASSERT_TRUE(p->match_text(text, r).matched);
        EXPECT_EQ(r[1].str(), "Aa");
    }
    rpattern moved(std::move(copy));
    match_results r;
    EXPECT_TRUE(moved.match_text(text, r).matched);
}

TEST(CompiledPattern, SwapExchangesGraphs) {
    rpattern a("a");
    rpattern b("b");
    a.swap(b);
    match_results r;
    EXPECT_EQ(a.pattern(), "b");
    EXPECT_TRUE(a.match_text(std::string("b"), r).matched);
    EXPECT_FALSE(b.match_text(std::string("b"), r).matched);
}

TEST(CompiledPattern, ConstCharForm) {
    rpattern_c p("(\\d+)-(\\d+)");
    match_results_c r;
    const char* text = "ab 12-345";
    ASSERT_TRUE(p.run_search(r, text, text + 9));
    EXPECT_EQ(r[1].str(), "12");
    EXPECT_EQ(r[2].str(), "345");
    EXPECT_EQ(r.search_start(), text);
}

TEST(Arena, ManyNodesTakeSeveralBlocksAndLargeOnesTheirOwn) {
    detail::arena_allocator arena;
    arena.allocate(16);
    EXPECT_EQ(arena.block_count(), 1u);
    for (int i = 0; i < 100; ++i) arena.allocate(16);
    EXPECT_GT(arena.block_count(), 1u);
    size_t before = arena.block_count();
    void* big = arena.allocate(1000);
    EXPECT_NE(big, nullptr);
    EXPECT_EQ(arena.block_count(), before + 1);
}

// The recursive driver nests calls per iteration of a quantified group; a long
// text must never overflow the stack: the stack driver takes over.
std::string Repeat(const std::string& piece, size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i) out += piece;
    return out;
}

TEST(StackBudget, ShortRepetitionSucceeds) {
    rpattern p("^(ab)*$");
    match_results r;
    const std::string text = Repeat("ab", 500);
    ASSERT_TRUE(p.match_text(text, r).matched);
    EXPECT_EQ(r[1].begin - text.begin(), 998);
}

TEST(StackBudget, DeepRepetitionFallsBackToTheStackDriver) {
    rpattern p("(ab)*c");
    match_results r;
    const std::string text = Repeat("ab", 1000000) + "c";
    ASSERT_TRUE(p.match_text(text, r).matched);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].end - text.begin(), 2000001);
    EXPECT_EQ(r[1].begin - text.begin(), 1999998);
    // The pattern stays usable.
    EXPECT_TRUE(p.match_text(std::string("ababc"), r).matched);
}

void* DeepSearchOnSmallStack(void* out) {
    rpattern p("(?:a|b)*c");
    match_results r;
    const std::string text = Repeat("ab", 200000) + "c";
    *static_cast<bool*>(out) = p.match_text(text, r).matched;
    return nullptr;
}

TEST(StackBudget, SmallThreadStackIsRespected) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, 512 * 1024);
    pthread_t thread;
    bool matched = false;
    ASSERT_EQ(pthread_create(&thread, &attr, DeepSearchOnSmallStack, &matched), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    EXPECT_TRUE(matched);
}

}  // namespace

// Very long patterns must neither overflow the stack while compiling nor while
// searching. Each node of a chain nests one call, so depending on frame sizes a
// search fits the budget or ends in a clean "no match"; a match found is right.
TEST(StackBudget, LongPatterns) {
    match_results r;
    rpattern manyAnchors(Repeat("^", 100000) + "a");
    if (manyAnchors.match_text(std::string("ab"), r).matched)
        EXPECT_EQ(r[0].length(), 1u);
    else
        EXPECT_FALSE(r[0].matched);

    rpattern manyOptional(Repeat("a?", 50000) + "b");
    if (manyOptional.match_text(Repeat("a", 50000) + "b", r).matched)
        EXPECT_EQ(r[0].length(), 50001u);
    else
        EXPECT_FALSE(r[0].matched);

    rpattern shortAfterLong(Repeat("a?", 2000) + "b");
    ASSERT_TRUE(shortAfterLong.match_text(std::string("aab"), r).matched);
    EXPECT_EQ(r[0].length(), 3u);
}
