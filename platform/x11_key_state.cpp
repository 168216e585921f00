// The desktop-wide key state on X11. Tested by tests/platform/key_state_test.cpp.
#include <X11/Xlib.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>  // xcb_poll_for_reply

#include <algorithm>
#include <array>
#include <cstdlib>

#include "platform/key_state.h"

namespace {

bool IsDown(const char* keys, unsigned code) { return code != 0 && (keys[code / 8] & (1 << (code % 8))); }

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
            if (IsDown(keys, XKeysymToKeycode(m_display, keysym))) return true;
        }
        return false;
    }

private:
    Display* m_display;
};

// On its own connection through XCB, whose replies can be collected without
// waiting: a round trip every tick costs the idle program more than all its
// other work.
class X11KeyPoll final : public KeyState {
public:
    X11KeyPoll() { Connect(); }
    ~X11KeyPoll() override { xcb_disconnect(m_connection); }
    X11KeyPoll(const X11KeyPoll&) = delete;
    X11KeyPoll& operator=(const X11KeyPoll&) = delete;

    bool IsKeyDown(int virtualKey) const override {
        if (!Connected()) return false;
        const std::vector<unsigned>& codes = KeycodesOf(virtualKey);
        if (codes.empty()) return false;
        if (m_asked) {
            void* reply = nullptr;
            xcb_generic_error_t* error = nullptr;
            if (xcb_poll_for_reply(m_connection, m_request, &reply, &error)) {
                if (reply) {
                    const auto* keymap = static_cast<const xcb_query_keymap_reply_t*>(reply);
                    std::copy(std::begin(keymap->keys), std::end(keymap->keys), m_keys.begin());
                }
                free(reply);
                free(error);
                m_asked = false;
            }
        }
        // One question at a time: a server slow to answer is not flooded.
        if (!m_asked) {
            m_request = xcb_query_keymap(m_connection).sequence;
            xcb_flush(m_connection);
            m_asked = true;
        }
        return std::any_of(codes.begin(), codes.end(), [this](unsigned code) { return IsDown(m_keys.data(), code); });
    }

private:
    // A connection can fail, now and then even to a server that is there:
    // the poll tries again every so many reads rather than going deaf.
    static constexpr int kReadsBetweenTries = 100;

    void Connect() const {
        if (m_connection) xcb_disconnect(m_connection);
        m_connection = xcb_connect(nullptr, nullptr);
        m_keysyms.clear();
        m_codesOf = 0;
        m_codes.clear();
        m_keys.fill(0);
        m_asked = false;
        if (xcb_connection_has_error(m_connection)) return;
        const xcb_setup_t* setup = xcb_get_setup(m_connection);
        m_firstKeycode = setup->min_keycode;
        xcb_get_keyboard_mapping_reply_t* mapping = xcb_get_keyboard_mapping_reply(
            m_connection,
            xcb_get_keyboard_mapping(m_connection, setup->min_keycode, setup->max_keycode - setup->min_keycode + 1),
            nullptr);
        if (!mapping) return;
        m_keysymsPerKeycode = mapping->keysyms_per_keycode;
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping);
        m_keysyms.assign(keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(mapping));
        free(mapping);
    }
    bool Connected() const {
        if (!xcb_connection_has_error(m_connection) && !m_keysyms.empty()) return true;
        if (++m_readsSinceTry >= kReadsBetweenTries) {
            m_readsSinceTry = 0;
            Connect();
        }
        return false;
    }
    // Every keycode that carries one of the key's keysyms; kept for the last
    // key asked, which is the same one tick after tick.
    const std::vector<unsigned>& KeycodesOf(int virtualKey) const {
        if (virtualKey == m_codesOf) return m_codes;
        m_codesOf = virtualKey;
        m_codes.clear();
        for (unsigned long keysym : VirtualKeyToKeysyms(virtualKey)) {
            for (size_t i = 0; i < m_keysyms.size(); ++i) {
                if (m_keysyms[i] == keysym) m_codes.push_back(m_firstKeycode + i / m_keysymsPerKeycode);
            }
        }
        return m_codes;
    }

    mutable xcb_connection_t* m_connection = nullptr;
    mutable unsigned m_firstKeycode = 0;
    mutable unsigned m_keysymsPerKeycode = 0;
    mutable std::vector<xcb_keysym_t> m_keysyms;  // keycode by keycode from the first
    mutable int m_readsSinceTry = 0;
    mutable std::array<char, 32> m_keys{};
    mutable bool m_asked = false;
    mutable unsigned m_request = 0;
    mutable int m_codesOf = 0;  // no key
    mutable std::vector<unsigned> m_codes;
};

}  // namespace

std::unique_ptr<KeyState> CreateX11KeyState() { return std::make_unique<X11KeyState>(); }

std::unique_ptr<KeyState> CreateX11KeyPoll() { return std::make_unique<X11KeyPoll>(); }
