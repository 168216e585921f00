// TarqToolWindow: the behaviour every floating tool window shares: show,
// hide, toggle, move, place, roll up to the caption bar and back, and report
// the rectangle a profile saves. The native window sits behind
// ToolWindowFrame, which the window classes implement and tests fake.
// Tested by tests/foundation/tool_window_test.cpp.
#pragma once

#include "foundation/tool_window_place.h"

// The native window operations the base needs. Sizes are outer sizes in
// screen pixels.
class ToolWindowFrame {
public:
    virtual ~ToolWindowFrame() = default;
    virtual ScreenRect GetWindowRect() const = 0;
    virtual int GetClientHeight() const = 0;
    virtual bool IsShown() const = 0;
    // Shows without taking the focus, raises and repaints at once.
    virtual void ShowAndRaise() = 0;
    virtual void HideWindow() = 0;
    virtual void Activate() = 0;
    // Moves (and sizes, when width and height are not negative); with
    // activate also raises and focuses, else the stacking stays.
    virtual void Place(int x, int y, int width, int height, bool activate) = 0;
    virtual bool HasSizingFrame() const = 0;
    virtual void SetSizingFrame(bool sizing) = 0;
    // Whether the point lies on a connected monitor.
    virtual bool IsPointOnMonitor(int x, int y) const = 0;
    // Gives the focus back to the main display window, if there is one.
    virtual void ActivateMainDisplay() = 0;
};

class TarqToolWindow : public TarqToolWindowPlace {
public:
    TarqToolWindow() = default;
    ~TarqToolWindow() override = default;
    TarqToolWindow(const TarqToolWindow&) = delete;
    TarqToolWindow& operator=(const TarqToolWindow&) = delete;

    // The derived class attaches its window once it exists; null detaches it.
    void AttachFrame(ToolWindowFrame* frame) { m_frame = frame; }
    ToolWindowFrame* GetFrame() const { return m_frame; }

    // A window whose corner lies off every monitor is brought to 15,15 first;
    // a rolled-up window is rolled down.
    void Show();
    void Hide();
    void ToggleVisible();
    bool IsVisible() const override;
    void Activate();
    // Moves the top-left corner, keeping the size, without activating.
    void Move(int x, int y);
    // Moves, and sizes to (width field, height) when height is at least 1 (a
    // window without a fixed width keeps its width); activates.
    void SetPosition(int x, int y, int height);
    // The native window's size changed. A window sized here before the window
    // manager's frame was known keeps that outer size once it is known: X
    // toolkits learn the frame only after mapping and then keep the client
    // size, which would add the title bar to the height at every restart.
    void FrameSized();
    // The screen rectangle; a rolled-up window reports its unrolled height.
    void GetRect(ScreenRect* rect) const override;
    int GetWidth() const { return m_width; }
    void SetWidth(int width) { m_width = width; }
    bool IsCollapsed() const { return m_collapsed; }
    // Rolls the window up to its caption bar, or back down.
    void ToggleCollapse();

private:
    ToolWindowFrame* m_frame = nullptr;
    bool m_collapsed = false;
    int m_savedHeight = 0;
    int m_width = 0;
    // The frame style from before the roll-up, given back on the way down, so
    // a fixed-size window stays fixed-size.
    bool m_hadSizingFrame = false;
    // The outer size SetPosition gave and the frame height (outer minus
    // client) it was given with; held until the user sizes the window.
    bool m_holdingSize = false;
    int m_heldWidth = 0;
    int m_heldHeight = 0;
    int m_heldFrameHeight = 0;
};

// True when the point 15 pixels right of and below (x, y) lies on a monitor.
bool IsPointOnAnyMonitor(const ToolWindowFrame& frame, int x, int y);
