#include "app/display_layout.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayTitle, PartsByDisplayKindAndState) {
    struct Case {
        const char* name;
        TitleState state;
        const char* expected;
    };
    const Case cases[] = {
        {"main, not connected",
         {1, "Default", true, false, "", false, false},
         "[1] Tarq 1.2.3 - \"Default\" - Not connected - Filters Disabled"},
        {"main, connected",
         {1, "EDDF", true, true, "EUROPE-C2", true, false},
         "[1] Tarq 1.2.3 - \"EDDF\" - Connected to server: EUROPE-C2 - Filters Enabled"},
        {"secondary never shows the connection",
         {3, "EDDF", false, true, "EUROPE-C2", false, true},
         "[3] Tarq 1.2.3 - \"EDDF\" - Filters Disabled - Quicklook Enabled"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FormatDisplayTitle(c.state), c.expected);
    }
}

TEST(DisplayLayout, MainAndSecondaryPlaces) {
    struct Case {
        const char* name;
        int width, height;
        bool isMain;
        DisplayLayout expected;
    };
    const Case cases[] = {
        {"main", 640, 480, true, {{3, 3, 634, 451}, {3, 456, 80, 22}, {83, 456, 555, 22}}},
        {"secondary", 640, 480, false, {{3, 3, 634, 474}, {}, {}}},
        {"tiny main", 90, 30, true, {{3, 3, 84, 1}, {3, 6, 80, 22}, {83, 6, 5, 22}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DisplayLayout layout = LayoutDisplayControls(c.width, c.height, c.isMain, 22, 80);
        EXPECT_EQ(layout.glArea, c.expected.glArea);
        EXPECT_EQ(layout.callsignField, c.expected.callsignField);
        EXPECT_EQ(layout.commandLine, c.expected.commandLine);
    }
    EXPECT_EQ(ViewportHeight(0), 1);
    EXPECT_EQ(ViewportHeight(7), 7);
}

TEST(DisplayLayout, MinimisedDisplaysAreNotDrawn) {
    struct Case {
        const char* name;
        bool visible, isMain, mainVisible, expected;
    };
    const Case cases[] = {
        {"main shown", true, true, true, true},
        {"main minimised", false, true, false, false},
        {"secondary shown", true, false, true, true},
        {"secondary minimised", false, false, true, false},
        {"secondary shown while the main is minimised", true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ShouldDrawDisplay(c.visible, c.isMain, c.mainVisible), c.expected);
    }
}

}  // namespace
