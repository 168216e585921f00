// Tested by tests/app/radio_history_test.cpp.
#include "app/radio_history.h"

#include <algorithm>
#include <charconv>

#include "app/shell_state.h"
#include "foundation/profile.h"
#include "foundation/sound_cues.h"
#include "foundation/start_directory.h"
#include "foundation/text_helpers.h"
#include "platform/atomic_file.h"
#include "platform/clock.h"

namespace {

constexpr RgbColor kCyan{0, 255, 255};
constexpr RgbColor kWhite{255, 255, 255};
constexpr RgbColor kLightGrey{220, 220, 220};
constexpr RgbColor kGrey{170, 170, 170};
constexpr RgbColor kDarkGrey{60, 60, 60};
constexpr RgbColor kRed{210, 0, 0};
constexpr RgbColor kYellow{255, 255, 0};
constexpr RgbColor kGreen{0, 210, 0};

constexpr int kAtcChannelKhz = 149999;
constexpr int kGuardKhz = 121500;

// Indexed by RadioMessageKind.
const RadioKindInfo kKinds[] = {
    {"", kLightGrey, true, 1},       // 0 primary frequency
    {"", kGrey, true, 0},            // 1 other frequency
    {"", kCyan, true, -1},           // 2 own radio text
    {"", kGreen, true, 0},           // 3 ATC channel
    {"", kYellow, true, 0},          // 4 broadcast
    {"", kRed, true, 0},             // 5 wallop
    {"Error: ", kRed, true, 0},      // 6 error
    {"", kYellow, false, 0},         // 7 information
    {"Server: ", kYellow, true, 0},  // 8 server
    {"", kCyan, false, 0},           // 9 own private message
    {"", kRed, true, 1},             // 10 guard
    {"[OVERRIDE] ", kRed, true, 1},  // 11 override call
};

std::string FormatMhz(int khz) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, khz / 1000.0, std::chars_format::fixed, 3);
    return std::string(buffer, result.ptr);
}

}  // namespace

const RadioKindInfo& GetRadioKindInfo(RadioMessageKind kind) {
    int index = static_cast<int>(kind);
    // An unknown kind shows as an information line.
    if (index < 0 || index > 11) index = static_cast<int>(RadioMessageKind::Information);
    return kKinds[index];
}

void PlayConfiguredSoundSetting(TarqProfile& profile, const std::string& key, bool interrupt) {
    PlayConfiguredSound(profile.GetString(key), interrupt);
}

TarqDisplayRadioHistory::TarqDisplayRadioHistory(RadioHistoryHost& host, TarqProfile& profile,
                                                 const Clock& clock)
    : m_host(host), m_profile(profile), m_clock(clock) {
    Reset();
}

int TarqDisplayRadioHistory::HistorySize() const {
    return std::clamp(m_profile.GetInt("RadioHistorySize"), 1, 50);
}

void TarqDisplayRadioHistory::Reset() {
    m_visibleLines = std::min(HistorySize(), 20);
    m_page = m_visibleLines;
    m_expanded = false;
    m_scrollOffset = 0;
    m_messageWaiting = false;
    m_rewrapPending = true;
}

void TarqDisplayRadioHistory::AddMessage(std::string text, RadioMessageKind kind) {
    const RadioKindInfo& info = GetRadioKindInfo(kind);
    if (info.waiting > 0) m_messageWaiting = true;
    if (info.waiting < 0) m_messageWaiting = false;
    if (*info.prefix) text.insert(0, info.prefix);
    if (m_profile.GetBool("ShowTimestamps")) text.insert(0, "[" + FormatUtcClock(m_clock) + "] ");
    if (m_expanded && m_scrollOffset == 0) m_messageWaiting = false;
    m_messages.push_back(std::move(text));
    m_messageKinds.push_back(kind);
    if (m_scrollOffset == 0)
        RebuildLines();
    else
        ++m_scrollOffset;  // stay on the same messages while new ones arrive
    if (info.reveals) m_host.EnsureRadioHistoryShown();
}

void TarqDisplayRadioHistory::AddRadioMessage(const std::string& sender, int frequencyKhz,
                                              const std::string& text) {
    std::string line;
    RadioMessageKind kind;
    const char* sound = "SoundRadioMsg";
    bool interrupt = true;
    if (frequencyKhz == kAtcChannelKhz) {
        line = "[ATC] " + sender + ": " + text;
        sound = "SoundATCMsg";
        kind = RadioMessageKind::AtcChannel;
    } else if (frequencyKhz == kGuardKhz) {
        line = "[GUARD] " + sender + ": " + text;
        sound = "SoundGuardMsg";
        kind = RadioMessageKind::Guard;
    } else if (frequencyKhz == m_host.GetPrimaryFrequency()) {
        line = sender + ": " + text;
        kind = RadioMessageKind::PrimaryRadio;
    } else {
        line = sender + " on " + FormatMhz(frequencyKhz) + ": " + text;
        interrupt = false;
        kind = RadioMessageKind::OtherRadio;
    }
    m_host.PlaySoundSetting(sound, interrupt);
    AddMessage(std::move(line), kind);
}

void TarqDisplayRadioHistory::AddBroadcast(const std::string& sender, bool wallop, const std::string& text) {
    m_host.PlaySoundSetting("SoundBcastMsg", wallop);
    AddMessage((wallop ? "[WALLOP] " : "[BROADCAST] ") + sender + ": " + text,
               wallop ? RadioMessageKind::Wallop : RadioMessageKind::Broadcast);
}

void TarqDisplayRadioHistory::AddOwnMessage(const std::string& text, const std::string& recipient,
                                            RadioMessageKind kind) {
    std::string prefix;
    std::string sender = m_profile.GetString("Callsign");
    switch (kind) {
        case RadioMessageKind::AtcChannel:
            prefix = "[ATC] ";
            break;
        case RadioMessageKind::Broadcast:
            prefix = "[BROADCAST] ";
            break;
        case RadioMessageKind::Wallop:
            prefix = "[WALLOP] ";
            break;
        case RadioMessageKind::OwnPrivate:
            prefix = "[PRIVATE] ";
            sender += "->" + recipient;
            break;
        default:
            break;
    }
    AddMessage(prefix + sender + ": " + text, kind);
}

RadioHistoryFrame TarqDisplayRadioHistory::Layout(int viewportX, int viewportY, int width, int height,
                                                  bool rewrap) {
    RadioHistoryFrame frame;
    frame.left = 7;
    frame.bottom = 7;
    frame.right = width - 8;
    if (!m_expanded) {
        m_visibleLines = HistorySize();
        frame.top = kLineHeight * m_visibleLines + 12;
    } else {
        frame.top = height - 57;
        m_visibleLines = std::max(0, (height - 64) / kLineHeight);
    }
    m_left = frame.left;
    m_top = frame.top;
    m_right = frame.right;
    m_bottom = frame.bottom;
    m_laidOut = true;
    if (rewrap || m_rewrapPending) {
        m_rewrapPending = false;
        m_wrapWidth = frame.right - frame.left - 10;
        RebuildLines();
    }
    uint64_t sinceStart = m_clock.NowMs() - StartTime;
    if (m_messageWaiting && m_profile.GetBool("FlashOnNewMessage") && sinceStart % 1000 >= 500)
        frame.border = kWhite;
    else if (m_scrollOffset != 0)
        frame.border = kRed;
    else if (m_expanded)
        frame.border = kGreen;
    else
        frame.border = kDarkGrey;
    size_t count = std::min(static_cast<size_t>(m_visibleLines), m_displayLines.size());
    frame.lines.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        frame.lines.push_back({m_displayLines[i], GetRadioKindInfo(m_displayKinds[i]).color, 12,
                               12 + kLineHeight * static_cast<int>(i)});
    }
    return frame;
}

void TarqDisplayRadioHistory::RebuildLines() {
    m_displayLines.clear();
    m_displayKinds.clear();
    if (m_messages.empty()) return;
    int count = static_cast<int>(m_messages.size());
    if (m_scrollOffset >= count) m_scrollOffset = 0;
    size_t visible = static_cast<size_t>(std::max(m_visibleLines, 0));
    int whole = 0;
    for (int i = m_scrollOffset; i < m_scrollOffset + m_visibleLines && i <= count - 1; ++i) {
        const std::string& message = m_messages[static_cast<size_t>(count - 1 - i)];
        std::vector<std::string> pieces = WrapText(message, kCharWidth, m_wrapWidth);
        if (m_displayLines.size() + pieces.size() <= visible) ++whole;
        // Newest piece first; pieces beyond the box would never be drawn, so
        // a huge message costs no more than a box full of lines.
        for (auto piece = pieces.rbegin(); piece != pieces.rend() && m_displayLines.size() < visible;
             ++piece) {
            if (piece->size() > kMaxDrawnLine) piece->resize(kMaxDrawnLine);
            m_displayLines.push_back(std::move(*piece));
            m_displayKinds.push_back(m_messageKinds[static_cast<size_t>(count - 1 - i)]);
        }
        if (m_displayLines.size() >= visible) break;
    }
    m_page = whole == 0 ? 1 : whole;
}

std::vector<std::string> TarqDisplayRadioHistory::WrapText(std::string text, int charWidth, int width) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    text = ReplaceAll(std::move(text), "  ", " ");
    std::vector<std::string> words;
    SplitString(text, words, 0, " ");
    if (words.empty()) {
        pieces.push_back(std::move(text));
        return pieces;
    }
    std::string line = std::move(words[0]);
    for (size_t i = 1; i < words.size(); ++i) {
        const std::string& word = words[i];
        long room = static_cast<long>(width) - static_cast<long>(line.size()) * charWidth;
        if (room < static_cast<long>(word.size() + 1) * charWidth) {
            pieces.push_back(std::move(line));
            line = "  " + word;
        } else {
            line += ' ';
            line += word;
        }
    }
    pieces.push_back(std::move(line));
    return pieces;
}

void TarqDisplayRadioHistory::ScrollOlder() {
    m_scrollOffset += m_page;
    if (m_messages.empty())
        m_scrollOffset = 0;
    else
        m_scrollOffset = std::min(m_scrollOffset, static_cast<int>(m_messages.size()) - 1);
    RebuildLines();
}

void TarqDisplayRadioHistory::ScrollNewer() {
    m_scrollOffset -= m_page;
    if (m_scrollOffset <= 0) {
        m_scrollOffset = 0;
        m_messageWaiting = false;
    }
    RebuildLines();
}

void TarqDisplayRadioHistory::ScrollToNewest() {
    m_messageWaiting = false;
    if (m_scrollOffset != 0) {
        m_scrollOffset = 0;
        RebuildLines();
    }
}

void TarqDisplayRadioHistory::ToggleExpanded() {
    m_expanded = !m_expanded;
    RequestRewrap();
}

void TarqDisplayRadioHistory::ChangeSize(int delta) {
    int size = m_profile.GetInt("RadioHistorySize") + delta;
    m_profile.SetInt("RadioHistorySize", std::clamp(size, 3, 50));
    m_profile.SetModified(true);
    RequestRewrap();
}

bool TarqDisplayRadioHistory::HitTest(int x, int y) {
    if (!m_laidOut) return false;
    if (x < m_left || x > m_right || y < m_bottom || y > m_top) return false;
    m_messageWaiting = false;
    return true;
}

int TarqDisplayRadioHistory::GetOffset() const { return m_expanded ? -1 : m_top; }

std::string TarqDisplayRadioHistory::AllMessagesText() const {
    size_t size = 0;
    for (const std::string& message : m_messages) size += message.size() + 2;
    std::string text;
    text.reserve(size);
    for (const std::string& message : m_messages) {
        text += message;
        text += "\r\n";
    }
    return text;
}

void TarqDisplayRadioHistory::CopyToClipboard() {
    if (m_messages.empty()) return;
    m_host.SetClipboardText(AllMessagesText());
}

void TarqDisplayRadioHistory::SaveLog(const std::string& path) {
    if (m_messages.empty()) {
        m_host.ShowErrorLine("No history to save!");
        return;
    }
    if (WriteFileAtomically(path, AllMessagesText()))
        m_host.ShowInfoLine("Radio log saved.");
    else
        m_host.ShowErrorLine("Error saving radio log to specified file.");
}

bool TarqDisplayRadioHistory::IsBareFileName(std::string_view name) {
    if (name.empty() || name == "." || name == "..") return false;
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (c == '/' || c == '\\' || c == ':' || u < 32 || u == 127) return false;
    }
    return true;
}

void TarqDisplayRadioHistory::SaveLogNamed(const std::string& name) {
    if (m_messages.empty()) {
        m_host.ShowErrorLine("No history to save!");
        return;
    }
    if (!IsBareFileName(name)) {
        m_host.ShowErrorLine("Error saving radio log to specified file.");
        return;
    }
    SaveLog(PathInDirectory(StartDirectory, name));
}
