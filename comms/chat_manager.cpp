// Tested by tests/comms/chat_manager_test.cpp.
#include "comms/chat_manager.h"

#include <algorithm>
#include <cstdio>

#include "comms/chat_window.h"
#include "foundation/text_helpers.h"
#include "foundation/user_registry.h"
#include "platform/clock.h"

namespace {

// atoi's reading: leading blanks, a sign, digits; 0 without digits.
int64_t ReadInteger(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > (INT64_MAX - 9) / 10) break;
        value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

int ReadInt(const std::string& text) {
    const int64_t value = ReadInteger(text);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int>(value);
}

bool IsGroupName(const std::string& name) { return !name.empty() && name[0] == ':'; }

// A name the store can keep as a value name: no line breaks or control
// characters, nothing the file would read as a section, comment or "=".
bool IsStorableName(const std::string& name) {
    if (name.empty() || name.size() > 254 || name[0] == '[' || name[0] == ';' || name[0] == '#') return false;
    if (name.front() == ' ' || name.back() == ' ') return false;
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F || c == '=') return false;
    }
    return true;
}

// The sender as the incoming chat log shows an implausible one.
std::string Printable(const std::string& sender) {
    if (sender.empty()) return "?";
    const size_t shown = std::min(sender.size(), kMaxChatCallsign);
    std::string out(shown + (sender.size() > shown ? 3 : 0), '.');
    for (size_t i = 0; i < shown; ++i) {
        const unsigned char c = static_cast<unsigned char>(sender[i]);
        out[i] = (c < 0x20 || c == 0x7F) ? '?' : sender[i];
    }
    return out;
}

}  // namespace

std::optional<ChatWindowPlacement> ParseChatWindowPlacement(const std::string& value) {
    std::vector<std::string> fields;
    SplitString(value, fields, 0, ",");
    if (fields.size() != 5) return std::nullopt;
    ChatWindowPlacement p;
    p.savedAt = ReadInteger(fields[0]);
    p.x = ReadInt(fields[1]);
    p.y = ReadInt(fields[2]);
    p.width = ReadInt(fields[3]);
    p.height = ReadInt(fields[4]);
    return p;
}

std::string FormatChatWindowPlacement(const ChatWindowPlacement& p) {
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%lld,%d,%d,%d,%d", static_cast<long long>(p.savedAt), p.x, p.y,
                  p.width, p.height);
    return buffer;
}

bool IsPlausibleCallsign(const std::string& callsign) {
    if (callsign.empty() || callsign.size() > kMaxChatCallsign) return false;
    for (unsigned char c : callsign) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                        c == '_' || c == '-';
        if (!ok) return false;
    }
    return true;
}

TarqChatManager::TarqChatManager(ChatHost& host, ChatCommandForwarder& forwarder, TarqUserRegistry* registry,
                                 const Clock& clock)
    : m_host(host), m_forwarder(forwarder), m_registry(registry), m_clock(clock) {
    ExpirePlacements();
}

TarqChatManager::~TarqChatManager() {
    // The session's close has normally emptied the maps; whatever is left
    // would otherwise outlive its owner.
    DeleteClosedWindows();
    for (auto* map : {&m_groups, &m_private}) {
        for (auto& [name, window] : *map) delete window;
        map->clear();
    }
}

std::string TarqChatManager::UtcTime() const { return FormatUtcClock(m_clock); }

std::map<std::string, TarqChatWindow*>& TarqChatManager::MapOf(const std::string& name) {
    return IsGroupName(name) ? m_groups : m_private;
}

TarqChatWindow* TarqChatManager::FindWindow(const std::string& name) const {
    const auto& map = IsGroupName(name) ? m_groups : m_private;
    auto it = map.find(name);
    return it == map.end() ? nullptr : it->second;
}

void TarqChatManager::OpenChatWindow(const std::string& name, const std::string& members, bool show) {
    DeleteClosedWindows();
    if (name.empty()) return;
    const bool group = IsGroupName(name);
    TarqChatWindow* window = FindWindow(name);
    if (window) {
        if (show) {
            window->Show();
            window->Activate();
            window->ScrollToEnd();
        }
    } else {
        int defaultX = 15, defaultY = 15;
        int mx, my;
        if (m_host.GetMainWindowCorner(&mx, &my)) defaultX = mx, defaultY = my;
        int x = defaultX, y = defaultY;
        int width = kDefaultWidth;
        int height = group ? kGroupHeight : kPrivateHeight;
        if (std::optional<ChatWindowPlacement> saved = LoadPlacement(name)) {
            x = saved->x;
            y = saved->y;
            width = saved->width;
            height = saved->height;
        }
        if (!m_host.IsPointOnMonitor(x + 15, y + 15)) x = defaultX, y = defaultY;
        window = new TarqChatWindow(*this, m_host, m_forwarder, name, x, y, width, height, show);
        MapOf(name)[name] = window;
        if (show) SetLastActiveWindow(window, name);
        if (group)
            m_host.AddChatGroup(name);
        else if (show)
            m_host.ClearUnreadFlag(name);
    }
    if (group && !members.empty()) window->ChangeGroupMembers(members, true);
}

void TarqChatManager::RemoveWindow(const std::string& name) {
    SavePlacement(name);
    MapOf(name).erase(name);
    if (name == m_lastActiveName) {
        m_lastActiveName.clear();
        m_lastActive = nullptr;
    }
    m_host.RemoveChatPartner(name);
}

void TarqChatManager::CloseAllWindows() {
    DeleteClosedWindows();
    // A command typed in a chat window may close the session: the windows go
    // after the event, like one closed by ".x".
    bool closed = false;
    for (auto* map : {&m_groups, &m_private}) {
        for (auto& [name, window] : *map) {
            SavePlacement(name);
            window->Retire();
            m_closed.push_back(window);
            closed = true;
        }
        map->clear();
    }
    if (closed) m_host.PostLater([this] { DeleteClosedWindows(); });
    m_queued.clear();
    m_lastActive = nullptr;
    m_lastActiveName.clear();
}

void TarqChatManager::DeleteLater(TarqChatWindow* window) {
    m_closed.push_back(window);
    m_host.PostLater([this] { DeleteClosedWindows(); });
}

void TarqChatManager::DeleteClosedWindows() {
    std::vector<TarqChatWindow*> closed;
    closed.swap(m_closed);
    for (TarqChatWindow* window : closed) delete window;
}

void TarqChatManager::OnIncomingMessage(std::string sender, const std::string& text) {
    DeleteClosedWindows();
    sender = ToUpper(std::move(sender));
    if (sender == "SERVER") {
        m_host.ShowServerMessage(text);
        return;
    }
    const bool flash = m_host.GetBool("FlashOnNewChat");
    TarqChatWindow* log = FindWindow(TarqChatWindow::kIncomingChatLog);
    // A sender that cannot be a callsign names no window, no queue entry and
    // no unread mark: the incoming chat log shows it, and that is all.
    if (!IsPlausibleCallsign(sender)) {
        if (log) {
            log->AddMessage(Printable(sender), text);
            if (flash && !log->IsForeground()) log->Flash(true);
        }
        m_host.PlaySound("SoundChatMsg", false);
        return;
    }
    bool delivered = false;
    if (TarqChatWindow* window = FindWindow(sender)) {
        delivered = true;
        window->AddMessage(sender, text);
        if (!window->IsForeground()) {
            m_host.SetUnreadFlag(sender);
            if (flash) window->Flash(true);
        }
    }
    for (auto& [name, window] : m_groups) {
        if (!window->IsMember(sender)) continue;
        delivered = true;
        window->AddMessage(sender, text);
        if (!window->IsForeground()) {
            m_host.SetUnreadFlag(name);
            if (flash) window->Flash(true);
        }
    }
    if (!delivered) {
        m_queued[sender].push_back({UtcTime(), text});
        m_host.SetUnreadFlag(sender);
    }
    if (log) {
        log->AddMessage(sender, text);
        if (flash && !log->IsForeground()) log->Flash(true);
    }
    if (text.compare(0, 3, "***") == 0 && m_host.IsKnownController(sender)) {
        m_host.ShowOverrideMessage(sender, text.substr(3));
        m_host.PlaySound("SoundATCMsg", true);
    } else {
        m_host.PlaySound("SoundChatMsg", false);
    }
}

std::vector<QueuedChatMessage> TarqChatManager::TakeQueuedMessages(const std::string& callsign) {
    auto it = m_queued.find(callsign);
    if (it == m_queued.end()) return {};
    std::vector<QueuedChatMessage> messages = std::move(it->second);
    m_queued.erase(it);
    m_host.ClearUnreadFlag(callsign);
    return messages;
}

bool TarqChatManager::HasQueuedMessages(const std::string& callsign) const {
    return m_queued.count(callsign) != 0;
}

bool TarqChatManager::HasPrivateChatWindow(const std::string& name) const {
    return m_private.count(name) != 0;
}

bool TarqChatManager::IsMemberOfActiveGroup(const std::string& callsign) const {
    if (callsign == m_lastActiveName) return true;
    if (IsGroupName(callsign)) return false;
    if (!IsGroupName(m_lastActiveName)) return false;
    TarqChatWindow* group = FindWindow(m_lastActiveName);
    return group && group->IsMember(callsign);
}

void TarqChatManager::AddToGroup(const std::string& group, const std::string& callsign) {
    if (TarqChatWindow* window = FindWindow(":" + group)) window->ChangeGroupMembers(callsign, true);
}

std::vector<std::string> TarqChatManager::GetGroupNames() const {
    std::vector<std::string> names;
    for (const auto& [name, window] : m_groups) names.push_back(name.substr(1));
    return names;
}

void TarqChatManager::RefreshWindowTitle(const std::string& callsign) {
    auto it = m_private.find(callsign);
    if (it != m_private.end()) it->second->UpdateTitle();
}

void TarqChatManager::RefreshGroupMemberLists() {
    for (auto& [name, window] : m_groups) window->RefreshMemberList();
}

void TarqChatManager::CascadeWindows() {
    int k = 1;
    for (auto* map : {&m_groups, &m_private}) {
        for (auto& [name, window] : *map) {
            window->Move(50 * k, 50 * k);
            ++k;
        }
    }
}

void TarqChatManager::ShowIncomingChatLog() {
    TarqChatWindow* log = FindWindow(TarqChatWindow::kIncomingChatLog);
    if (!log) return;
    log->ToggleVisible();
    log->ScrollToEnd();
}

bool TarqChatManager::IsIncomingChatLogOpen() const {
    TarqChatWindow* log = FindWindow(TarqChatWindow::kIncomingChatLog);
    return log && log->IsVisible();
}

void TarqChatManager::SetLastActiveWindow(TarqChatWindow* window, const std::string& name) {
    m_lastActive = window;
    m_lastActiveName = name;
}

void TarqChatManager::ActivateLastChatWindow() {
    if (m_lastActive) m_lastActive->Activate();
}

std::optional<ChatWindowPlacement> TarqChatManager::LoadPlacement(const std::string& name) const {
    if (!m_registry || !IsStorableName(name)) return std::nullopt;
    const std::string value = m_registry->GetString(kPlacementKey, name, "");
    if (value.empty()) return std::nullopt;
    return ParseChatWindowPlacement(value);
}

void TarqChatManager::SavePlacement(const std::string& name) {
    TarqChatWindow* window = FindWindow(name);
    if (!window || !m_registry || !IsStorableName(name)) return;
    ScreenRect rect;
    window->GetRect(&rect);
    ChatWindowPlacement p{static_cast<int64_t>(m_clock.WallSeconds()), rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top};
    m_registry->SetString(kPlacementKey, name, FormatChatWindowPlacement(p));
}

void TarqChatManager::ExpirePlacements() {
    if (!m_registry) return;
    const int64_t now = static_cast<int64_t>(m_clock.WallSeconds());
    std::vector<std::string> expired;
    for (const auto& [name, value] : m_registry->GetValues(kPlacementKey)) {
        if (name == TarqChatWindow::kIncomingChatLog || value.empty()) continue;
        std::optional<ChatWindowPlacement> p = ParseChatWindowPlacement(value);
        if (p && now - p->savedAt > kPlacementLifetime) expired.push_back(name);
    }
    if (!expired.empty()) m_registry->DeleteValues(kPlacementKey, expired);
}
