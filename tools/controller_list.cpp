#include "tools/controller_list.h"

#include <algorithm>
#include <cstdio>

namespace {

bool EndsWith(const std::string& text, const char* tail) {
    const std::string t(tail);
    return text.size() >= t.size() && text.compare(text.size() - t.size(), t.size(), t) == 0;
}

std::string StripColons(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c != ':') out += c;
    }
    return out;
}

// Land-line states of the voice engine.
constexpr int kCallRinging = 2;
constexpr int kCallPending = 3;
constexpr int kIntercomActive = 4;
constexpr int kPeerOverrides = 5;
constexpr int kOwnOverride = 6;
constexpr int kIntercomHeld = 7;

}  // namespace

ControllerListModel::ControllerListModel(const ControllerListSource& source) : m_source(source) {
    for (int group = 0; group <= kGroupChatGroups; ++group) m_expanded[group] = true;
}

void ControllerListModel::SetUnreadFlag(const std::string& name) {
    m_unread[name] = true;
    RequestRebuild();
}

void ControllerListModel::ClearUnreadFlag(const std::string& name) {
    m_unread[name] = false;
    RequestRebuild();
}

void ControllerListModel::ClearAllUnreadFlags() {
    for (auto& entry : m_unread) entry.second = false;
    RequestRebuild();
}

void ControllerListModel::RemoveChatPartner(const std::string& name) {
    m_unread.erase(name);
    if (!name.empty() && name[0] == ':') {
        auto it = std::find(m_slots.begin(), m_slots.end(), name);
        if (it != m_slots.end()) it->clear();
    }
    RequestRebuild();
}

void ControllerListModel::AddChatGroup(const std::string& name) {
    m_unread[name] = false;
    auto it = std::find(m_slots.begin(), m_slots.end(), std::string());
    if (it != m_slots.end()) *it = name;
    RequestRebuild();
}

std::string ControllerListModel::GetChatGroupName(int slot) const {
    if (slot < 1 || slot > kChatGroupSlots) return {};
    return m_slots[static_cast<size_t>(slot - 1)];
}

bool ControllerListModel::AnyUnread() const {
    return std::any_of(m_unread.begin(), m_unread.end(), [](const auto& entry) { return entry.second; });
}

const char* ControllerListModel::GroupText(int group) {
    static const char* const texts[] = {
        "",           "Controllers",        "Center",         "Approach", "Departure", "Tower",
        "Ground",     "Clearance Delivery", "Flight Service", "ATIS",     "Observers", "Pilots/Out of Range",
        "Chat Groups"};
    if (group < 0 || group > kGroupChatGroups) return "";
    return texts[group];
}

int ControllerListModel::GroupForCallsign(const std::string& callsign, bool alphaSort) {
    if (callsign.size() < 3) return kGroupObservers;
    static const char* const suffixes[] = {"CTR", "APP", "DEP", "TWR", "GND", "DEL", "FSS"};
    int group = kGroupObservers;
    for (int i = 0; i < 7; ++i) {
        if (EndsWith(callsign, suffixes[i])) {
            group = kGroupCenter + i;
            break;
        }
    }
    if (group == kGroupObservers && EndsWith(callsign, "ATIS")) group = kGroupAtis;
    if (alphaSort && group != kGroupObservers) group = kGroupControllers;
    return group;
}

void ControllerListModel::Rebuild(bool blank) {
    m_rebuildPending = false;
    m_rows.clear();
    if (blank) return;

    for (const std::string& callsign : m_source.GetControllerCallsigns()) {
        ControllerListInfo info;
        if (!m_source.GetController(callsign, info)) continue;
        const bool unread = m_unread[callsign];
        if (m_positionFileOnly && !unread && !m_source.IsSameFacilityCallsign(callsign, info.frequency))
            continue;
        ControllerListEntry row;
        row.group = GroupForCallsign(callsign, m_alphaSort);
        row.name = callsign;
        row.chatName = callsign;
        row.unread = unread;
        row.idText = info.positionId;
        char frequency[32];
        std::snprintf(frequency, sizeof frequency, "%.3f", info.frequency / 1000.0);
        row.frequencyText = frequency;
        row.inActiveGroup = m_source.IsMemberOfActiveGroup(callsign);
        const int intercom = m_source.GetLandLineState(callsign, kLandLineIntercom);
        const int override = m_source.GetLandLineState(callsign, kLandLineOverride);
        const int monitor = m_source.GetLandLineState(callsign, kLandLineMonitor);
        if (override == kPeerOverrides || override == kOwnOverride) {
            row.override = true;
        } else if (intercom == kCallRinging || intercom == kCallPending) {
            row.intercomCalling = true;
        } else if (intercom == kIntercomActive) {
            row.intercomActive = true;
        } else if (intercom == kIntercomHeld) {
            row.intercomOnHold = true;
        } else if (monitor == kPeerOverrides) {
            row.monitoring = true;
        }
        row.busy = info.busy;
        row.help = m_source.GetHelpFlag(callsign);
        m_rows.push_back(std::move(row));
    }

    ControllerListInfo unused;
    for (const auto& [name, unread] : m_unread) {
        if (name == "Incoming Chat Log" || name.empty() || name[0] == ':') continue;
        if (m_source.GetController(name, unused)) continue;
        if (!unread && !m_source.HasPrivateChatWindow(name) && !m_source.HasQueuedMessages(name)) continue;
        ControllerListEntry row;
        row.name = name;
        row.chatName = name;
        row.unread = unread;
        row.inActiveGroup = m_source.IsMemberOfActiveGroup(name);
        row.group = kGroupPilots;
        m_rows.push_back(std::move(row));
    }

    for (const auto& [name, unread] : m_unread) {
        if (name.empty() || name[0] != ':') continue;
        ControllerListEntry row;
        auto slot = std::find(m_slots.begin(), m_slots.end(), name);
        if (slot != m_slots.end()) row.idText = std::to_string(slot - m_slots.begin() + 1);
        row.name = "[" + StripColons(name) + "]";
        row.chatName = name;
        row.unread = unread;
        row.inActiveGroup = m_source.IsMemberOfActiveGroup(name);
        row.chatGroupRow = true;
        row.group = kGroupChatGroups;
        m_rows.push_back(std::move(row));
    }

    std::stable_sort(m_rows.begin(), m_rows.end(),
                     [](const ControllerListEntry& a, const ControllerListEntry& b) {
                         if (a.group != b.group) return a.group < b.group;
                         return a.name < b.name;
                     });

    if (!m_source.GetSeparatorsEnabled()) return;
    std::vector<ControllerListEntry> rows;
    rows.reserve(m_rows.size() + 13);
    int current = kGroupNone;
    for (ControllerListEntry& row : m_rows) {
        if (row.group != current) {
            current = row.group;
            ControllerListEntry header;
            header.header = true;
            header.group = current;
            header.name = GroupText(current);
            rows.push_back(std::move(header));
        }
        const bool needsAttention = row.unread || row.intercomCalling || row.monitoring || row.help ||
                                    row.intercomActive || row.override || row.intercomOnHold;
        if (!IsGroupExpanded(row.group) && !needsAttention) continue;
        rows.push_back(std::move(row));
    }
    m_rows.swap(rows);
}

bool ControllerListModel::OnFrameTick(bool blank) {
    if (!m_rebuildPending) return false;
    Rebuild(blank);
    return true;
}

bool ControllerListModel::IsGroupExpanded(int group) const {
    auto it = m_expanded.find(group);
    return it == m_expanded.end() || it->second;
}

void ControllerListModel::ToggleGroup(int group) { m_expanded[group] = !IsGroupExpanded(group); }

ControllerRowColours ControllerListModel::RowColours(const ControllerListEntry& row) {
    ControllerRowColours colours;
    if (row.intercomCalling) {
        colours.background = 0xFF6666;
    } else if (row.unread) {
        colours.background = 0x99CCFF;
    } else if (row.inActiveGroup) {
        colours.background = 0xE0E0E0;
    } else if (row.header) {
        colours.background = 0xD2D2D2;
    }
    if (row.override) {
        colours.text = 0xFF0000;
    } else if (row.intercomOnHold) {
        colours.text = 0x006600;
    } else if (row.intercomActive) {
        colours.text = 0x009900;
    } else if (row.help) {
        colours.text = 0xFF8C3C;
    } else if (row.monitoring) {
        colours.text = 0x0000FF;
    } else if (row.busy) {
        colours.text = 0xFF3399;
    }
    return colours;
}

// Values outside the tables come from a peer; they show as a plain number.
std::string ControllerListModel::FacilityText(int facility) {
    static const char* const texts[] = {"OBS", "FSS", "DEL", "GND", "TWR", "APP/DEP", "CTR"};
    if (facility < 0 || facility > 6) return std::to_string(facility);
    return texts[facility];
}

std::string ControllerListModel::RatingText(int rating) {
    static const char* const texts[] = {"OBS", "S1", "S2", "S3", "C1",  "C2",
                                        "C3",  "I1", "I2", "I3", "SUP", "ADM"};
    if (rating < 1 || rating > 12) return std::to_string(rating);
    return texts[rating - 1];
}

bool ControllerListModel::OnRowClick(size_t row, int x, int y) {
    if (row >= m_rows.size()) return false;
    const ControllerListEntry& entry = m_rows[row];
    if (entry.header) {
        if (x < 5 || x > 13 || y < 3 || y > 11) return false;
        ToggleGroup(entry.group);
        Rebuild();
        return true;
    }
    ShowControllerInfo(entry.name);
    return false;
}

std::string ControllerListModel::OnRowDoubleClick(size_t row) {
    if (row >= m_rows.size()) return {};
    if (m_rows[row].header) {
        ToggleGroup(m_rows[row].group);
        Rebuild();
        return {};
    }
    return m_rows[row].chatName;
}

std::string ControllerListModel::ShowControllerInfo(const std::string& callsign) {
    m_infoName = callsign;
    ControllerListInfo info;
    if (!m_source.GetController(callsign, info)) return {};
    std::string help;
    if (m_source.GetHelpFlag(callsign)) {
        const std::string message = m_source.GetHelpMessage(callsign);
        help = "Help: " + (message.empty() ? std::string("No message.") : message);
    }
    char frequency[32];
    std::snprintf(frequency, sizeof frequency, "%.3f", info.frequency / 1000.0);
    std::string text = callsign + " (" + FacilityText(info.facility) + ") " + frequency + "\r\n" +
                       info.realName + " (" + RatingText(info.rating) + ")\r\n" + info.positionName +
                       (info.positionName.empty() ? "" : "\r\n") + info.sectorFile +
                       "\r\nVis Range: " + std::to_string(info.visRange) + "\r\n" + help;
    if (text.size() > 255) text.resize(255);
    return text;
}

std::vector<std::string> ControllerListModel::SortedGroupNames() const {
    std::vector<std::string> groups = m_source.GetGroupNames();
    std::sort(groups.begin(), groups.end());
    if (groups.size() > static_cast<size_t>(kMaxGroupItems)) groups.resize(kMaxGroupItems);
    return groups;
}

std::vector<ControllerMenuItem> ControllerListModel::BuildContextMenu(size_t row) const {
    if (row >= m_rows.size() || m_rows[row].header || m_rows[row].chatGroupRow) return {};
    std::vector<ControllerMenuItem> menu;
    menu.push_back({"Request ATIS", kRequestAtis, true, {}});
    menu.push_back({"Open Chat", kOpenChat, true, {}});
    ControllerMenuItem groups{"Add to Group", 0, true, {}};
    int command = kFirstGroupCommand;
    for (const std::string& group : SortedGroupNames())
        groups.submenu.push_back({"[" + group + "]", command++, true, {}});
    groups.enabled = !groups.submenu.empty();
    menu.push_back(std::move(groups));
    menu.push_back({"Show Location", kShowLocation, true, {}});
    menu.push_back({"", 0, true, {}});
    menu.push_back({"Override", kOverride, true, {}});
    menu.push_back({"Intercom", kIntercom, true, {}});
    menu.push_back({"Monitor", kMonitor, true, {}});
    if (m_source.GetOwnRating() >= 11) {
        menu.push_back({"", 0, true, {}});
        menu.push_back({"Request Version", kRequestVersion, true, {}});
        menu.push_back({"Request INF", kRequestInf, true, {}});
    }
    return menu;
}

std::vector<std::string> ControllerListModel::GetMenuCommands(size_t row, int command) const {
    if (row >= m_rows.size() || m_rows[row].header || m_rows[row].chatGroupRow) return {};
    const std::string& c = m_rows[row].name;
    ControllerListInfo info;
    const std::string p = m_source.GetController(c, info) ? info.positionId : std::string();
    const bool staff = m_source.GetOwnRating() >= 11;
    switch (command) {
        case kRequestAtis:
            return {".atis " + c};
        case kOpenChat:
            return {".chat " + c};
        case kShowLocation:
            return p.empty() ? std::vector<std::string>{} : std::vector<std::string>{".showloc " + c};
        case kOverride:
            return p.empty() ? std::vector<std::string>{} : std::vector<std::string>{".ov " + p};
        case kIntercom:
            return p.empty() ? std::vector<std::string>{} : std::vector<std::string>{".ic " + p};
        case kMonitor:
            return p.empty() ? std::vector<std::string>{} : std::vector<std::string>{".mon " + p};
        case kRequestVersion:
            return staff ? std::vector<std::string>{".ver " + c} : std::vector<std::string>{};
        case kRequestInf:
            return staff ? std::vector<std::string>{".inf " + c, ".msg SERVER IP " + c}
                         : std::vector<std::string>{};
        default:
            return {};
    }
}

std::string ControllerListModel::GetMenuGroup(int command) const {
    const std::vector<std::string> groups = SortedGroupNames();
    const int index = command - kFirstGroupCommand;
    if (index < 0 || index >= static_cast<int>(groups.size())) return {};
    return groups[static_cast<size_t>(index)];
}
