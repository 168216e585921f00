// What the profile save reads of a tool window (its visibility and saved
// rectangle), as an interface the tool-window base implements and tests fake,
// plus the pointers to the seven tool windows whose place a profile keeps.
// Tested through tests/foundation/profile_save_test.cpp.
#pragma once

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

class TarqToolWindowPlace {
public:
    virtual ~TarqToolWindowPlace() = default;
    virtual bool IsVisible() const = 0;
    // The screen rectangle; a rolled-up window reports its unrolled height.
    virtual void GetRect(ScreenRect* rect) const = 0;
};

// Set while a session is open by whoever creates the windows; a null pointer
// means the window does not exist and its stored place is left as it is.
struct TarqSessionToolWindows {
    TarqToolWindowPlace* commsPanel = nullptr;
    TarqToolWindowPlace* weatherPanel = nullptr;
    TarqToolWindowPlace* controllerList = nullptr;
    TarqToolWindowPlace* aircraftList = nullptr;
    TarqToolWindowPlace* flightPlanEditor = nullptr;
    TarqToolWindowPlace* stripBay = nullptr;
    TarqToolWindowPlace* selcalPanel = nullptr;
};

extern TarqSessionToolWindows g_sessionToolWindows;
