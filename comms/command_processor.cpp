// The frame of the command line; the handlers are in command_table.cpp.
// Tested by tests/comms/command_processor_test.cpp.
#include "comms/command_processor.h"

#include <algorithm>
#include <string_view>

#include "foundation/profile.h"
#include "foundation/regex_match.h"
#include "foundation/text_helpers.h"

namespace {

// Longest line the command line hands on.
constexpr size_t kMaxTypedLine = 1022;

bool HasLineBreak(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != text.npos;
}

}  // namespace

TarqCommandProcessor::TarqCommandProcessor(const CommandServices& services)
    : m_services(services),
      m_profile(*services.profile),
      m_network(*services.network),
      m_traffic(*services.traffic),
      m_shell(*services.shell) {}

const TarqCommandProcessor::Entry* TarqCommandProcessor::FindCommand(const std::string& word) {
    for (const Entry& entry : kTable)
        if (word == entry.word) return &entry;
    return nullptr;
}

void TarqCommandProcessor::ProcessTypedLine(const std::string& line) {
    CommandDisplay* main = m_shell.GetMainDisplay();
    if (main) ProcessCommandLine(*main, line.substr(0, kMaxTypedLine), true, true);
}

void TarqCommandProcessor::ProcessChatLine(const ChatCommandContext& chat, const std::string& line) {
    CommandDisplay* main = m_shell.GetMainDisplay();
    if (!main) return;
    std::vector<std::string> words;
    SplitString(ReplaceAll(line, "  ", " "), words, 0, " ");
    const std::string command = words.empty() ? std::string() : ToLower(words[0]);
    if ((command == ".atis" || command == ".showatis") && words.size() == 1) {
        if (!CheckConnected()) return;
        // A group or the incoming log has no partner to ask; the own ATIS is
        // what the user can be shown there.
        if (chat.kind == ChatWindowKind::Private && !chat.windowName.empty()) {
            if (CheckCallsign(chat.windowName)) m_network.RequestATIS(chat.windowName);
        } else {
            ShowOwnAtis();
        }
        return;
    }
    ProcessCommandLine(*main, line, false, false);
}

void TarqCommandProcessor::ProcessCommandLine(CommandDisplay& display, std::string line, bool allowAliases,
                                              bool addToHistory) {
    line = ReplaceAll(std::move(line), "  ", " ");
    if (HasLineBreak(line)) {
        // A line break or NUL would end or cut a protocol line.
        m_shell.ShowError("A command cannot hold a line break.");
        return;
    }
    if (addToHistory) m_history.Add(line);

    if (!line.empty() && line[0] == '/') {
        if (!CheckConnected()) return;
        const std::string text = line.substr(1);
        if (m_network.SendFrequencyText(text)) m_shell.AddOwnMessage(text, {}, 3);
        return;
    }
    if (!line.empty() && line[0] == '.') {
        RunDotCommand(display, line, allowAliases);
        return;
    }

    if (!CheckConnected()) return;
    if (!m_network.IsValidATC()) {
        m_shell.ShowError("You must be an active controller to send text radio messages.");
        return;
    }
    if (TrimBlanks(line).empty()) return;
    std::string text = line;
    const std::string selected = m_shell.GetSelectedCallsign();
    if (!selected.empty()) text = selected + ", " + line;
    if (m_network.SendRadioMessage(text))
        m_shell.AddOwnMessage(text, {}, 2);
    else
        m_shell.ShowError("No transmit frequency selected.");
}

void TarqCommandProcessor::RunDotCommand(CommandDisplay& display, const std::string& line,
                                         bool allowAliases) {
    if (line.size() == 1) return;
    Call call{display, {}, {}, 0, {}};
    SplitString(line, call.words, 0, " ");
    if (call.words.empty()) return;
    call.command = ToLower(call.words[0]);
    call.n = static_cast<int>(call.words.size()) - 1;
    // The line begins with its command word.
    const size_t commandEnd = call.words[0].size();
    if (commandEnd + 1 < line.size()) call.rest = line.substr(commandEnd + 1);

    if (call.n >= 1 && RegexMatch(call.words[1], "/\\d+", 3)) {
        std::string digits;
        for (char c : call.words[1])
            if (c != '/') digits += c;
        int number = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') break;
            number = number * 10 + (c - '0');
        }
        CommandDisplay* target = m_shell.GetDisplayById(number);
        if (!target) {
            m_shell.ShowError("Specified display does not exist.");
            return;
        }
        if (call.n >= 2) {
            // The rest begins with the routing word and its blank.
            std::string rest = call.rest.substr(std::min(call.rest.size(), call.words[1].size() + 1));
            ProcessCommandLine(*target, call.words[0] + " " + rest, allowAliases, false);
        } else {
            ProcessCommandLine(*target, call.words[0], allowAliases, false);
        }
        return;
    }

    if (const Entry* entry = FindCommand(call.command)) {
        if (entry->access == Access::Supervisor && !IsSupervisor()) {
            m_shell.ShowError("Command restricted to supervisors and admins.");
            return;
        }
        (this->*entry->handler)(call);
        return;
    }

    if (!allowAliases || !m_services.text) return;
    std::string expanded;
    if (!m_services.text->ExpandAliases(line, expanded, m_shell.GetSelectedCallsign()))
        m_shell.ShowError("Error parsing alias. It may contain an alias loop.");
    if (!expanded.empty()) ProcessCommandLine(display, expanded, false, false);
}

bool TarqCommandProcessor::IsSupervisor() const {
    if (m_profile.GetInt("Rating") >= 11) return true;
    return m_profile.GetString("CID") == kSupervisorCid;
}

std::string TarqCommandProcessor::OwnCallsign() const { return m_profile.GetString("Callsign"); }

bool TarqCommandProcessor::CheckConnected() {
    if (m_network.IsConnected()) return true;
    m_shell.ShowError("Not connected.");
    return false;
}

std::string TarqCommandProcessor::ResolveAircraft(const std::string& word) const {
    return ToUpper(m_traffic.GetCallsignForAircraftNumber(word));
}

std::string TarqCommandProcessor::ResolvePosition(const std::string& word) const {
    return m_traffic.GetCallsignForPositionId(ToUpper(word));
}

bool TarqCommandProcessor::CheckCallsign(const std::string& callsign) {
    if (callsign.find(':') == std::string::npos) return true;
    m_shell.ShowError("Invalid callsign: " + callsign);
    return false;
}

void TarqCommandProcessor::ShowOwnAtis() {
    const std::string atis = m_profile.GetString("ATIS");
    if (atis.empty()) {
        m_shell.ShowError("ATIS is currently empty.");
        return;
    }
    std::vector<std::string> pieces;
    SplitString(atis, pieces, 0, "|");
    for (const std::string& piece : pieces) {
        std::string out;
        if (m_services.text) {
            if (!m_services.text->ExpandAliases(piece, out, m_shell.GetSelectedCallsign()))
                m_shell.ShowError("Error parsing alias within ATIS. It may contain an alias loop.");
        } else {
            out = piece;
        }
        m_shell.ShowInfo("[ATIS] " + out);
    }
}
