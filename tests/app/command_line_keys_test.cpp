#include "app/command_line_keys.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/key_state.h"

namespace {

struct FakeHost : CommandLineKeyHost {
    int GetInt(const std::string& key) override { return settings[key]; }
    std::string GetCommandLine() override { return line; }
    void SetCommandLine(const std::string& text) override { line = text; }
    void SelectAllCommandLine() override { log += "select-all "; }
    void RunCommand(const std::string& text) override { log += "run[" + text + "] "; }
    void AddToCommandHistory(const std::string& text) override { log += "history[" + text + "] "; }
    void SelectAircraftFromCommandLine() override { log += "asel "; }
    void SelectControllerFromCommandLine() override { log += "csel "; }
    void ClearSelectedCallsign() override { log += "unselect "; }
    std::string PreviousCommand(const std::string& current) override { return "prev<" + current + ">"; }
    std::string NextCommand(const std::string& current) override { return "next<" + current + ">"; }
    void ActivateLastChatWindow() override { log += "chat "; }
    bool RadioHistoryKey(int key, bool ctrl) override {
        log += "history " + std::to_string(key) + (ctrl ? "+ctrl " : " ");
        return key != vk::kEnd || ctrl;
    }
    std::map<std::string, int> settings;
    std::string line;
    std::string log;
};

TEST(CommandLineKeys, EachKeyWithAndWithoutCtrl) {
    struct Case {
        int key;
        bool ctrl;  // held as left Ctrl
        const char* lineBefore;
        bool handled;
        const char* log;
        const char* lineAfter;
    };
    const Case cases[] = {
        {vk::kEnter, false, ".QT DAL123", true, "history[.QT DAL123] run[.QT DAL123] ", ""},
        {vk::kEnter, false, "", true, "", ""},
        {vk::kEscape, false, "text", true, "", ""},
        {vk::kEscape, false, "", true, "unselect ", ""},
        {vk::kUp, false, "ab", true, "", "prev<ab>"},
        {vk::kDown, false, "ab", true, "", "next<ab>"},
        {vk::kUp, true, "ab", true, "history 38+ctrl ", "ab"},
        {vk::kDown, true, "ab", true, "history 40+ctrl ", "ab"},
        {vk::kPageUp, false, "", true, "history 33 ", ""},
        {vk::kPageDown, true, "", true, "history 34+ctrl ", ""},
        {vk::kEnd, true, "x", true, "history 35+ctrl ", "x"},
        {vk::kEnd, false, "x", false, "history 35 ", "x"},
        {vk::kHome, false, "", true, "", ".contactme "},
        {vk::kHome, true, "abc", false, "", "abc"},
        {vk::kTab, false, "", true, "chat ", ""},
        {vk::kTab, true, "", true, "history 9+ctrl ", ""},
        {vk::kA, true, "abc", true, "select-all ", "abc"},
        {vk::kA, false, "abc", false, "", "abc"},
        {'Q', false, "abc", false, "", "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.key) + (c.ctrl ? " with Ctrl" : ""));
        FakeHost host;
        host.line = c.lineBefore;
        ManualKeyState keys;
        keys.SetDown(vk::kLeftCtrl, c.ctrl);
        TarqCommandLineKeys commandLine(host, keys);
        EXPECT_EQ(commandLine.OnKey(c.key), c.handled);
        EXPECT_EQ(host.log, c.log);
        EXPECT_EQ(host.line, c.lineAfter);
    }
}

TEST(CommandLineKeys, HeldModifierBecomesTheHotkeyBeforeTheKeysOwnMeaning) {
    FakeHost host;
    host.settings["ASELKey"] = vk::kRightCtrl;
    host.settings["CSELKey"] = 0x7A;  // F11
    ManualKeyState keys;
    TarqCommandLineKeys commandLine(host, keys);
    keys.SetDown(vk::kRightCtrl, true);
    EXPECT_TRUE(commandLine.OnKey(vk::kUp));
    EXPECT_EQ(host.log, "asel ") << "Ctrl+Up selects and does not resize the history";
    host.log.clear();
    keys.SetDown(vk::kRightCtrl, false);
    keys.SetDown(vk::kLeftCtrl, true);
    EXPECT_TRUE(commandLine.OnKey(vk::kUp));
    EXPECT_EQ(host.log, "history 38+ctrl ") << "left Ctrl is not the hotkey";
    host.log.clear();
    keys.SetDown(vk::kLeftCtrl, false);
    EXPECT_TRUE(commandLine.OnKey(0x7A));
    EXPECT_EQ(host.log, "csel ");
}

TEST(CommandLineKeys, CapturePriorityOfLeftAndRightModifiers) {
    struct Case {
        std::vector<int> held;
        int key;
        int expected;
    };
    const Case cases[] = {
        {{}, 'Q', 'Q'},
        {{vk::kLeftShift}, 'Q', vk::kLeftShift},
        {{vk::kLeftShift, vk::kRightShift}, 'Q', vk::kRightShift},
        {{vk::kLeftAlt, vk::kRightShift}, 'Q', vk::kLeftAlt},
        {{vk::kRightAlt, vk::kLeftAlt}, 'Q', vk::kRightAlt},
        {{vk::kLeftCtrl, vk::kRightAlt}, 'Q', vk::kLeftCtrl},
        {{vk::kLeftCtrl, vk::kRightCtrl, vk::kRightAlt}, 'Q', vk::kRightCtrl},
    };
    for (const Case& c : cases) {
        ManualKeyState keys;
        for (int k : c.held) keys.SetDown(k, true);
        EXPECT_EQ(ResolveHotkey(keys, c.key), c.expected) << c.held.size();
    }
}

TEST(CommandLineKeys, CharactersTheLineNeverTypes) {
    const int asel = 'A', csel = 0x60 + 5, ptt = 0x7B;  // A, keypad 5, F12
    struct Case {
        const char* name;
        int character;
        int key;
        bool modified;
        bool ctrl;
        bool swallowed;
    };
    const Case cases[] = {
        {"the aircraft-select key", 'a', 'A', false, false, true},
        {"the same key with Shift", 'A', 'A', true, false, false},
        {"another letter", 'b', 'B', false, false, false},
        {"the controller-select key", '5', 0x65, false, false, true},
        {"the top-row 5", '5', '5', false, false, false},
        {"Tab", '\t', 0x09, false, false, true},
        {"Enter", '\r', 0x0D, false, false, true},
        {"Escape", 27, 0x1B, false, false, true},
        {"Ctrl+A", 1, 'A', true, true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SwallowCommandLineChar(c.character, c.key, c.modified, c.ctrl, asel, csel, ptt),
                  c.swallowed)
            << c.name;
    }
    EXPECT_FALSE(SwallowCommandLineChar('a', 'A', false, false, 0, 0, 0)) << "plain A types a";
}

}  // namespace
