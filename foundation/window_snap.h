// Window snapping: while a tool or display window is dragged or sized, its
// edges snap to the edges of the other registered, visible windows and of the
// screen's work area when they come within 15 pixels. The rules are a pure
// function (SnapPlacement); WindowSnapManager adds the registered windows and
// asks the windowing layer for rectangles through SnapWindowSystem.
// Tested by tests/foundation/window_snap_test.cpp.
#pragma once

#include <optional>
#include <set>
#include <vector>

#include "foundation/tool_window_place.h"
#include "platform/window_handle.h"

// A proposed placement of a window being moved or sized: top-left corner and
// outer size, which snapping may change.
struct WindowPlacement {
    WindowHandle window = nullptr;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
};

// Sides by index: 0 left, 1 top, 2 right, 3 bottom.
int& RectSide(ScreenRect& rect, int side);
int RectSide(const ScreenRect& rect, int side);

// Edges closer than this many pixels snap: 15 snaps, 16 does not.
inline constexpr int kSnapDistance = 16;

// The coordinate side `side` of n snaps to against o, if any. sameSide tests
// n's side against o's same side (the work area), otherwise against o's
// opposite side (docking), falling back to aligning with o's same side.
std::optional<int> TrySnapSide(const ScreenRect& n, const ScreenRect& o, int side, bool sameSide);

// Adjusts pos, whose window now has the rectangle current, against the
// targets (in the order given) and then the work area. Only sides that the
// placement moves are snapped; a dragged window keeps its size.
void SnapPlacement(WindowPlacement* pos, const ScreenRect& current, const std::vector<ScreenRect>& targets,
                   const ScreenRect& workArea);

// What the manager asks of the windowing layer.
class SnapWindowSystem {
public:
    virtual ~SnapWindowSystem() = default;
    // The primary screen less its panels.
    virtual ScreenRect WorkArea() const = 0;
    virtual bool IsControlDown() const = 0;
    // False for a window that no longer exists.
    virtual bool GetWindowRect(WindowHandle window, ScreenRect* rect) const = 0;
    virtual bool IsWindowVisible(WindowHandle window) const = 0;
};

// Main thread only.
class WindowSnapManager {
public:
    WindowSnapManager() = default;
    virtual ~WindowSnapManager() = default;
    WindowSnapManager(const WindowSnapManager&) = delete;
    WindowSnapManager& operator=(const WindowSnapManager&) = delete;

    // The process-wide manager, created on first use and never destroyed.
    static WindowSnapManager* GetInstance();

    // The windowing layer; without one SnapWindow changes nothing.
    void SetSystem(SnapWindowSystem* system) { m_system = system; }
    void RegisterWindow(WindowHandle window);
    void UnregisterWindow(WindowHandle window);
    bool IsRegistered(WindowHandle window) const { return m_windows.count(window) != 0; }
    void SnapWindow(WindowPlacement* pos);

    // One process-wide switch, on at start; the session opening turns it off
    // while it restores saved places.
    static void EnableSnapping();
    static void DisableSnapping();
    static bool IsSnappingEnabled();

private:
    SnapWindowSystem* m_system = nullptr;
    std::set<WindowHandle> m_windows;  // ascending handle order decides ties
};
