// Substitution texts parsed into their items, and the two substitution errors.
#include "regex/substitution.h"

#include <gtest/gtest.h>

#include "regex/rpattern.h"

namespace {

using namespace regex;

// Items rendered compactly: L"text", G<n>, M<token>.
std::string Render(const std::string& text, uint32_t visibleGroups, bool* flag = nullptr) {
    bool hasReference = true;
    std::vector<subst_item> items{{subst_kind::literal, 9, 9}};  // must be cleared
    try {
        parse_substitution(text, visibleGroups, hasReference, items);
    } catch (const bad_regexpr& e) {
        return std::string("error: ") + e.what();
    }
    if (flag) *flag = hasReference;
    std::string out;
    for (const subst_item& item : items) {
        if (!out.empty()) out += ' ';
        switch (item.kind) {
            case subst_kind::literal:
                out += "L\"" + text.substr(static_cast<size_t>(item.first), item.second) + "\"";
                break;
            case subst_kind::group:
                out += "G" + std::to_string(item.first);
                break;
            case subst_kind::case_marker:
                out += "M" + std::to_string(item.first);
                break;
        }
    }
    return out;
}

struct Case {
    const char* name;
    std::string text;
    uint32_t visibleGroups;
    std::string expected;
};

TEST(Substitution, ItemsAndErrors) {
    const Case cases[] = {
        {"two groups and a literal", "$1-$2", 3, "G1 L\"-\" G2"},
        {"group beyond the last", "$3", 3, "error: invalid backreference in substitution"},
        {"digit past the last group stays text", "$12", 3, "G1 L\"2\""},
        {"two-digit group", "$10x", 11, "G10 L\"x\""},
        {"group zero", "$0", 3, "error: invalid backreference in substitution"},
        {"dollar then letter", "$a", 3, "error: invalid backreference in substitution"},
        {"lone dollar at end", "ab$", 3, "error: invalid backreference in substitution"},
        {"no groups at all", "$1", 1, "error: invalid backreference in substitution"},
        {"whole match", "x$&y", 1, "L\"x\" G0 L\"y\""},
        {"before and after", "$`|$'", 1, "G-1 L\"|\" G-2"},
        {"upper to end", "\\Ua\\E", 1, "M40 L\"a\" M44"},
        {"next-character markers", "\\ua\\lb\\Lc", 1, "M41 L\"a\" M43 L\"b\" M42 L\"c\""},
        {"quoted reference stays literal", "\\Q$1\\E", 2, "L\"$1\" M44"},
        {"quote runs to the end", "a\\Q$&\\U", 1, "L\"a\" L\"$&\\U\""},
        {"empty quote", "\\Q\\E", 1, "M44"},
        {"trailing backslash", "a\\", 1, "error: expecting escape sequence in substitution string"},
        {"escaped dollar", "a\\$b", 1, "L\"a\" L\"$b\""},
        {"escaped backslash", "\\\\n", 1, "L\"\\n\""},
        {"empty text", "", 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Render(c.text, c.visibleGroups), c.expected);
    }
}

TEST(Substitution, FlagTellsWhetherAnyReferenceWasRead) {
    bool flag = true;
    EXPECT_EQ(Render("", 1, &flag), "");
    EXPECT_FALSE(flag);
    EXPECT_EQ(Render("\\Q$1\\E", 2, &flag), "L\"$1\" M44");
    EXPECT_FALSE(flag);
    Render("a$'", 1, &flag);
    EXPECT_TRUE(flag);
}

TEST(Substitution, ExpansionTurnsControlEscapesIntoCharacters) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\\tb\\n", "a\tb\n"},
        {"\\x41\\x4a2", "AJ2"},
        {"\\cA", "\x01"},
        {"\\1 \\\\ \\U", "\\1 \\\\ \\U"},  // references, escaped backslashes and markers stay
        {"end\\", "end\\"},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(expand_substitution_escapes(text), expected);
    }
}

}  // namespace
