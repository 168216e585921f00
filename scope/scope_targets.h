// The seam through which a scope's targets are drawn and clicked: the target
// manager of the targets work implements it. Until then a scope has none and
// the frame draws no targets. Calls come on the main thread with the scope's
// GL context current (Draw) or from its mouse handlers.
#pragma once

#include <string>

class ScopeTargets {
public:
    virtual ~ScopeTargets() = default;
    // Every target of the scope for this frame: window pixels (2-D, screen
    // pass) or the 3-D scene with the camera applied (in3D).
    virtual void Draw(bool in3D) = 0;
    virtual void SetRadarMode(int mode) = 0;
    // Window pixels, y down; whether the targets took the click.
    virtual bool OnLeftButtonDown(int x, int y) = 0;
    virtual void OnLeftButtonUp() = 0;
    virtual bool OnMiddleButtonDown(int x, int y) = 0;
    virtual bool OnRightButtonDown(int x, int y) = 0;
    virtual void Declutter() = 0;
    virtual void ToggleSepRings() = 0;
    virtual void MarkPointout(const std::string& callsign) = 0;
    virtual void RefreshAnchor(const std::string& callsign) = 0;
};
