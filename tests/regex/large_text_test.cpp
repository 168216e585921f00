// Searches over long texts, generated here: ordinary searches that PCRE2
// finishes must finish on both drivers with PCRE2's answer, never with the
// step budget's error; hostile ones end with the answer or with that error.
// The drivers count their work alike, so neither gives up where the other answers.
#include <gtest/gtest.h>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <random>
#include <string>
#include <vector>

#include "hostile_patterns.h"
#include "program_patterns.h"
#include "regex/rpattern.h"

namespace {

using hostile_patterns::Repeat;

struct Pcre2 {
    pcre2_code* code = nullptr;
    pcre2_match_data* data = nullptr;
    explicit Pcre2(const std::string& pattern, uint32_t options = 0) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options, &error,
                             &offset, nullptr);
        if (code) data = pcre2_match_data_create_from_pattern(code, nullptr);
    }
    ~Pcre2() {
        if (data) pcre2_match_data_free(data);
        if (code) pcre2_code_free(code);
    }
    // Group 0 as "b-e", "none", or PCRE2's error number.
    std::string Match(const std::string& text, size_t from = 0) const {
        int rc =
            pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), from, 0, data, nullptr);
        if (rc == PCRE2_ERROR_NOMATCH) return "none";
        if (rc < 0) return "pcre2 error " + std::to_string(rc);
        PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data);
        return std::to_string(ov[0]) + "-" + std::to_string(ov[1]);
    }
};

// Group 0, "none", or "steps"/"depth" when the search gave up; the steps taken.
std::string Search(const std::string& pattern, const std::string& text, int mode, uint64_t* steps = nullptr) {
    regex::rpattern p(pattern, regex::noflags, mode);
    regex::match_results r;
    try {
        const bool matched = p.match_text(text, r).matched;
        if (steps) *steps = r.steps();
        if (!matched) return "none";
        return std::to_string(r[0].begin - text.begin()) + "-" + std::to_string(r[0].end - text.begin());
    } catch (const regex::match_limit_exceeded& e) {
        return e.why() == regex::match_limit_exceeded::reason::steps ? "steps" : "depth";
    }
}

// Searches PCRE2 finishes at once on a log: each looks at every character a
// few times at most, and must never be taken for a runaway. (Newlines are
// real ones: "\n" in a pattern is the letter here.)
const char* const kOrdinary[] = {
    ".*TIMEOUT",
    ".+TIMEOUT",
    ".*?TIMEOUT",
    "[^\n]*TIMEOUT",
    "(?i).*timeout",
    "(?:\\S+\\s+){3}TIMEOUT",
    "(?:[^\n]*\n)*?.*ERROR",
    "TIMEOUT\\s+(\\w+)",
    "\"(?:[^\"\\\\]|\\\\.)*\"",
    "(\\d+)-(\\d+)",
    "(\\w+) code (\\d+)",
    "W[A-Z]+ worker \\d+ (?=TIMEOUT)",
    ".*(?<=worker )\\d+ TIMEOUT",
    "(?m)^\\d{4}-\\d\\d-\\d\\d 07:59:59 (\\w+)",
    "(?m)^.*WARN.*$",
    ".*ERROR code (\\d+)$",
};

TEST(LargeText, OrdinarySearchesAnswerAsPcre2OnBothDrivers) {
    for (size_t size : {size_t{100'000}, size_t{1'000'000}}) {
        const std::string text = hostile_patterns::ServiceLog(size);
        for (const char* pattern : kOrdinary) {
            SCOPED_TRACE(std::string(pattern) + " on " + std::to_string(size) + " bytes");
            const std::string want = Pcre2(pattern).Match(text);
            ASSERT_NE(want, "none");
            uint64_t recursiveSteps = 0, stackSteps = 0;
            EXPECT_EQ(Search(pattern, text, regex::recursive_mode, &recursiveSteps), want);
            EXPECT_EQ(Search(pattern, text, regex::stack_mode, &stackSteps), want);
            // Counted alike: each driver's count is the other's, within a
            // little, except that a search too deep for the machine stack
            // starts over on the stack driver and counts both runs.
            EXPECT_LE(stackSteps, recursiveSteps + recursiveSteps / 4 + 16);
            EXPECT_LE(recursiveSteps, 2 * (stackSteps + stackSteps / 4 + 16));
        }
    }
}

// Searches that make a backtracking engine run away on long text: each ends
// with PCRE2's answer or gives up; none is ever answered wrongly. (Their time,
// next to PCRE2's, is in bench/regex_bench.)
TEST(LargeText, HostileSearchesEndWithTheAnswerOrGiveUp) {
    const size_t n = 100'000;
    struct Row {
        std::string pattern;
        std::string text;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {"(\\d+)-(\\d+)", Repeat("7", n) + "-", "none"},
        {"(?>\\d+)[xy]", Repeat("7", n), "none"},
        {"\"(?:[^\"\\\\]|\\\\.)*\"", "\"" + Repeat("x", n), "none"},
        {"(?:xy)*(\\d+)-(\\d+)", Repeat("xy", n) + Repeat("7", n / 2) + "-", "none"},
        {"(a+)+\\1c", Repeat("a", n), "none"},
        {"(?:a|b)*c", Repeat("ab", n / 2), "none"},
        {"(x+x+)+y", Repeat("x", n) + "y", "0-" + std::to_string(n + 1)},
        {program_patterns::kMetar, hostile_patterns::SlashedMetar(n / 3), "none"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pattern.substr(0, 40));
        for (int mode : {regex::recursive_mode, regex::stack_mode}) {
            const std::string got = Search(row.pattern, row.text, mode);
            EXPECT_TRUE(got == row.expected || got == "steps" || got == "depth") << mode << ": " << got;
        }
    }
}

// Every match of a repeated search over a long text, as PCRE2 finds them one
// after the other: the failures met and the required byte serve every window.
TEST(LargeText, RepeatedSearchFindsEveryMatch) {
    std::mt19937 rng(3);
    std::string text;
    for (size_t i = 0; i < 1'000'000; ++i) text += rng() % 40 == 0 ? 'c' : "ab "[rng() % 3];
    for (const char* pattern : {"(?:a|b)+c", "[ab]+c", "(a|b)*c"}) {
        SCOPED_TRACE(pattern);
        Pcre2 reference(pattern);
        std::vector<std::string> want;
        for (size_t from = 0;;) {
            const std::string m = reference.Match(text, from);
            if (m == "none") break;
            want.push_back(m);
            const size_t end = std::stoul(m.substr(m.find('-') + 1));
            from = end == std::stoul(m) ? end + 1 : end;
        }
        for (int mode : {regex::recursive_mode, regex::stack_mode}) {
            regex::rpattern p(pattern, regex::repeat_search | regex::collect_whole_matches, mode);
            regex::match_results r;
            ASSERT_TRUE(p.match_text(text, r).matched) << mode;
            ASSERT_EQ(r.size(), want.size()) << mode;
            for (size_t i = 0; i < r.size(); ++i)
                ASSERT_EQ(
                    std::to_string(r[i].begin - text.begin()) + "-" + std::to_string(r[i].end - text.begin()),
                    want[i])
                    << mode << " match " << i;
        }
    }
}

// The byte every match needs is looked for on short texts too: a text without
// it is answered before any attempt, however small the budget.
TEST(LargeText, RequiredByteShortCutsShortTexts) {
    for (size_t length : {size_t{1}, size_t{20}, size_t{31}, size_t{40}}) {
        for (int mode : {regex::recursive_mode, regex::stack_mode}) {
            regex::rpattern p("(a+)+\\1c", regex::noflags, mode);
            p.set_step_budget(1);
            regex::match_results r;
            EXPECT_FALSE(p.match_text(Repeat("a", length), r).matched) << length;
        }
    }
}

}  // namespace
