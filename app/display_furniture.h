// TarqDisplayFurniture: what only the main display has besides its scope,
// the button bar and the radio history, and how the display window reaches
// them: the lines of the message sinks, the frame's drawing after the scope
// (each part while its show-mask bit is set), left clicks and the command
// line's history keys.
// Tested by tests/app/display_furniture_test.cpp and furniture_gl_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/display_button_bar.h"
#include "app/radio_history.h"

class Clock;
class TarqProfile;

// Windows virtual-key codes of the keys the radio history answers.
inline constexpr int kVkTab = 0x09;
inline constexpr int kVkPageUp = 0x21;
inline constexpr int kVkPageDown = 0x22;
inline constexpr int kVkEnd = 0x23;
inline constexpr int kVkUp = 0x26;
inline constexpr int kVkDown = 0x28;

class TarqDisplayFurniture {
public:
    // Show-mask bits of the two parts.
    static constexpr int kShowButtonBar = 0x4000;
    static constexpr int kShowRadioHistory = 0x8000;

    // host is the main display; kinds must outlive the furniture.
    TarqDisplayFurniture(TarqDisplay* display, RadioHistoryHost& host, TarqButtonKinds& kinds,
                         TarqProfile& profile, const Clock& clock);
    TarqDisplayFurniture(const TarqDisplayFurniture&) = delete;
    TarqDisplayFurniture& operator=(const TarqDisplayFurniture&) = delete;

    TarqDisplayRadioHistory& GetRadioHistory() { return m_history; }
    TarqDisplayButtonBar& GetButtonBar() { return m_buttonBar; }

    // A line from the message sinks.
    void AddRadioLine(RadioMessageKind kind, const std::string& text);
    // Draws into the current GL context after the scope: the bar, then the
    // history. relayout: the drawing area changed size.
    void Draw(int showMask, bool relayout);
    // A hash of what Draw(showMask, false) would paint over that viewport
    // now; equal hashes, the same furniture.
    uint64_t PictureKey(int showMask, int viewportX, int viewportY, int width, int height);
    // A left click at canvas pixel (x, y), y downward from the top of a
    // drawing area viewportHeight high: offered to the bar, then to the
    // history. True when one took it; then it goes no further.
    bool OnLeftButtonDown(int showMask, int x, int y, int viewportHeight);
    // A key pressed in the command line; true when the history took it.
    bool OnCommandLineKey(int virtualKey, bool ctrl);

private:
    TarqDisplayRadioHistory m_history;
    TarqDisplayButtonBar m_buttonBar;
};
