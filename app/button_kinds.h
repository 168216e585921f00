// The eleven kinds of button on the main display's bar. Each reads the state
// it shows from TarqButtonHost at every frame, composes a ButtonPicture (or
// nothing) and turns a click into one call on the host. Only the timer keeps
// state of its own; the land-line button shows what TarqLandLineWatch found
// at the last frame tick.
// Tested by tests/app/button_kinds_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/button_picture.h"
#include "app/display_button.h"
#include "app/display_button_bar.h"
#include "app/land_line_watch.h"

// Everything the kinds read and do. Comms entries are indexes of the panel.
class TarqButtonHost {
public:
    virtual ~TarqButtonHost() = default;

    // Process clock in milliseconds, the one StartTime was taken on.
    virtual uint64_t NowMs() const = 0;
    virtual uint64_t GetStartTime() const = 0;
    // 0 in the first half of every second since start, 1 in the second.
    int BlinkPhase() const { return static_cast<int>(((NowMs() - GetStartTime()) % 1000) / 500); }
    // "09:05:07".
    virtual std::string UtcTime() const = 0;
    // Width and height of a text in one of the display's fonts.
    virtual int MeasureWidth(int font, std::string_view text) const = 0;
    virtual int MeasureHeight(int font, std::string_view text) const = 0;

    // Profile.
    virtual bool GetBool(const std::string& key) const = 0;
    virtual int GetInt(const std::string& key) const = 0;
    virtual std::string GetString(const std::string& key) const = 0;
    // A colour of the main display's colour profile, packed as PackRGB does.
    virtual int GetDisplayColor(const std::string& key) const = 0;
    virtual void PlaySoundSetting(const std::string& key) = 0;
    // An information line in the radio history.
    virtual void ShowMessage(const std::string& text) = 0;
    virtual bool IsAltKeyDown() const = 0;

    // Aircraft database.
    virtual bool IsConflictSoundPlaying() const = 0;
    virtual void StopConflictSound() = 0;
    virtual bool AnyIncomingHandoff() const = 0;
    virtual bool HasRequestListEntries() const = 0;

    // Network.
    virtual bool IsRequestingBreak() const = 0;
    virtual bool IsRequestingHelp() const = 0;
    virtual bool IsRejectingPrivateMessages() const = 0;
    virtual bool IsVoiceAtisConnected() const = 0;
    virtual bool IsAtisBroadcastActive() const = 0;

    // Communications panel and controller list.
    virtual int GetPrimaryFrequency() const = 0;
    virtual void ToggleCommsPanel() = 0;
    virtual bool IsMuteChecked() const = 0;
    virtual bool AnyUnreadChat() const = 0;
    virtual bool IsEntryInUse(int entry) const = 0;
    virtual bool IsEntryMuted(int entry) const = 0;
    virtual bool IsEntryHeadset(int entry) const = 0;
    virtual bool IsEntryTransmitChecked(int entry) const = 0;
    virtual bool IsEntryTransmitting(int entry) const = 0;
    virtual bool IsEntryReceiving(int entry) const = 0;
    virtual void ToggleEntry(int entry) = 0;

    // Main display and its scope.
    virtual void RebuildMainMenus() = 0;
    virtual void RebuildAllMenus() = 0;
    virtual bool AreFiltersEnabled() const = 0;
    virtual void ToggleFilters() = 0;
    virtual bool IsQuicklookEnabled() const = 0;
    virtual void ToggleQuicklook() = 0;
    virtual void GetRulerData(int& heading, double& distance) const = 0;
    virtual void SetRulerData(int heading, double distance) = 0;
    virtual int GetViewportWidth() const = 0;

    // ATIS maker.
    virtual std::string GetAtisLetter() const = 0;
    virtual bool GetAtisDisplayFlag() const = 0;
    virtual void SetAtisDisplayFlag(bool on) = 0;
    virtual void SendAtisToDisplay() = 0;
    virtual void ShowAtisDialog() = 0;

    // Weather panel.
    virtual bool IsReportChanged(const std::string& station) const = 0;
    virtual std::string GetWind(const std::string& station) const = 0;
    virtual std::string GetAltimeter(const std::string& station) const = 0;
    virtual bool IsQnh(const std::string& station) const = 0;
    virtual std::string GetMetar(const std::string& station) const = 0;
    // Takes the station off the monitored list (the bar is rebuilt).
    virtual void RemoveStation(const std::string& station) = 0;
    virtual void ClearStationMarks() = 0;
    virtual void ShowStation(const std::string& station) = 0;

    // Paints a composed picture into the current GL context (the program
    // paints with PaintButtonPicture).
    virtual void Paint(const TarqDisplayButton& button, const ButtonPicture& picture) = 0;

    // Land lines, as the last frame tick found them.
    virtual LandLineView GetLandLines() const = 0;
    virtual void AcceptLandLine() = 0;
    virtual void StopLandLine() = 0;
};

// A button that composes a picture: Draw composes and paints it, Compose
// alone is what tests read.
class TarqPictureButton : public TarqDisplayButton {
public:
    TarqPictureButton(TarqDisplayButtonBar* bar, TarqButtonHost& host, int width)
        : TarqDisplayButton(bar, width), m_host(host) {}

    int Draw(int x, int y) final;
    // Stores x and y and composes this frame; returns the width taken, 0
    // when the button shows nothing (the picture stays empty).
    int Compose(int x, int y, ButtonPicture& picture) final;

protected:
    virtual int Compose(ButtonPicture& picture) = 0;
    int Top() const;
    // Fixed-pitch centring in font 2, 7 pixels a character; nudge +1 / -1.
    int Centred(std::string_view text, int nudge = 0) const;
    int RowBaseline(int row) const { return Top() - 13 * row; }

    TarqButtonHost& m_host;
};

namespace button_colors {
inline constexpr ButtonColor kGrey235{235, 235, 235};
}

class TarqDisplayButtonSilenceCA final : public TarqPictureButton {
public:
    static constexpr int kWidth = 130;
    TarqDisplayButtonSilenceCA(TarqDisplayButtonBar* bar, TarqButtonHost& host)
        : TarqPictureButton(bar, host, kWidth) {}
    void OnClick(int x, int y) override;

private:
    int Compose(ButtonPicture& picture) override;
};

class TarqDisplayButtonReminderLights final : public TarqPictureButton {
public:
    static constexpr int kWidth = 43;
    TarqDisplayButtonReminderLights(TarqDisplayButtonBar* bar, TarqButtonHost& host)
        : TarqPictureButton(bar, host, kWidth) {}
    void OnClick(int, int) override {}

private:
    int Compose(ButtonPicture& picture) override;
};

class TarqDisplayButtonClock final : public TarqPictureButton {
public:
    static constexpr int kWidth = 100;
    TarqDisplayButtonClock(TarqDisplayButtonBar* bar, TarqButtonHost& host)
        : TarqPictureButton(bar, host, kWidth) {}
    void OnClick(int x, int y) override;

private:
    int Compose(ButtonPicture& picture) override;
};

class TarqDisplayButtonGGStatus final : public TarqPictureButton {
public:
    static constexpr int kWidth = 120;
    TarqDisplayButtonGGStatus(TarqDisplayButtonBar* bar, TarqButtonHost& host)
        : TarqPictureButton(bar, host, kWidth) {}
    void OnClick(int x, int y) override;

private:
    int Compose(ButtonPicture& picture) override;
};

class TarqDisplayButtonFilterToggle final : public TarqPictureButton {
public:
    static constexpr int kWidth = 73;
    TarqDisplayButtonFilterToggle(TarqDisplayButtonBar* bar, TarqButtonHost& host)
        : TarqPictureButton(bar, host, kWidth) {}
    void OnClick(int x, int y) override;

private:
    int Compose(ButtonPicture& picture) override;
};

class TarqDisplayButtonQuicklook final : public TarqPictureButton {
public:
    static constexpr int kWidth = 40;
    TarqDisplayButtonQuicklook(TarqDisplayButtonBar* bar, TarqButtonHost& host)
        : TarqPictureButton(bar, host, kWidth) {}
    void OnClick(int x, int y) override;

private:
    int Compose(ButtonPicture& picture) override;
};

class TarqDisplayButtonTimer final : public TarqPictureButton {
public:
    static constexpr int kWidth = 86;
    static constexpr const char* kExpired = "Countdown timer has expired.";
    struct Rect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };
    TarqDisplayButtonTimer(TarqDisplayButtonBar* bar, TarqButtonHost& host)
        : TarqPictureButton(bar, host, kWidth) {}
    void OnClick(int x, int y) override;
    bool IsRunning() const { return m_endTime != 0; }
    const Rect& TwoMinuteChoice() const { return m_twoMinutes; }
    const Rect& ThreeMinuteChoice() const { return m_threeMinutes; }

private:
    int Compose(ButtonPicture& picture) override;

    Rect m_twoMinutes;
    Rect m_threeMinutes;
    uint64_t m_endTime = 0;  // process clock; 0: idle
};

class TarqDisplayButtonRuler final : public TarqPictureButton {
public:
    static constexpr int kWidth = 86;
    TarqDisplayButtonRuler(TarqDisplayButtonBar* bar, TarqButtonHost& host)
        : TarqPictureButton(bar, host, kWidth) {}
    void OnClick(int x, int y) override;

private:
    int Compose(ButtonPicture& picture) override;
};

class TarqDisplayButtonATIS final : public TarqPictureButton {
public:
    static constexpr int kWidth = 50;
    TarqDisplayButtonATIS(TarqDisplayButtonBar* bar, TarqButtonHost& host)
        : TarqPictureButton(bar, host, kWidth) {}
    void OnClick(int x, int y) override;

private:
    int Compose(ButtonPicture& picture) override;
};

class TarqDisplayButtonFreq final : public TarqPictureButton {
public:
    static constexpr int kWidth = 89;
    TarqDisplayButtonFreq(TarqDisplayButtonBar* bar, TarqButtonHost& host, int entry)
        : TarqPictureButton(bar, host, kWidth), m_entry(entry) {}
    void OnClick(int x, int y) override;
    int GetEntry() const { return m_entry; }

private:
    int Compose(ButtonPicture& picture) override;
    int m_entry;
};

class TarqDisplayButtonWX final : public TarqPictureButton {
public:
    static constexpr int kWidth = 100;
    TarqDisplayButtonWX(TarqDisplayButtonBar* bar, TarqButtonHost& host, std::string station)
        : TarqPictureButton(bar, host, kWidth), m_station(std::move(station)) {}
    void OnClick(int x, int y) override;
    const std::string& GetStation() const { return m_station; }
    // The station whose METAR hangs under its button; shared by every
    // weather button and kept across rebuilds of the bar.
    static std::string& ShownStation();

private:
    int Compose(ButtonPicture& picture) override;
    std::string m_station;
};

// Makes the kinds for a bar over one host: the nine fixed buttons, then a
// frequency button per received entry and a weather button per station.
class TarqHostButtonKinds : public TarqButtonKinds {
public:
    TarqHostButtonKinds(TarqButtonHost& host, std::function<std::vector<int>()> receivedEntries,
                        std::function<std::vector<std::string>()> stations)
        : m_host(host), m_receivedEntries(std::move(receivedEntries)), m_stations(std::move(stations)) {}
    std::vector<std::unique_ptr<TarqDisplayButton>> CreateFixedButtons(TarqDisplayButtonBar& bar) override;
    std::vector<std::unique_ptr<TarqDisplayButton>> CreateDynamicButtons(TarqDisplayButtonBar& bar) override;

private:
    TarqButtonHost& m_host;
    std::function<std::vector<int>()> m_receivedEntries;
    std::function<std::vector<std::string>()> m_stations;
};
