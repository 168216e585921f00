// What the chat manager, its windows and their command processor ask of the
// program around them: settings, the databases, the display's lines and
// menus, the controller list's marks, sounds, the network, alias expansion
// and the native windows.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TarqChatWindow;

// The native side of one chat window: the log box, the input box, the member
// list and the caption. The window object decides; the view only shows.
class ChatWindowView {
public:
    virtual ~ChatWindowView() = default;
    virtual void SetCaption(const std::string& caption) = 0;
    // The whole log, lines separated by CR LF; the caret goes to the end.
    virtual void SetLogText(const std::string& text) = 0;
    // Appends after the last character (the text brings its own CR LF).
    virtual void AppendLogText(const std::string& text) = 0;
    virtual void ScrollLogToEnd() = 0;
    // One page up (-1) or down (+1).
    virtual void ScrollLogPage(int direction) = 0;
    virtual std::string GetLogSelection() const = 0;
    virtual std::string GetInputText() const = 0;
    // Caret after the last character.
    virtual void SetInputText(const std::string& text) = 0;
    virtual void FocusInput() = 0;
    virtual void SetMembers(const std::vector<std::string>& members) = 0;
    virtual bool IsForeground() const = 0;
    virtual void Flash(bool on) = 0;
    virtual void CopyToClipboard(const std::string& text) = 0;
    // The client size and the two controls whose size the layout keeps.
    virtual void GetClientSize(int* width, int* height) const = 0;
    virtual int GetInputHeight() const = 0;
    virtual int GetMemberListWidth() const = 0;
    virtual void PlaceLog(int x, int y, int width, int height) = 0;
    virtual void PlaceInput(int x, int y, int width, int height) = 0;
    virtual void PlaceMemberList(int x, int y, int width, int height) = 0;
};

class ChatHost {
public:
    virtual ~ChatHost() = default;

    // Profile settings.
    virtual bool GetBool(const std::string& key) const = 0;
    virtual std::string GetString(const std::string& key) const = 0;

    // The controller and aircraft databases. A real name is false when the
    // database does not know the callsign.
    virtual bool IsKnownController(const std::string& callsign) const = 0;
    virtual bool GetControllerRealName(const std::string& callsign, std::string& name) const = 0;
    virtual bool GetPilotRealName(const std::string& callsign, std::string& name) const = 0;
    virtual std::string GetCallsignForPositionId(const std::string& id) const = 0;

    // The main display.
    virtual void ShowServerMessage(const std::string& text) = 0;
    virtual void ShowOverrideMessage(const std::string& sender, const std::string& text) = 0;
    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowMessage(const std::string& text) = 0;
    virtual void RebuildAllMenus() = 0;
    virtual void ActivateMainDisplay() = 0;
    virtual std::string GetSelectedCallsign() const = 0;
    // The main display window's top-left corner; false when there is none.
    virtual bool GetMainWindowCorner(int* x, int* y) const = 0;
    virtual bool IsPointOnMonitor(int x, int y) const = 0;

    // The controller list's unread marks and chat group slots.
    virtual void SetUnreadFlag(const std::string& name) = 0;
    virtual void ClearUnreadFlag(const std::string& name) = 0;
    virtual void ClearAllUnreadFlags() = 0;
    virtual void AddChatGroup(const std::string& name) = 0;
    virtual void RemoveChatPartner(const std::string& name) = 0;
    virtual void RebuildControllerList() = 0;

    // The sound named by a profile string setting.
    virtual void PlaySound(const std::string& settingKey, bool interrupt) = 0;

    // The network.
    virtual bool IsConnected() const = 0;
    virtual void SendTextMessage(const std::string& to, const std::string& text) = 0;
    virtual void RequestATIS(const std::string& callsign) = 0;

    // User aliases and "$" variables, the variables describing `callsign`.
    // False on an alias loop.
    virtual bool ExpandAliases(const std::string& in, std::string& out,
                               const std::string& callsign) = 0;
    // Where ".log" writes: the program's data directory.
    virtual std::string GetDataDirectory() const = 0;

    // The native window of a new chat window, already at its place and size
    // and shown when asked; null leaves the window without one, and it
    // still keeps its log.
    virtual std::unique_ptr<ChatWindowView> CreateView(TarqChatWindow& window, int x, int y,
                                                       int width, int height) = 0;
    // Runs the job once the event being handled has returned. A host with
    // no loop to post to may drop it: the chat manager then finishes what
    // it deferred on its next call.
    virtual void PostLater(std::function<void()> job) = 0;
};
