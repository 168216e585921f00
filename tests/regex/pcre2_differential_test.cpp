// The engine against PCRE2 (8-bit, no UTF, no JIT) on seeded random patterns
// from the syntax both share, on short ASCII texts: the whole match and every
// group's span must agree, unset and empty told apart.
//
// Known, intended differences, which the generator stays clear of:
// - error texts are the engine's own; only patterns both accept are compared;
// - "[[:blank:]]" is the space alone here (the classic runtime table);
// - "\t", "\n" and the like are letters unless expand_escapes is set;
// - a search from a later position treats that position as the start of the
//   text ("^", look-behind); every search here starts at 0;
// - with multi_line, "^" also matches after a newline that ends the text
//   (Perl and PCRE2 do not): multi-line texts here never end in a newline;
// - "\N" reads as a back-reference whenever N is below the number of groups
//   opened so far, invisible ones included: references are written "(?:\N)";
// - a look-behind tries starts from the farthest back, PCRE2 its alternatives
//   in order: bodies here have one fixed width, so both try the same start;
// - "a{,2}" is a count here, text in PCRE2 before 10.43: it is never generated;
// - "(?R)" is matched once, atomically, and the groups it set stay set after
//   it; PCRE2 backtracks into a recursion and restores the groups: recursive
//   patterns here are balanced-bracket forms whose inner match is unique and
//   whose groups are set again by the outer level;
// - groups set inside a negative look-ahead that serves as a condition are
//   undone here, as in any negative look-around; PCRE2 keeps them: such
//   conditions hold no capturing groups here.
// Every pattern runs on both drivers of the engine.
#include <gtest/gtest.h>

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <random>
#include <string>
#include <vector>

#include "program_patterns.h"
#include "regex/rpattern.h"

namespace {

class PatternGenerator {
public:
    // `extended` adds conditionals and recursive patterns; `loops` adds loops
    // over loops, loops over groups that may match nothing, comments before
    // quantifiers, empty groups and braces that are text.
    explicit PatternGenerator(uint32_t seed, bool extended = false, bool loops = false)
        : m_rng(seed), m_extended(extended), m_loops(loops) {}

    std::string Next() {
        m_openGroups = 0;
        m_closedGroups.clear();
        if (m_extended && Chance(25)) return Recursive();
        return Alternation(0, false);
    }

private:
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }
    bool Chance(int percent) { return Pick(100) < percent; }

    // `fixed`: every path has the same width (look-behind bodies).
    std::string Alternation(int depth, bool fixed) {
        if (fixed) return Sequence(depth, true);
        std::string out = Sequence(depth, false);
        int more = depth < 2 ? Pick(3) : 0;
        for (int i = 0; i < more; ++i) out += "|" + Sequence(depth, false);
        return out;
    }

    std::string Sequence(int depth, bool fixed) {
        std::string out;
        int n = 1 + Pick(3);
        for (int i = 0; i < n; ++i) out += Item(depth, fixed);
        return out;
    }

    std::string Atom() {
        static const char* const kAtoms[] = {"a",    "b",   "c",   "a",   "b",      ".",  "[ab]",
                                             "[^a]", "\\d", "\\w", "\\W", "[a-c1]", "ab", "1"};
        return kAtoms[Pick(sizeof(kAtoms) / sizeof(kAtoms[0]))];
    }

    std::string Quantifier() {
        static const char* const kQuantifiers[] = {"*", "+", "?", "{2}", "{1,2}", "{0,2}", "{2,}", "{0,1}"};
        std::string q = kQuantifiers[Pick(sizeof(kQuantifiers) / sizeof(kQuantifiers[0]))];
        if (Chance(30)) q += "?";
        if (m_loops && Chance(15)) q = "(?#q)" + q;
        return q;
    }

    std::string UnboundedQuantifier() {
        static const char* const kLoops[] = {"*", "+", "*?", "+?", "{1,}", "{2,}"};
        return kLoops[Pick(6)];
    }

    // The forms that only the `loops` generator makes.
    std::string LoopItem(int depth) {
        switch (Pick(5)) {
            case 0: {
                static const char* const kEmpty[] = {"(?:)", "(?>)", "(?=)", "(?#c)"};
                std::string e = kEmpty[Pick(4)];
                return e == "(?#c)" || Chance(30) ? e : e + Quantifier();
            }
            case 1: {
                static const char* const kBraces[] = {"x{}", "a{,}", "b{2,x}", "a{1"};
                return kBraces[Pick(4)];
            }
            case 2:
            case 3: {
                // A loop over a loop over the same text.
                std::string inner = Chance(30) ? "(" + Atom() + UnboundedQuantifier() + ")"
                                               : "(?:" + Atom() + UnboundedQuantifier() + ")";
                if (inner[1] != '?') ++m_openGroups;
                if (Chance(40)) inner += "|" + Atom();
                return "(?:" + inner + ")" + UnboundedQuantifier();
            }
            default:
                return Group(Chance(50) ? "(?:" : "(", depth, false);
        }
    }

    // A bracket form: "<", then items or a nested form, then ">"; the brackets
    // are in no other atom, so the inner match of "(?R)" is the only one.
    std::string Recursive() {
        static const char* const kInner[] = {"a", "b", "[ab]", "\\w", "(?:ab)", "a+", "[^<>]"};
        static const char* const kRepeat[] = {"*", "+", "*?", "+?"};
        std::string inner = "(?:" + std::string(kInner[Pick(7)]) + "|(?R))" + kRepeat[Pick(4)];
        std::string core = "<" + inner + ">";
        if (Chance(50)) {
            ++m_openGroups;
            core = "(" + core + ")";
        }
        // Fixed text around it keeps the inner match unique; "^" only in front.
        static const char* const kAround[] = {"", "", "a", "\\b", "^"};
        return kAround[Pick(5)] + core + kAround[Pick(4)];
    }

    // "(?(N)yes|no)" on a group already closed, or on a look-ahead or a
    // one-character look-behind.
    std::string Conditional(int depth) {
        std::string condition;
        int kind = Pick(3);
        if (kind == 0 && !m_closedGroups.empty()) {
            condition = std::to_string(m_closedGroups[Pick(static_cast<int>(m_closedGroups.size()))]);
        } else if (kind <= 1) {
            const bool negative = Chance(50);
            if (negative) ++m_noCapture;
            condition = std::string(negative ? "?!" : "?=") + Sequence(depth + 1, false);
            if (negative) --m_noCapture;
        } else {
            condition = std::string(Chance(50) ? "?<=" : "?<!") + Atom().substr(0, 1);
            if (condition.back() == '\\' || condition.back() == '[') condition.back() = 'a';
        }
        std::string out = "(?(" + condition + ")" + Sequence(depth + 1, false);
        if (Chance(70)) out += "|" + Sequence(depth + 1, false);
        return out + ")";
    }

    std::string Item(int depth, bool fixed) {
        if (m_extended && !fixed && depth < 2 && Chance(10)) return Conditional(depth);
        if (m_loops && !fixed && depth < 2 && Chance(20)) return LoopItem(depth);
        int kind = Pick(depth < 3 ? 10 : 6);
        if (fixed) {
            // Single characters and fixed-width groups only.
            if (kind < 7 || depth >= 2) {
                std::string a = Atom();
                return a == "ab" ? "a" : a;
            }
            return Group("(?:", depth, true);
        }
        switch (kind) {
            case 0:
            case 1:
            case 2:
            case 3: {
                std::string atom = Atom();
                if (atom.size() == 2 && atom[0] != '\\') atom = "(?:" + atom + ")";
                return Chance(40) ? atom + Quantifier() : atom;
            }
            case 4:
                if (!m_closedGroups.empty() && Chance(50))
                    return "(?:\\" +
                           std::to_string(m_closedGroups[Pick(static_cast<int>(m_closedGroups.size()))]) +
                           ")" + (Chance(20) ? "*" : "");
                {
                    static const char* const kAnchors[] = {"^", "$", "\\b", "\\B"};
                    return kAnchors[Pick(4)];
                }
            case 5:
                return Atom();
            case 6:
            case 7: {
                static const char* const kOpen[] = {"(", "(", "(?:", "(?>"};
                return Group(kOpen[Pick(4)], depth, false);
            }
            case 8: {
                static const char* const kAhead[] = {"(?=", "(?!"};
                return Group(kAhead[Pick(2)], depth, false);
            }
            default: {
                static const char* const kBehind[] = {"(?<=", "(?<!"};
                std::string open = kBehind[Pick(2)];
                return open + Alternation(depth + 1, true) + ")";
            }
        }
    }

    std::string Group(std::string open, int depth, bool fixed) {
        if (open == "(" && m_noCapture) open = "(?:";
        int number = 0;
        if (open == "(") number = ++m_openGroups;
        std::string body = Alternation(depth + 1, fixed);
        std::string out = open + body + ")";
        if (number) m_closedGroups.push_back(number);
        // Groups that may match nothing are quantified by the loops generator only.
        bool quantifiable =
            (open == "(" || open == "(?:" || open == "(?>") && !fixed && (m_loops || !CanBeEmpty(body));
        if (quantifiable && Chance(40)) out += Quantifier();
        return out;
    }

    // Asks the engine itself whether the body can match the empty string.
    static bool CanBeEmpty(const std::string& body) {
        try {
            regex::rpattern p("(?:" + body + ")");
            return p.min_width() == 0;
        } catch (const regex::bad_regexpr&) {
            return true;
        }
    }

    std::mt19937 m_rng;
    bool m_extended;
    bool m_loops;
    int m_noCapture = 0;  // inside a negative condition
    int m_openGroups = 0;
    std::vector<int> m_closedGroups;
};

struct Pcre2 {
    pcre2_code* code = nullptr;
    pcre2_match_data* data = nullptr;
    Pcre2(const std::string& pattern, uint32_t options) {
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
    // Spans as "b-e" per group, "-" for unset, or "none".
    std::string Match(const std::string& text) const {
        int rc =
            pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0, data, nullptr);
        if (rc == PCRE2_ERROR_NOMATCH) return "none";
        if (rc < 0) return "pcre2 error " + std::to_string(rc);
        uint32_t groups = 0;
        pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &groups);
        PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data);
        std::string out;
        for (uint32_t i = 0; i <= groups; ++i) {
            if (i) out += ' ';
            if (static_cast<int>(i) >= rc || ov[2 * i] == PCRE2_UNSET)
                out += '-';
            else
                out += std::to_string(ov[2 * i]) + "-" + std::to_string(ov[2 * i + 1]);
        }
        return out;
    }
};

const std::string kGaveUp = regex::match_limit_exceeded(regex::match_limit_exceeded::reason::steps).what();

std::string EngineMatch(const regex::rpattern& p, const std::string& text) {
    regex::match_results results;
    try {
        if (!p.match_text(text, results).matched) return "none";
    } catch (const regex::match_limit_exceeded& e) {
        return e.what();
    }
    std::string out;
    for (size_t i = 0; i < results.size(); ++i) {
        if (i) out += ' ';
        if (!results[i].matched)
            out += '-';
        else
            out += std::to_string(results[i].begin - text.begin()) + "-" +
                   std::to_string(results[i].end - text.begin());
    }
    return out;
}

std::string RandomText(std::mt19937& rng, bool finalNewline, bool brackets = false) {
    static const char kAlphabet[] = "aabbcc1a b";
    static const char kBracketAlphabet[] = "<<>>ab<>a ";
    const char* alphabet = brackets ? kBracketAlphabet : kAlphabet;
    int length = std::uniform_int_distribution<int>(0, brackets ? 14 : 9)(rng);
    std::string text;
    for (int i = 0; i < length; ++i) text += alphabet[std::uniform_int_distribution<int>(0, 9)(rng)];
    if (std::uniform_int_distribution<int>(0, 9)(rng) == 0) {
        if (finalNewline)
            text += '\n';
        else
            text.insert(text.begin() + std::uniform_int_distribution<int>(0, length)(rng) / 2, '\n');
        if (!finalNewline && text.back() == '\n') text += 'a';
    }
    return text;
}

void RunDifferential(uint32_t seed, int patterns, int flags, uint32_t pcreOptions, bool extended = false,
                     bool loops = false) {
    PatternGenerator gen(seed, extended, loops);
    std::mt19937 textRng(seed * 7 + 1);
    int compared = 0;
    int failures = 0;
    int gaveUp = 0;
    for (int i = 0; i < patterns && failures < 10; ++i) {
        std::string pattern = gen.Next();
        Pcre2 reference(pattern, pcreOptions);
        if (!reference.code) continue;  // e.g. a look-behind PCRE2 cannot measure
        std::unique_ptr<regex::rpattern> engine;
        std::unique_ptr<regex::rpattern> stackEngine;
        try {
            engine = std::make_unique<regex::rpattern>(pattern, flags);
            stackEngine = std::make_unique<regex::rpattern>(pattern, flags, regex::stack_mode);
            // Texts here are short: a tenth of the default keeps a runaway pattern's cost small.
            engine->set_step_budget(regex::default_step_budget / 10);
            stackEngine->set_step_budget(regex::default_step_budget / 10);
        } catch (const regex::bad_regexpr& e) {
            ADD_FAILURE() << "rejected '" << pattern << "': " << e.what();
            ++failures;
            continue;
        }
        for (int t = 0; t < 8; ++t) {
            std::string text =
                RandomText(textRng, !(flags & regex::multi_line), pattern.find('<') != std::string::npos);
            std::string want = reference.Match(text);
            if (want == "pcre2 error " + std::to_string(PCRE2_ERROR_MATCHLIMIT))
                continue;  // no answer to compare
            std::string got = EngineMatch(*engine, text);
            std::string gotStack = EngineMatch(*stackEngine, text);
            ++compared;
            // A driver that gave up has no answer; the other one must still be right.
            if (got == kGaveUp || gotStack == kGaveUp) {
                ++gaveUp;
                if (got == kGaveUp) got = want;
                if (gotStack == kGaveUp) gotStack = want;
            }
            if (got != want || gotStack != want) {
                ADD_FAILURE() << "pattern '" << pattern << "' text '" << text << "': engine " << got
                              << ", stack driver " << gotStack << ", PCRE2 " << want;
                ++failures;
                break;
            }
        }
    }
    EXPECT_GT(compared, patterns * 4);
    // Only the odd generated pattern may outgrow the budget on such short texts.
    EXPECT_LE(gaveUp, compared / 200) << gaveUp << " searches of " << compared << " gave up";
}

TEST(Pcre2Differential, CaseSensitive) {
    for (uint32_t seed = 1; seed <= 4; ++seed) RunDifferential(seed, 4000, 0, 0);
}

TEST(Pcre2Differential, IgnoreCase) {
    for (uint32_t seed = 11; seed <= 12; ++seed)
        RunDifferential(seed, 3000, regex::ignore_case, PCRE2_CASELESS);
}

TEST(Pcre2Differential, MultiLineAndDotAll) {
    for (uint32_t seed = 21; seed <= 22; ++seed)
        RunDifferential(seed, 3000, regex::multi_line | regex::dot_matches_newline,
                        PCRE2_MULTILINE | PCRE2_DOTALL);
}

TEST(Pcre2Differential, ConditionalsAndRecursion) {
    for (uint32_t seed = 31; seed <= 33; ++seed) RunDifferential(seed, 3000, 0, 0, true);
}

TEST(Pcre2Differential, LoopsCommentsEmptyGroupsAndBraces) { RunDifferential(41, 2500, 0, 0, false, true); }

// Pieces of syntax that are easily misread, joined at random: every pattern
// is refused by the engine or read as PCRE2 reads it, never read as
// something else. Layout, quoting, classes, counts and escapes meet here.
TEST(Pcre2Differential, SyntaxIsReadAsPcre2ReadsItOrRefused) {
    static const char* const kPieces[] = {"a",         "b",
                                          "-",         "]",
                                          "[",         "^",
                                          "{2}",       "{,}",
                                          "{1,2}",     "*",
                                          "?",         "+",
                                          "(?=a)",     "(?:",
                                          "(",         "|",
                                          ")",         ")",
                                          "[[:word:]", "[[:foo:]]",
                                          "[:alpha:]", "[[:^alpha:]b",
                                          "\\Q",       "\\E",
                                          "\\u0041",   "\\L",
                                          "\\U",       "\\400",
                                          "\\101",     "\\8",
                                          "\\C",       "(?xx)",
                                          "(?x)",      "(?-x)",
                                          " ",         "\t",
                                          "#",         "\n",
                                          "\\d",       "\\w",
                                          "[a-",       "\\b",
                                          "$",         "[\\Qa-\\E",
                                          "\\x41",     "[[.a.]]",
                                          "[",         "]",
                                          "\\-",       "\\ ",
                                          "[ ^",       "\\Z",
                                          "\\A",       "(?i)",
                                          "\\i",       "\\0",
                                          "\\377",     "\\1",
                                          "{",         "}",
                                          ",",         "[[:ascii:]]",
                                          "[\\A]",     "\\\\"};
    static const char kTextBytes[] = "ab-][^ \t\n_Au0041L\x01\xff{},:\\";
    std::mt19937 rng(51);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    std::vector<std::string> texts = {"",     "a",   "b",     "-",   "]",
                                      "[",    " ",   "\t",    "\n",  "_",
                                      "A",    "a-b", "u0041", "aLb", std::string(1, '\0'),
                                      "\xff", "{2}", "a{,}",  "\\",  "A\x01"};
    for (int i = 0; i < 40; ++i) {
        std::string t;
        for (int n = pick(7); n > 0; --n) t += kTextBytes[pick(sizeof(kTextBytes) - 1)];
        texts.push_back(t);
    }
    int compared = 0;
    int failures = 0;
    for (int i = 0; i < 12000 && failures < 10; ++i) {
        std::string pattern;
        for (int n = 1 + pick(6); n > 0; --n) pattern += kPieces[pick(sizeof(kPieces) / sizeof(kPieces[0]))];
        Pcre2 reference(pattern, 0);
        std::unique_ptr<regex::rpattern> engine, stackEngine;
        try {
            engine = std::make_unique<regex::rpattern>(pattern);
            stackEngine = std::make_unique<regex::rpattern>(pattern, 0, regex::stack_mode);
        } catch (const regex::bad_regexpr&) {
            continue;  // refused: never a misreading
        }
        if (!reference.code) {
            ADD_FAILURE() << "accepted '" << pattern << "', which PCRE2 refuses";
            ++failures;
            continue;
        }
        ++compared;
        for (const auto& text : texts) {
            const std::string want = reference.Match(text);
            const std::string got = EngineMatch(*engine, text);
            const std::string gotStack = EngineMatch(*stackEngine, text);
            if (got != want || gotStack != want) {
                ADD_FAILURE() << "pattern '" << pattern << "' text '" << text << "': engine " << got
                              << ", stack driver " << gotStack << ", PCRE2 " << want;
                ++failures;
                break;
            }
        }
    }
    EXPECT_GT(compared, 1000);
}

// The program's own patterns on their kind of text, and on every prefix of it.
TEST(Pcre2Differential, ProgramPatterns) {
    for (const auto& c : program_patterns::Cases()) {
        SCOPED_TRACE(c.pattern);
        Pcre2 reference(c.pattern, c.flags ? PCRE2_CASELESS : 0);
        ASSERT_TRUE(reference.code);
        regex::rpattern engine(c.pattern, c.flags);
        for (const auto& text : c.texts)
            for (size_t length = 0; length <= text.size(); ++length) {
                std::string part = text.substr(0, length);
                ASSERT_EQ(EngineMatch(engine, part), reference.Match(part)) << "text '" << part << "'";
            }
    }
}

}  // namespace
