// What the flight strip bay asks of the program, served by the global
// objects: the aircraft and controller databases, the profile, the network
// manager and the display manager. The bay window supplies the text measure
// of its fonts and how the main display and the flight plan editor are
// brought forward.
// Tested through tests/app/session_test.cpp.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/flight_strip_bay.h"

class ShellStripBayServices final : public StripBayServices {
public:
    TarqFlightPlanRecord GetFlightPlan(const std::string& callsign) const override;
    int GetAircraftNumber(const std::string& callsign) const override;
    int GetAssignedSquawk(const std::string& callsign) const override;
    int GetTemporaryAltitude(const std::string& callsign) const override;
    std::string GetScratchpad(const std::string& callsign) const override;
    bool IsArrivalField(const std::string& airport) const override;
    bool IsDepartureField(const std::string& airport) const override;
    int GetColorSetting(const std::string& key) const override;
    std::string GetSelectedCallsign() const override;
    StripTextExtent GetTextExtent(int font, const std::string& text) const override;

    bool HasReceivedFlightPlan(const std::string& callsign) const override;
    void RequestFlightPlan(const std::string& callsign) override;
    void PushFlightStrip(const std::string& to, const std::string& callsign, int type,
                         const std::vector<std::string>& annotations) override;
    void ShowError(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void SetProfileModified() override;
    bool GetBoolSetting(const std::string& key) const override;
    bool IsValidATC() const override;
    bool ControllerExists(const std::string& callsign) const override;
    std::vector<std::string> ListRadarControllers() const override;
    void ShowFlightPlan(const std::string& callsign, bool raise) override;
    void SelectAircraft(const std::string& callsign) override;

    // Set by the bay window while its fonts exist; without it texts measure
    // at the small font's fixed pitch.
    std::function<StripTextExtent(int, const std::string&)> measure;
    // Brings the main display window forward.
    std::function<void()> activateMainDisplay;
};
