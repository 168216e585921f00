// The alias loader and expansion: the file's forms, parameters, the step
// budget and loops refused.
#include "comms/alias_table.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/temp_dir.h"

namespace {

std::string Expand(const AliasTable& table, const std::string& in, bool* ok = nullptr) {
    std::string out = "untouched";
    const bool result = table.ExpandAliases(in, out, nullptr);
    if (ok) *ok = result;
    return out;
}

TEST(AliasTableTest, LoaderForms) {
    AliasTable table;
    table.LoadAliasText(
        "; comment\r\n"
        "\n"
        "plain text\n"
        ".RC  radar  contact $1\r\n"
        ".rc second definition ignored\n"
        ".empty \n"
        ".nospace\n"
        ".tab\ta b\n"
        ".gap $1 and $3\n"
        ".ten $1 $2 $3 $4 $5 $6 $7 $8 $9 $10\n");
    EXPECT_EQ(table.Size(), 5u);
    ASSERT_TRUE(table.Find(".rc"));
    EXPECT_EQ(table.Find(".Rc")->words, (std::vector<std::string>{"radar", "contact", "$1"}));
    EXPECT_EQ(table.Find(".rc")->parameterCount, 1);
    ASSERT_TRUE(table.Find(".empty"));
    EXPECT_TRUE(table.Find(".empty")->words.empty());
    EXPECT_FALSE(table.Find(".nospace"));
    EXPECT_FALSE(table.Find(".tab"));  // a tab is part of the name
    ASSERT_TRUE(table.Find(".tab\ta"));
    EXPECT_EQ(table.Find(".gap")->parameterCount, 1);
    EXPECT_EQ(table.Find(".ten")->parameterCount, 10);
}

TEST(AliasTableTest, LongLinesAreReadWhole) {
    TempDir dir;
    std::string body(3000, 'x');
    dir.Write("aliases.txt", ".long " + body + " $1\n.after y\n");
    AliasTable table;
    ASSERT_TRUE(table.LoadAliases(dir.File("aliases.txt")));
    ASSERT_TRUE(table.Find(".long"));
    EXPECT_EQ(table.Find(".long")->words, (std::vector<std::string>{body, "$1"}));
    EXPECT_EQ(table.Size(), 2u);
    // A failed reload leaves nothing behind.
    EXPECT_FALSE(table.LoadAliases(dir.File("missing.txt")));
    EXPECT_EQ(table.Size(), 0u);
    EXPECT_FALSE(table.LoadAliasFile(""));
}

TEST(AliasTableTest, ExpansionTable) {
    AliasTable table;
    table.LoadAliasText(
        ".b x y\n.a $1!\n.two $1-$2\n.empty \n.rc radar contact $1\n.nest .rc $1\n"
        ".ten a$1 b$2 c$3 d$4 e$5 f$6 g$7 h$8 i$9 j$10\n.self $1 .self\n");
    const struct {
        const char* name;
        const char* in;
        const char* out;
    } cases[] = {
        {"arguments_from_expanded_text", ".a .b", "x! y"},
        {"missing_argument_removed", ".two one", "one-"},
        {"empty_alias_gives_the_text", ".empty", ".empty"},
        {"spaces_collapse", "  hello   .rc   AAL1  now ", "hello radar contact AAL1 now"},
        {"blank_line_unchanged", "   ", "   "},
        {"case_folded", ".RC DAL2", "radar contact DAL2"},
        {"nested_alias", ".nest UAL3", "radar contact UAL3"},
        {"ten_own_arguments", ".ten 1 2 3 4 5 6 7 8 9 X", "a1 b2 c3 d4 e5 f6 g7 h8 i9 jX"},
        {"argument_holding_placeholder", ".two $2 z", "$2-z"},
        {"argument_holding_its_own", ".a $1", "$1!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        bool ok = false;
        EXPECT_EQ(Expand(table, c.in, &ok), c.out);
        EXPECT_TRUE(ok);
    }
}

TEST(AliasTableTest, BudgetOf999Words) {
    AliasTable table;
    std::string line = "w";
    for (int i = 1; i < 999; ++i) line += " w";
    bool ok = false;
    EXPECT_EQ(Expand(table, line, &ok), line);
    EXPECT_TRUE(ok);
    EXPECT_EQ(Expand(table, line + " w", &ok), "untouched");
    EXPECT_FALSE(ok);
}

TEST(AliasTableTest, LoopsAreRefusedWithoutGrowing) {
    AliasTable table;
    std::string wide = ".wide";
    for (int i = 0; i < 500; ++i) wide += " .wide";
    table.LoadAliasText(".self radar .self\n.ping .pong\n.pong .ping\n" + wide + "\n");
    for (const char* line : {".self", ".ping", "say .wide"}) {
        SCOPED_TRACE(line);
        bool ok = true;
        EXPECT_EQ(Expand(table, line, &ok), "untouched");
        EXPECT_FALSE(ok);
    }
}

// An alias that repeats its own argument keeps the word count but doubles
// the line at each step: the length runs out long before the steps do.
TEST(AliasTableTest, ExpansionIsBoundedInLength) {
    AliasTable table;
    table.LoadAliasText(".d .d $1$1\n.eight $1$1$1$1$1$1$1$1\n.wide $1 $1 $1 $1 $1 $1 $1 $1\n");
    const std::string word(1000, 'w');
    struct Case {
        const char* name;
        std::string in;
        size_t length;  // of the result; 0 when the expansion must fail
    };
    const Case cases[] = {
        {"alias repeating its own argument", ".d x", 0},
        {"the same with a long argument", ".d " + word, 0},
        {"a long result under the limit", ".eight " + word, 8000},
        {"many words under the limit", ".wide " + word, 8 * 1000 + 7},
        {"one step past the limit", ".eight .eight .eight " + word, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool ok = false;
        const std::string out = Expand(table, c.in, &ok);
        EXPECT_EQ(ok, c.length != 0);
        EXPECT_EQ(out.size(), c.length ? c.length : std::string("untouched").size());
        EXPECT_LE(out.size(), AliasTable::kMaxExpandedLength);
    }
}

TEST(AliasTableTest, SubstitutionIsOnePass) {
    AliasDefinition definition;
    definition.words = {"$1$2", "$12", "$0", "$01", "$"};
    definition.parameterCount = 2;
    EXPECT_EQ(AliasTable::SubstituteAliasParameters(definition, {"$2", "B"}),
              (std::vector<std::string>{"$2B", "$12", "$0", "$01", "$"}));
}

}  // namespace
