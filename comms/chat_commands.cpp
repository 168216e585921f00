// Tested by tests/comms/chat_commands_test.cpp.
#include "comms/chat_commands.h"

#include <algorithm>

#include "comms/chat_manager.h"
#include "comms/chat_window.h"
#include "foundation/text_helpers.h"

const std::vector<std::string>& ChatForwardedWords() {
    static const std::vector<std::string> words = {
        ".qd",           ".qt",
        ".qx",           ".qz",
        ".ss",           ".qu",
        ".qr",           ".wx",
        ".ow",           ".qq",
        ".qb",           ".qs",
        ".contactme",    ".debug",
        ".group",        ".chat",
        ".rings",        ".ff",
        ".fv",           ".fn",
        ".fa",           ".fc",
        ".fw",           ".nofixes",
        ".novors",       ".nondbs",
        ".noairports",   ".nocenterlines",
        ".noairways",    ".vis",
        ".vis1",         ".vis2",
        ".vis3",         ".vis4",
        ".novis",        ".showvis",
        ".wallop",       ".wall",
        ".msg",          ".ov",
        ".ic",           ".acc",
        ".hold",         ".mon",
        ".rls",          ".break",
        ".nobreak",      ".busy",
        ".busyall",      ".nobusy",
        ".setatis",      ".find",
        ".silence",      ".am",
        ".transfer",     ".declutter",
        ".seprings",     ".filters",
        ".quicklook",    ".openurl",
        ".nomsgs",       ".reloadaliases",
        ".reloadpof",    ".cascade",
        ".rsb",          ".showname",
        ".norings",      ".kill",
        ".seeall",       ".help",
        ".nohelp",       ".logofftime",
        ".nologofftime", ".ver",
        ".ping",         ".an",
        ".noanchors",    ".strip",
        ".sep",          ".nostrips",
        ".delstrip",     ".own",
        ".com?",         ".center",
        ".centre",       ".center2",
        ".info",         ".inf",
        ".showstats",    ".resetstats",
        ".set3dalt",     ".setterrainalt",
        ".set3dcenter",  ".findac",
        ".showloc",      ".spotview",
        ".lockview",     ".deletetarget",
        ".reloadsector", ".seplink",
        ".noseplinks",   ".sticky",
        ".nostickies",   ".nostickys",
        ".acinfo",       ".typeinfo",
        ".splist",       ".visrange",
    };
    return words;
}

bool IsChatForwardedWord(const std::string& lowerWord) {
    const auto& words = ChatForwardedWords();
    return std::find(words.begin(), words.end(), lowerWord) != words.end();
}

void TarqChatWindow::ProcessCommandLine(std::string line, bool allowAliases, bool addToHistory) {
    if (m_closing) return;
    line = ReplaceAll(std::move(line), "  ", " ");
    if (addToHistory) m_history.Add(line);
    if (line.empty()) return;
    if (line[0] == '/') {
        m_forwarder.ForwardCommandLine(line, m_name);
        return;
    }
    if (line[0] == '.') {
        RunCommand(line, allowAliases);
        return;
    }
    SendText(line);
}

void TarqChatWindow::RunCommand(const std::string& line, bool allowAliases) {
    if (line == ".") return;
    std::vector<std::string> words;
    SplitString(line, words, 0, " ");
    if (words.empty()) return;
    const std::string command = ToLower(words[0]);
    const size_t n = words.size() - 1;
    // The line begins with its command word.
    const size_t afterWord = words[0].size() + 1;
    const std::string rest = afterWord < line.size() ? line.substr(afterWord) : std::string();

    if (command == ".a" || command == ".r") {
        if (n > 0) ChangeGroupMembers(ToUpper(rest), command == ".a");
        return;
    }
    if (command == ".x") {
        Close();
        return;
    }
    if (command == ".atis" || command == ".showatis") {
        if (n >= 1) {
            m_forwarder.ForwardCommandLine(line, m_name);
            return;
        }
        if (!CheckConnected()) return;
        // A group or the incoming chat log has no partner to ask.
        if (!m_group && !IsIncomingLog()) m_host.RequestATIS(m_name);
        return;
    }
    if (command == ".copy") {
        CopyLog(false);
        return;
    }
    if (command == ".log") {
        if (n != 1) {
            m_host.ShowError("Must specify filename as a single parameter.");
            return;
        }
        // A bare file name in the data directory: no folder, no way out of it.
        const std::string& file = words[1];
        if (file.find('/') != std::string::npos || file.find('\\') != std::string::npos || file == "." ||
            file == "..") {
            m_host.ShowError("Must specify a file name without a folder.");
            return;
        }
        SaveLog(m_host.GetDataDirectory() + "/" + file);
        return;
    }
    if (IsChatForwardedWord(command)) {
        m_forwarder.ForwardCommandLine(line, m_name);
        return;
    }
    if (!allowAliases) return;
    std::string expanded;
    if (!m_host.ExpandAliases(line, expanded, m_host.GetSelectedCallsign())) {
        m_host.ShowError("Error parsing alias. It may contain an alias loop.");
        expanded.clear();
    }
    if (!expanded.empty()) ProcessCommandLine(expanded, false, false);
}

void TarqChatWindow::SendText(const std::string& line) {
    if (!CheckConnected()) return;
    if (m_group) {
        for (const std::string& member : GetMembers()) m_host.SendTextMessage(member, line);
    } else {
        m_host.SendTextMessage(m_name, line);
    }
    AppendToLog(Stamp() + m_host.GetString("Callsign") + ": " + line);
}
