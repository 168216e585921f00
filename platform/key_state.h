// The state of a key anywhere on the desktop, by its Windows virtual-key code
// (the codes that profiles store, e.g. "PTTKey"), and the keys' display names.
// Tested by tests/platform/key_state_test.cpp.
#pragma once

#include <memory>
#include <string>
#include <vector>

class KeyState {
public:
    virtual ~KeyState() = default;
    // True while the key is held, whichever window has the focus.
    virtual bool IsKeyDown(int virtualKey) const = 0;
};

// A key state that tests set by hand.
class ManualKeyState final : public KeyState {
public:
    bool IsKeyDown(int virtualKey) const override;
    void SetDown(int virtualKey, bool down);

private:
    std::vector<int> m_down;
};

// The X11 keysyms that stand for a virtual key (a generic modifier such as
// VK_SHIFT has two, the left and the right one); empty for an unknown code.
std::vector<unsigned long> VirtualKeyToKeysyms(int virtualKey);
// The other way: the virtual key of an X11 keysym, the left or right one
// rather than the generic modifier; 0 for a keysym without one.
int KeysymToVirtualKey(unsigned long keysym);

// The name a controller sees for a key ("Left Ctrl", "F9", "Num 4", "Left");
// empty for a key without a name.
std::string GetKeyDisplayName(int virtualKey);

// Reads the keyboard of the X display named by $DISPLAY through XQueryKeymap;
// with no display every key is up. Lives in tarq_platform_x11.
std::unique_ptr<KeyState> CreateX11KeyState();
// The same for a poll that reads every few milliseconds: a read never waits
// for the server. It answers from the keyboard as the server last reported it
// and asks again, so it is one read behind (up from the start).
std::unique_ptr<KeyState> CreateX11KeyPoll();
