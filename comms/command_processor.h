// The command line: normalising, history, display routing, the dot-command
// table (one row per command word), the fall-through to aliases, the ATC
// channel and text radio. It reaches the program only through the
// interfaces of comms/command_services.h.
// Tested by tests/comms/command_processor_test.cpp; fuzzed by
// tests/comms/command_processor_fuzzer.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "comms/command_history.h"
#include "comms/command_services.h"

// The chat window a forwarded line comes from.
enum class ChatWindowKind { Private, Group, IncomingLog };
struct ChatCommandContext {
    std::string windowName;  // the partner's callsign in a private window
    ChatWindowKind kind = ChatWindowKind::Private;
};

class TarqCommandProcessor {
public:
    // One executed dot-command's words.
    struct Call {
        CommandDisplay& display;
        std::vector<std::string> words;  // word 0 is the command as typed
        std::string command;             // word 0 in lower case
        int n = 0;                       // argument words
        std::string rest;                // the line after the command word and one blank
    };
    using Handler = void (TarqCommandProcessor::*)(Call&);
    // Who may run a command word.
    enum class Access { Anyone, Supervisor };
    struct Entry {
        const char* word;
        const char* arguments;  // the forms it takes, for the reader and the tests
        Access access;
        Handler handler;
    };
    static constexpr int kCommandCount = 117;
    static const Entry kTable[kCommandCount];
    // The network's built-in supervisor ID, compared with the profile's "CID".
    static constexpr const char* kSupervisorCid = "614828";

    explicit TarqCommandProcessor(const CommandServices& services);
    virtual ~TarqCommandProcessor() = default;

    // The main display's command history: every display records there.
    TarqCommandHistory& History() { return m_history; }

    // A line typed on, routed to, or issued for `display`.
    void ProcessCommandLine(CommandDisplay& display, std::string line, bool allowAliases, bool addToHistory);
    // Enter on the main display's command line.
    void ProcessTypedLine(const std::string& line);
    // A line a chat window hands on, run on the main display without aliases
    // or history; ".atis" alone acts on the window itself.
    void ProcessChatLine(const ChatCommandContext& chat, const std::string& line);

    // Row of a command word (lower case); null when it is not in the table.
    static const Entry* FindCommand(const std::string& word);

private:
    bool IsSupervisor() const;
    std::string OwnCallsign() const;
    bool CheckConnected();
    // The word as an aircraft: a three-digit aircraft number becomes its
    // callsign; the result upper-cased.
    std::string ResolveAircraft(const std::string& word) const;
    // The controller's callsign for a position identifier; empty when none.
    std::string ResolvePosition(const std::string& word) const;
    // False, with a message, for a callsign that would break a protocol field.
    bool CheckCallsign(const std::string& callsign);
    void ShowOwnAtis();
    void RunDotCommand(CommandDisplay& display, const std::string& line, bool allowAliases);

    // Handlers, in table order.
    void Pointout(Call& call);
    void WeatherToggle(Call& call);
    void Track(Call& call);
    void DropOrHandoff(Call& call);
    void CruiseAltitude(Call& call);
    void FlightPlanOrStrip(Call& call);
    void Route(Call& call);
    void Metar(Call& call);
    void DepartureMetar(Call& call);
    void TemporaryAltitude(Call& call);
    void Squawk(Call& call);
    void Scratchpad(Call& call);
    void ContactMe(Call& call);
    void Debug(Call& call);
    void Group(Call& call);
    void Chat(Call& call);
    void Rings(Call& call);
    void ShowItems(Call& call);
    void Diagrams(Call& call);
    void HideItems(Call& call);
    void NoDiagrams(Call& call);
    void Center(Call& call);
    void Vis(Call& call);
    void VisSlot(Call& call);
    void NoVis(Call& call);
    void ShowVis(Call& call);
    void Wallop(Call& call);
    void Broadcast(Call& call);
    void Info(Call& call);
    void Message(Call& call);
    void Atis(Call& call);
    void Copy(Call& call);
    void Log(Call& call);
    void Override(Call& call);
    void Intercom(Call& call);
    void Accept(Call& call);
    void Hold(Call& call);
    void Monitor(Call& call);
    void Release(Call& call);
    void Break(Call& call);
    void NoBreak(Call& call);
    void Busy(Call& call);
    void BusyAll(Call& call);
    void NoBusy(Call& call);
    void SetAtis(Call& call);
    void Find(Call& call);
    void Silence(Call& call);
    void Amend(Call& call);
    void Transfer(Call& call);
    void Declutter(Call& call);
    void SepRings(Call& call);
    void Filters(Call& call);
    void Quicklook(Call& call);
    void OpenUrl(Call& call);
    void NoMessages(Call& call);
    void ReloadAliases(Call& call);
    void ReloadPof(Call& call);
    void Cascade(Call& call);
    void RangeBearing(Call& call);
    void ShowName(Call& call);
    void NoRings(Call& call);
    void Kill(Call& call);
    void SeeAll(Call& call);
    void Help(Call& call);
    void NoHelp(Call& call);
    void LogoffTime(Call& call);
    void NoLogoffTime(Call& call);
    void Version(Call& call);
    void Ping(Call& call);
    void Anchor(Call& call);
    void NoAnchors(Call& call);
    void Strip(Call& call);
    void Separator(Call& call);
    void NoStrips(Call& call);
    void DeleteStrip(Call& call);
    void Owner(Call& call);
    void FrequencyQuery(Call& call);
    void ShowStats(Call& call);
    void ResetStats(Call& call);
    void CameraAltitude(Call& call);
    void TerrainAltitude(Call& call);
    void CameraCenter(Call& call);
    void FindAircraft(Call& call);
    void ShowLocation(Call& call);
    void SpotView(Call& call);
    void LockView(Call& call);
    void DeleteTarget(Call& call);
    void ReloadSector(Call& call);
    void SepLink(Call& call);
    void NoSepLinks(Call& call);
    void Sticky(Call& call);
    void NoStickies(Call& call);
    void AircraftInfo(Call& call);
    void TypeInfo(Call& call);
    void ScratchpadPresets(Call& call);
    void VisRange(Call& call);
    void ModelInfo(Call& call);

    CommandServices m_services;
    TarqProfile& m_profile;
    CommandNetwork& m_network;
    CommandTraffic& m_traffic;
    CommandShell& m_shell;
    TarqCommandHistory m_history;
};
