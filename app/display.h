// What the display manager, the message sinks and the frame tick ask of one
// display window. The wx window implements it; tests use a recording fake.
// Tested through tests/app/display_manager_test.cpp.
#pragma once

#include <memory>
#include <string>

#include "foundation/display_settings.h"
#include "platform/window_handle.h"

class TarqDisplayRadioHistory;
class TarqDisplayScope;

// The kind of a radio-history line, 0 to 11.
enum class RadioMessageKind {
    PrimaryRadio = 0,
    OtherRadio = 1,
    OwnRadio = 2,
    AtcChannel = 3,
    Broadcast = 4,
    Wallop = 5,
    Error = 6,
    Information = 7,
    Server = 8,
    OwnPrivate = 9,
    Guard = 10,
    Override = 11,
};

class TarqDisplay {
public:
    virtual ~TarqDisplay() = default;
    virtual WindowHandle GetWindow() const = 0;
    virtual bool IsMainDisplay() const = 0;
    // Draws one frame; a number other than 0 that differs from the stored one
    // is stored and shown in the title.
    virtual void Redraw(bool relayout, int displayNumber) = 0;
    // The frame tick's redraw: as Redraw(false, displayNumber), but a 2-D
    // display whose picture cannot have changed since its last frame (no
    // traffic, the same view, overlay and furniture) is left as it is.
    virtual void RedrawIfChanged(int displayNumber) = 0;
    virtual void UpdateTitle() = 0;
    virtual void RebuildMenus() = 0;
    virtual void RebuildButtonBar() = 0;
    // Moves the window without resizing or activating it.
    virtual void SetPosition(int x, int y) = 0;
    virtual int GetRadarMode() const = 0;
    virtual std::string GetColorProfileName() const = 0;
    virtual void SetColorProfile(const std::string& name) = 0;
    virtual std::string GetSectorFileName() const = 0;
    // The window's screen rectangle and state and its scope's settings, as a
    // profile stores them.
    virtual TarqDisplaySettings CaptureSettings() const = 0;
    // One line in the radio history (main display only).
    virtual void AddRadioLine(RadioMessageKind kind, const std::string& text) = 0;
    // The main display's radio history; null on the others.
    virtual TarqDisplayRadioHistory* GetRadioHistory() = 0;
    // The selected-callsign field (main display only).
    virtual void SetCallsignField(const std::string& callsign) = 0;
    // Main display: the command line's text, the caret at its end and the
    // focus in it.
    virtual void PrefillCommandLine(const std::string& text) = 0;
    // The one way a line reaches the command processor, for the command
    // line, the aircraft menu and the clicks on targets.
    virtual void RunCommand(const std::string& line) = 0;
    // A line a menu built (the controller list's, the weather panel's):
    // through the command processor with alias expansion off and without
    // entering the command history, so a user's alias cannot take it over.
    virtual void RunMenuCommand(const std::string& line) = 0;
    // The display's radar scope; null while the window is being made.
    virtual TarqDisplayScope* GetScope() const = 0;
    // Refills the scope's oceanic tracks dialog when it is open.
    virtual void RefreshOceanicDialog() = 0;
    // Main display: view bookmarks 1 to 9; recall 0 is the view before the
    // last recall.
    virtual void SaveBookmark(int n) = 0;
    virtual void RecallBookmark(int n) = 0;
    // Main display: the traffic call-out for aircraft a about aircraft b.
    virtual void ShowTrafficCall(const std::string& a, const std::string& b) = 0;
    // Main display: heading and distance from a named point to a point or an aircraft.
    virtual void ShowRangeBearing(const std::string& first, const std::string& second) = 0;
    // Main display: the aircraft menu for the callsign at a screen point, its
    // choice carried out.
    virtual void ShowAircraftMenu(const std::string& callsign, int screenX, int screenY) = 0;
    // Main display: opens the chat of the controller or chat group named on
    // the command line, which is emptied.
    virtual void SelectControllerFromCommandLine() = 0;
    // The cursor shown over the scope: a number ChooseScopeCursor gives.
    virtual void SetScopeCursor(int cursor) = 0;
};

// Makes display windows; the display manager owns what it returns.
class TarqDisplayFactory {
public:
    virtual ~TarqDisplayFactory() = default;
    virtual std::unique_ptr<TarqDisplay> CreateDisplay(const TarqDisplaySettings& settings, bool isMain) = 0;
};
