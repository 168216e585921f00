// What a scope needs from its display window and the rest of the program:
// settings and colours, message lines, redraws and menus, the clipboard, the
// aircraft, the command line and alias expansion. The display window
// implements it; tests pass a recording fake (tests/scope/fake_scope_host.h).
#pragma once

#include <cstdint>
#include <string>

#include "atc/oceanic_tracks.h"
#include "atc/scope_point.h"
#include "scope/scope_projection.h"

class TarqDisplay;
class TarqDisplayScope;

// What the tools and the 3-D view read of one aircraft.
struct ScopeAircraft {
    ScopePoint position;  // absolute degrees (x longitude)
    int groundSpeed = 0;  // knots
    double heading = 0.0;
    ScopePoint smoothedPosition;  // absolute degrees
    int smoothedAltitude = 0;     // feet
    double smoothedHeading = 0.0;
};

// The parts of a filed flight plan the route display reads.
struct ScopeFlightPlan {
    std::string departure;
    std::string destination;
    std::string route;
};

class ScopeHost {
public:
    virtual ~ScopeHost() = default;

    // The display's colour profile: 24-bit colour, red in the low byte.
    virtual int GetColor(const std::string& key) = 0;
    virtual std::string GetColorProfileName() const = 0;
    // The display window the scope draws into; null without one.
    virtual TarqDisplay* GetDisplay() = 0;
    virtual int GetInt(const std::string& key) = 0;
    virtual bool GetBool(const std::string& key) = 0;
    // The profile's VFR codes ("VFRCodes"), the code's digits as a number.
    virtual bool IsVFRCode(uint16_t code) = 0;

    virtual bool IsMainDisplay() const = 0;
    // The main display's scope (this one on the main display); null when none.
    virtual TarqDisplayScope* GetMainScope() = 0;

    // Error lines play the error sound; both go to the main display's history.
    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowInfo(const std::string& text) = 0;
    // A modal error box owned by the display window.
    virtual void ShowErrorBox(const std::string& text, const std::string& caption) = 0;

    // Redraw now; with resetProjection the viewport is read again.
    virtual void Redraw(bool resetProjection) = 0;
    virtual void RebuildMenus() = 0;
    virtual void UpdateTitle() = 0;
    virtual void SetBusyCursor(bool busy) = 0;
    virtual void HideCursor() = 0;
    virtual bool SetClipboardText(const std::string& text) = 0;

    // Wall-clock seconds since the epoch.
    virtual int64_t NowSeconds() = 0;

    virtual bool FindAircraft(const std::string& callsign, ScopeAircraft& out) = 0;
    // An empty plan when the aircraft has none.
    virtual ScopeFlightPlan GetFlightPlan(const std::string& callsign) = 0;
    // The radio-selected aircraft; empty when none.
    virtual std::string GetSelectedCallsign() = 0;

    // The main display's command line and command history.
    virtual std::string GetCommandLine() = 0;
    virtual void SetCommandLine(const std::string& text) = 0;
    virtual void AddToCommandHistory(const std::string& text) = 0;

    // Aliases then "$" variables, with contextCallsign as the alias context
    // callsign for this one expansion. False on an alias loop.
    virtual bool ExpandAliases(const std::string& text, std::string& out, const std::string& contextCallsign) = 0;
    // Width in pixels of text in a font of the main display (1 to 5).
    virtual int MeasureText(const std::string& text, int fontId) = 0;
    // Where the mouse readout starts in a viewport of that size (pixels, y
    // up): clear of the main display's button bar and radio history.
    virtual PixelPoint GetMouseReadoutPlace(int width, int height) = 0;
    // The highest pixel row (y up) that the scope's own overlays along the
    // top edge (the 3-D heading tape) may use in a viewport that high: the
    // rows above belong to the main display's button bar.
    virtual int GetOverlayTop(int height) = 0;

    // The note menu ("Edit Text", "Delete Note") for a sticky note, at a
    // window pixel (y down).
    virtual void RequestNoteMenu(uint64_t noteKey, int x, int y) = 0;
    // The display manager's slot for the scope that holds a note drag.
    virtual TarqDisplayScope* GetCaptureScope() = 0;
    virtual void SetCaptureScope(TarqDisplayScope* scope) = 0;

    // The network manager resends the visibility centres on its next poll.
    virtual void ForceVisibilityUpdate() = 0;
    // The ".debug" flags: 1 shows the debug overlay, 2 hides the targets.
    virtual uint32_t GetDebugFlags() = 0;
    // Closing the session then offers to save the profile.
    virtual void MarkProfileModified() = 0;
    // The directory the parse report goes to.
    virtual std::string GetStartDirectory() = 0;
    // The North Atlantic tracks: a copy of the current map, and the download
    // the oceanic tracks dialog starts.
    virtual void GetOceanicTracks(OceanicTrackMap& out) = 0;
    // Closes the scope's diagrams dialog when it is open: its rows name the
    // procedures of the file it was filled from.
    virtual void CloseDiagramsDialog() = 0;
    virtual void StartOceanicTracksDownload() = 0;
};
