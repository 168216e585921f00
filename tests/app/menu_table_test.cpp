#include "app/menu_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

TEST(MenuTable, EveryCommandOnceAndTheReducedMenuOfSecondaryDisplays) {
    std::set<int> ids;
    for (const MenuCommand& c : DisplayMenuCommands()) {
        if (c.id == 0) continue;
        EXPECT_TRUE(ids.insert(c.id).second) << "declared twice: " << c.id;
    }
    // What a secondary display keeps: File (New Window, Open Sector, Close
    // Window), Settings (Radar Mode, Color Profile, Filters) and View
    // without Button Bar and Radio History.
    std::map<std::string, int> secondary;
    for (const MenuCommand& c : DisplayMenuCommands()) {
        if (c.id != 0 && c.scope != MenuScope::MainOnly) ++secondary[c.menu];
    }
    EXPECT_EQ(secondary["&File"], 3);
    EXPECT_EQ(secondary["&Settings"], 11 + 1 + 2);
    EXPECT_EQ(secondary.count("&Tools"), 0u);
    EXPECT_EQ(secondary.count("&Help"), 0u);
    for (const MenuCommand& c : DisplayMenuCommands()) {
        if (c.id == 113 || c.id == 150 || c.id == 108 || c.id == 125) {
            EXPECT_EQ(c.scope, MenuScope::MainOnly) << c.id;
        }
        if (c.id == 153) {
            EXPECT_EQ(c.scope, MenuScope::SecondaryOnly);
        }
    }
}

TEST(MenuTable, AcceleratorsAreUniqueAndBookmarksPaired) {
    std::set<std::pair<int, int>> keys;
    std::map<int, int> byId;
    for (const Accelerator& a : DisplayAccelerators()) {
        EXPECT_TRUE(keys.insert({a.modifiers, a.virtualKey}).second) << a.modifiers << "+" << a.virtualKey;
        ++byId[a.id];
    }
    EXPECT_EQ(byId[40024], 2) << "Ctrl+Alt+1 and Ctrl+Alt+keypad 1";
    EXPECT_EQ(byId[40041], 2) << "Ctrl+9 and Ctrl+keypad 9";
    EXPECT_EQ(byId[40043], 2);
    EXPECT_EQ(byId.count(40042), 0u);
}

TEST(MenuTable, CommandLinePrefills) {
    struct Case {
        int id;
        const char* expected;
    };
    const Case cases[] = {
        {40008, ".QP "}, {40009, ".AN "}, {40053, ".QR "}, {40019, ".QB "}, {40044, ".QS "}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        ASSERT_NE(CommandLinePrefill(c.id), nullptr);
        EXPECT_STREQ(CommandLinePrefill(c.id), c.expected);
    }
    EXPECT_EQ(CommandLinePrefill(40020), nullptr);
    EXPECT_EQ(CommandLinePrefill(121), nullptr);
}

TEST(MenuTable, HelpPages) {
    EXPECT_NE(HelpPageUrl(181).find("/Tarq/docs/quick_start_guide.shtml"), std::string::npos);
    EXPECT_NE(HelpPageUrl(170).find("/Tarq/docs/command_reference.shtml"), std::string::npos);
    EXPECT_NE(HelpPageUrl(182).find("/Tarq/forums/"), std::string::npos);
    EXPECT_EQ(HelpPageUrl(118), "");
}

}  // namespace
