// Tested by tests/app/command_line_keys_test.cpp.
#include "app/command_line_keys.h"

#include "platform/key_state.h"

int ResolveHotkey(const KeyState& keys, int virtualKey) {
    for (int modifier :
         {vk::kRightCtrl, vk::kLeftCtrl, vk::kRightAlt, vk::kLeftAlt, vk::kRightShift, vk::kLeftShift}) {
        if (keys.IsKeyDown(modifier)) return modifier;
    }
    return virtualKey;
}

bool SwallowCommandLineChar(int character, int virtualKey, bool modified, bool ctrlHeld, int aselKey,
                            int cselKey, int pttKey) {
    if (!modified) {
        const std::string name = GetKeyDisplayName(virtualKey);
        for (int hotkey : {aselKey, cselKey, pttKey}) {
            if (!name.empty() && name == GetKeyDisplayName(hotkey)) return true;
        }
    }
    if (character == '\t' || character == '\r' || character == 27) return true;
    return character == 1 && ctrlHeld;
}

bool TarqCommandLineKeys::OnKey(int key, bool ctrlDown) {
    const int hotkey = ResolveHotkey(m_keys, key);
    const bool ctrl = ctrlDown || hotkey == vk::kRightCtrl || hotkey == vk::kLeftCtrl;
    if (hotkey == m_host.GetInt("ASELKey")) {
        m_host.SelectAircraftFromCommandLine();
        return true;
    }
    if (hotkey == m_host.GetInt("CSELKey")) {
        m_host.SelectControllerFromCommandLine();
        return true;
    }
    const std::string text = m_host.GetCommandLine().substr(0, 1023);
    switch (key) {
        case vk::kEnter:
            if (!text.empty()) {
                m_host.AddToCommandHistory(text);
                m_host.RunCommand(text);
                m_host.SetCommandLine("");
            }
            return true;
        case vk::kEscape:
            if (!text.empty())
                m_host.SetCommandLine("");
            else
                m_host.ClearSelectedCallsign();
            return true;
        case vk::kUp:
        case vk::kDown:
            if (ctrl) return m_host.RadioHistoryKey(key, true);
            m_host.SetCommandLine(key == vk::kUp ? m_host.PreviousCommand(text) : m_host.NextCommand(text));
            return true;
        case vk::kPageUp:
        case vk::kPageDown:
        case vk::kEnd:
            return m_host.RadioHistoryKey(key, ctrl);
        case vk::kHome:
            if (!text.empty()) return false;
            m_host.SetCommandLine(".contactme ");
            return true;
        case vk::kTab:
            if (ctrl) return m_host.RadioHistoryKey(key, true);
            m_host.ActivateLastChatWindow();
            return true;
        case vk::kA:
            if (!ctrl) return false;
            m_host.SelectAllCommandLine();
            return true;
        default:
            return false;
    }
}
