// Tested by tests/comms/chat_window_test.cpp.
#include "comms/chat_window.h"

#include "comms/chat_manager.h"
#include "foundation/text_helpers.h"

ChatLayout ComputeChatLayout(bool incomingLog, bool group, int width, int height, int inputHeight,
                             int memberListWidth) {
    ChatLayout layout;
    const int h = incomingLog ? 0 : inputHeight;
    if (!incomingLog) layout.input = {3, height - h - 3, width - 6, h};
    if (group) {
        layout.members = {width - memberListWidth - 3, 3, memberListWidth, height - h - 9};
        layout.log = {3, 3, width - 9 - memberListWidth, height - h - 6};
    } else {
        layout.log = {3, 3, width - 6, height - h - 6};
    }
    return layout;
}

// --- the window ------------------------------------------------------------------

TarqChatWindow::TarqChatWindow(TarqChatManager& manager, ChatHost& host, ChatCommandForwarder& forwarder,
                               std::string name, int x, int y, int width, int height, bool show)
    : m_manager(manager), m_host(host), m_forwarder(forwarder), m_name(std::move(name)) {
    m_group = !m_name.empty() && m_name[0] == ':';
    m_view = m_host.CreateView(*this, x, y, width, height);
    UpdateTitle();
    RefreshMemberList();
    Relayout();
    if (!show) return;
    Show();
    if (!m_group) {
        for (const QueuedChatMessage& m : m_manager.TakeQueuedMessages(m_name)) {
            const std::string line = m_name + ": " + m.text;
            AppendToLog(m_host.GetBool("ShowTimestamps") ? "[" + m.time + "] " + line : line);
        }
    }
    ClearUnreadFlags();
}

TarqChatWindow::~TarqChatWindow() {
    // The view's window goes first; it may still tell the base about itself.
    m_view.reset();
    AttachFrame(nullptr);
}

void TarqChatWindow::Relayout() {
    if (!m_view || IsCollapsed()) return;
    int width = 0, height = 0;
    m_view->GetClientSize(&width, &height);
    const ChatLayout layout = ComputeChatLayout(IsIncomingLog(), m_group, width, height,
                                                m_view->GetInputHeight(), m_view->GetMemberListWidth());
    if (!IsIncomingLog())
        m_view->PlaceInput(layout.input.x, layout.input.y, layout.input.width, layout.input.height);
    if (m_group)
        m_view->PlaceMemberList(layout.members.x, layout.members.y, layout.members.width,
                                layout.members.height);
    m_view->PlaceLog(layout.log.x, layout.log.y, layout.log.width, layout.log.height);
}

void TarqChatWindow::UpdateTitle() {
    if (m_group) {
        m_caption = "Group Chat: " + m_name.substr(1);
    } else {
        m_members[m_name] = true;
        m_caption = IsIncomingLog() ? m_name : "Private Chat: " + m_name;
        std::string realName;
        if (m_host.GetControllerRealName(m_name, realName) || m_host.GetPilotRealName(m_name, realName))
            m_caption += " (" + realName + ")";
    }
    if (m_view) m_view->SetCaption(m_caption);
}

std::string TarqChatWindow::Stamp() const {
    return m_host.GetBool("ShowTimestamps") ? "[" + m_manager.UtcTime() + "] " : std::string();
}

void TarqChatWindow::AddMessage(const std::string& sender, const std::string& text) {
    AppendToLog(Stamp() + sender + ": " + text);
}

std::string TarqChatWindow::GetLogText() const {
    std::string text = m_trimmed ? std::string(kTrimmedNote) : std::string();
    for (const std::string& line : m_lines) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

void TarqChatWindow::AppendToLog(const std::string& text) {
    const bool first = m_lines.empty() && !m_trimmed;
    m_lines.push_back(text);
    if (m_lines.size() > kMaxLogLines) {
        // A long session's box would grow without end and slow every append.
        m_lines.erase(m_lines.begin(), m_lines.begin() + (m_lines.size() - (kMaxLogLines - kTrimChunk)));
        m_trimmed = true;
        if (m_view) m_view->SetLogText(GetLogText());
        return;
    }
    if (m_view) m_view->AppendLogText(first ? text : "\r\n" + text);
}

void TarqChatWindow::ScrollToEnd() {
    if (m_view) m_view->ScrollLogToEnd();
}

void TarqChatWindow::ChangeGroupMembers(const std::string& list, bool add) {
    if (!m_group) return;
    std::vector<std::string> words;
    SplitString(ToUpper(list), words, 0, " ");
    for (const std::string& word : words) {
        std::string callsign = word;
        if (word.size() <= 2) {
            callsign = m_host.GetCallsignForPositionId(word);
            if (callsign.empty()) continue;
        }
        if (!add) {
            m_members.erase(callsign);
            continue;
        }
        m_members[callsign] = true;
        const std::vector<QueuedChatMessage> queued = m_manager.TakeQueuedMessages(callsign);
        if (queued.empty()) continue;
        AppendToLog("--- Queued messages for " + callsign + ": ---");
        for (const QueuedChatMessage& m : queued) {
            const std::string line = callsign + ": " + m.text;
            AppendToLog(m_host.GetBool("ShowTimestamps") ? "[" + m.time + "] " + line : line);
        }
        AppendToLog("--- End of queued messages ---");
    }
    RefreshMemberList();
    m_host.RebuildControllerList();
}

bool TarqChatWindow::IsMember(const std::string& callsign) const {
    auto it = m_members.find(callsign);
    return it != m_members.end() && it->second;
}

std::vector<std::string> TarqChatWindow::GetMembers() const {
    std::vector<std::string> members;
    for (const auto& [callsign, in] : m_members)
        if (in) members.push_back(callsign);
    return members;
}

void TarqChatWindow::RefreshMemberList() {
    if (m_view && m_group) m_view->SetMembers(GetMembers());
}

bool TarqChatWindow::IsForeground() const { return m_view && m_view->IsForeground(); }

void TarqChatWindow::Flash(bool on) {
    m_flashing = on;
    if (m_view) m_view->Flash(on);
}

void TarqChatWindow::ClearUnreadFlags() {
    m_host.ClearUnreadFlag(m_name);
    if (!m_group) return;
    for (const std::string& member : GetMembers()) m_host.ClearUnreadFlag(member);
}

void TarqChatWindow::CopyLog(bool selectionOnly) {
    if (!m_view) return;
    const std::string text = selectionOnly ? m_view->GetLogSelection() : GetLogText();
    if (!text.empty()) m_view->CopyToClipboard(text);
}

void TarqChatWindow::SaveLog(const std::string& path) {
    if (m_lines.empty() && !m_trimmed) {
        m_host.ShowError("No history to save!");
        return;
    }
    if (!WriteStringToFile(path, GetLogText())) {
        m_host.ShowError("Error saving chat log to specified file.");
        return;
    }
    m_host.ShowMessage("Chat log saved.");
}

bool TarqChatWindow::CheckConnected() {
    if (m_host.IsConnected()) return true;
    m_host.ShowError("Not connected.");
    return false;
}

void TarqChatWindow::SetInputText(const std::string& text) {
    if (m_view) m_view->SetInputText(text);
}

void TarqChatWindow::FocusInput() {
    if (m_view) m_view->FocusInput();
}

bool TarqChatWindow::OnInputKey(ChatKey key) {
    if (m_closing) return true;
    switch (key) {
        case ChatKey::Enter: {
            std::string text = m_view ? m_view->GetInputText() : std::string();
            if (text.size() > kMaxInputLength) text.resize(kMaxInputLength);
            if (text.empty()) return true;
            ProcessCommandLine(text, true, true);
            // ".x" closed the window: it is deleted later, and left alone now.
            if (!m_closing) SetInputText("");
            return true;
        }
        case ChatKey::Escape:
            if (m_view && !m_view->GetInputText().empty())
                SetInputText("");
            else
                Hide();
            return true;
        case ChatKey::Tab:
            m_host.ActivateMainDisplay();
            return true;
        case ChatKey::Up:
            SetInputText(m_history.Previous(m_view ? m_view->GetInputText() : std::string()));
            return true;
        case ChatKey::Down:
            SetInputText(m_history.Next(m_view ? m_view->GetInputText() : std::string()));
            return true;
        case ChatKey::PageUp:
            if (m_view) m_view->ScrollLogPage(-1);
            return true;
        case ChatKey::PageDown:
            if (m_view) m_view->ScrollLogPage(1);
            return true;
        case ChatKey::Other:
            return false;
    }
    return false;
}

bool TarqChatWindow::SwallowsChar(int character) {
    return character == 13 || character == 27 || character == 9;
}

void TarqChatWindow::OnActivated() {
    if (m_closing) return;
    if (IsIncomingLog()) {
        if (m_host.GetBool("ChatLogClickClearMsgFlag")) m_host.ClearAllUnreadFlags();
    } else {
        ClearUnreadFlags();
    }
    m_manager.SetLastActiveWindow(this, m_name);
    Flash(false);
    FocusInput();
}

void TarqChatWindow::OnCloseBox() {
    if (m_closing) return;
    if (IsIncomingLog()) {
        Hide();
        m_host.RebuildAllMenus();
        return;
    }
    Close();
}

void TarqChatWindow::Close() {
    m_manager.RemoveWindow(m_name);
    Retire();
    m_manager.DeleteLater(this);
}

void TarqChatWindow::Retire() {
    m_closing = true;
    Hide();
}

void TarqChatWindow::OnLogDoubleClick() {
    if (!m_closing) ProcessCommandLine(".atis", false, false);
}

void TarqChatWindow::OnLogSelectionMade() {
    if (m_closing) return;
    CopyLog(true);
    FocusInput();
}

void TarqChatWindow::OnMemberMenu(int command, const std::string& member) {
    if (m_closing) return;
    if (command == kPrivateChatCommand)
        ProcessCommandLine(".chat " + member, false, false);
    else if (command == kRemoveFromGroupCommand)
        ProcessCommandLine(".r " + member, false, false);
}
