#include "platform/key_state.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "x_input.h"

namespace {

TEST(KeyNames, NamesAsTheProfilesKnowThem) {
    struct Case {
        const char* name;
        int virtualKey;
        const char* expected;
    };
    const Case cases[] = {
        {"pause", 19, "Pause"},
        {"left shift", 160, "Left Shift"},
        {"right ctrl", 163, "Right Ctrl"},
        {"right alt", 165, "Right Alt"},
        {"letter", 'Q', "Q"},
        {"digit", '7', "7"},
        {"function key", 0x78, "F9"},
        {"F24", 0x87, "F24"},
        {"arrow is not keypad", 37, "Left"},
        {"keypad digit", 0x64, "Num 4"},
        {"insert", 45, "Insert"},
        {"num lock", 144, "Num Lock"},
        {"oem", 192, "`"},
        {"unknown", 0xE8, ""},
        {"negative", -1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(GetKeyDisplayName(c.virtualKey), c.expected);
    }
}

TEST(KeyNames, GenericModifiersStandForBothSides) {
    EXPECT_EQ(VirtualKeyToKeysyms(16).size(), 2u);
    EXPECT_EQ(VirtualKeyToKeysyms(160), std::vector<unsigned long>{0xffe1});
    EXPECT_EQ(VirtualKeyToKeysyms('A'), std::vector<unsigned long>{'a'});
    EXPECT_TRUE(VirtualKeyToKeysyms(0xE8).empty());
}

TEST(KeyNames, KeysymsBackToVirtualKeysPreferTheSidedModifier) {
    const std::pair<unsigned long, int> cases[] = {
        {'a', 'A'},     {'A', 'A'},    {'7', '7'},    {0xffb3, 0x63},  // keypad 3
        {0xffbe, 0x70}, {0xff0d, 13},  {0xff8d, 13},  {0xffe1, 160},   // left Shift
        {0xffe4, 163},  {0xffea, 165}, {0xfe03, 165}, {0xff63, 0x2D},  // Insert
        {';', 186},     {0x12345, 0},
    };
    for (const auto& [keysym, expected] : cases) EXPECT_EQ(KeysymToVirtualKey(keysym), expected) << keysym;
}

TEST(ManualKeyState, HoldsWhatTheTestSets) {
    ManualKeyState keys;
    EXPECT_FALSE(keys.IsKeyDown(17));
    keys.SetDown(17, true);
    keys.SetDown(17, true);
    EXPECT_TRUE(keys.IsKeyDown(17));
    keys.SetDown(17, false);
    EXPECT_FALSE(keys.IsKeyDown(17));
}

TEST(X11KeyState, NoKeyIsDownWhenNothingIsPressed) {
    // Under Xvfb nobody presses keys; without a display every key reads up.
    for (auto create : {CreateX11KeyState, CreateX11KeyPoll}) {
        auto keys = create();
        for (int read = 0; read < 3; ++read) {
            for (int vk : {17, int{'A'}, 0x70, 160, 0xE8}) EXPECT_FALSE(keys->IsKeyDown(vk)) << vk;
        }
    }
}

// Reads until the key reads `down`, as the frame tick does; false after 5 s.
bool PollUntil(const KeyState& keys, int virtualKey, bool down) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        if (keys.IsKeyDown(virtualKey) == down) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(X11KeyState, APollSeesAKeyHeldAnywhereAndItsRelease) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "no X display";
    constexpr unsigned long kXkScrollLock = 0xff14;
    constexpr int kVkScrollLock = 145;
    auto poll = CreateX11KeyPoll();
    auto direct = CreateX11KeyState();
    ASSERT_TRUE(HoldKey(kXkScrollLock, true)) << "no X test extension";
    EXPECT_TRUE(direct->IsKeyDown(kVkScrollLock));
    EXPECT_TRUE(PollUntil(*poll, kVkScrollLock, true));
    EXPECT_FALSE(poll->IsKeyDown(0x13)) << "Pause is up";
    HoldKey(kXkScrollLock, false);
    EXPECT_FALSE(direct->IsKeyDown(kVkScrollLock));
    EXPECT_TRUE(PollUntil(*poll, kVkScrollLock, false));
}

}  // namespace
