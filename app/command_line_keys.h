// The main display's command-line keyboard: the aircraft- and
// controller-select hotkeys (a modifier key alone can be one), Enter, Escape,
// the command history, Home's contact-me line, the radio history's keys, and
// the characters the line never types.
// Tested by tests/app/command_line_keys_test.cpp.
#pragma once

#include <string>

class KeyState;

// Windows virtual-key codes the command line answers.
namespace vk {
inline constexpr int kTab = 0x09, kEnter = 0x0D, kEscape = 0x1B, kPageUp = 0x21, kPageDown = 0x22,
                     kEnd = 0x23, kHome = 0x24, kUp = 0x26, kDown = 0x28, kA = 0x41, kLeftShift = 0xA0,
                     kRightShift = 0xA1, kLeftCtrl = 0xA2, kRightCtrl = 0xA3, kLeftAlt = 0xA4,
                     kRightAlt = 0xA5;
}

// The key a hotkey field captures, and the command line compares with the
// hotkeys: the first held of right Ctrl, left Ctrl, right Alt, left Alt,
// right Shift, left Shift, else the key itself.
int ResolveHotkey(const KeyState& keys, int virtualKey);

// Whether the command line drops a typed character: the keys of the
// aircraft-select, controller-select and push-to-talk settings type nothing
// unless a modifier is held; Tab, Enter and Escape never type, Ctrl+A
// (character 1) not while Ctrl is held.
bool SwallowCommandLineChar(int character, int virtualKey, bool modified, bool ctrlHeld, int aselKey,
                            int cselKey, int pttKey);

class CommandLineKeyHost {
public:
    virtual ~CommandLineKeyHost() = default;
    virtual int GetInt(const std::string& key) = 0;
    virtual std::string GetCommandLine() = 0;
    // Caret after the last character.
    virtual void SetCommandLine(const std::string& text) = 0;
    virtual void SelectAllCommandLine() = 0;
    virtual void RunCommand(const std::string& line) = 0;
    virtual void AddToCommandHistory(const std::string& line) = 0;
    virtual void SelectAircraftFromCommandLine() = 0;
    virtual void SelectControllerFromCommandLine() = 0;
    virtual void ClearSelectedCallsign() = 0;
    virtual std::string PreviousCommand(const std::string& current) = 0;
    virtual std::string NextCommand(const std::string& current) = 0;
    virtual void ActivateLastChatWindow() = 0;
    // The radio history's keys (Page Up and Down, Ctrl with End, Tab, Up and
    // Down); true when it took the key.
    virtual bool RadioHistoryKey(int virtualKey, bool ctrl) = 0;
};

class TarqCommandLineKeys {
public:
    TarqCommandLineKeys(CommandLineKeyHost& host, const KeyState& keys) : m_host(host), m_keys(keys) {}
    // A key-down in the command line; true when handled, so the edit does
    // not see it. ctrlDown: the toolkit's own word on Ctrl, for keys sent
    // without the keyboard.
    bool OnKey(int virtualKey, bool ctrlDown = false);

private:
    CommandLineKeyHost& m_host;
    const KeyState& m_keys;
};
