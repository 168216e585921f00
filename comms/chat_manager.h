// TarqChatManager: the owner of every chat window. It finds or creates the
// window of a name, routes each received text message (the partner's window,
// every group the sender belongs to, a queue when no window takes it, and
// always the incoming chat log), keeps the windows' places in the per-user
// store with a 30-day expiry, and answers the controller list.
// Tested by tests/comms/chat_manager_test.cpp.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "comms/chat_host.h"
#include "foundation/session_services.h"

class ChatCommandForwarder;
class Clock;
class TarqChatWindow;
class TarqUserRegistry;

struct QueuedChatMessage {
    std::string time;  // UTC time of day of arrival, "09:05:07"
    std::string text;  // as received
};

// A window's saved place: "time,left,top,width,height", the time in seconds
// since 1970 written in 64 bits.
struct ChatWindowPlacement {
    int64_t savedAt = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
// Runs of commas separate as one; anything but five fields is no placement.
std::optional<ChatWindowPlacement> ParseChatWindowPlacement(const std::string& value);
std::string FormatChatWindowPlacement(const ChatWindowPlacement& placement);

// A sender's callsign that may name a window and a stored place: 1 to
// kMaxChatCallsign letters, digits, "_" and "-".
inline constexpr size_t kMaxChatCallsign = 31;
bool IsPlausibleCallsign(const std::string& callsign);

class TarqChatManager : public TarqChatLogState {
public:
    // The store's key of the placements.
    static constexpr const char* kPlacementKey = "Software\\Fenwray\\Tarq\\ChatWindows";
    static constexpr int64_t kPlacementLifetime = 2'592'000;  // 30 days
    static constexpr int kPrivateHeight = 203;
    static constexpr int kGroupHeight = 350;
    static constexpr int kDefaultWidth = 486;

    // Expires old placements. registry may be null (no store: default places).
    TarqChatManager(ChatHost& host, ChatCommandForwarder& forwarder, TarqUserRegistry* registry,
                    const Clock& clock);
    ~TarqChatManager() override;
    TarqChatManager(const TarqChatManager&) = delete;
    TarqChatManager& operator=(const TarqChatManager&) = delete;

    void OpenChatWindow(const std::string& name, const std::string& members, bool show);
    void RemoveWindow(const std::string& name);
    void CloseAllWindows();
    void OnIncomingMessage(std::string sender, const std::string& text);
    std::vector<QueuedChatMessage> TakeQueuedMessages(const std::string& callsign);
    bool HasQueuedMessages(const std::string& callsign) const;
    bool HasPrivateChatWindow(const std::string& name) const;
    bool IsMemberOfActiveGroup(const std::string& callsign) const;
    void AddToGroup(const std::string& group, const std::string& callsign);
    std::vector<std::string> GetGroupNames() const;
    void RefreshWindowTitle(const std::string& callsign);
    void RefreshGroupMemberLists();
    void CascadeWindows();
    void ShowIncomingChatLog();
    bool IsIncomingChatLogOpen() const override;
    void SetLastActiveWindow(TarqChatWindow* window, const std::string& name);
    void ActivateLastChatWindow();
    const std::string& GetLastActiveName() const { return m_lastActiveName; }

    // The window of a name, null when none (private names and ":" groups).
    TarqChatWindow* FindWindow(const std::string& name) const;
    // A closed window goes here and is deleted once its event has returned.
    void DeleteLater(TarqChatWindow* window);
    // Deletes the closed windows now; no event of theirs may be running.
    void DeleteClosedWindows();

    std::optional<ChatWindowPlacement> LoadPlacement(const std::string& name) const;
    void SavePlacement(const std::string& name);
    // The current time of day, "09:05:07".
    std::string UtcTime() const;

private:
    void ExpirePlacements();
    std::map<std::string, TarqChatWindow*>& MapOf(const std::string& name);

    ChatHost& m_host;
    ChatCommandForwarder& m_forwarder;
    TarqUserRegistry* m_registry;
    const Clock& m_clock;
    std::map<std::string, TarqChatWindow*> m_private;
    std::map<std::string, TarqChatWindow*> m_groups;
    std::map<std::string, std::vector<QueuedChatMessage>> m_queued;
    TarqChatWindow* m_lastActive = nullptr;
    std::string m_lastActiveName;
    std::vector<TarqChatWindow*> m_closed;
};
