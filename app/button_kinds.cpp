// Tested by tests/app/button_kinds_test.cpp; the program paints through PaintButtonPicture.
#include "app/button_kinds.h"

#include <cstdio>

#include "app/display_button_bar.h"
#include "foundation/geo_helpers.h"

namespace {

using button_colors::kGrey235;

constexpr int kTerminal = 1;
constexpr int kSmall = 2;
constexpr int kLarge = 4;

std::string Format(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string MegaHertz(int kHz) { return Format("%.3f", kHz / 1000.0); }

ButtonColor Unpacked(int rgb) {
    unsigned char bytes[3] = {0, 0, 0};
    UnpackRGB(rgb, bytes);
    return {bytes[0], bytes[1], bytes[2]};
}

}  // namespace

// --- base -----------------------------------------------------------------------

int TarqPictureButton::Draw(int x, int y) {
    ButtonPicture picture;
    int width = Compose(x, y, picture);
    if (width != 0) m_host.Paint(*this, picture);
    return width;
}

int TarqPictureButton::Compose(int x, int y, ButtonPicture& picture) {
    m_x = x;
    m_y = y;
    return Compose(picture);
}

int TarqPictureButton::Top() const {
    return m_y + (m_bar ? m_bar->GetHeight() : TarqDisplayButtonBar::kHeight);
}

int TarqPictureButton::Centred(std::string_view text, int nudge) const {
    return m_x + m_width / 2 - (7 * static_cast<int>(text.size())) / 2 + nudge;
}

// --- conflict alert -----------------------------------------------------------------

int TarqDisplayButtonSilenceCA::Compose(ButtonPicture& picture) {
    if (!m_host.IsConflictSoundPlaying()) return 0;
    constexpr ButtonColor kAlert{255, 0, 0};
    constexpr ButtonColor kAlertDim{120, 0, 0};
    picture.Box();
    const std::string alert = "CONFLICT ALERT!";
    picture.Text(m_host.BlinkPhase() == 0 ? kAlert : kAlertDim, kSmall, Centred(alert, 1), m_y + 26, alert);
    const std::string silence = "CLICK TO SILENCE";
    picture.Text(kGrey235, kSmall, Centred(silence, 1), m_y + 10, silence);
    return m_width;
}

void TarqDisplayButtonSilenceCA::OnClick(int, int) {
    if (m_host.IsConflictSoundPlaying()) m_host.StopConflictSound();
}

// --- reminder lights ------------------------------------------------------------------

int TarqDisplayButtonReminderLights::Compose(ButtonPicture& picture) {
    if (!m_host.GetBool("DispBtnReminders")) return 0;
    constexpr ButtonColor kOutline{120, 120, 120};
    constexpr ButtonColor kController{90, 172, 255};
    constexpr ButtonColor kMute{0, 120, 0};
    constexpr ButtonColor kRequest{230, 0, 0};
    const int x = m_x;
    const int y = m_y;
    picture.Box();
    picture.Loop(kOutline, x + 4, y + 24, x + 19, y + 39);
    picture.Loop(kOutline, x + 4, y + 4, x + 19, y + 19);
    picture.Loop(kOutline, x + 24, y + 24, x + 39, y + 39);
    picture.Loop(kOutline, x + 24, y + 4, x + 39, y + 19);
    if (m_host.BlinkPhase() == 1) {
        if (m_host.AnyIncomingHandoff())
            picture.Fill(Unpacked(m_host.GetDisplayColor("ColorHandoff")), x + 5, y + 25, x + 19, y + 39);
        if (m_host.IsMuteChecked()) picture.Fill(kMute, x + 25, y + 25, x + 39, y + 39);
        if (m_host.AnyUnreadChat()) picture.Fill(kController, x + 5, y + 5, x + 19, y + 19);
        if (m_host.HasRequestListEntries()) picture.Fill(kRequest, x + 25, y + 5, x + 39, y + 19);
    }
    picture.Text(kGrey235, kSmall, x + 9, y + 28, "H");
    picture.Text(kGrey235, kSmall, x + 29, y + 28, "M");
    picture.Text(kGrey235, kSmall, x + 9, y + 8, "C");
    picture.Text(kGrey235, kSmall, x + 29, y + 8, "R");
    return m_width;
}

// --- clock ------------------------------------------------------------------------------

int TarqDisplayButtonClock::Compose(ButtonPicture& picture) {
    if (!m_host.GetBool("DispBtnClock")) return 0;
    constexpr ButtonColor kBreak{235, 51, 153};
    constexpr ButtonColor kRefusing{235, 0, 0};
    constexpr ButtonColor kFrequency{255, 0, 0};
    constexpr ButtonColor kHelp{255, 140, 60};
    picture.Box();
    const std::string time = m_host.UtcTime();
    picture.Text(m_host.IsRequestingBreak() ? kBreak : kGrey235, kSmall, Centred(time), RowBaseline(1), time);
    ButtonColor callsignColor = kGrey235;
    if (m_host.IsRequestingHelp() && m_host.BlinkPhase() == 0)
        callsignColor = kHelp;
    else if (m_host.IsRejectingPrivateMessages())
        callsignColor = kRefusing;
    const std::string callsign = m_host.GetString("Callsign");
    picture.Text(callsignColor, kSmall, Centred(callsign), RowBaseline(2), callsign);
    const int kHz = m_host.GetPrimaryFrequency();
    const std::string frequency = kHz == 0 ? "SET PRIM FREQ" : MegaHertz(kHz);
    picture.Text(kFrequency, kSmall, Centred(frequency, -1), RowBaseline(3), frequency);
    return m_width;
}

void TarqDisplayButtonClock::OnClick(int, int) {
    m_host.ToggleCommsPanel();
    m_host.RebuildAllMenus();
}

// --- land lines ---------------------------------------------------------------------------

int TarqDisplayButtonGGStatus::Compose(ButtonPicture& picture) {
    const LandLineView view = m_host.GetLandLines();
    if (!view.Any()) return 0;
    constexpr ButtonColor kLabel{255, 255, 0};
    constexpr ButtonColor kRinging{235, 0, 0};
    constexpr ButtonColor kRingingOff{120, 120, 120};
    constexpr ButtonColor kOnCall{0, 235, 0};
    constexpr ButtonColor kOnHold{0, 120, 0};
    constexpr ButtonColor kOverride{235, 0, 0};
    constexpr ButtonColor kMonitor{102, 153, 255};
    const ButtonColor ringing = m_host.BlinkPhase() == 1 ? kRinging : kRingingOff;
    struct Row {
        const char* label;
        std::string name;
        ButtonColor color;
    };
    Row row;
    if (!view.overriddenBy.empty())
        row = {"OVERRIDDEN BY:", view.overriddenBy, kOverride};
    else if (!view.overriding.empty())
        row = {"OVERRIDING:", view.overriding, kOverride};
    else if (!view.intercomPartner.empty() && view.onHold)
        row = {"ON HOLD WITH:", view.intercomPartner, kOnHold};
    else if (!view.intercomPartner.empty() && view.onCall)
        row = {"ON CALL WITH:", view.intercomPartner, kOnCall};
    else if (!view.intercomPartner.empty() && view.calling)
        row = {"CALLING:", view.intercomPartner, ringing};
    else if (!view.intercomPartner.empty())
        row = {"CALL FROM:", view.intercomPartner, ringing};
    else
        row = {"MONITORING:", view.monitored, kMonitor};
    const std::string label = row.label;
    const std::string& name = row.name;
    const ButtonColor nameColor = row.color;
    picture.Box();
    const std::string title = "LANDLINE STATUS:";
    picture.Text(kGrey235, kSmall, Centred(title, 1), RowBaseline(1), title);
    picture.Text(kLabel, kSmall, Centred(label, 1), RowBaseline(2), label);
    picture.Text(nameColor, kSmall, Centred(name, 1), RowBaseline(3), name);
    return m_width;
}

void TarqDisplayButtonGGStatus::OnClick(int, int) {
    const LandLineView view = m_host.GetLandLines();
    if (!view.incomingCaller.empty())
        m_host.AcceptLandLine();
    else if (!view.activePartner.empty())
        m_host.StopLandLine();
}

// --- filters and quicklook -----------------------------------------------------------------

namespace {
constexpr ButtonColor kSwitchOn{0, 180, 0};
constexpr ButtonColor kSwitchOff{255, 0, 0};
}  // namespace

int TarqDisplayButtonFilterToggle::Compose(ButtonPicture& picture) {
    if (!m_host.GetBool("DispBtnFilters")) return 0;
    picture.Box();
    picture.Text(kGrey235, kSmall, m_x + 10, m_y + 26, "FILTERS:");
    if (m_host.AreFiltersEnabled())
        picture.Text(kSwitchOn, kSmall, m_x + 30, m_y + 10, "ON");
    else
        picture.Text(kSwitchOff, kSmall, m_x + 27, m_y + 10, "OFF");
    return m_width;
}

void TarqDisplayButtonFilterToggle::OnClick(int, int) {
    m_host.ToggleFilters();
    m_host.RebuildMainMenus();
}

int TarqDisplayButtonQuicklook::Compose(ButtonPicture& picture) {
    if (!m_host.GetBool("DispBtnQuicklook")) return 0;
    picture.Box();
    picture.Text(kGrey235, kSmall, m_x + 11, m_y + 26, "QL:");
    if (m_host.IsQuicklookEnabled())
        picture.Text(kSwitchOn, kSmall, m_x + 13, m_y + 10, "ON");
    else
        picture.Text(kSwitchOff, kSmall, m_x + 10, m_y + 10, "OFF");
    return m_width;
}

void TarqDisplayButtonQuicklook::OnClick(int, int) {
    m_host.ToggleQuicklook();
    m_host.RebuildMainMenus();
}

// --- countdown timer ---------------------------------------------------------------------------

int TarqDisplayButtonTimer::Compose(ButtonPicture& picture) {
    if (!m_host.GetBool("DispBtnTimer")) return 0;
    constexpr ButtonColor kChoice{0, 180, 0};
    constexpr ButtonColor kCount{255, 255, 0};
    picture.Box();
    if (m_endTime == 0) {
        const int bottom = m_y + 6;
        const int top = bottom + (Top() - m_y) - 12;
        m_twoMinutes = {.left = m_x + 6, .top = top, .right = m_x + 40, .bottom = bottom};
        m_threeMinutes = {
            .left = m_twoMinutes.right + 6, .top = top, .right = m_twoMinutes.right + 40, .bottom = bottom};
        for (const auto& [rect, digit] : {std::pair{m_twoMinutes, "2"}, std::pair{m_threeMinutes, "3"}}) {
            picture.Loop(kChoice, rect.left, rect.bottom, rect.right, rect.top);
            picture.Text(kGrey235, kSmall, rect.left + 15, rect.bottom + 18, digit);
            picture.Text(kGrey235, kSmall, rect.left + 7, rect.bottom + 5, "min");
        }
        return m_width;
    }
    const uint64_t now = m_host.NowMs();
    int64_t remaining = static_cast<int64_t>(m_endTime) - static_cast<int64_t>(now);
    if (remaining < 0) {
        m_endTime = 0;
        remaining = 0;
        m_host.ShowMessage(kExpired);
        m_host.PlaySoundSetting("SoundReminder");
    }
    const int64_t minutes = remaining / 60000;
    const int64_t seconds = (remaining - minutes * 60000) / 1000;
    char count[32];
    std::snprintf(count, sizeof count, "%d:%02d", static_cast<int>(minutes), static_cast<int>(seconds));
    const int tw = m_host.MeasureWidth(kLarge, count);
    picture.Text(kCount, kLarge, m_x + m_width / 2 - tw / 2, m_y + 10, count);
    return m_width;
}

void TarqDisplayButtonTimer::OnClick(int x, int y) {
    if (m_endTime != 0) {
        m_endTime = 0;
        return;
    }
    auto inside = [&](const Rect& r) { return r.left <= x && x <= r.right && r.bottom <= y && y <= r.top; };
    // A second of grace, so the count starts at 2:00 (3:00) and shows 0:00
    // for its last second.
    if (inside(m_twoMinutes))
        m_endTime = m_host.NowMs() + 121000;
    else if (inside(m_threeMinutes))
        m_endTime = m_host.NowMs() + 181000;
}

// --- ruler ----------------------------------------------------------------------------------------

int TarqDisplayButtonRuler::Compose(ButtonPicture& picture) {
    if (!m_host.GetBool("DispBtnRuler")) return 0;
    int heading = 0;
    double distance = 0.0;
    m_host.GetRulerData(heading, distance);
    if (distance == 0.0) return 0;
    constexpr ButtonColor kValue{255, 255, 0};
    picture.Box();
    const std::string title = "Ruler Data";
    picture.Text(kGrey235, kSmall, Centred(title), RowBaseline(1), title);
    char text[64];
    std::snprintf(text, sizeof text, "H:%03d-%03d", heading,
                  static_cast<int>(NormalizeHeading(heading + 180)));
    picture.Text(kValue, kSmall, Centred(text), RowBaseline(2), text);
    const std::string shown = Format("D:%.1f", distance);
    picture.Text(kValue, kSmall, Centred(shown), RowBaseline(3), shown);
    return m_width;
}

void TarqDisplayButtonRuler::OnClick(int, int) { m_host.SetRulerData(0, 0.0); }

// --- ATIS letter -------------------------------------------------------------------------------------

int TarqDisplayButtonATIS::Compose(ButtonPicture& picture) {
    const std::string word = m_host.GetAtisLetter();
    if (word.empty()) return 0;
    constexpr ButtonColor kLetter{255, 255, 0};
    constexpr ButtonColor kLetterBlink{0, 0, 0};
    constexpr ButtonColor kVoiceOn{0, 255, 0};
    constexpr ButtonColor kVoiceOff{255, 0, 0};
    const int p = m_host.BlinkPhase();
    picture.Box();
    const std::string title = "ATIS:";
    picture.Text(kGrey235, kSmall, m_x + m_width / 2 - m_host.MeasureWidth(kSmall, title) / 2 + 2, Top() - 12,
                 title);
    int shift = 0;
    if (m_host.IsVoiceAtisConnected()) {
        const bool onAir = m_host.IsAtisBroadcastActive();
        if (onAir || p == 1) picture.Text(onAir ? kVoiceOn : kVoiceOff, kTerminal, m_x + 8, m_y + 5, "V");
        shift = 6;
    }
    const std::string letter = word.substr(0, 1);
    const ButtonColor color = m_host.GetAtisDisplayFlag() && p == 0 ? kLetterBlink : kLetter;
    picture.Text(color, kLarge, m_x + m_width / 2 - m_host.MeasureWidth(kLarge, letter) / 2 + shift, m_y + 4,
                 letter);
    return m_width;
}

void TarqDisplayButtonATIS::OnClick(int, int) {
    if (m_host.GetAtisDisplayFlag()) {
        m_host.SetAtisDisplayFlag(false);
        m_host.SendAtisToDisplay();
    } else {
        m_host.ShowAtisDialog();
    }
}

// --- frequency -------------------------------------------------------------------------------------------

int TarqDisplayButtonFreq::Compose(ButtonPicture& picture) {
    if (!m_host.GetBool("DispBtnFreqs")) return 0;
    constexpr ButtonColor kFrequency{235, 235, 0};
    constexpr ButtonColor kMuted{255, 0, 0};
    constexpr ButtonColor kVoice{0, 255, 0};
    constexpr ButtonColor kTextOnly{180, 180, 180};
    constexpr ButtonColor kLightIdle{0, 90, 0};
    constexpr ButtonColor kLightActive{220, 90, 0};
    constexpr ButtonColor kLightOutline{120, 120, 120};
    const int x = m_x;
    const int y = m_y;
    const int top = Top();
    picture.Box();
    picture.Text(kFrequency, kSmall, x + 9, top - 16,
                 MegaHertz(m_host.GetInt("CommsEntryFreq" + std::to_string(m_entry))));
    if (!m_host.IsEntryInUse(m_entry))
        picture.Text(kTextOnly, kSmall, x + 6, top - 34, "TXT ONLY");
    else if (m_host.IsEntryMuted(m_entry))
        picture.Text(kMuted, kSmall, x + 16, top - 34, "MUTED");
    else
        picture.Text(kVoice, kSmall, x + 9, top - 34, m_host.IsEntryHeadset(m_entry) ? "ON HDST" : "ON SPKR");
    picture.Loop(kLightOutline, x + 66, y + 24, x + 85, y + 39);
    picture.Loop(kLightOutline, x + 66, y + 4, x + 85, y + 19);
    if (m_host.IsEntryTransmitChecked(m_entry))
        picture.Fill(m_host.IsEntryTransmitting(m_entry) ? kLightActive : kLightIdle, x + 67, y + 25, x + 85,
                     y + 39);
    picture.Fill(m_host.IsEntryReceiving(m_entry) ? kLightActive : kLightIdle, x + 67, y + 5, x + 85, y + 19);
    picture.Text(kGrey235, kSmall, x + 69, y + 28, "TX");
    picture.Text(kGrey235, kSmall, x + 69, y + 8, "RX");
    return m_width;
}

void TarqDisplayButtonFreq::OnClick(int, int) {
    if (m_host.IsEntryInUse(m_entry)) m_host.ToggleEntry(m_entry);
}

// --- weather station ---------------------------------------------------------------------------------------

std::string& TarqDisplayButtonWX::ShownStation() {
    static std::string shown;
    return shown;
}

int TarqDisplayButtonWX::Compose(ButtonPicture& picture) {
    if (!m_host.GetBool("DispBtnWXStations")) return 0;
    constexpr ButtonColor kValue{0, 180, 0};
    constexpr ButtonColor kChanged{255, 255, 255};
    const std::string& s = m_station;
    picture.Box();
    const std::string title = s + " WX";
    picture.Text(kGrey235, kSmall, Centred(title), RowBaseline(1), title);
    const ButtonColor rows = m_host.IsReportChanged(s) && m_host.BlinkPhase() == 0 ? kChanged : kValue;
    const std::string windText = m_host.GetWind(s);
    const std::string wind = "Wind " + (windText.empty() ? std::string("-----") : windText);
    picture.Text(rows, kSmall, Centred(wind), RowBaseline(2), wind);
    const std::string altimeterText = m_host.GetAltimeter(s);
    const std::string altimeter = std::string(m_host.IsQnh(s) ? "QNH" : "Alt") + " " +
                                  (altimeterText.empty() ? std::string("----") : altimeterText);
    picture.Text(rows, kSmall, Centred(altimeter), RowBaseline(3), altimeter);

    const std::string metar = ShownStation() == s ? m_host.GetMetar(s) : std::string();
    if (metar.empty()) return m_width;
    const int tw = m_host.MeasureWidth(kSmall, metar);
    const int th = m_host.MeasureHeight(kSmall, metar);
    int left = m_x - (tw - m_width) / 2 - 4;
    int right = left + tw + 8;
    const int top = m_y - 7;
    const int bottom = m_y - th - 11;
    const int viewport = m_host.GetViewportWidth();
    if (right > viewport) {
        const int shift = right - viewport + 4;
        left -= shift;
        right -= shift;
    }
    if (left < 0) {
        right += -left + 4;
        left = 4;
    }
    constexpr ButtonColor kMetarFill{kFill[0], kFill[1], kFill[2]};
    constexpr ButtonColor kBoxOutline{kOutline[0], kOutline[1], kOutline[2]};
    picture.Fill(kMetarFill, left, bottom, right, top, kFill[3]);
    picture.Loop(kBoxOutline, left, bottom, right, top);
    const int mid = m_x + m_width / 2;
    picture.Line(kBoxOutline, mid, m_y, mid, m_y - 7);
    picture.Line(kBoxOutline, mid + 1, m_y, mid + 1, m_y - 7);
    picture.Text(kValue, kSmall, left + 4, bottom + 4, metar);
    return m_width;
}

void TarqDisplayButtonWX::OnClick(int, int) {
    // Removing the station rebuilds the bar; the bar puts that off until
    // this click has returned, but nothing of the button is used after it.
    const std::string station = m_station;
    if (m_host.IsAltKeyDown()) {
        m_host.RemoveStation(station);
    } else if (m_host.IsReportChanged(station)) {
        m_host.ClearStationMarks();
    } else if (ShownStation() == station) {
        ShownStation().clear();
    } else {
        m_host.ShowStation(station);
        ShownStation() = station;
    }
}

// --- the kinds
// ------------------------------------------------------------------------------------------------

std::vector<std::unique_ptr<TarqDisplayButton>> TarqHostButtonKinds::CreateFixedButtons(
    TarqDisplayButtonBar& bar) {
    std::vector<std::unique_ptr<TarqDisplayButton>> buttons;
    buttons.push_back(std::make_unique<TarqDisplayButtonSilenceCA>(&bar, m_host));
    buttons.push_back(std::make_unique<TarqDisplayButtonReminderLights>(&bar, m_host));
    buttons.push_back(std::make_unique<TarqDisplayButtonClock>(&bar, m_host));
    buttons.push_back(std::make_unique<TarqDisplayButtonGGStatus>(&bar, m_host));
    buttons.push_back(std::make_unique<TarqDisplayButtonFilterToggle>(&bar, m_host));
    buttons.push_back(std::make_unique<TarqDisplayButtonQuicklook>(&bar, m_host));
    buttons.push_back(std::make_unique<TarqDisplayButtonTimer>(&bar, m_host));
    buttons.push_back(std::make_unique<TarqDisplayButtonRuler>(&bar, m_host));
    buttons.push_back(std::make_unique<TarqDisplayButtonATIS>(&bar, m_host));
    return buttons;
}

std::vector<std::unique_ptr<TarqDisplayButton>> TarqHostButtonKinds::CreateDynamicButtons(
    TarqDisplayButtonBar& bar) {
    std::vector<std::unique_ptr<TarqDisplayButton>> buttons;
    if (m_receivedEntries)
        for (int entry : m_receivedEntries())
            buttons.push_back(std::make_unique<TarqDisplayButtonFreq>(&bar, m_host, entry));
    if (m_stations)
        for (const std::string& station : m_stations())
            buttons.push_back(std::make_unique<TarqDisplayButtonWX>(&bar, m_host, station));
    return buttons;
}
