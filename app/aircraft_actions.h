// What the controller does to aircraft from a display window: the aircraft
// menu (its tree, built from the aircraft's state, and what each item does),
// a left click with modifier keys, the aircraft-select key on the command
// line, and the text-entry dialog that serves the custom scratchpad, the
// anchor point and sticky notes. No toolkit: the window shows the tree and
// hands back the chosen id. Tested by tests/app/aircraft_actions_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One item of a pop-up menu; a non-empty submenu makes it a submenu.
struct PopupMenuItem {
    int id = 0;  // 0 with an empty label: a separator
    std::string label;
    bool enabled = true;
    bool columnBreak = false;  // starts a new column
    std::vector<PopupMenuItem> submenu;
};

// What the text-entry dialog edits.
enum class TextEntryMode { Scratchpad = 1, Anchor = 2, StickyNote = 3 };

struct TextEntryRequest {
    TextEntryMode mode = TextEntryMode::StickyNote;
    std::string initialText;
    std::string callsign;  // the scratchpad's or the anchor's aircraft
    uint64_t noteKey = 0;  // the sticky note's key
};

// A controller that the Handoff and Pointout submenus offer.
struct MenuController {
    std::string callsign;
    std::string positionId;
};

// What the actions read and do outside: the databases, the profile, the
// scope and the tool windows. The display window supplies it.
class AircraftActionServices {
public:
    virtual ~AircraftActionServices() = default;
    // Every command runs through the display's one entry to the command processor.
    virtual void RunCommand(const std::string& line) = 0;
    virtual void ShowErrorLine(const std::string& text) = 0;
    virtual void ShowInfoLine(const std::string& text) = 0;
    virtual void PlayErrorSound() = 0;

    virtual std::string GetOwnCallsign() = 0;  // the profile's "Callsign"
    virtual int GetRating() = 0;
    virtual std::vector<std::string> GetScratchpadPresets() = 0;

    virtual bool HasAircraft(const std::string& callsign) = 0;
    virtual std::string GetTrackingController(const std::string& callsign) = 0;
    virtual bool HasIncomingHandoff(const std::string& callsign) = 0;
    virtual std::string GetHandoffTarget(const std::string& callsign) = 0;
    virtual std::string GetScratchpad(const std::string& callsign) = 0;
    virtual void SetScratchpad(const std::string& callsign, const std::string& text) = 0;
    virtual void ToggleRequestList(const std::string& callsign) = 0;
    virtual std::string GetDeparture(const std::string& callsign) = 0;
    virtual std::string GetDestination(const std::string& callsign) = 0;
    virtual std::string GetCallsignForAircraftNumber(const std::string& number) = 0;
    virtual std::vector<std::string> FindCallsignsContaining(const std::string& text) = 0;
    // The aircraft list's entry for a single character; empty when none.
    virtual std::string FindListedCallsign(char key) = 0;

    virtual std::vector<MenuController> GetRadarControllers() = 0;
    // Whether the controller is still on line.
    virtual bool HasController(const std::string& callsign) = 0;
    virtual void InitiateHandoff(const std::string& callsign, const std::string& positionId) = 0;
    virtual void ShowControllerInfo(const std::string& controller) = 0;
    virtual bool IsValidATC() = 0;
    virtual void SendPointOut(const std::string& controller, const std::string& callsign) = 0;

    virtual bool HasSelcal(const std::string& callsign) = 0;
    virtual void SendSelcal(const std::string& callsign) = 0;
    virtual void AddStrip(const std::string& callsign) = 0;
    // Asks for the station's METAR and shows the weather panel.
    virtual void RequestMetar(const std::string& station) = 0;
    virtual void OpenTextEntry(const TextEntryRequest& request) = 0;

    virtual std::string GetSelectedCallsign() = 0;
    virtual void SetSelectedCallsign(const std::string& callsign) = 0;
    // The main display's command line and its history.
    virtual std::string GetCommandLine() = 0;
    virtual void SetCommandLine(const std::string& text) = 0;
    virtual void AddToCommandHistory(const std::string& text) = 0;

    // The display's scope.
    virtual void ShowRoute(const std::string& callsign) = 0;
    virtual void ShowConvergence(const std::string& a, const std::string& b) = 0;
    virtual void AddSeparationLink(const std::string& a, const std::string& b) = 0;
    virtual bool FindNamedPoint(const std::string& name) = 0;
    virtual void AddAnchor(const std::string& callsign, const std::string& pointName) = 0;
    virtual std::string GetNoteText(uint64_t key) = 0;
    virtual void SetNoteText(uint64_t key, const std::string& text) = 0;
    virtual void RemoveNote(uint64_t key) = 0;
    // The traffic call-out from the first aircraft about the second.
    virtual void ShowTrafficCall(const std::string& a, const std::string& b) = 0;
    // The server's plan, shown in the flight plan editor.
    virtual void ShowFlightPlan(const std::string& callsign) = 0;
};

// Ids of the aircraft menu.
namespace aircraft_menu {
inline constexpr int kToggleFdb = 1, kAssignSquawk = 2, kTrack = 3, kDropOrRefuse = 4, kEditFlightPlan = 5,
                     kShowRoute = 6, kCustomScratchpad = 7, kClearScratchpad = 8, kAddStrip = 9,
                     kToggleReminder = 10, kSetAnchor = 11, kClearAnchor = 12, kShowName = 13,
                     kSendSelcal = 14, kContactMe = 15, kRequestInf = 16, kRequestComFreq = 17,
                     kOpenChat = 18, kAircraftInfo = 19, kDepartureWeather = 50, kDestinationWeather = 51,
                     kFullVoice = 60, kTextOnly = 61, kReceiveVoice = 62, kClearTempAlt = 100,
                     kFirstTempAlt = 101, kFirstCruiseAlt = 201, kFirstHandoff = 301, kFirstPointout = 401,
                     kFirstPreset = 1101;
inline constexpr int kAltitudes = 60, kMaxControllers = 100, kMaxPresets = 50;
}  // namespace aircraft_menu

// Ids of the sticky-note menu.
inline constexpr int kNoteEditText = 1001;
inline constexpr int kNoteDelete = 1002;

// Modifier keys of a left click on a target.
struct ClickModifiers {
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
};

class TarqAircraftActions {
public:
    explicit TarqAircraftActions(AircraftActionServices& services) : m_services(services) {}

    // The aircraft menu for the callsign, without its title; the controllers
    // it lists are kept for Carry.
    std::vector<PopupMenuItem> BuildMenu(const std::string& callsign);
    // Carries out the chosen id of the menu built last; 0 (nothing chosen)
    // does nothing. An aircraft that left meanwhile gives "Aircraft not found.".
    void Carry(const std::string& callsign, int id);

    // A left click on a target.
    void OnAircraftClick(const std::string& callsign, ClickModifiers keys);
    // The aircraft-select key on the command line.
    void SelectAircraftFromCommandLine();

    // The sticky-note menu and what its choice does.
    static std::vector<PopupMenuItem> NoteMenu();
    void CarryNoteChoice(uint64_t key, int id);
    // The dialog's OK with its text.
    void ApplyTextEntry(const TextEntryRequest& request, const std::string& text);

private:
    AircraftActionServices& m_services;
    std::vector<MenuController> m_controllers;
};
