#include "app/menu_table.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using C = CommandId;

TEST(MenuTable, EveryCommandOnceAndTheReducedMenuOfSecondaryDisplays) {
    std::set<C> ids;
    for (const CommandRow& row : CommandTable()) {
        EXPECT_TRUE(ids.insert(row.id).second) << "declared twice: " << static_cast<int>(row.id);
        EXPECT_EQ(FindCommand(row.id), &row);
        EXPECT_EQ(row.menu == nullptr, row.places == 0) << static_cast<int>(row.id);
    }
    // What a secondary display keeps: File (New Window, Open Sector, Close
    // Window), Settings (Radar Mode, Color Profile, Filters) and View
    // without Button Bar and Radio History.
    std::map<std::string, int> secondary;
    for (const CommandRow& row : CommandTable()) {
        if (row.places & kSecondaryMenu) ++secondary[row.menu];
    }
    EXPECT_EQ(secondary["&File"], 3);
    EXPECT_EQ(secondary["&Settings"], 11 + 1 + 2);
    EXPECT_EQ(secondary.count("&Tools"), 0u);
    EXPECT_EQ(secondary.count("&Help"), 0u);
    for (C id : {C::ButtonBar, C::RadioHistory, C::Exit, C::OpenSessionProfile}) {
        EXPECT_EQ(FindCommand(id)->places, kMainMenu) << static_cast<int>(id);
    }
    EXPECT_EQ(FindCommand(C::CloseWindow)->places, kSecondaryMenu);
    EXPECT_EQ(FindCommand(C::About)->places, kMainMenu | kProfileMenu);
    EXPECT_EQ(FindCommand(C::None), nullptr);
}

TEST(MenuTable, ModesAndShowBitsAreOneEachAndACommandDoesOneThing) {
    std::set<int> modes, bits;
    for (const CommandRow& row : CommandTable()) {
        int actions = (row.radarMode != 0) + (row.showBit != 0) + (row.tool != ToolWindowKind::None) +
                      (row.prefill != nullptr) + (row.helpPage != nullptr);
        EXPECT_LE(actions, 1) << static_cast<int>(row.id);
        if (row.radarMode) {
            EXPECT_TRUE(modes.insert(row.radarMode).second) << row.radarMode;
        }
        if (row.showBit) {
            EXPECT_TRUE(bits.insert(row.showBit).second) << row.showBit;
            EXPECT_EQ(row.showBit & (row.showBit - 1), 0) << "one bit: " << row.showBit;
        }
        if (row.radarMode || row.showBit || row.tool != ToolWindowKind::None) {
            EXPECT_TRUE(row.checkable) << static_cast<int>(row.id);
        }
    }
    EXPECT_EQ(modes, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(bits.size(), 28u);
}

TEST(MenuTable, AcceleratorsAreUniqueAndBookmarksPaired) {
    std::set<std::pair<int, int>> keys;
    std::map<C, int> byId;
    for (const Accelerator& a : DisplayAccelerators()) {
        EXPECT_TRUE(keys.insert({a.modifiers, a.virtualKey}).second) << a.modifiers << "+" << a.virtualKey;
        ++byId[a.id];
    }
    EXPECT_EQ(byId[C::SaveBookmark1], 2) << "Ctrl+Alt+1 and Ctrl+Alt+keypad 1";
    EXPECT_EQ(byId[C::RecallBookmark9], 2) << "Ctrl+9 and Ctrl+keypad 9";
    EXPECT_EQ(byId[C::RecallBookmark0], 2);
    EXPECT_EQ(byId[C::FlightStripBay], 1);
    EXPECT_EQ(keys.size(), DisplayAccelerators().size());
}

TEST(MenuTable, KeysFindTheirCommandsWithTheKeypadVariants) {
    constexpr int Ctrl = kAccelCtrl, Alt = kAccelAlt, Shift = kAccelShift;
    constexpr int kPad0 = 0x60;
    struct Case {
        int modifiers;
        int key;
        C expected;
    };
    const Case cases[] = {
        {Alt, '1', C::FlightStripBay},
        {Alt, '7', C::IncomingChatLog},
        {Ctrl, 'T', C::RadioHistory},
        {Ctrl | Alt, 'F', C::FiltersConfigure},
        {Ctrl, 'F', C::ToggleAltitudeFilters},
        {Ctrl, 'Q', C::ToggleQuicklook},
        {Ctrl, ' ', C::ClearMessageWaiting},
        {Ctrl, 'G', C::Diagrams},
        {Ctrl, 'O', C::OceanicTracks},
        {0, 0x7A, C::ZoomIn},
        {Ctrl, 0x7B, C::ZoomOutFast},
        {Ctrl | Alt, '4', C::SaveBookmark4},
        {Ctrl | Alt, kPad0 + 4, C::SaveBookmark4},
        {Ctrl, '9', C::RecallBookmark9},
        {Ctrl, kPad0 + 9, C::RecallBookmark9},
        {Ctrl, '0', C::RecallBookmark0},
        {Ctrl, kPad0, C::RecallBookmark0},
        {0, 0x70, C::PrefillQp},
        {Shift, 0x70, C::PrefillAn},
        {Ctrl, 0x75, C::PrefillQr},
        {Shift, 0x76, C::PrefillOw},
        {0, 0x2D, C::PrefillQs},
        {0, 'T', C::None},
        {Ctrl | Shift, 'T', C::None},
        {Alt, kPad0 + 1, C::None},
        {Ctrl | Alt, '0', C::None},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FindAccelerator(c.modifiers, c.key), c.expected) << c.modifiers << "+" << c.key;
    }
}

TEST(MenuTable, CommandLinePrefills) {
    struct Case {
        C id;
        const char* expected;
    };
    const Case cases[] = {{C::PrefillQp, ".QP "},
                          {C::PrefillAn, ".AN "},
                          {C::PrefillQr, ".QR "},
                          {C::PrefillQb, ".QB "},
                          {C::PrefillQs, ".QS "}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.id));
        ASSERT_NE(CommandLinePrefill(c.id), nullptr);
        EXPECT_STREQ(CommandLinePrefill(c.id), c.expected);
    }
    EXPECT_EQ(CommandLinePrefill(C::ZoomIn), nullptr);
    EXPECT_EQ(CommandLinePrefill(C::NewWindow), nullptr);
}

TEST(MenuTable, HelpPages) {
    EXPECT_NE(HelpPageUrl(C::QuickStartGuide).find("/Tarq/docs/quick_start_guide.shtml"), std::string::npos);
    EXPECT_NE(HelpPageUrl(C::CommandReference).find("/Tarq/docs/command_reference.shtml"), std::string::npos);
    EXPECT_NE(HelpPageUrl(C::DiscussionForums).find("/Tarq/forums/"), std::string::npos);
    EXPECT_EQ(HelpPageUrl(C::About), "");
}

// What a help page's opening leaves for the radio history: nothing once a
// browser took it, why not otherwise; no browser is asked without an address.
TEST(MenuTable, OpeningAHelpPageSaysWhyItFailed) {
    struct Case {
        const char* url;
        bool browser;
        const char* asked;
        const char* said;
    };
    const Case cases[] = {
        {"https://example.org/a", true, "https://example.org/a", ""},
        {"https://example.org/a", false, "https://example.org/a",
         "Could not open https://example.org/a in a web browser."},
        {"", true, "", "No web address is configured for this page."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        std::string asked;
        const std::string said = OpenHelpPage(c.url, [&](const std::string& url) {
            asked += url;
            return c.browser;
        });
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(said, c.said);
    }
}

}  // namespace
