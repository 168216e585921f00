// The command table and its handlers, in table order.
// Tested by tests/comms/command_processor_test.cpp.
#include <climits>
#include <cstdio>

#include "comms/command_processor.h"
#include "foundation/profile.h"
#include "foundation/text_helpers.h"

namespace {

// Leading digits with an optional sign, as atoi reads them, but held within
// int so a long run of digits cannot overflow; 0 when there are none.
int ReadNumber(const std::string& word) {
    size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '-' || word[i] == '+')) negative = word[i++] == '-';
    long long value = 0;
    for (; i < word.size() && word[i] >= '0' && word[i] <= '9'; ++i) {
        value = value * 10 + (word[i] - '0');
        if (value > INT_MAX) value = INT_MAX;
    }
    return static_cast<int>(negative ? -value : value);
}

bool IsOctalSquawk(const std::string& word) {
    if (word.size() != 4) return false;
    for (char c : word)
        if (c < '0' || c > '7') return false;
    return true;
}

// The text after `skip` words of the rest of the line and one more character.
std::string TextAfterWord(const std::string& rest, const std::string& word) {
    return rest.size() > word.size() + 1 ? rest.substr(word.size() + 1) : std::string();
}

constexpr const char* kBusyText = "I am not currently accepting private messages.";

}  // namespace

using P = TarqCommandProcessor;
using A = TarqCommandProcessor::Access;

// Matched in this order; the first equal word wins.
const P::Entry P::kTable[P::kCommandCount] = {
    {".qp", "aircraft | position | position aircraft", A::Anyone, &P::Pointout},
    {".qd", "aircraft | stations", A::Anyone, &P::WeatherToggle},
    {".qt", "aircraft", A::Anyone, &P::Track},
    {".qx", "aircraft | /OK aircraft | position aircraft", A::Anyone, &P::DropOrHandoff},
    {".qz", "altitude aircraft", A::Anyone, &P::CruiseAltitude},
    {".ss", "- | aircraft | position aircraft", A::Anyone, &P::FlightPlanOrStrip},
    {".qu", "aircraft", A::Anyone, &P::Route},
    {".qr", "aircraft", A::Anyone, &P::Route},
    {".wx", "aircraft | station", A::Anyone, &P::Metar},
    {".ow", "aircraft", A::Anyone, &P::DepartureMetar},
    {".qq", "aircraft | altitude aircraft", A::Anyone, &P::TemporaryAltitude},
    {".qb", "aircraft | v/r/t aircraft | code aircraft", A::Anyone, &P::Squawk},
    {".qs", "aircraft | text aircraft", A::Anyone, &P::Scratchpad},
    {".contactme", "aircraft", A::Anyone, &P::ContactMe},
    {".debug", "off | number", A::Anyone, &P::Debug},
    {".group", "name [members]", A::Anyone, &P::Group},
    {".chat", "callsign", A::Anyone, &P::Chat},
    {".rings", "point", A::Anyone, &P::Rings},
    {".ff", "names", A::Anyone, &P::ShowItems},
    {".fv", "names", A::Anyone, &P::ShowItems},
    {".fn", "names", A::Anyone, &P::ShowItems},
    {".fa", "names", A::Anyone, &P::ShowItems},
    {".fc", "names", A::Anyone, &P::ShowItems},
    {".fw", "names", A::Anyone, &P::ShowItems},
    {".fd", "diagram names", A::Anyone, &P::Diagrams},
    {".nofixes", "-", A::Anyone, &P::HideItems},
    {".novors", "-", A::Anyone, &P::HideItems},
    {".nondbs", "-", A::Anyone, &P::HideItems},
    {".noairports", "-", A::Anyone, &P::HideItems},
    {".nocenterlines", "-", A::Anyone, &P::HideItems},
    {".noairways", "-", A::Anyone, &P::HideItems},
    {".nodiagrams", "-", A::Anyone, &P::NoDiagrams},
    {".center", "point", A::Anyone, &P::Center},
    {".centre", "point", A::Anyone, &P::Center},
    {".center2", "point", A::Anyone, &P::Center},
    {".centre2", "point", A::Anyone, &P::Center},
    {".vis", "point [point ...]", A::Anyone, &P::Vis},
    {".vis1", "point", A::Anyone, &P::VisSlot},
    {".vis2", "point", A::Anyone, &P::VisSlot},
    {".vis3", "point", A::Anyone, &P::VisSlot},
    {".vis4", "point", A::Anyone, &P::VisSlot},
    {".novis", "-", A::Anyone, &P::NoVis},
    {".showvis", "-", A::Anyone, &P::ShowVis},
    {".wallop", "text", A::Anyone, &P::Wallop},
    {".wall", "text", A::Anyone, &P::Broadcast},
    {".info", "callsign", A::Anyone, &P::Info},
    {".inf", "callsign", A::Anyone, &P::Info},
    {".msg", "callsign text", A::Anyone, &P::Message},
    {".atis", "[callsign]", A::Anyone, &P::Atis},
    {".showatis", "[callsign]", A::Anyone, &P::Atis},
    {".copy", "-", A::Anyone, &P::Copy},
    {".log", "file name", A::Anyone, &P::Log},
    {".ov", "position", A::Anyone, &P::Override},
    {".ic", "position", A::Anyone, &P::Intercom},
    {".acc", "-", A::Anyone, &P::Accept},
    {".hold", "-", A::Anyone, &P::Hold},
    {".mon", "callsign | position", A::Anyone, &P::Monitor},
    {".rls", "-", A::Anyone, &P::Release},
    {".break", "-", A::Anyone, &P::Break},
    {".nobreak", "-", A::Anyone, &P::NoBreak},
    {".busy", "[text]", A::Anyone, &P::Busy},
    {".busyall", "[text]", A::Anyone, &P::BusyAll},
    {".nobusy", "-", A::Anyone, &P::NoBusy},
    {".setatis", "text", A::Anyone, &P::SetAtis},
    {".find", "point", A::Anyone, &P::Find},
    {".silence", "-", A::Anyone, &P::Silence},
    {".am", "RTE route", A::Anyone, &P::Amend},
    {".transfer", "position", A::Anyone, &P::Transfer},
    {".declutter", "-", A::Anyone, &P::Declutter},
    {".seprings", "-", A::Anyone, &P::SepRings},
    {".filters", "-", A::Anyone, &P::Filters},
    {".quicklook", "-", A::Anyone, &P::Quicklook},
    {".openurl", "URL", A::Anyone, &P::OpenUrl},
    {".nomsgs", "-", A::Anyone, &P::NoMessages},
    {".reloadaliases", "-", A::Anyone, &P::ReloadAliases},
    {".reloadpof", "-", A::Anyone, &P::ReloadPof},
    {".cascade", "-", A::Anyone, &P::Cascade},
    {".rsb", "point point", A::Anyone, &P::RangeBearing},
    {".showname", "callsign", A::Anyone, &P::ShowName},
    {".norings", "-", A::Anyone, &P::NoRings},
    {".kill", "callsign [reason]", A::Anyone, &P::Kill},
    {".seeall", "-", A::Supervisor, &P::SeeAll},
    {".help", "[text]", A::Anyone, &P::Help},
    {".nohelp", "-", A::Anyone, &P::NoHelp},
    {".logofftime", "[time]", A::Anyone, &P::LogoffTime},
    {".nologofftime", "-", A::Anyone, &P::NoLogoffTime},
    {".ver", "callsign", A::Anyone, &P::Version},
    {".ping", "callsign", A::Anyone, &P::Ping},
    {".an", "aircraft | point aircraft", A::Anyone, &P::Anchor},
    {".noanchors", "-", A::Anyone, &P::NoAnchors},
    {".strip", "callsign", A::Anyone, &P::Strip},
    {".sep", "labels", A::Anyone, &P::Separator},
    {".nostrips", "-", A::Anyone, &P::NoStrips},
    {".delstrip", "callsign", A::Anyone, &P::DeleteStrip},
    {".own", "callsign", A::Anyone, &P::Owner},
    {".com?", "callsign", A::Supervisor, &P::FrequencyQuery},
    {".showstats", "-", A::Anyone, &P::ShowStats},
    {".resetstats", "-", A::Anyone, &P::ResetStats},
    {".set3dalt", "feet", A::Anyone, &P::CameraAltitude},
    {".setterrainalt", "feet", A::Anyone, &P::TerrainAltitude},
    {".set3dcenter", "point", A::Anyone, &P::CameraCenter},
    {".findac", "callsign", A::Supervisor, &P::FindAircraft},
    {".showloc", "controller callsign", A::Anyone, &P::ShowLocation},
    {".spotview", "[callsign]", A::Anyone, &P::SpotView},
    {".lockview", "[callsign]", A::Anyone, &P::LockView},
    {".deletetarget", "callsign", A::Anyone, &P::DeleteTarget},
    {".reloadsector", "-", A::Anyone, &P::ReloadSector},
    {".seplink", "callsign callsign", A::Anyone, &P::SepLink},
    {".noseplinks", "-", A::Anyone, &P::NoSepLinks},
    {".sticky", "text", A::Anyone, &P::Sticky},
    {".nostickys", "-", A::Anyone, &P::NoStickies},
    {".nostickies", "-", A::Anyone, &P::NoStickies},
    {".acinfo", "callsign", A::Anyone, &P::AircraftInfo},
    {".typeinfo", "type code", A::Anyone, &P::TypeInfo},
    {".splist", "[words]", A::Anyone, &P::ScratchpadPresets},
    {".visrange", "NM", A::Anyone, &P::VisRange},
    {".modelinfo", "callsign", A::Anyone, &P::ModelInfo},
};

// --- tracks and aircraft --------------------------------------------------------

void P::Pointout(Call& call) {
    if (call.n == 1) {
        const std::string controller = ResolvePosition(call.words[1]);
        if (!controller.empty())
            m_traffic.ShowFullDataBlocksOf(controller);
        else
            call.display.MarkPointout(ResolveAircraft(call.words[1]));
    } else if (call.n == 2) {
        if (!m_network.IsValidATC()) {
            m_shell.ShowError("Invalid control.");
            return;
        }
        const std::string aircraft = ResolveAircraft(call.words[2]);
        const std::string controller = ResolvePosition(call.words[1]);
        if (controller.empty()) {
            m_shell.ShowError("Controller not found.");
            return;
        }
        if (!CheckCallsign(aircraft)) return;
        m_network.SendPointOut(controller, aircraft);
        m_shell.ShowInfo("Pointout sent: " + controller + "->" + aircraft);
    }
}

void P::Track(Call& call) {
    if (call.n >= 1) m_traffic.AcceptHandoff(ResolveAircraft(call.words[1]));
}

void P::DropOrHandoff(Call& call) {
    if (call.n == 1) {
        m_traffic.DropTrack(ResolveAircraft(call.words[1]), OwnCallsign());
    } else if (call.n == 2) {
        const std::string first = ToUpper(call.words[1]);
        const std::string aircraft = ResolveAircraft(call.words[2]);
        if (first == "/OK") {
            if (!CheckCallsign(aircraft)) return;
            m_network.SendWhoHas(aircraft);
            m_shell.ShowInfo("Attempting to force drop track on " + aircraft + ".");
            return;
        }
        const std::string controller = m_traffic.GetCallsignForPositionId(first);
        if (controller.empty()) {
            m_shell.ShowError("Controller not found.");
            return;
        }
        m_traffic.InitiateHandoff(aircraft, first);
        m_shell.ShowControllerInfo(controller);
    }
}

void P::CruiseAltitude(Call& call) {
    if (call.n != 2) {
        m_shell.ShowError("Not enough parameters.");
        return;
    }
    const std::string aircraft = ResolveAircraft(call.words[2]);
    const long long feet = static_cast<long long>(ReadNumber(call.words[1])) * 100;
    if (feet <= 0 || feet > INT_MAX) return;
    m_traffic.SetCruiseAltitude(aircraft, static_cast<int>(feet));
}

void P::FlightPlanOrStrip(Call& call) {
    if (call.n == 0) {
        m_shell.HideFlightPlanEditor();
    } else if (call.n == 1) {
        const std::string aircraft = ResolveAircraft(call.words[1]);
        if (!CheckCallsign(aircraft)) return;
        m_shell.SetAwaitedFlightPlan(aircraft);
        m_network.RequestFlightPlan(aircraft);
        m_shell.ShowFlightPlanEditor(aircraft);
        m_shell.ActivateMainWindow();
    } else if (call.n == 2) {
        const std::string aircraft = ResolveAircraft(call.words[2]);
        const std::string controller = ResolvePosition(call.words[1]);
        if (controller.empty()) {
            m_shell.ShowError("Controller not found.");
            return;
        }
        if (!m_network.IsValidATC()) {
            m_shell.ShowError("Not valid control.");
            return;
        }
        if (!m_services.strips || !CheckCallsign(aircraft)) return;
        m_services.strips->PushStrip(aircraft, controller);
        const std::string text = "Flight strip for " + aircraft + " pushed to " + controller + ".";
        if (m_profile.GetBool("DelPushedStrips")) m_services.strips->RemoveStrip(aircraft);
        m_shell.ShowInfo(text);
    }
}

void P::Route(Call& call) {
    if (call.n >= 1) call.display.ShowRoute(ResolveAircraft(call.words[1]), call.command == ".qr");
}

void P::TemporaryAltitude(Call& call) {
    if (call.n == 1) {
        m_traffic.SetTemporaryAltitude(ResolveAircraft(call.words[1]), OwnCallsign(), 0);
    } else if (call.n == 2) {
        const std::string aircraft = ResolveAircraft(call.words[2]);
        const long long feet = static_cast<long long>(ReadNumber(call.words[1])) * 100;
        if (feet <= 0 || feet > INT_MAX) return;
        m_traffic.SetTemporaryAltitude(aircraft, OwnCallsign(), static_cast<int>(feet));
    }
}

void P::Squawk(Call& call) {
    if (call.n == 1) {
        const std::string aircraft = ResolveAircraft(call.words[1]);
        if (m_traffic.CheckControl(aircraft)) m_traffic.SetAssignedSquawk(aircraft, OwnCallsign(), 0xFFFF);
    } else if (call.n == 2) {
        const std::string first = ToLower(call.words[1]);
        const std::string aircraft = ResolveAircraft(call.words[2]);
        if (!m_traffic.CheckControl(aircraft)) return;
        if (first == "v" || first == "r" || first == "t") {
            m_traffic.SetVoiceType(aircraft, OwnCallsign(), first == "v" ? 3 : first == "r" ? 2 : 1);
            return;
        }
        // A transponder code is four octal digits; anything else would be
        // stored and sent as a code no transponder can show.
        if (!IsOctalSquawk(first)) {
            m_shell.ShowError("A squawk code is four digits from 0 to 7.");
            return;
        }
        m_traffic.SetAssignedSquawk(aircraft, OwnCallsign(), ReadNumber(first));
    }
}

void P::Scratchpad(Call& call) {
    if (call.n == 1)
        m_traffic.SetScratchpad(ResolveAircraft(call.words[1]), OwnCallsign(), {});
    else if (call.n == 2)
        m_traffic.SetScratchpad(ResolveAircraft(call.words[2]), OwnCallsign(), call.words[1]);
}

// --- weather, chat, contact and debug ------------------------------------------------

void P::WeatherToggle(Call& call) {
    if (call.n == 0 || !m_services.weather) return;
    if (!CheckConnected()) return;
    call.words[1] = ResolveAircraft(call.words[1]);
    if (m_traffic.HasAircraft(call.words[1])) {
        std::string departure, destination;
        m_traffic.GetAirports(call.words[1], departure, destination);
        if (destination.empty()) {
            m_shell.ShowError("No destination airport filed.");
            return;
        }
        m_services.weather->ToggleStation(destination);
        return;
    }
    for (int i = 1; i <= call.n; ++i)
        if (call.words[i].size() == 4) m_services.weather->ToggleStation(call.words[i]);
}

void P::Metar(Call& call) {
    if (call.n == 0 || !m_services.weather) return;
    if (!CheckConnected()) return;
    const std::string word = ResolveAircraft(call.words[1]);
    std::string station = word;
    const bool isAircraft = m_traffic.HasAircraft(word);
    if (isAircraft) {
        std::string departure;
        m_traffic.GetAirports(word, departure, station);
        if (station.empty()) {
            m_shell.ShowError("No destination airport filed.");
            return;
        }
    } else if (word.size() != 4) {
        m_shell.ShowError("No aircraft or weather station named " + word + ".");
        return;
    }
    m_services.weather->RequestMetar(station);
    if (isAircraft) m_shell.ShowInfo("METAR requested for " + station + ".");
    m_services.weather->ShowPanel();
    m_shell.RebuildAllMenus();
    m_shell.ActivateMainWindow();
}

void P::DepartureMetar(Call& call) {
    if (call.n == 0 || !m_services.weather) return;
    if (!CheckConnected()) return;
    const std::string aircraft = ResolveAircraft(call.words[1]);
    if (!m_traffic.HasAircraft(aircraft)) {
        m_shell.ShowError("Aircraft not found.");
        return;
    }
    std::string departure, destination;
    m_traffic.GetAirports(aircraft, departure, destination);
    if (departure.empty()) {
        m_shell.ShowError("No departure airport filed.");
        return;
    }
    m_services.weather->RequestMetar(departure);
    m_shell.ShowInfo("METAR requested for " + departure + ".");
    m_services.weather->ShowPanel();
    m_shell.RebuildAllMenus();
}

void P::ContactMe(Call& call) {
    if (call.n == 0) return;
    if (!m_network.IsValidATC()) {
        m_shell.ShowError("Observers cannot use this function.");
        return;
    }
    const std::string aircraft = ResolveAircraft(call.words[1]);
    if (!CheckCallsign(aircraft)) return;
    char text[128];
    std::snprintf(text, sizeof text,
                  "Please contact me on %.3f. Please do not respond via private message - use the frequency "
                  "instead.",
                  m_shell.GetPrimaryFrequency() / 1000.0);
    m_network.SendTextMessage(aircraft, text);
    m_shell.ShowInfo("Contact request message sent to " + aircraft + ".");
}

void P::Debug(Call& call) {
    if (call.n == 0) return;
    if (call.words[1] == "off")
        m_shell.SetDebugFlags(0);
    else
        m_shell.SetDebugFlags(m_shell.GetDebugFlags() ^ static_cast<uint32_t>(ReadNumber(call.words[1])));
}

void P::Group(Call& call) {
    if (call.n == 0 || !m_services.chat) return;
    const std::string name = ToUpper(call.words[1]);
    const std::string members = call.n > 1 ? TextAfterWord(call.rest, call.words[1]) : std::string();
    m_services.chat->OpenChatWindow(":" + name, members, true);
}

void P::Chat(Call& call) {
    if (call.n == 0 || !m_services.chat) return;
    m_services.chat->OpenChatWindow(ToUpper(call.words[1]), {}, true);
}

// --- scope display ---------------------------------------------------------------

namespace {
int ItemKindOf(const std::string& command) {
    static const char* const kShow[] = {".ff", ".fv", ".fn", ".fa", ".fc", ".fw"};
    static const char* const kHide[] = {".nofixes",    ".novors",        ".nondbs",
                                        ".noairports", ".nocenterlines", ".noairways"};
    for (int kind = 0; kind < 6; ++kind)
        if (command == kShow[kind] || command == kHide[kind]) return kind;
    return 0;
}
}  // namespace

void P::Rings(Call& call) {
    if (call.n >= 1) call.display.SetRingCenterToPoint(ToUpper(call.words[1]));
}

void P::ShowItems(Call& call) {
    if (call.n >= 1) call.display.ShowItems(call.rest, ItemKindOf(call.command), false);
}

void P::Diagrams(Call& call) {
    if (call.n >= 1) call.display.ShowDiagrams(call.rest);
}

void P::HideItems(Call& call) { call.display.HideItems(ItemKindOf(call.command)); }

void P::NoDiagrams(Call& call) { call.display.ClearDiagrams(); }

void P::Center(Call& call) {
    if (call.n == 0) return;
    const std::string point = ToUpper(call.words[1]);
    call.display.CenterOnPoint(point);
    if (call.command.back() == '2') call.display.SetRingCenterToPoint(point);
}

void P::Vis(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Must specify fix.");
        return;
    }
    for (int i = 1; i <= std::min(call.n, 4); ++i)
        call.display.SetVisibilityCenterToPoint(i - 1, ToUpper(call.words[i]));
}

void P::VisSlot(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Must specify fix.");
        return;
    }
    call.display.SetVisibilityCenterToPoint(call.command.back() - '1', ToUpper(call.words[1]));
}

void P::NoVis(Call& call) { call.display.ClearVisibilityCenters(true); }

void P::ShowVis(Call& call) { call.display.ShowVisibilityCenters(); }

// --- messages, queries and status ------------------------------------------------------

void P::Wallop(Call& call) {
    if (call.n == 0 || !CheckConnected()) return;
    m_network.SendWallop(call.rest);
    m_shell.AddOwnMessage(call.rest, {}, 5);
}

void P::Broadcast(Call& call) {
    if (call.n == 0 || !CheckConnected()) return;
    m_network.SendBroadcast(call.rest);
    m_shell.AddOwnMessage(call.rest, {}, 4);
}

void P::Info(Call& call) {
    if (call.n == 0 || !CheckConnected()) return;
    const std::string callsign = ToUpper(call.words[1]);
    if (!CheckCallsign(callsign)) return;
    m_network.RequestInfo(callsign);
    m_shell.ShowInfo("Information request sent for callsign: " + callsign);
}

void P::Message(Call& call) {
    if (call.n < 2 || !CheckConnected()) return;
    const std::string& to = call.words[1];
    if (!CheckCallsign(to)) return;
    const std::string text = TextAfterWord(call.rest, to);
    m_network.SendTextMessage(to, text);
    m_shell.AddOwnMessage(text, to, 9);
}

void P::Atis(Call& call) {
    if (!CheckConnected()) return;
    if (call.n == 0) {
        ShowOwnAtis();
        return;
    }
    const std::string callsign = ToUpper(call.words[1]);
    if (!CheckCallsign(callsign)) return;
    m_shell.ShowInfo("ATIS request sent.");
    m_network.RequestATIS(callsign);
}

void P::Copy(Call&) { m_shell.CopyRadioHistory(); }

void P::Log(Call& call) {
    if (call.n != 1) {
        m_shell.ShowError("Must specify filename as a single parameter.");
        return;
    }
    m_shell.SaveRadioLog(call.words[1]);
}

void P::Break(Call&) {
    if (CheckConnected()) m_network.SetBreakRequest(true);
}

void P::NoBreak(Call&) {
    if (CheckConnected()) m_network.SetBreakRequest(false);
}

void P::Busy(Call& call) {
    m_network.SetRejectPrivate(true, call.n == 0 ? std::string(kBusyText) : call.rest);
}

void P::BusyAll(Call& call) {
    m_network.SetRejectAllPrivate(call.n == 0 ? std::string(kBusyText) : call.rest);
}

void P::NoBusy(Call&) { m_network.SetRejectPrivate(false, {}); }

void P::SetAtis(Call& call) {
    if (call.n == 0) return;
    m_profile.SetString("ATIS", call.rest);
    m_profile.SetModified(true);
    m_shell.ShowInfo("Your ATIS has been updated.");
}

void P::Silence(Call&) {
    if (m_traffic.IsAlertSoundPlaying()) m_traffic.StopAlertSound();
}

void P::OpenUrl(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Must specify URL.");
        return;
    }
    const std::string& url = call.words[1];
    const std::string lower = ToLower(url);
    if (lower.rfind("http://", 0) != 0 && lower.rfind("https://", 0) != 0) {
        m_shell.ShowError("Only http and https addresses can be opened.");
        return;
    }
    if (!m_shell.OpenUrl(url)) m_shell.ShowError("Could not open " + url);
}

void P::NoMessages(Call&) { m_shell.ClearMessageWaiting(); }

void P::ReloadAliases(Call&) {
    if (!m_services.text) return;
    const std::string file = m_profile.GetString("AliasFile");
    if (!m_services.text->LoadAliases(file)) {
        m_shell.ShowError("Error loading alias file!");
        return;
    }
    m_shell.ShowInfo("Alias file " + file + " reloaded.");
}

void P::ReloadPof(Call&) {
    if (!m_traffic.ReloadPositionFile()) {
        m_shell.ShowError("Error loading position file!");
        return;
    }
    m_shell.ShowInfo("Position file " + m_profile.GetString("POFFile") + " reloaded.");
}

void P::Cascade(Call&) {
    m_shell.CascadeWindows();
    if (m_services.chat) m_services.chat->CascadeWindows();
}

void P::RangeBearing(Call& call) {
    if (call.n < 2) {
        m_shell.ShowError("Specify two points or one point and select an aircraft.");
        return;
    }
    call.display.ShowRangeBearing(ToUpper(call.words[1]), ToUpper(call.words[2]));
}

void P::ShowName(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Must specify callsign.");
        return;
    }
    const std::string callsign = ToUpper(call.words[1]);
    std::string name;
    if (m_traffic.HasAircraft(callsign))
        name = m_traffic.GetPilotRealName(callsign);
    else if (m_traffic.HasController(callsign))
        name = m_traffic.GetControllerRealName(callsign);
    if (name.empty())
        m_shell.ShowInfo("Name not found.");
    else
        m_shell.ShowInfo("Real name for " + callsign + ": " + name);
}

void P::Kill(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Not enough parameters.");
        return;
    }
    const std::string callsign = ToUpper(call.words[1]);
    if (!CheckCallsign(callsign)) return;
    const std::string reason = call.n >= 2 ? TextAfterWord(call.rest, call.words[1]) : std::string();
    m_network.SendKill(callsign, reason);
}

void P::SeeAll(Call&) { m_shell.ToggleSeeAll(); }

void P::Help(Call& call) { m_network.SetHelpRequest(true, call.n == 0 ? std::string() : call.rest); }

void P::NoHelp(Call&) { m_network.SetHelpRequest(false, {}); }

void P::LogoffTime(Call& call) {
    if (call.n == 0) {
        NoLogoffTime(call);
        return;
    }
    const std::string time = ReplaceAll(call.words[1], ":", "");
    m_network.SetLogoffTime(time);
    m_shell.ShowInfo("Your logoff time is now set to: " + time);
}

void P::NoLogoffTime(Call&) {
    m_network.SetLogoffTime({});
    m_shell.ShowInfo("Your logoff time has been cleared.");
}

void P::Version(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Must specify callsign.");
        return;
    }
    // The network sends the query only for a supervisor and only while
    // connected; saying "sent" otherwise would be a false report.
    if (!IsSupervisor()) {
        m_shell.ShowError("Command restricted to supervisors and admins.");
        return;
    }
    if (!CheckConnected()) return;
    const std::string callsign = ToUpper(call.words[1]);
    if (!CheckCallsign(callsign)) return;
    m_network.RequestClientVersion(callsign);
    m_shell.ShowInfo("Version request sent to " + callsign + ".");
}

void P::Ping(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Must specify callsign.");
        return;
    }
    const std::string callsign = ToUpper(call.words[1]);
    if (!CheckCallsign(callsign)) return;
    m_network.SendPing(callsign);
    m_shell.ShowInfo("Ping sent to " + callsign + ".");
}

void P::FrequencyQuery(Call& call) {
    if (call.n != 1) {
        m_shell.ShowError("Must specify a single callsign.");
        return;
    }
    const std::string callsign = ToUpper(call.words[1]);
    if (!CheckCallsign(callsign)) return;
    m_network.RequestFrequency(callsign);
    m_shell.ShowInfo("Frequency request sent.");
}

void P::FindAircraft(Call& call) {
    if (call.n == 0) return;
    const std::string callsign = ToUpper(call.words[1]);
    if (!CheckCallsign(callsign)) return;
    m_network.SetPendingFindCallsign(callsign);
    m_network.RequestInfo(callsign);
    m_network.SendTextMessage("SERVER", "IP " + callsign);
    m_shell.ShowInfo("Searching for callsign: " + callsign);
}

void P::AircraftInfo(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Must specify aircraft callsign.");
        return;
    }
    m_traffic.ShowAircraftInfo(ToUpper(call.words[1]), true);
}

void P::TypeInfo(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Must specify aircraft type code.");
        return;
    }
    m_traffic.ShowAircraftInfo(ToUpper(call.words[1]), false);
}

void P::ModelInfo(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Must specify callsign.");
        return;
    }
    m_traffic.ShowModelInfo(ToUpper(call.words[1]));
}

void P::ScratchpadPresets(Call& call) {
    std::vector<std::string> words;
    if (call.n > 0) SplitString(call.rest, words, 0, " ");
    m_profile.SetListSetting("ScratchpadPresets", words);
    m_shell.ShowInfo(call.n == 0 ? "Your scratchpad presets have been cleared."
                                 : "Your scratchpad presets have been updated.");
    m_profile.SetModified(true);
}

// --- land lines -----------------------------------------------------------------------

void P::Override(Call& call) {
    if (call.n == 0 || !m_services.landLines) return;
    if (!m_network.IsValidATC()) {
        m_shell.ShowError("Must be an active controller to initiate ground-to-ground calls.");
        return;
    }
    const std::string callsign = ResolvePosition(call.words[1]);
    if (callsign.empty()) {
        m_shell.ShowError("Controller not found.");
        return;
    }
    if (call.command == ".ov")
        m_services.landLines->OpenOverride(callsign);
    else
        m_services.landLines->OpenIntercom(callsign);
}

void P::Intercom(Call& call) { Override(call); }

void P::Accept(Call&) {
    if (m_services.landLines) m_services.landLines->AcceptLandLine();
}

void P::Hold(Call&) {
    if (m_services.landLines) m_services.landLines->ToggleLandLine();
}

void P::Monitor(Call& call) {
    if (call.n == 0 || !m_services.landLines) return;
    const std::string word = ToUpper(call.words[1]);
    const std::string target =
        m_traffic.HasController(word) ? word : m_traffic.GetCallsignForPositionId(word);
    if (target.empty()) {
        m_shell.ShowError("Controller not found.");
        return;
    }
    m_services.landLines->StartMonitor(target);
}

void P::Release(Call&) {
    if (m_services.landLines) m_services.landLines->StopLandLine();
}

// --- aircraft and strips -------------------------------------------------------------

void P::Amend(Call& call) {
    if (call.n < 2) {
        m_shell.ShowError("Not enough parameters.");
        return;
    }
    if (ToUpper(call.words[1]) != "RTE") {
        m_shell.ShowError("Amendment command not supported. Please use flight strip window.");
        return;
    }
    const std::string callsign = m_shell.GetEditorCallsign();
    if (callsign.empty()) {
        m_shell.ShowError("No flight plan selected.");
        return;
    }
    m_traffic.AmendRoute(callsign, TextAfterWord(call.rest, call.words[1]));
}

void P::Transfer(Call& call) {
    if (call.n != 1) return;
    const std::string position = ToUpper(call.words[1]);
    const std::string callsign = m_traffic.GetCallsignForPositionId(position);
    if (callsign.empty()) {
        m_shell.ShowError("Controller not found.");
        return;
    }
    m_traffic.HandoffToPositionId(position);
    m_shell.ShowControllerInfo(callsign);
}

void P::Anchor(Call& call) {
    if (call.n == 1) {
        m_shell.RemoveAnchorsAll(ResolveAircraft(call.words[1]));
    } else if (call.n == 2) {
        const std::string point = ToUpper(call.words[1]);
        const std::string aircraft = ResolveAircraft(call.words[2]);
        ScopePoint position;
        if (!call.display.FindNamedPoint(point, position)) {
            m_shell.ShowError("Point not found.");
            return;
        }
        call.display.AddAnchor(aircraft, point, position);
    } else {
        m_shell.ShowError("Must specify a callsign or use <ASEL>.");
    }
}

void P::NoAnchors(Call&) { m_shell.RemoveAnchorsAll({}); }

void P::Strip(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Must specify callsign.");
        return;
    }
    if (m_services.strips) m_services.strips->AddStripForAircraft(ToUpper(call.words[1]));
}

void P::Separator(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Must specify at least one separator label.");
        return;
    }
    if (m_services.strips) m_services.strips->AddSeparator(call.rest, 0);
}

void P::NoStrips(Call&) {
    if (m_services.strips) m_services.strips->ClearStrips();
}

void P::DeleteStrip(Call& call) {
    if (call.n != 1) {
        m_shell.ShowError("Must specify a single callsign.");
        return;
    }
    if (m_services.strips && !m_services.strips->RemoveStrip(ToUpper(call.words[1])))
        m_shell.ShowError("Flight strip not found for specified callsign.");
}

void P::Owner(Call& call) {
    if (call.n != 1) {
        m_shell.ShowError("Must specify a single callsign.");
        return;
    }
    const std::string callsign = ToUpper(call.words[1]);
    if (!m_traffic.HasAircraft(callsign)) {
        m_shell.ShowError("Aircraft not found.");
        return;
    }
    const std::string owner = m_traffic.GetTrackingController(callsign);
    if (owner.empty())
        m_shell.ShowInfo(callsign + " is not owned by any known controller.");
    else
        m_shell.ShowInfo(callsign + " is owned by " + owner + ".");
}

void P::ShowStats(Call&) { m_traffic.ShowStatistics(); }

void P::ResetStats(Call&) {
    m_traffic.ResetStatistics();
    m_shell.ShowInfo("Statistics counters reset.");
}

void P::DeleteTarget(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Must specify aircraft callsign.");
        return;
    }
    const std::string callsign = ToUpper(call.words[1]);
    if (!m_traffic.HasAircraft(callsign)) {
        m_shell.ShowError("Aircraft not found.");
        return;
    }
    m_traffic.RemoveAircraft(callsign, true);
    if (m_traffic.HasAircraft(callsign))
        m_shell.ShowError("Target not deleted: you are tracking " + callsign + ".");
    else
        m_shell.ShowInfo("Target deleted.");
}

// --- scope tools and 3-D view ------------------------------------------------------------

void P::Find(Call& call) {
    if (call.n >= 1) call.display.FindPoint(ToUpper(call.words[1]));
}

void P::Declutter(Call& call) { call.display.Declutter(); }
void P::SepRings(Call& call) { call.display.ToggleSepRings(); }
void P::Filters(Call& call) { call.display.ToggleFilters(); }
void P::Quicklook(Call& call) { call.display.ToggleQuicklook(); }
void P::NoRings(Call& call) { call.display.SetRingCenterToPoint({}); }
void P::ReloadSector(Call& call) { call.display.ReloadSectorFile(); }
void P::NoSepLinks(Call& call) { call.display.ClearSeparationLinks(); }
void P::NoStickies(Call& call) { call.display.ClearNotes(); }

void P::CameraAltitude(Call& call) {
    if (call.n != 1) {
        m_shell.ShowError("Must specify an altitude in feet.");
        return;
    }
    call.display.SetCameraAltitudeFeet(ReadNumber(call.words[1]));
}

void P::TerrainAltitude(Call& call) {
    if (call.n != 1) {
        m_shell.ShowError("Must specify an altitude in feet.");
        return;
    }
    call.display.SetMinCameraAltitude(ReadNumber(call.words[1]));
}

void P::CameraCenter(Call& call) {
    if (call.n >= 1) call.display.SetCameraToPoint(ToUpper(call.words[1]));
}

void P::SpotView(Call& call) {
    if (call.n >= 1)
        call.display.SetCameraToAircraft(ToUpper(call.words[1]), true);
    else
        call.display.SetCameraToAircraft({}, false);
}

void P::LockView(Call& call) {
    if (call.n >= 1)
        call.display.SetCameraToAircraft(ToUpper(call.words[1]), false);
    else
        call.display.SetCameraToAircraft({}, false);
}

void P::ShowLocation(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Must specify controller's callsign.");
        return;
    }
    const std::string callsign = ToUpper(call.words[1]);
    ScopePoint position;
    int range = 0;
    if (!m_traffic.GetControllerLocation(callsign, position, range)) {
        m_shell.ShowError("Controller not found.");
        return;
    }
    call.display.ShowLocation(callsign, position, range);
}

void P::SepLink(Call& call) {
    if (call.n < 2) {
        m_shell.ShowError("Not enough parameters.");
        return;
    }
    if (!call.display.AddSeparationLink(ToUpper(call.words[1]), ToUpper(call.words[2])))
        m_shell.ShowError("Aircraft not found.");
}

void P::Sticky(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("No text entered.");
        return;
    }
    call.display.AddNoteAtCenter(call.rest);
}

void P::VisRange(Call& call) {
    if (call.n == 0) {
        m_shell.ShowError("Must specify range in nautical miles.");
        return;
    }
    const int value = ReadNumber(call.words[1]);
    if (value < 5 || value > 600) {
        m_shell.ShowError("Invalid range. Must be between 5 and 600.");
        return;
    }
    m_profile.SetInt("VisRange", value);
    m_profile.SetModified(true);
    m_shell.ShowInfo("Your visibility range is now " + std::to_string(value) + " NM.");
    call.display.ShowVisibilityCenters();
}
