// The desktop-wide key state on X11. Tested by tests/platform/key_state_test.cpp.
#include <X11/Xlib.h>

#include "platform/key_state.h"

namespace {

class X11KeyState final : public KeyState {
public:
    X11KeyState() : m_display(XOpenDisplay(nullptr)) {}
    ~X11KeyState() override {
        if (m_display) XCloseDisplay(m_display);
    }
    X11KeyState(const X11KeyState&) = delete;
    X11KeyState& operator=(const X11KeyState&) = delete;

    bool IsKeyDown(int virtualKey) const override {
        if (!m_display) return false;
        char keys[32];
        XQueryKeymap(m_display, keys);
        for (unsigned long keysym : VirtualKeyToKeysyms(virtualKey)) {
            KeyCode code = XKeysymToKeycode(m_display, keysym);
            if (code != 0 && (keys[code / 8] & (1 << (code % 8)))) return true;
        }
        return false;
    }

private:
    Display* m_display;
};

}  // namespace

std::unique_ptr<KeyState> CreateX11KeyState() { return std::make_unique<X11KeyState>(); }
