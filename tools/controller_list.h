// The controller list's model: controllers, pilots in chat and chat groups
// in facility groups, the unread flags behind the reminder light, the nine
// chat group slots, the row colours, the info pane text and the context
// menu's commands. The window (TarqControllerList) paints the rows and
// runs the commands.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Land-line kinds and the states the list reads.
enum ControllerLandLineKind : int { kLandLineIntercom = 0, kLandLineOverride = 1, kLandLineMonitor = 2 };

struct ControllerListInfo {
    int frequency = 0;  // kHz
    int facility = 0;
    int rating = 0;
    int visRange = 0;
    bool busy = false;
    std::string realName;
    std::string positionId;
    std::string positionName;  // the position file's name of the position
    std::string sectorFile;    // from the real-name reply
};

// The controller database, the voice engine's land lines, the chat manager
// and the two settings the list reads.
class ControllerListSource {
public:
    virtual ~ControllerListSource() = default;
    // Every controller's callsign in callsign order.
    virtual std::vector<std::string> GetControllerCallsigns() const = 0;
    virtual bool GetController(const std::string& callsign, ControllerListInfo& info) const = 0;
    virtual bool IsSameFacilityCallsign(const std::string& callsign, int frequency) const = 0;
    virtual bool GetHelpFlag(const std::string& callsign) const = 0;
    virtual std::string GetHelpMessage(const std::string& callsign) const = 0;
    virtual int GetLandLineState(const std::string& callsign, int kind) const = 0;
    virtual bool IsMemberOfActiveGroup(const std::string& name) const = 0;
    virtual bool HasPrivateChatWindow(const std::string& callsign) const = 0;
    virtual bool HasQueuedMessages(const std::string& callsign) const = 0;
    virtual std::vector<std::string> GetGroupNames() const = 0;
    virtual bool GetSeparatorsEnabled() const = 0;  // "EnableCLSeparators"
    virtual int GetOwnRating() const = 0;           // "Rating"
};

enum ControllerListGroup : int32_t {
    kGroupNone = 0,
    kGroupControllers = 1,
    kGroupCenter = 2,
    kGroupApproach = 3,
    kGroupDeparture = 4,
    kGroupTower = 5,
    kGroupGround = 6,
    kGroupDelivery = 7,
    kGroupFlightService = 8,
    kGroupAtis = 9,
    kGroupObservers = 10,
    kGroupPilots = 11,
    kGroupChatGroups = 12,
};

struct ControllerListEntry {
    std::string idText;
    std::string name;  // "[group]" on a chat group row
    std::string frequencyText;
    bool unread = false;
    bool busy = false;
    bool monitoring = false;
    bool override = false;
    bool intercomActive = false;
    bool intercomOnHold = false;
    bool intercomCalling = false;
    bool inActiveGroup = false;
    bool chatGroupRow = false;
    bool help = false;
    bool header = false;
    int32_t group = kGroupNone;
    // The chat's own name, as the chat manager knows it (":ops" for "[ops]").
    std::string chatName;
};

// Colours as 0xRRGGBB; -1 leaves the system's colour.
struct ControllerRowColours {
    int background = -1;
    int text = -1;
};

struct ControllerMenuItem {
    std::string text;
    int command = 0;  // 0 for a separator or the submenu
    bool enabled = true;
    std::vector<ControllerMenuItem> submenu;
};

class ControllerListModel {
public:
    static constexpr int kChatGroupSlots = 9;
    // Menu commands.
    static constexpr int kRequestAtis = 501;
    static constexpr int kOpenChat = 502;
    static constexpr int kOverride = 504;
    static constexpr int kIntercom = 505;
    static constexpr int kMonitor = 506;
    static constexpr int kRequestVersion = 507;
    static constexpr int kShowLocation = 508;
    static constexpr int kRequestInf = 16;
    static constexpr int kFirstGroupCommand = 551;
    static constexpr int kMaxGroupItems = 5;

    explicit ControllerListModel(const ControllerListSource& source);

    void SetUnreadFlag(const std::string& name);
    void ClearUnreadFlag(const std::string& name);
    void ClearAllUnreadFlags();
    void RemoveChatPartner(const std::string& name);
    void AddChatGroup(const std::string& name);
    std::string GetChatGroupName(int slot) const;
    bool AnyUnread() const;

    // The "Alpha Sort" and "POF Only" buttons.
    void SetAlphaSort(bool on) { m_alphaSort = on; }
    void SetPositionFileOnly(bool on) { m_positionFileOnly = on; }
    // `blank` is the debug switch that empties the list.
    void Rebuild(bool blank = false);
    // Events mark the list; the frame tick rebuilds once. True when it rebuilt.
    void RequestRebuild() { m_rebuildPending = true; }
    bool IsRebuildPending() const { return m_rebuildPending; }
    bool OnFrameTick(bool blank = false);
    const std::vector<ControllerListEntry>& GetRows() const { return m_rows; }
    bool IsGroupExpanded(int group) const;
    void ToggleGroup(int group);

    static const char* GroupText(int group);
    static int GroupForCallsign(const std::string& callsign, bool alphaSort);
    static ControllerRowColours RowColours(const ControllerListEntry& row);
    static std::string FacilityText(int facility);
    static std::string RatingText(int rating);

    // A click: true when the list was rebuilt (header expander).
    bool OnRowClick(size_t row, int x, int y);
    // The chat to open, empty when none (header rows toggle instead).
    std::string OnRowDoubleClick(size_t row);
    std::string ShowControllerInfo(const std::string& callsign);
    std::string GetInfoName() const { return m_infoName; }

    // The context menu of a row; empty for a header, a chat group row or no row.
    std::vector<ControllerMenuItem> BuildContextMenu(size_t row) const;
    // The dot commands a chosen item runs, in order.
    std::vector<std::string> GetMenuCommands(size_t row, int command) const;
    // The group a submenu command adds the row's name to; empty when none.
    std::string GetMenuGroup(int command) const;

private:
    std::vector<std::string> SortedGroupNames() const;

    const ControllerListSource& m_source;
    std::vector<ControllerListEntry> m_rows;
    std::map<std::string, bool> m_unread;
    std::string m_infoName;
    std::array<std::string, kChatGroupSlots> m_slots;
    std::map<int, bool> m_expanded;
    bool m_alphaSort = false;
    bool m_positionFileOnly = false;
    bool m_rebuildPending = false;
};
