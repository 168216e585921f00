// The delayed context menus of a display window: a right press on a target
// or a sticky note asks for its menu, which opens 250 ms later unless the
// right button was dragged or double-clicked meanwhile. The window feeds the
// mouse and its one-shot timer in; this decides what opens.
// Tested by tests/app/aircraft_actions_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class TarqContextMenus {
public:
    static constexpr int kDelayMs = 250;
    static constexpr const char* kStickyNoteTitle = "Sticky Note";

    // startTimer (re)starts the window's one-shot timer with the delay.
    explicit TarqContextMenus(std::function<void(int ms)> startTimer) : m_startTimer(std::move(startTimer)) {}

    // The right-button state: 1 after a drag, 2 after a double click,
    // counted down by each release, never below 0.
    void OnMouseMove(bool rightHeld) {
        if (rightHeld) m_state = 1;
    }
    void OnRightDoubleClick() { m_state = 2; }
    void OnRightButtonUp() {
        if (m_state > 0) --m_state;
    }
    int16_t GetState() const { return m_state; }

    void OpenAircraftMenuLater(const std::string& callsign, int x, int y) { Schedule(callsign, x, y, 0); }
    void OpenStickyNoteMenuLater(uint64_t noteKey, int x, int y) {
        Schedule(kStickyNoteTitle, x, y, noteKey);
    }

    struct Opening {
        enum class Kind { None, Aircraft, StickyNote } kind = Kind::None;
        std::string title;  // the callsign, or "Sticky Note"
        int x = 0;
        int y = 0;
        uint64_t noteKey = 0;
    };
    // The timer fired: what opens now, if anything. A menu that opens resets
    // the state, as does one that was cancelled.
    Opening OnTimer();
    // The title the open menu shows.
    const std::string& GetPendingTitle() const { return m_title; }

private:
    void Schedule(const std::string& title, int x, int y, uint64_t noteKey);

    std::function<void(int)> m_startTimer;
    int16_t m_state = 0;
    std::string m_title;
    int m_x = 0;
    int m_y = 0;
    uint64_t m_noteKey = 0;
    bool m_pending = false;
};
