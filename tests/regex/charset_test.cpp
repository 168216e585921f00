// Bracket sets and the shared "\d"-style sets: which bytes each one holds.
#include "regex/charset.h"

#include <gtest/gtest.h>

#include <string>

#include "regex/perl_syntax.h"
#include "regex/rpattern.h"

namespace {

using namespace regex;
using namespace regex::detail;

// Bytes probed in every row, and the members among them in order.
const std::string kProbe = std::string("\x08\t\n -019AFGZ[\\]^_afgz.\x7f\xe9");

std::string Members(const charset& set) {
    std::string out;
    for (char c : kProbe)
        if (set.contains(static_cast<unsigned char>(c))) out += c;
    return out;
}

std::string ParseSet(const std::string& body, int flags) {
    charset set;
    const char* it = body.data();
    parse_bracket(set, it, body.data() + body.size(), flags);
    EXPECT_EQ(it, body.data() + body.size()) << "the closing ] ends the set";
    return Members(set);
}

struct SetCase {
    const char* name;
    const char* body;  // the text after "["
    int flags;
    std::string expected;
};

const SetCase kSetCases[] = {
    {"bracket first is literal", "]a]", 0, "]a"},
    {"negated bracket first", "^]a]", 0, std::string("\x08\t\n -019AFGZ[\\^_fgz.\x7f\xe9")},
    {"dash last", "a-]", 0, "-a"},
    {"dash first", "-a]", 0, "-a"},
    {"dash after a set, last, is literal", "\\d-]", 0, "-019"},
    {"dash as a range's end", "+--]", 0, "-"},
    {"dash after a range is literal", "0-1-9]", 0, "-019"},
    {"word class", "[:word:]]", 0, "019AFGZ_afgz"},
    {"negated word class", "[:^word:]]", 0, std::string("\x08\t\n -[\\]^.\x7f\xe9")},
    {"ascii class", "[:ascii:]]", 0, std::string("\x08\t\n -019AFGZ[\\]^_afgz.\x7f")},
    {"quoted text is literal", "\\Q]-^\\E]", 0, "-]^"},
    {"quoted end of a range", "Z-\\Qa\\E]", 0, "Z[\\]^_a"},
    {"empty quote before a first bracket", "\\Q\\E]a]", 0, "]a"},
    {"blanks are layout under xx", " ^ a - f]", extended_more,
     std::string("\x08\t\n -019AFGZ[\\]^_gz.\x7f\xe9")},
    {"escaped blank stays under xx", "\\ a]", extended_more, " a"},
    {"range", "0-9]", 0, "019"},
    {"caseless range", "a-f]", ignore_case, "AFaf"},
    {"upper class", "[:upper:]]", 0, "AFGZ"},
    {"upper class caseless takes both", "[:upper:]]", ignore_case, "AFGZafgz"},
    {"negated class", "[:^digit:]]", 0, std::string("\x08\t\n -AFGZ[\\]^_afgz.\x7f\xe9")},
    {"blank is the space only", "[:blank:]]", 0, " "},
    {"space class", "[:space:]]", 0, "\t\n "},
    {"xdigit class", "[:xdigit:]]", 0, "019AFaf"},
    {"punct holds underscore", "[:punct:]]", 0, "-[\\]^_."},
    {"cntrl class", "[:cntrl:]]", 0, "\x08\t\n\x7f"},
    {"print holds the space", "[:print:]]", 0, " -019AFGZ[\\]^_afgz."},
    {"non-word and digit", "\\W\\d]", 0, std::string("\x08\t\n -019[\\]^.\x7f\xe9")},
    {"word set", "\\w]", 0, "019AFGZ_afgz"},
    {"octal", "\\101]", 0, "A"},
    {"octal stops after three digits", "\\1011]", 0, "1A"},
    {"hex", "\\x41]", 0, "A"},
    {"hex stops after two digits", "\\x414]", 0, "A"},
    {"hex without digits is NUL", "\\xg]", 0, "g"},
    {"control escape", "\\cJ]", 0, "\n"},
    {"backspace escape", "\\b]", 0, "\x08"},
    {"n is a letter", "\\n]", 0, ""},
    {"n expanded", "\\n]", expand_escapes, "\n"},
    {"escaped bracket", "\\]]", 0, "]"},
    {"open bracket is plain", "[a]", 0, "[a"},
    {"negated set holds newline", "^a]", 0, std::string("\x08\t\n -019AFGZ[\\]^_fgz.\x7f\xe9")},
    {"high byte literal", "\xe9]", 0, "\xe9"},
};

TEST(Charset, BracketSets) {
    for (const auto& c : kSetCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ParseSet(c.body, c.flags), c.expected);
    }
}

struct ErrorCase {
    const char* name;
    const char* body;
    const char* expected;
};

const ErrorCase kErrorCases[] = {
    {"reversed range", "z-a]", "invalid range specified in character set"},
    {"no closing bracket", "abc", "expecting end of character set"},
    {"escape at the end", "a\\", "expecting end of character set"},
    {"range at the end", "a-", "expecting end of character set"},
    {"empty", "", "expecting end of character set"},
    {"only a bracket", "]", "expecting end of character set"},
};

TEST(Charset, MalformedSets) {
    for (const auto& c : kErrorCases) {
        SCOPED_TRACE(c.name);
        std::string body = c.body;
        charset set;
        const char* it = body.data();
        try {
            parse_bracket(set, it, body.data() + body.size(), 0);
            ADD_FAILURE() << "no error";
        } catch (const bad_regexpr& e) {
            EXPECT_STREQ(e.what(), c.expected);
        }
    }
}

TEST(Charset, SharedSets) {
    EXPECT_EQ(Members(intrinsic_charset(intrinsic::digit)), "019");
    EXPECT_EQ(Members(intrinsic_charset(intrinsic::space)), "\t\n ");
    EXPECT_EQ(Members(intrinsic_charset(intrinsic::word)), "019AFGZ_afgz");
    EXPECT_EQ(Members(intrinsic_charset(intrinsic::not_word)), std::string("\x08\t\n -[\\]^.\x7f\xe9"));
}

}  // namespace
