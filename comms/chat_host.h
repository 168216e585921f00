// What the chat manager, its windows and their command processor ask of the
// program around them: settings, the databases, the display's lines and
// menus, the controller list's marks, sounds, the network, alias expansion
// and the native windows. Every default is quiet, so a test overrides only
// what it watches and a window without a native view still keeps its log.
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
    virtual void SetCaption(const std::string& /*caption*/) {}
    // The whole log, lines separated by CR LF; the caret goes to the end.
    virtual void SetLogText(const std::string& /*text*/) {}
    // Appends after the last character (the text brings its own CR LF).
    virtual void AppendLogText(const std::string& /*text*/) {}
    virtual void ScrollLogToEnd() {}
    // One page up (-1) or down (+1).
    virtual void ScrollLogPage(int /*direction*/) {}
    virtual std::string GetLogSelection() const { return {}; }
    virtual std::string GetInputText() const { return {}; }
    // Caret after the last character.
    virtual void SetInputText(const std::string& /*text*/) {}
    virtual void FocusInput() {}
    virtual void SetMembers(const std::vector<std::string>& /*members*/) {}
    virtual bool IsForeground() const { return false; }
    virtual void Flash(bool /*on*/) {}
    virtual void CopyToClipboard(const std::string& /*text*/) {}
    // The client size and the two controls whose size the layout keeps.
    virtual void GetClientSize(int* width, int* height) const { *width = *height = 0; }
    virtual int GetInputHeight() const { return 0; }
    virtual int GetMemberListWidth() const { return 0; }
    virtual void PlaceLog(int /*x*/, int /*y*/, int /*width*/, int /*height*/) {}
    virtual void PlaceInput(int /*x*/, int /*y*/, int /*width*/, int /*height*/) {}
    virtual void PlaceMemberList(int /*x*/, int /*y*/, int /*width*/, int /*height*/) {}
};

class ChatHost {
public:
    virtual ~ChatHost() = default;

    // Profile settings.
    virtual bool GetBool(const std::string& /*key*/) const { return false; }
    virtual std::string GetString(const std::string& /*key*/) const { return {}; }

    // The controller and aircraft databases. A real name is false when the
    // database does not know the callsign.
    virtual bool IsKnownController(const std::string& /*callsign*/) const { return false; }
    virtual bool GetControllerRealName(const std::string& /*callsign*/, std::string& /*name*/) const {
        return false;
    }
    virtual bool GetPilotRealName(const std::string& /*callsign*/, std::string& /*name*/) const {
        return false;
    }
    virtual std::string GetCallsignForPositionId(const std::string& /*id*/) const { return {}; }

    // The main display.
    virtual void ShowServerMessage(const std::string& /*text*/) {}
    virtual void ShowOverrideMessage(const std::string& /*sender*/, const std::string& /*text*/) {}
    virtual void ShowError(const std::string& /*text*/) {}
    virtual void ShowMessage(const std::string& /*text*/) {}
    virtual void RebuildAllMenus() {}
    virtual void ActivateMainDisplay() {}
    virtual std::string GetSelectedCallsign() const { return {}; }
    // The main display window's top-left corner; false when there is none.
    virtual bool GetMainWindowCorner(int* /*x*/, int* /*y*/) const { return false; }
    virtual bool IsPointOnMonitor(int /*x*/, int /*y*/) const { return true; }

    // The controller list's unread marks and chat group slots.
    virtual void SetUnreadFlag(const std::string& /*name*/) {}
    virtual void ClearUnreadFlag(const std::string& /*name*/) {}
    virtual void ClearAllUnreadFlags() {}
    virtual void AddChatGroup(const std::string& /*name*/) {}
    virtual void RemoveChatPartner(const std::string& /*name*/) {}
    virtual void RebuildControllerList() {}

    // The sound named by a profile string setting.
    virtual void PlaySound(const std::string& /*settingKey*/, bool /*interrupt*/) {}

    // The network.
    virtual bool IsConnected() const { return false; }
    virtual void SendTextMessage(const std::string& /*to*/, const std::string& /*text*/) {}
    virtual void RequestATIS(const std::string& /*callsign*/) {}

    // User aliases and "$" variables, the variables describing `callsign`.
    // False on an alias loop.
    virtual bool ExpandAliases(const std::string& /*in*/, std::string& /*out*/,
                               const std::string& /*callsign*/) {
        return true;
    }
    // Where ".log" writes: the program's data directory.
    virtual std::string GetDataDirectory() const { return "."; }

    // The native window of a new chat window, already at its place and size
    // and shown when asked; null leaves the window without one.
    virtual std::unique_ptr<ChatWindowView> CreateView(TarqChatWindow& /*window*/, int /*x*/, int /*y*/,
                                                       int /*width*/, int /*height*/) {
        return nullptr;
    }
    // Runs the job once the event being handled has returned. Without a
    // loop to post to, the job is dropped: the chat manager then finishes
    // what it deferred on its next call.
    virtual void PostLater(std::function<void()> /*job*/) {}
};
