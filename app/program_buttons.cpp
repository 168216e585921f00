// Tested through tests/app/program_test.cpp.
#include "app/program_buttons.h"

#include <wx/utils.h>

#include "app/display_fonts.h"
#include "app/global_objects.h"
#include "app/shell_state.h"
#include "foundation/profile.h"
#include "foundation/sound_cues.h"
#include "foundation/text_helpers.h"
#include "platform/clock.h"
#include "platform/gl_font.h"
#include "scope/display_scope.h"

namespace {

TarqDisplay* MainDisplay() { return g_displayManager ? g_displayManager->GetMainDisplay() : nullptr; }

TarqDisplayScope* MainScope() {
    TarqDisplay* display = MainDisplay();
    return display ? display->GetScope() : nullptr;
}

class ProgramLandLineSource final : public LandLineSource {
public:
    std::vector<std::string> GetControllerCallsigns() const override {
        return g_controllerDB ? g_controllerDB->GetControllerCallsigns(false) : std::vector<std::string>{};
    }
    int GetLandLineState(int kind, const std::string& callsign) const override {
        return g_voiceEngine ? g_voiceEngine->GetLandLineState(kind, callsign) : 1;
    }
    void Publish(const LandLineView& view) override {
        if (!g_controllerDB) return;
        g_controllerDB->SetIncomingCaller(view.incomingCaller);
        g_controllerDB->SetIntercomPartner(view.intercomPartner);
        g_controllerDB->SetMonitoredController(view.monitored);
    }
};

class ProgramButtonHost final : public TarqButtonHost {
public:
    explicit ProgramButtonHost(const TarqFontSource& fonts) : m_fonts(fonts) {}

    uint64_t NowMs() const override { return SystemClock::Instance().NowMs(); }
    uint64_t GetStartTime() const override { return StartTime; }
    std::string UtcTime() const override { return FormatUtcClock(); }
    int MeasureWidth(int font, std::string_view text) const override {
        const GlBitmapFont* f = m_fonts.GetFont(font);
        return f ? f->MeasureText(text).width : 0;
    }
    int MeasureHeight(int font, std::string_view text) const override {
        const GlBitmapFont* f = m_fonts.GetFont(font);
        return f ? f->MeasureText(text).height : 0;
    }

    bool GetBool(const std::string& key) const override { return g_profile && g_profile->GetBool(key); }
    int GetInt(const std::string& key) const override { return g_profile ? g_profile->GetInt(key) : 0; }
    std::string GetString(const std::string& key) const override {
        return g_profile ? g_profile->GetString(key) : std::string();
    }
    int GetDisplayColor(const std::string& key) const override {
        TarqDisplay* display = MainDisplay();
        return g_profile && display ? g_profile->GetColor(display->GetColorProfileName(), key) : 0;
    }
    void PlaySoundSetting(const std::string& key) override {
        if (g_profile) PlayConfiguredSound(g_profile->GetString(key), false);
    }
    void ShowMessage(const std::string& text) override {
        if (g_displayManager) g_displayManager->ShowMessage(text);
    }
    bool IsAltKeyDown() const override { return wxGetKeyState(WXK_ALT); }

    bool IsConflictSoundPlaying() const override { return g_aircraftDB && g_aircraftDB->IsSoundPlaying(); }
    void StopConflictSound() override {
        if (g_aircraftDB) g_aircraftDB->StopSound();
    }
    bool AnyIncomingHandoff() const override { return g_aircraftDB && g_aircraftDB->AnyIncomingHandoff(); }
    bool HasRequestListEntries() const override {
        return g_aircraftDB && g_aircraftDB->HasRequestListEntries();
    }

    bool IsRequestingBreak() const override {
        return g_networkManager && g_networkManager->IsRequestingBreak();
    }
    bool IsRequestingHelp() const override {
        return g_networkManager && g_networkManager->IsRequestingHelp();
    }
    bool IsRejectingPrivateMessages() const override {
        return g_networkManager && (g_networkManager->IsRejectingAllPrivateMessages() ||
                                    g_networkManager->IsRejectingPrivateMessages());
    }
    bool IsVoiceAtisConnected() const override {
        return g_networkManager && g_networkManager->IsVoiceAtisConnected();
    }
    bool IsAtisBroadcastActive() const override {
        return g_voiceEngine && g_voiceEngine->IsAtisBroadcastActive();
    }

    int GetPrimaryFrequency() const override {
        return g_commsPanel ? g_commsPanel->GetPrimaryFrequency() : 0;
    }
    void ToggleCommsPanel() override {
        if (g_commsPanel) g_commsPanel->ToggleVisible();
    }
    bool IsMuteChecked() const override { return g_commsPanel && g_commsPanel->IsMuteChecked(); }
    bool AnyUnreadChat() const override { return g_controllerList && g_controllerList->Model().AnyUnread(); }
    bool IsEntryInUse(int entry) const override {
        return g_commsPanel && g_commsPanel->Entries().IsEntryInUse(entry);
    }
    bool IsEntryMuted(int entry) const override {
        return g_commsPanel && g_commsPanel->Entries().IsEntryMuted(entry);
    }
    bool IsEntryHeadset(int entry) const override {
        return g_commsPanel && g_commsPanel->Entries().IsEntryHDSTChecked(entry);
    }
    bool IsEntryTransmitChecked(int entry) const override {
        return g_commsPanel && g_commsPanel->Entries().IsEntryTXChecked(entry);
    }
    bool IsEntryTransmitting(int entry) const override {
        return g_commsPanel && g_commsPanel->Entries().IsEntryVoiceStateA(entry);
    }
    bool IsEntryReceiving(int entry) const override {
        return g_commsPanel && g_commsPanel->Entries().IsEntryVoiceStateB(entry);
    }
    void ToggleEntry(int entry) override {
        if (!g_commsPanel) return;
        g_commsPanel->Entries().ToggleEntry(entry);
        g_commsPanel->SelectionChanged();
    }

    void RebuildMainMenus() override {
        if (TarqDisplay* display = MainDisplay()) display->RebuildMenus();
    }
    void RebuildAllMenus() override {
        if (g_displayManager) g_displayManager->RebuildAllMenus();
    }
    bool AreFiltersEnabled() const override {
        TarqDisplayScope* scope = MainScope();
        return scope && scope->AreFiltersEnabled();
    }
    void ToggleFilters() override {
        if (TarqDisplayScope* scope = MainScope()) scope->ToggleFilters();
    }
    bool IsQuicklookEnabled() const override {
        TarqDisplayScope* scope = MainScope();
        return scope && scope->IsQuicklookEnabled();
    }
    void ToggleQuicklook() override {
        if (TarqDisplayScope* scope = MainScope()) scope->ToggleQuicklook();
    }
    void GetRulerData(int& heading, double& distance) const override {
        heading = 0;
        distance = 0.0;
        if (TarqDisplayScope* scope = MainScope()) scope->GetRulerData(heading, distance);
    }
    void SetRulerData(int heading, double distance) override {
        if (TarqDisplayScope* scope = MainScope()) scope->SetRulerData(heading, distance);
    }
    int GetViewportWidth() const override {
        TarqDisplayScope* scope = MainScope();
        return scope ? scope->GetViewportSize().x : 0;
    }

    std::string GetAtisLetter() const override { return g_atisMaker ? g_atisMaker->GetCurrentLetter() : ""; }
    bool GetAtisDisplayFlag() const override { return g_atisMaker && g_atisMaker->Maker().GetDisplayFlag(); }
    void SetAtisDisplayFlag(bool on) override {
        if (g_atisMaker) g_atisMaker->Maker().SetDisplayFlag(on);
    }
    void SendAtisToDisplay() override {
        if (g_atisMaker) g_atisMaker->SendATISToDisplay();
    }
    void ShowAtisDialog() override {
        if (g_atisMaker) g_atisMaker->ShowDialog();
    }

    bool IsReportChanged(const std::string& station) const override {
        return g_weatherPanel && g_weatherPanel->Store().IsReportChanged(station);
    }
    std::string GetWind(const std::string& station) const override {
        return g_weatherPanel ? g_weatherPanel->Store().GetWind(station) : "";
    }
    std::string GetAltimeter(const std::string& station) const override {
        return g_weatherPanel ? g_weatherPanel->Store().GetAltimeter(station) : "";
    }
    bool IsQnh(const std::string& station) const override {
        return g_weatherPanel && g_weatherPanel->Store().IsAltimeterHpa(station);
    }
    std::string GetMetar(const std::string& station) const override {
        return g_weatherPanel ? g_weatherPanel->Store().GetMetar(station) : "";
    }
    void RemoveStation(const std::string& station) override {
        if (g_weatherPanel) g_weatherPanel->Store().RemoveStation(station);
    }
    void ClearStationMarks() override {
        if (g_weatherPanel) g_weatherPanel->Store().ClearChangeMarks();
    }
    void ShowStation(const std::string& station) override {
        if (g_weatherPanel) g_weatherPanel->Store().ShowStation(station);
    }

    void Paint(const TarqDisplayButton& button, const ButtonPicture& picture) override {
        PaintButtonPicture(button, picture);
    }

    LandLineView GetLandLines() const override { return ProgramLandLines().GetView(); }
    void AcceptLandLine() override {
        if (g_controllerDB) g_controllerDB->AcceptLandLine();
    }
    void StopLandLine() override {
        if (g_controllerDB) g_controllerDB->StopLandLine();
    }

private:
    const TarqFontSource& m_fonts;
};

}  // namespace

TarqLandLineWatch& ProgramLandLines() {
    static ProgramLandLineSource source;
    static TarqLandLineWatch watch(source);
    return watch;
}

TarqProgramButtonKinds::TarqProgramButtonKinds(const TarqFontSource& fonts)
    : m_host(std::make_unique<ProgramButtonHost>(fonts)),
      m_kinds(std::make_unique<TarqHostButtonKinds>(
          *m_host, [] { return g_commsPanel ? g_commsPanel->Entries().GetRXEntries() : std::vector<int>{}; },
          [] {
              return g_weatherPanel ? g_weatherPanel->Store().GetStationList() : std::vector<std::string>{};
          })) {}

TarqProgramButtonKinds::~TarqProgramButtonKinds() = default;

std::vector<std::unique_ptr<TarqDisplayButton>> TarqProgramButtonKinds::CreateFixedButtons(
    TarqDisplayButtonBar& bar) {
    return m_kinds->CreateFixedButtons(bar);
}

std::vector<std::unique_ptr<TarqDisplayButton>> TarqProgramButtonKinds::CreateDynamicButtons(
    TarqDisplayButtonBar& bar) {
    return m_kinds->CreateDynamicButtons(bar);
}
