// Tested by tests/app/aircraft_actions_test.cpp.
#include "app/aircraft_actions.h"

#include <algorithm>
#include <cctype>

namespace am = aircraft_menu;

namespace {

PopupMenuItem Item(int id, std::string label) { return {id, std::move(label), true, false, {}}; }

PopupMenuItem Separator() { return {}; }

PopupMenuItem Submenu(std::string label, std::vector<PopupMenuItem> items) {
    return {0, std::move(label), true, false, std::move(items)};
}

std::vector<PopupMenuItem> Altitudes(int firstId) {
    std::vector<PopupMenuItem> items;
    for (int n = 1; n <= am::kAltitudes; ++n) {
        PopupMenuItem item = Item(firstId + n - 1, std::to_string(n) + ",000");
        // Three columns of twenty.
        item.columnBreak = n == 21 || n == 41;
        items.push_back(item);
    }
    return items;
}

std::vector<PopupMenuItem> Controllers(const std::vector<MenuController>& controllers, int firstId) {
    std::vector<PopupMenuItem> items;
    for (size_t i = 0; i < controllers.size(); ++i)
        items.push_back(Item(firstId + static_cast<int>(i), controllers[i].callsign));
    if (items.empty()) items.push_back({firstId, "No Radar Controllers", false, false, {}});
    return items;
}

// The command text of the items that run one command with the callsign.
const char* PrefixOf(int id) {
    switch (id) {
        case am::kToggleFdb:
            return ".QP ";
        case am::kAssignSquawk:
            return ".QB ";
        case am::kTrack:
            return ".QT ";
        case am::kDropOrRefuse:
            return ".QX ";
        case am::kEditFlightPlan:
            return ".SS ";
        case am::kShowRoute:
            return ".QU ";
        case am::kClearScratchpad:
            return ".QS ";
        case am::kClearAnchor:
            return ".AN ";
        case am::kShowName:
            return ".showname ";
        case am::kContactMe:
            return ".contactme ";
        case am::kRequestComFreq:
            return ".com? ";
        case am::kOpenChat:
            return ".chat ";
        case am::kAircraftInfo:
            return ".acinfo ";
        case am::kClearTempAlt:
            return ".QQ ";
        case am::kFullVoice:
            return ".qb v ";
        case am::kTextOnly:
            return ".qb t ";
        case am::kReceiveVoice:
            return ".qb r ";
        default:
            return nullptr;
    }
}

std::string ToUpperCopy(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

std::vector<PopupMenuItem> TarqAircraftActions::BuildMenu(const std::string& callsign) {
    const std::string own = m_services.GetOwnCallsign();
    const bool mine = !own.empty() && m_services.GetTrackingController(callsign) == own;
    const bool incoming = m_services.HasIncomingHandoff(callsign);
    const bool outgoing = !m_services.GetHandoffTarget(callsign).empty();

    m_controllers = m_services.GetRadarControllers();
    if (m_controllers.size() > static_cast<size_t>(am::kMaxControllers))
        m_controllers.resize(am::kMaxControllers);
    std::vector<std::string> presets = m_services.GetScratchpadPresets();
    if (presets.size() > static_cast<size_t>(am::kMaxPresets)) presets.resize(am::kMaxPresets);

    std::vector<PopupMenuItem> menu = {Item(am::kToggleFdb, "Toggle FDB"),
                                       Item(am::kAssignSquawk, "Assign Squawk")};
    if (mine && outgoing) {
        menu.push_back(Item(am::kTrack, "Cancel Handoff"));
    } else if (mine) {
        menu.push_back(Submenu("Handoff", Controllers(m_controllers, am::kFirstHandoff)));
        menu.push_back(Item(am::kDropOrRefuse, "Drop Track"));
    } else {
        menu.push_back(Item(am::kTrack, incoming ? "Accept Handoff" : "Start Track"));
    }
    menu.push_back(Submenu("Pointout", Controllers(m_controllers, am::kFirstPointout)));
    if (incoming) menu.push_back(Item(am::kDropOrRefuse, "Refuse Handoff"));
    menu.push_back(Separator());
    menu.push_back(Submenu("Temp Alt", Altitudes(am::kFirstTempAlt)));
    menu.push_back(Item(am::kClearTempAlt, "Clear Temp Alt"));
    menu.push_back(Submenu("Cruise Alt", Altitudes(am::kFirstCruiseAlt)));
    menu.push_back(Item(am::kEditFlightPlan, "Edit Flight Plan"));
    menu.push_back(Item(am::kShowRoute, "Show Route"));
    if (presets.empty()) {
        menu.push_back(Item(am::kCustomScratchpad, "Set Scratchpad"));
    } else {
        std::vector<PopupMenuItem> scratchpads = {Item(am::kCustomScratchpad, "Custom..."), Separator()};
        for (size_t i = 0; i < presets.size(); ++i)
            scratchpads.push_back(Item(am::kFirstPreset + static_cast<int>(i), presets[i]));
        menu.push_back(Submenu("Set Scratchpad", std::move(scratchpads)));
    }
    menu.push_back(Item(am::kClearScratchpad, "Clear Scratchpad"));
    menu.push_back(Separator());
    menu.push_back(
        Submenu("Set Voice Type", {Item(am::kFullVoice, "Full Voice"), Item(am::kTextOnly, "Text Only"),
                                   Item(am::kReceiveVoice, "Receive Voice")}));
    menu.push_back(Item(am::kAddStrip, "Add Flight Strip"));
    menu.push_back(Item(am::kToggleReminder, "Toggle Reminder"));
    menu.push_back(Submenu("Get Weather", {Item(am::kDepartureWeather, "Departure"),
                                           Item(am::kDestinationWeather, "Destination")}));
    menu.push_back(Item(am::kSetAnchor, "Set Anchor..."));
    menu.push_back(Item(am::kClearAnchor, "Clear Anchor"));
    menu.push_back(Item(am::kOpenChat, "Open Chat"));
    menu.push_back(Item(am::kShowName, "Show Name"));
    menu.push_back(Item(am::kAircraftInfo, "Aircraft Info"));
    if (m_services.HasSelcal(callsign)) menu.push_back(Item(am::kSendSelcal, "Send SELCAL"));
    menu.push_back(Item(am::kContactMe, "Send Contact Me"));
    // Supervisors and administrators.
    if (m_services.GetRating() >= 11) {
        menu.push_back(Separator());
        menu.push_back(Item(am::kRequestInf, "Request INF"));
        menu.push_back(Item(am::kRequestComFreq, "Request COM Freq"));
    }
    return menu;
}

void TarqAircraftActions::Carry(const std::string& callsign, int id) {
    if (id == 0) return;
    // The menu waits for the controller; the aircraft may have gone meanwhile.
    if (!m_services.HasAircraft(callsign)) {
        m_services.ShowErrorLine("Aircraft not found.");
        return;
    }
    if (const char* prefix = PrefixOf(id)) {
        m_services.RunCommand(prefix + callsign);
        return;
    }
    if (id >= am::kFirstTempAlt && id < am::kFirstTempAlt + am::kAltitudes) {
        m_services.RunCommand(".QQ " + std::to_string(10 * (id - am::kFirstTempAlt + 1)) + " " + callsign);
        return;
    }
    if (id >= am::kFirstCruiseAlt && id < am::kFirstCruiseAlt + am::kAltitudes) {
        m_services.RunCommand(".QZ " + std::to_string(10 * (id - am::kFirstCruiseAlt + 1)) + " " + callsign);
        return;
    }
    if (id >= am::kFirstPreset && id < am::kFirstPreset + am::kMaxPresets) {
        std::vector<std::string> presets = m_services.GetScratchpadPresets();
        size_t index = static_cast<size_t>(id - am::kFirstPreset);
        if (index < presets.size()) m_services.RunCommand(".QS " + presets[index] + " " + callsign);
        return;
    }
    if (id >= am::kFirstHandoff && id < am::kFirstHandoff + am::kMaxControllers) {
        size_t index = static_cast<size_t>(id - am::kFirstHandoff);
        if (index >= m_controllers.size() || !m_services.HasController(m_controllers[index].callsign)) return;
        m_services.InitiateHandoff(callsign, m_controllers[index].positionId);
        m_services.ShowControllerInfo(m_controllers[index].callsign);
        return;
    }
    if (id >= am::kFirstPointout && id < am::kFirstPointout + am::kMaxControllers) {
        size_t index = static_cast<size_t>(id - am::kFirstPointout);
        if (!m_services.IsValidATC()) {
            m_services.ShowErrorLine("Observers cannot send pointouts.");
            return;
        }
        if (index >= m_controllers.size() || !m_services.HasController(m_controllers[index].callsign)) return;
        m_services.SendPointOut(m_controllers[index].callsign, callsign);
        m_services.ShowInfoLine("Pointout sent: " + m_controllers[index].callsign + "->" + callsign);
        return;
    }
    switch (id) {
        case am::kRequestInf:
            m_services.RunCommand(".inf " + callsign);
            m_services.RunCommand(".msg SERVER IP " + callsign);
            return;
        case am::kCustomScratchpad:
            m_services.OpenTextEntry(
                {TextEntryMode::Scratchpad, m_services.GetScratchpad(callsign), callsign, 0});
            return;
        case am::kSetAnchor:
            m_services.OpenTextEntry({TextEntryMode::Anchor, "", callsign, 0});
            return;
        case am::kAddStrip:
            m_services.AddStrip(callsign);
            return;
        case am::kToggleReminder:
            m_services.ToggleRequestList(callsign);
            return;
        case am::kSendSelcal:
            m_services.SendSelcal(callsign);
            return;
        case am::kDepartureWeather:
        case am::kDestinationWeather: {
            const bool departure = id == am::kDepartureWeather;
            std::string airport =
                departure ? m_services.GetDeparture(callsign) : m_services.GetDestination(callsign);
            if (airport.empty()) {
                m_services.ShowErrorLine(departure ? "No departure airport filed."
                                                   : "No destination airport filed.");
                return;
            }
            m_services.RequestMetar(airport);
            m_services.ShowInfoLine("METAR requested for " + airport + ".");
            return;
        }
        default:
            return;
    }
}

void TarqAircraftActions::OnAircraftClick(const std::string& callsign, ClickModifiers keys) {
    const std::string selected = m_services.GetSelectedCallsign();
    if (keys.ctrl && keys.alt) {
        m_services.ShowRoute(callsign);
    } else if (keys.ctrl && keys.shift) {
        if (selected.empty())
            m_services.ShowErrorLine("No aircraft selected.");
        else if (selected == callsign)
            m_services.ShowErrorLine("Must click a different aircraft than the one that is radio selected.");
        else
            m_services.ShowTrafficCall(selected, callsign);
    } else if (keys.ctrl) {
        m_services.ShowFlightPlan(callsign);
    } else if (keys.shift && keys.alt) {
        m_services.AddSeparationLink(selected, callsign);
        m_services.SetSelectedCallsign(callsign);
    } else if (keys.alt) {
        m_services.AddStrip(callsign);
    } else if (keys.shift) {
        m_services.ShowConvergence(selected, callsign);
    } else {
        std::string line = m_services.GetCommandLine();
        if (line.empty() || line[0] != '.') return;
        std::string command = line + " " + callsign;
        m_services.AddToCommandHistory(command);
        m_services.RunCommand(command);
        m_services.SetCommandLine("");
    }
}

void TarqAircraftActions::SelectAircraftFromCommandLine() {
    std::string text = m_services.GetCommandLine().substr(0, 1023);
    const std::string selected = m_services.GetSelectedCallsign();
    if (text.empty()) {
        if (!selected.empty()) m_services.ToggleRequestList(selected);
        return;
    }
    if (text[0] == '.') {
        const std::string command = text + " " + selected;
        m_services.AddToCommandHistory(command);
        m_services.RunCommand(command);
    } else {
        std::string found;
        if (text.size() == 1) {
            found = m_services.FindListedCallsign(text[0]);
        } else if (text.size() == 4 && text[3] == '/') {
            found = m_services.GetCallsignForAircraftNumber(text.substr(0, 3));
        } else {
            std::vector<std::string> matches = m_services.FindCallsignsContaining(ToUpperCopy(text));
            if (matches.size() == 1) found = matches[0];
        }
        m_services.SetSelectedCallsign(found);
        if (found.empty()) m_services.PlayErrorSound();
    }
    m_services.SetCommandLine("");
}

std::vector<PopupMenuItem> TarqAircraftActions::NoteMenu() {
    return {Item(kNoteEditText, "Edit Text"), Item(kNoteDelete, "Delete Note")};
}

void TarqAircraftActions::CarryNoteChoice(uint64_t key, int id) {
    if (id == kNoteDelete) {
        m_services.RemoveNote(key);
    } else if (id == kNoteEditText) {
        std::string text = m_services.GetNoteText(key);
        std::string shown;
        for (char c : text) shown += c == '|' ? std::string("\r\n") : std::string(1, c);
        m_services.OpenTextEntry({TextEntryMode::StickyNote, shown, "", key});
    }
}

void TarqAircraftActions::ApplyTextEntry(const TextEntryRequest& request, const std::string& typed) {
    const std::string text = typed.substr(0, 1024);
    switch (request.mode) {
        case TextEntryMode::Scratchpad:
            m_services.SetScratchpad(request.callsign, text);
            return;
        case TextEntryMode::Anchor: {
            const std::string point = ToUpperCopy(text);
            if (m_services.FindNamedPoint(point))
                m_services.AddAnchor(request.callsign, point);
            else
                m_services.ShowErrorLine("Point not found.");
            return;
        }
        case TextEntryMode::StickyNote:
            m_services.SetNoteText(request.noteKey, text);
            return;
    }
}
