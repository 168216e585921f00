// TarqDisplayManager: owns the session's display windows, numbers them, knows
// the main one, owns the frame timer, closes displays at the next full redraw,
// and carries the message sinks and the selected callsign.
// Tested by tests/app/display_manager_test.cpp.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/display.h"
#include "app/frame_timer.h"
#include "foundation/display_services.h"

class TarqDisplayManager final : public TarqDisplayServices {
public:
    struct Hooks {
        // Whether a screen point lies on a connected monitor.
        std::function<bool(int x, int y)> isOnMonitor;
        // Plays the error cue; called on the main thread before an error line.
        std::function<void()> playErrorSound;
        // The window a second instance brings forward (SharedMainWindow).
        std::function<void(WindowHandle)> setSharedMainWindow;
        // Runs once per frame tick on the main thread while a main display exists.
        std::function<void()> frameTick;
        // Selection followers: the aircraft list's flight plan summary and the
        // strip bay's repaint.
        std::function<void(const std::string&)> showFlightPlanDetails;
        std::function<void()> repaintStrips;
        // The frame tick's key poll takes push-to-talk back from the
        // external push-to-talk message.
        std::function<void()> clearPushToTalkByMessage;
    };

    // post hands jobs to the main thread (the lines that worker threads give
    // the sinks), schedule arms the frame ticks; the constructing thread is the
    // main thread.
    TarqDisplayManager(TarqDisplayFactory& factory, TarqFrameTimer::Post post, TarqFrameTimer::Schedule schedule,
                       Hooks hooks);
    ~TarqDisplayManager() override;

    TarqDisplay* CreateDisplay(TarqDisplaySettings settings);
    TarqDisplay* NewWindow(const TarqDisplay& source);
    void RemoveDisplay(WindowHandle window);
    void ScheduleClose(WindowHandle window);
    void CloseAll();
    void Reset();
    void RedrawAll(bool onlyThreeD);
    // The frame tick's: each display redraws only if its picture changed.
    void RedrawChanged(bool onlyThreeD);

    WindowHandle GetMainWindow() override { return m_mainWindow; }
    TarqDisplay* GetMainDisplay() const { return m_mainDisplay; }
    std::string GetMainSectorFileName() const;
    TarqDisplay* GetDisplayById(int id) const;
    TarqDisplay* FindDisplay(WindowHandle window) const;
    int GetDisplayNumber(WindowHandle window) const;
    size_t DisplayCount() const { return m_displays.size(); }
    template <typename F>
    void ForEachDisplay(F&& f) const {
        for (const auto& entry : m_displays) f(*entry.second);
    }
    void SetActiveWindow(WindowHandle window) { m_activeWindow = window; }
    void ClearPushToTalkByMessage() {
        if (m_hooks.clearPushToTalkByMessage) m_hooks.clearPushToTalkByMessage();
    }
    TarqDisplay* GetActiveDisplay() const;
    bool IsClosePending(WindowHandle window) const { return m_pendingClose.count(window) != 0; }

    void RebuildMainButtonBar();
    void RebuildAllMenus() override;
    // Every display's oceanic tracks dialog; from a worker it posts itself
    // to the main thread (the track download ends there).
    void RefreshOceanicDialogs();
    // The track data changed: every display redraws (its oceanic tracks with
    // it) and refreshes its dialog. From a worker it posts itself too.
    void RefreshAllDisplays();
    void UpdateAllTitles() override;
    void CascadeDisplays();
    bool HasThreeDDisplay() const;
    void ReplaceColorProfile(const std::string& oldName, const std::string& newName) override;
    std::vector<TarqDisplaySettings> SaveLayout() override;

    // Chooses the cursor shown over the scopes from the main display's radar
    // mode (ChooseScopeCursor) and shows it on every display; a display
    // opened later gets it too.
    void ApplySettings(bool useSystemCursor, int primaryFrequency, const std::string& ownSymbol);
    int ScopeCursor() const { return m_scopeCursor; }

    void ToggleSeeAll() { m_seeAll = !m_seeAll; }
    bool IsSeeAll() const { return m_seeAll; }
    void ClearSeeAll() { m_seeAll = false; }

    // Message sinks: one line in the main display's radio history, dropped
    // when there is no main display. Any thread: a line from another thread
    // is handed to the main thread and shown there.
    void ShowError(const std::string& text) override;
    void ShowMessage(const std::string& text) override;
    void ShowServerMessage(const std::string& text);
    void ShowOverrideMessage(const std::string& sender, const std::string& text);

    std::string GetSelectedCallsign() const { return m_selectedCallsign; }
    void SetSelectedCallsign(const std::string& callsign);

    // Ends the frame timer for good; shut-down calls it before any global
    // object is deleted.
    void StopFrameTimer();
    TarqFrameTimer& FrameTimer() { return *m_frameTimer; }

private:
    void Redraw(bool onlyThreeD, bool onlyChanged);
    void AddLine(RadioMessageKind kind, const std::string& text, bool errorSound);

    TarqDisplayFactory& m_factory;
    TarqFrameTimer::Post m_post;
    Hooks m_hooks;
    std::thread::id m_mainThread;

    std::map<WindowHandle, std::unique_ptr<TarqDisplay>> m_displays;
    std::map<WindowHandle, int> m_windowIds;
    std::map<int, TarqDisplay*> m_displaysById;
    int m_nextId = 1;
    std::map<WindowHandle, bool> m_pendingClose;
    WindowHandle m_mainWindow = nullptr;
    TarqDisplay* m_mainDisplay = nullptr;
    WindowHandle m_activeWindow = nullptr;
    bool m_seeAll = false;
    int m_scopeCursor;
    std::string m_selectedCallsign;
    std::unique_ptr<TarqFrameTimer> m_frameTimer;
    // Lets jobs posted by the sinks know the manager is gone.
    std::shared_ptr<TarqDisplayManager*> m_self;
};
