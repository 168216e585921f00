// TarqDisplayRadioHistory: the message box at the bottom of the main display.
// Keeps every message of the session, wraps the newest into the box, scrolls
// and pages, keeps the message-waiting flag that blinks the border, and
// writes the history to the clipboard and to a radio log. The decisions are
// plain code (Layout gives the box, border colour and lines of a frame); Draw
// puts a frame on the current GL context.
// Tested by tests/app/radio_history_test.cpp and furniture_gl_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/display.h"
#include "app/display_fonts.h"

class Clock;
class GlBitmapFont;
class TarqProfile;

struct RgbColor {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const RgbColor&) const = default;
};

// What a message kind does when it is added.
struct RadioKindInfo {
    const char* prefix;  // put before the text by AddMessage
    RgbColor color;
    bool reveals;  // brings a hidden radio history back
    int waiting;   // 1 sets the message-waiting flag, -1 clears it, 0 leaves it
};
const RadioKindInfo& GetRadioKindInfo(RadioMessageKind kind);

// What the history needs of its display and of the program around it.
class RadioHistoryHost : public TarqFontSource {
public:
    // Turns the View menu's Radio History item on when it is off.
    virtual void EnsureRadioHistoryShown() = 0;
    // The communications panel's primary frequency, kHz.
    virtual int GetPrimaryFrequency() = 0;
    // Plays the cue that the string setting `key` names.
    virtual void PlaySoundSetting(const std::string& key, bool interrupt) = 0;
    // An error line (after the error cue) and an information line.
    virtual void ShowErrorLine(const std::string& text) = 0;
    virtual void ShowInfoLine(const std::string& text) = 0;
    // False when the clipboard could not be had.
    virtual bool SetClipboardText(const std::string& text) = 0;
};

// One frame of the box, GL window coordinates with y upward.
struct RadioHistoryFrame {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    RgbColor border;
    struct Line {
        std::string_view text;  // valid until the history changes
        RgbColor color;
        int x = 0;
        int y = 0;
    };
    std::vector<Line> lines;  // bottom line first
};

class TarqDisplayRadioHistory {
public:
    static constexpr int kLineHeight = 14;
    static constexpr int kCharWidth = 7;
    static constexpr size_t kMaxDrawnLine = 1024;
    static constexpr RgbColor kBackground{0, 0, 0};
    static constexpr uint8_t kBackgroundAlpha = 170;
    static constexpr int kFontId = 3;

    TarqDisplayRadioHistory(RadioHistoryHost& host, TarqProfile& profile, const Clock& clock);
    virtual ~TarqDisplayRadioHistory() = default;

    void Reset();
    void AddMessage(std::string text, RadioMessageKind kind);
    void AddRadioMessage(const std::string& sender, int frequencyKhz, const std::string& text);
    void AddBroadcast(const std::string& sender, bool wallop, const std::string& text);
    void AddOwnMessage(const std::string& text, const std::string& recipient, RadioMessageKind kind);

    // Draws the box into the current GL context; rewrap recomputes the wrap
    // width and the lines first.
    void Draw(bool rewrap);
    // The box, its border and its lines for a viewport, without drawing.
    RadioHistoryFrame Layout(int viewportX, int viewportY, int width, int height, bool rewrap);
    // The next Layout rewraps (the box size or the line count changed).
    void RequestRewrap() { m_rewrapPending = true; }

    void RebuildLines();
    static std::vector<std::string> WrapText(std::string text, int charWidth, int width);

    void ScrollOlder();
    void ScrollNewer();
    void ScrollToNewest();
    void ToggleExpanded();
    // Ctrl+Up / Ctrl+Down: "RadioHistorySize" by delta, kept within 3..50.
    void ChangeSize(int delta);

    bool HitTest(int x, int y);
    void ClearMessageWaiting() { m_messageWaiting = false; }
    // The y of the box's top edge; -1 while expanded.
    int GetOffset() const;

    // ".copy": every message, oldest first, each ended by CR LF.
    void CopyToClipboard();
    // Writes every message, oldest first, each ended by CR LF, to the path.
    void SaveLog(const std::string& path);
    // ".log name": the log goes to a bare file name in the start directory;
    // a name with directory parts is refused.
    void SaveLogNamed(const std::string& name);
    static bool IsBareFileName(std::string_view name);

    bool IsMessageWaiting() const { return m_messageWaiting; }
    bool IsExpanded() const { return m_expanded; }
    int GetScrollOffset() const { return m_scrollOffset; }
    int GetPage() const { return m_page; }
    int GetVisibleLineCount() const { return m_visibleLines; }
    int GetWrapWidth() const { return m_wrapWidth; }
    const std::vector<std::string>& GetMessages() const { return m_messages; }
    const std::vector<std::string>& GetDisplayLines() const { return m_displayLines; }
    const std::vector<RadioMessageKind>& GetDisplayLineKinds() const { return m_displayKinds; }

private:
    // "RadioHistorySize" as it is used: 1 to 50 whatever the profile holds.
    int HistorySize() const;
    std::string AllMessagesText() const;

    RadioHistoryHost& m_host;
    TarqProfile& m_profile;
    const Clock& m_clock;
    std::vector<std::string> m_messages;
    std::vector<std::string> m_displayLines;  // index 0 is the bottom line
    std::vector<RadioMessageKind> m_messageKinds;
    std::vector<RadioMessageKind> m_displayKinds;
    int m_scrollOffset = 0;
    bool m_expanded = false;
    int m_page = 1;
    int m_visibleLines = 0;
    int m_wrapWidth = 0;
    bool m_rewrapPending = true;
    bool m_laidOut = false;  // the box edges below describe a drawn frame
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
    bool m_messageWaiting = false;
};

// Plays the cue of a string setting through the program's cue player.
void PlayConfiguredSoundSetting(TarqProfile& profile, const std::string& key, bool interrupt);
