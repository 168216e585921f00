// TarqChatWindow: one private, group or incoming-log chat window without its
// native controls: the caption, the members, the log (capped, oldest lines
// trimmed with a note at the top), the input box's keys and history, the
// unread marks and the log's saving. The chat manager creates, finds and
// forgets windows; a closed window is deleted later, never from inside the
// event that closed it.
// Tested by tests/comms/chat_window_test.cpp.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "comms/chat_host.h"
#include "comms/command_history.h"
#include "foundation/tool_window.h"

class ChatCommandForwarder;
class TarqChatManager;

enum class ChatKey { Enter, Escape, Tab, Up, Down, PageUp, PageDown, Other };

// Where the controls of a chat window go in a client area of W x H pixels.
struct ChatControlRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ChatControlRect&) const = default;
};
struct ChatLayout {
    ChatControlRect log;
    ChatControlRect input;    // unused for the incoming chat log
    ChatControlRect members;  // used in a group window only
};
ChatLayout ComputeChatLayout(bool incomingLog, bool group, int width, int height, int inputHeight,
                             int memberListWidth);

class TarqChatWindow : public TarqToolWindow {
public:
    static constexpr const char* kIncomingChatLog = "Incoming Chat Log";
    // The log keeps at most this many lines; past it the oldest go in one
    // step of kTrimChunk lines, so the box is rewritten once per chunk.
    static constexpr size_t kMaxLogLines = 2000;
    static constexpr size_t kTrimChunk = 200;
    static constexpr const char* kTrimmedNote = "--- Older messages removed ---";
    static constexpr size_t kMaxInputLength = 1022;
    // The member list's menu.
    static constexpr int kRemoveFromGroupCommand = 701;
    static constexpr int kPrivateChatCommand = 502;

    TarqChatWindow(TarqChatManager& manager, ChatHost& host, ChatCommandForwarder& forwarder,
                   std::string name, int x, int y, int width, int height, bool show);
    ~TarqChatWindow() override;

    void Relayout();

    const std::string& GetCallsign() const { return m_name; }
    bool IsGroup() const { return m_group; }
    bool IsIncomingLog() const { return m_name == kIncomingChatLog; }
    const std::string& GetCaption() const { return m_caption; }
    ChatWindowView* GetView() const { return m_view.get(); }

    void UpdateTitle();
    void AddMessage(const std::string& sender, const std::string& text);
    void AppendToLog(const std::string& text);
    void ScrollToEnd();
    // A space-separated list of callsigns or one- and two-letter position
    // identifiers; nothing in a window that is not a group window.
    void ChangeGroupMembers(const std::string& list, bool add);
    bool IsMember(const std::string& callsign) const;
    // Members with their flag set, in callsign order.
    std::vector<std::string> GetMembers() const;
    void RefreshMemberList();
    bool IsForeground() const;
    void Flash(bool on);
    bool IsFlashing() const { return m_flashing; }
    void ClearUnreadFlags();
    void CopyLog(bool selectionOnly);
    void SaveLog(const std::string& path);
    bool CheckConnected();
    void SetInputText(const std::string& text);
    void FocusInput();

    // The log as the box shows it, lines separated by CR LF.
    std::string GetLogText() const;
    const std::deque<std::string>& GetLogLines() const { return m_lines; }
    bool WasLogTrimmed() const { return m_trimmed; }

    // Every line entered in the input box and every command of the window's
    // menus. After ".x" the window is closing: nothing may use it then.
    void ProcessCommandLine(std::string line, bool allowAliases, bool addToHistory);
    // The input box's keys; true when handled.
    bool OnInputKey(ChatKey key);
    // A typed character the input box drops: CR, ESC, TAB.
    static bool SwallowsChar(int character);

    // Events of the native window.
    void OnActivated();
    void OnCloseBox();
    void OnLogDoubleClick();
    void OnLogSelectionMade();
    void OnMemberMenu(int command, const std::string& member);

    // Closed by its close box or ".x": out of the manager, to be deleted.
    bool IsClosing() const { return m_closing; }
    // Hidden and deaf from now on; the manager deletes it later.
    void Retire();
    TarqCommandHistory& History() { return m_history; }

private:
    void RunCommand(const std::string& line, bool allowAliases);
    void SendText(const std::string& line);
    void Close();
    std::string Stamp() const;

    TarqChatManager& m_manager;
    ChatHost& m_host;
    ChatCommandForwarder& m_forwarder;
    std::string m_name;
    std::map<std::string, bool> m_members;
    TarqCommandHistory m_history;
    bool m_group = false;
    std::string m_caption;
    std::deque<std::string> m_lines;
    bool m_trimmed = false;
    bool m_flashing = false;
    bool m_closing = false;
    std::unique_ptr<ChatWindowView> m_view;
};
