// The weather panel, the ATIS maker and the SELCAL panel as the program holds
// them: each wraps its plain class from comms/, answers it from the global
// objects and hands what the user sees to a window bound in the wx layer.
// Aliases and the "$" variables are reached through ExpandAliases.
// Tested by tests/app/program_test.cpp.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "atc/network_owners.h"
#include "comms/alias_table.h"
#include "comms/atis_maker.h"
#include "comms/selcal_codes.h"
#include "comms/text_variables.h"
#include "comms/voice_atis.h"
#include "comms/weather_store.h"
#include "foundation/tool_window.h"

class TarqProfile;

// The native window of a panel: created at profile open, refilled when the
// panel's rows change.
class CommsPanelView {
public:
    virtual ~CommsPanelView() = default;
    virtual void CreateWindow() = 0;
    virtual void Refill() = 0;
};

class TarqWeatherPanel final : public TarqToolWindow, private WeatherHost {
public:
    static constexpr int kWidth = 212;

    explicit TarqWeatherPanel(TarqProfile& profile);
    ~TarqWeatherPanel() override;

    void SetView(CommsPanelView* view) { m_view = view; }
    WeatherStore& Store() { return m_store; }
    const WeatherStore& Store() const { return m_store; }

    void Create();
    // The profile's "WxStations".
    void Restore();
    void RefreshMetars(bool force) { m_store.RefreshMetars(force); }
    // A command of a station's context menu: its ".QD" or ".WX" line runs on
    // the main display as a menu command.
    void RunStationMenuCommand(int command, const std::string& station);

private:
    bool IsConnected() const override;
    void RequestMETAR(const std::string& station) override;
    void ShowError(const std::string& text) override;
    void RebuildButtonBar() override;
    void OnATISReportTime(const std::string& time) override;
    void ListRefreshed() override;

    TarqProfile& m_profile;
    WeatherStore m_store;
    CommsPanelView* m_view = nullptr;
};

class TarqATISMaker final : public NetATISMaker, private AtisMakerHost {
public:
    TarqATISMaker(TarqProfile& profile, WeatherStore& weather);
    ~TarqATISMaker() override;

    AtisMaker& Maker() { return m_maker; }
    const AtisMaker& Maker() const { return m_maker; }
    void OnReportTime(const std::string& time) { m_maker.OnReportTime(time); }
    std::string GetCurrentLetter() const { return m_maker.GetCurrentLetter(); }
    // The ATIS button: the status line as an information line.
    void SendATISToDisplay();

    // The voice ATIS, once the voice engine lends its services (null takes
    // it away); until then the dialog's voice buttons stay disabled.
    void SetVoiceServices(VoiceAtisServices* services);
    VoiceAtis* Voice() { return m_voice.get(); }
    // The voice-ATIS session's state changed: the open dialog's "Connect
    // ATIS" button shows it. The wx layer says how.
    static void SetConnectButtonUpdater(std::function<void()> update);
    // The open dialog shows the letter, last METAR and controller info of
    // every update. The wx layer says how.
    static void SetDialogRefresher(std::function<void()> refresh);
    // A letter chosen in the dialog's list: "(None)" while the voice ATIS
    // is on the air becomes ALPHA. Returns the index to show.
    int SelectLetter(int index);
    void UpdateConnectButton() override;
    void RefreshVoiceATIS() override;

    // The wx layer says how the modal dialog is run.
    static void SetDialogRunner(std::function<void(TarqATISMaker&)> run);
    void ShowDialog();
    // The dialog's Help: the ATIS maker's page in the browser, or a line in
    // the radio history saying why not.
    void OpenHelp();

private:
    void ShowError(const std::string& text) override;
    void AtisUpdated() override;

    TarqProfile& m_profile;
    WeatherStore& m_weather;
    AtisMaker m_maker;
    std::unique_ptr<VoiceAtis> m_voice;
};

class TarqSELCALPanel final : public TarqToolWindow, private SelcalHost {
public:
    static constexpr int kWidth = 148;
    TarqSELCALPanel();
    ~TarqSELCALPanel() override;

    void SetView(CommsPanelView* view) { m_view = view; }
    SelcalCodes& Codes() { return m_codes; }
    void Create();

private:
    bool IsValidATC() const override;
    bool SendSELCAL(const std::string& code) override;
    void ShowError(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void ListChanged() override;

    SelcalCodes m_codes;
    CommsPanelView* m_view = nullptr;
};

// The "$" variables answered from the aircraft and controller databases, the
// communications panel, the display manager's main scope and the ATIS maker.
class ShellTextVariableSources final : public TextVariableSources {
public:
    bool GetAircraft(const std::string& callsign, Aircraft& out) const override;
    TarqFlightPlanRecord GetFlightPlan(const std::string& callsign) const override;
    uint16_t GetAssignedSquawk(const std::string& callsign) const override;
    uint16_t GetBeaconCode(const std::string& callsign) const override;
    int GetTemporaryAltitude(const std::string& callsign) const override;
    std::string GetCallsignForPositionId(const std::string& positionId) const override;
    bool GetControllerFrequency(const std::string& callsign, int& kHz) const override;
    std::string FindRadioName(const std::string& callsign, int frequency) const override;
    int GetPrimaryFrequency() const override;
    std::string GetPrimaryVoiceChannel() const override;
    std::string GetSelectedCallsign() const override;
    bool FindNamedPoint(const std::string& name, ScopePoint& out) const override;
    double GetScopeRotation() const override;
    std::string GetCurrentLetter() const override;
};

// The user's aliases, read at profile open from the "AliasFile" setting.
AliasTable& UserAliases();
// Empties the table, then reads the file; false when it cannot be read.
bool LoadAliases(const std::string& path);
// A command line's aliases and "$" variables, with `callsign` as the aircraft
// the variables describe. False (out untouched) when the expansion ran out of
// steps, an alias loop.
bool ExpandAliases(const std::string& in, std::string& out, const std::string& callsign = {});
