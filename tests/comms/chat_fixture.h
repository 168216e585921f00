// A program around the chat manager for tests: a host that records what the
// chat asks of the display, the controller list, the network and the sounds,
// fake native views that keep their text, a forwarder that records lines, a
// manual clock and a per-user store in a temporary directory.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "comms/chat_commands.h"
#include "comms/chat_manager.h"
#include "comms/chat_window.h"
#include "foundation/user_registry.h"
#include "platform/clock.h"
#include "tests/temp_dir.h"

struct FakeChatView : ChatWindowView {
    std::string caption;
    std::string log;
    std::string input;
    std::string clipboard;
    std::string selection;
    std::vector<std::string> members;
    bool foreground = false;
    bool flashing = false;
    int pageScrolls = 0;
    int width = 480, height = 170, inputHeight = 21, memberWidth = 80;
    ChatControlRect logRect, inputRect, memberRect;
    int setLogCalls = 0;

    void SetCaption(const std::string& c) override { caption = c; }
    void SetLogText(const std::string& t) override {
        log = t;
        ++setLogCalls;
    }
    void AppendLogText(const std::string& t) override { log += t; }
    void ScrollLogToEnd() override {}
    void ScrollLogPage(int direction) override { pageScrolls += direction; }
    std::string GetLogSelection() const override { return selection; }
    std::string GetInputText() const override { return input; }
    void SetInputText(const std::string& t) override { input = t; }
    void FocusInput() override {}
    void SetMembers(const std::vector<std::string>& m) override { members = m; }
    bool IsForeground() const override { return foreground; }
    void Flash(bool on) override { flashing = on; }
    void CopyToClipboard(const std::string& t) override { clipboard = t; }
    void GetClientSize(int* w, int* h) const override {
        *w = width;
        *h = height;
    }
    int GetInputHeight() const override { return inputHeight; }
    int GetMemberListWidth() const override { return memberWidth; }
    void PlaceLog(int x, int y, int w, int h) override { logRect = {x, y, w, h}; }
    void PlaceInput(int x, int y, int w, int h) override { inputRect = {x, y, w, h}; }
    void PlaceMemberList(int x, int y, int w, int h) override { memberRect = {x, y, w, h}; }
};

// A tool-window frame that is only a rectangle and a shown flag.
struct FakeChatFrame : ToolWindowFrame {
    ScreenRect rect;
    bool shown = false;
    ScreenRect GetWindowRect() const override { return rect; }
    int GetClientHeight() const override { return rect.bottom - rect.top - 20; }
    bool IsShown() const override { return shown; }
    void ShowAndRaise() override { shown = true; }
    void HideWindow() override { shown = false; }
    void Activate() override {}
    void Place(int x, int y, int w, int h, bool) override {
        if (w < 0) w = rect.right - rect.left;
        if (h < 0) h = rect.bottom - rect.top;
        rect = {x, y, x + w, y + h};
    }
    bool HasSizingFrame() const override { return true; }
    void SetSizingFrame(bool) override {}
    bool IsPointOnMonitor(int x, int y) const override { return x >= 0 && y >= 0 && x < 1600 && y < 1200; }
    void ActivateMainDisplay() override {}
};

// A view and a frame together, as the wx dialog is both.
struct FakeChatWindowNative : FakeChatView {
    FakeChatFrame frame;
    TarqChatWindow* window = nullptr;
    ~FakeChatWindowNative() override;
};

struct RecordingChatHost : ChatHost {
    std::map<std::string, bool> bools;
    std::map<std::string, std::string> strings;
    std::map<std::string, std::string> controllers;  // callsign -> real name
    std::map<std::string, std::string> pilots;
    std::map<std::string, std::string> positionIds;
    std::map<std::string, std::string> aliases;  // whole line -> expansion
    bool aliasLoop = false;
    bool connected = true;
    bool hasMainWindow = false;
    std::string dataDirectory = ".";
    std::string selected;
    std::vector<std::string> calls;
    std::set<std::string> unread;
    std::map<std::string, FakeChatWindowNative*> views;
    std::vector<std::function<void()>> posted;
    int controllerListRebuilds = 0;

    bool GetBool(const std::string& key) const override {
        auto it = bools.find(key);
        return it != bools.end() && it->second;
    }
    std::string GetString(const std::string& key) const override {
        auto it = strings.find(key);
        return it == strings.end() ? std::string() : it->second;
    }
    bool IsKnownController(const std::string& c) const override { return controllers.count(c) != 0; }
    bool GetControllerRealName(const std::string& c, std::string& name) const override {
        auto it = controllers.find(c);
        if (it == controllers.end()) return false;
        name = it->second;
        return true;
    }
    bool GetPilotRealName(const std::string& c, std::string& name) const override {
        auto it = pilots.find(c);
        if (it == pilots.end()) return false;
        name = it->second;
        return true;
    }
    std::string GetCallsignForPositionId(const std::string& id) const override {
        auto it = positionIds.find(id);
        return it == positionIds.end() ? std::string() : it->second;
    }
    void ShowServerMessage(const std::string& t) override { calls.push_back("server " + t); }
    void ShowOverrideMessage(const std::string& s, const std::string& t) override {
        calls.push_back("override " + s + " " + t);
    }
    void ShowError(const std::string& t) override { calls.push_back("error " + t); }
    void ShowMessage(const std::string& t) override { calls.push_back("message " + t); }
    void RebuildAllMenus() override { calls.push_back("menus"); }
    void ActivateMainDisplay() override { calls.push_back("main display"); }
    std::string GetSelectedCallsign() const override { return selected; }
    bool GetMainWindowCorner(int* x, int* y) const override {
        if (!hasMainWindow) return false;
        *x = 40;
        *y = 60;
        return true;
    }
    bool IsPointOnMonitor(int x, int y) const override { return x >= 0 && y >= 0 && x < 1600 && y < 1200; }
    void SetUnreadFlag(const std::string& n) override { unread.insert(n); }
    void ClearUnreadFlag(const std::string& n) override { unread.erase(n); }
    void ClearAllUnreadFlags() override { unread.clear(); }
    void AddChatGroup(const std::string& n) override { calls.push_back("group slot " + n); }
    void RemoveChatPartner(const std::string& n) override { calls.push_back("forget " + n); }
    void RebuildControllerList() override { ++controllerListRebuilds; }
    void PlaySound(const std::string& key, bool interrupt) override {
        calls.push_back(std::string("sound ") + key + (interrupt ? " interrupt" : ""));
    }
    bool IsConnected() const override { return connected; }
    void SendTextMessage(const std::string& to, const std::string& t) override {
        calls.push_back("send " + to + " " + t);
    }
    void RequestATIS(const std::string& c) override { calls.push_back("atis " + c); }
    bool ExpandAliases(const std::string& in, std::string& out, const std::string& callsign) override {
        calls.push_back("expand " + in + " for " + callsign);
        if (aliasLoop) return false;
        auto it = aliases.find(in);
        out = it == aliases.end() ? std::string() : it->second;
        return true;
    }
    std::string GetDataDirectory() const override { return dataDirectory; }
    std::unique_ptr<ChatWindowView> CreateView(TarqChatWindow& window, int x, int y, int w, int h) override {
        auto view = std::make_unique<FakeChatWindowNative>();
        view->frame.rect = {x, y, x + w, y + h};
        view->window = &window;
        window.AttachFrame(&view->frame);
        views[window.GetCallsign()] = view.get();
        return view;
    }
    void PostLater(std::function<void()> job) override { posted.push_back(std::move(job)); }
    void RunPosted() {
        auto jobs = std::move(posted);
        posted.clear();
        for (auto& job : jobs) job();
    }
    // The calls since the last look.
    std::vector<std::string> Take() { return std::exchange(calls, {}); }
};

inline FakeChatWindowNative::~FakeChatWindowNative() {
    if (window) window->AttachFrame(nullptr);
}

struct RecordingForwarder : ChatCommandForwarder {
    std::vector<std::string> lines;
    void ForwardCommandLine(const std::string& line, const std::string& from) override {
        lines.push_back(from + "> " + line);
    }
};

// The manager with a store in a temporary directory, at 2026-12-10 09:05:07 UTC.
struct ChatFixture {
    static constexpr std::time_t kNow = 1796893507;  // 2026-12-10 09:05:07 UTC
    TempDir dir;
    TarqUserRegistry registry{dir.File("registry.ini")};
    ManualClock clock{0, kNow};
    RecordingChatHost host;
    RecordingForwarder forwarder;
    std::unique_ptr<TarqChatManager> manager;

    ChatFixture() { Start(); }
    ~ChatFixture() {
        if (manager) manager->CloseAllWindows();
    }
    void Start() { manager = std::make_unique<TarqChatManager>(host, forwarder, &registry, clock); }
    TarqChatWindow* Window(const std::string& name) const { return manager->FindWindow(name); }
    FakeChatWindowNative* View(const std::string& name) { return host.views[name]; }
    std::string Log(const std::string& name) const {
        TarqChatWindow* w = Window(name);
        return w ? w->GetLogText() : "(no window)";
    }
};
