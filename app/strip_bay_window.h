// The flight strip bay's window: a tool window whose client area is one GL
// surface with its own context and fonts. It draws the bay's frames and
// turns the mouse into the bay's input calls; the bay decides everything.
// Tested by tests/app/program_test.cpp.
#pragma once

#include "tools/flight_strip_bay.h"

class ShellStripBayServices;

class WxStripBayWindow final : public StripBayView {
public:
    WxStripBayWindow(TarqFlightStripBay& bay, ShellStripBayServices& services);
    ~WxStripBayWindow() override;
    WxStripBayWindow(const WxStripBayWindow&) = delete;
    WxStripBayWindow& operator=(const WxStripBayWindow&) = delete;

    void CreateWindow() override;
    void DestroyWindow() override;
    void Repaint(bool relayout) override;
    void SetCursor(StripCursor cursor) override;
    int TrackContextMenu(const StripBayMenu& menu) override;
    bool EditAnnotation(std::string& text) override;

    // The dialog and its GL surface while they exist (tests).
    void* GetDialog() const;
    void* GetSurface() const;

private:
    class Dialog;
    friend class Dialog;

    TarqFlightStripBay& m_bay;
    ShellStripBayServices& m_services;
    Dialog* m_dialog = nullptr;
};
