// Stand-ins for the global objects whose subsystems are not built yet: each
// has only what start-up, opening and closing a session and the frame tick
// call, and records those calls so the shell's tests can follow the steps.
// Each class goes when its subsystem brings the real one.
// Tested through tests/app/session_test.cpp and startup_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "foundation/session_services.h"
#include "foundation/tool_window_place.h"

// The calls the stand-ins received, as "Class::Operation" lines, while
// recording is on (tests only).
class PendingCallLog {
public:
    static void Record(const std::string& call);
    static void Start();
    static std::vector<std::string> Take();  // and stops recording
};

// A tool window that is only a place and a visibility flag until the
// tool-window subsystem exists.
class PendingToolWindow : public TarqToolWindowPlace {
public:
    explicit PendingToolWindow(std::string name) : m_name(std::move(name)) {}
    void Create();
    // height 0 keeps the window's height.
    void SetPosition(int x, int y, int height);
    void Show();
    void Hide();
    void ToggleVisible();
    bool IsVisible() const override { return m_visible; }
    void GetRect(ScreenRect* rect) const override;

protected:
    std::string m_name;

private:
    bool m_visible = false;
    ScreenRect m_rect{0, 0, 200, 300};
};

class TarqAircraftList : public PendingToolWindow {
public:
    TarqAircraftList();
    virtual ~TarqAircraftList();
    void OnTimer() {}
    void Rebuild();
    void LoadFieldSettings();
    void ShowFlightPlanDetails(const std::string& callsign);
};

class TarqControllerList : public PendingToolWindow {
public:
    TarqControllerList();
    virtual ~TarqControllerList();
    void Rebuild();
};

class TarqCommsPanel : public PendingToolWindow {
public:
    TarqCommsPanel();
    virtual ~TarqCommsPanel();
    void OnFrameTick() {}
    void Refresh();
    void ApplyAudioSettings();
    void ResetVoice();
    int GetPrimaryFrequency() const { return 0; }
};

class TarqFlightPlanEditor : public PendingToolWindow {
public:
    TarqFlightPlanEditor();
    virtual ~TarqFlightPlanEditor();
};
