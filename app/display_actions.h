// What a display window's aircraft actions and command-line keys reach: the
// global objects, the display's scope and the window's own dialogs.
// Tested through tests/app/program_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "app/aircraft_actions.h"
#include "app/command_line_keys.h"

class WxDisplayWindow;

class DisplayActionServices final : public AircraftActionServices, public CommandLineKeyHost {
public:
    explicit DisplayActionServices(WxDisplayWindow& window) : m_window(window) {}

    void RunCommand(const std::string& line) override;
    void ShowErrorLine(const std::string& text) override;
    void ShowInfoLine(const std::string& text) override;
    void PlayErrorSound() override;
    std::string GetOwnCallsign() override;
    int GetRating() override;
    std::vector<std::string> GetScratchpadPresets() override;
    bool HasAircraft(const std::string& callsign) override;
    std::string GetTrackingController(const std::string& callsign) override;
    bool HasIncomingHandoff(const std::string& callsign) override;
    std::string GetHandoffTarget(const std::string& callsign) override;
    std::string GetScratchpad(const std::string& callsign) override;
    void SetScratchpad(const std::string& callsign, const std::string& text) override;
    void ToggleRequestList(const std::string& callsign) override;
    std::string GetDeparture(const std::string& callsign) override;
    std::string GetDestination(const std::string& callsign) override;
    std::string GetCallsignForAircraftNumber(const std::string& number) override;
    std::vector<std::string> FindCallsignsContaining(const std::string& text) override;
    std::string FindListedCallsign(char key) override;
    std::vector<MenuController> GetRadarControllers() override;
    bool HasController(const std::string& callsign) override;
    void InitiateHandoff(const std::string& callsign, const std::string& positionId) override;
    void ShowControllerInfo(const std::string& controller) override;
    bool IsValidATC() override;
    void SendPointOut(const std::string& controller, const std::string& callsign) override;
    bool HasSelcal(const std::string& callsign) override;
    void SendSelcal(const std::string& callsign) override;
    void AddStrip(const std::string& callsign) override;
    void RequestMetar(const std::string& station) override;
    void OpenTextEntry(const TextEntryRequest& request) override;
    std::string GetSelectedCallsign() override;
    void SetSelectedCallsign(const std::string& callsign) override;
    std::string GetCommandLine() override;
    void SetCommandLine(const std::string& text) override;
    void AddToCommandHistory(const std::string& text) override;
    void ShowRoute(const std::string& callsign) override;
    void ShowConvergence(const std::string& a, const std::string& b) override;
    void AddSeparationLink(const std::string& a, const std::string& b) override;
    bool FindNamedPoint(const std::string& name) override;
    void AddAnchor(const std::string& callsign, const std::string& pointName) override;
    std::string GetNoteText(uint64_t key) override;
    void SetNoteText(uint64_t key, const std::string& text) override;
    void RemoveNote(uint64_t key) override;
    void ShowTrafficCall(const std::string& a, const std::string& b) override;
    void ShowFlightPlan(const std::string& callsign) override;

    // CommandLineKeyHost
    int GetInt(const std::string& key) override;
    void SelectAllCommandLine() override;
    void SelectAircraftFromCommandLine() override;
    void SelectControllerFromCommandLine() override;
    void ClearSelectedCallsign() override;
    std::string PreviousCommand(const std::string& current) override;
    std::string NextCommand(const std::string& current) override;
    void ActivateLastChatWindow() override;
    bool RadioHistoryKey(int virtualKey, bool ctrl) override;

private:
    WxDisplayWindow& m_window;
};
