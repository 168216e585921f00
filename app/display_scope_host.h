// What a display window's scope asks of the program: the profile's settings
// and the display's colour profile, the display manager's message lines and
// selected aircraft, the aircraft database, the main display's command line
// and fonts. The window supplies the few things only it can do through
// ScopeWindowPort. Tested through tests/app/scope_program_test.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "scope/scope_host.h"
#include "scope/target_state.h"

class GlBitmapFont;
class TarqDisplay;

// The window side of a scope's host.
class ScopeWindowPort {
public:
    virtual ~ScopeWindowPort() = default;
    virtual void SetBusyCursor(bool busy) = 0;
    virtual void HideScopeCursor() = 0;
    virtual bool SetClipboardText(const std::string& text) = 0;
    // The note menu ("Edit Text", "Delete Note") at a window pixel.
    virtual void ShowNoteMenu(uint64_t key, int x, int y) = 0;
    virtual bool IsShiftDown() const = 0;
    // A right press on a target: its menu, unless the button is dragged or
    // double-clicked before it opens.
    virtual void OpenAircraftMenuLater(const std::string& callsign, int x, int y) = 0;
    // A left click on a target, with whatever modifier keys are held.
    virtual void OnAircraftClick(const std::string& callsign) = 0;
    virtual void CloseDiagramsDialog() = 0;
};

class DisplayScopeHost final : public ScopeHost {
public:
    DisplayScopeHost(TarqDisplay& display, ScopeWindowPort& port) : m_display(display), m_port(port) {}

    int GetColor(const std::string& key) override;
    std::string GetColorProfileName() const override;
    TarqDisplay* GetDisplay() override { return &m_display; }
    int GetInt(const std::string& key) override;
    bool GetBool(const std::string& key) override;
    bool IsVFRCode(uint16_t code) override;
    bool IsMainDisplay() const override;
    TarqDisplayScope* GetMainScope() override;
    void ShowError(const std::string& text) override;
    void ShowInfo(const std::string& text) override;
    void ShowErrorBox(const std::string& text, const std::string& caption) override;
    void Redraw(bool resetProjection) override;
    void RebuildMenus() override;
    void UpdateTitle() override;
    void SetBusyCursor(bool busy) override { m_port.SetBusyCursor(busy); }
    void HideCursor() override { m_port.HideScopeCursor(); }
    bool SetClipboardText(const std::string& text) override { return m_port.SetClipboardText(text); }
    int64_t NowSeconds() override;
    bool FindAircraft(const std::string& callsign, ScopeAircraft& out) override;
    ScopeFlightPlan GetFlightPlan(const std::string& callsign) override;
    std::string GetSelectedCallsign() override;
    std::string GetCommandLine() override;
    void SetCommandLine(const std::string& text) override;
    void AddToCommandHistory(const std::string& text) override;
    bool ExpandAliases(const std::string& text, std::string& out, const std::string& contextCallsign) override;
    int MeasureText(const std::string& text, int fontId) override;
    PixelPoint GetMouseReadoutPlace(int width, int height) override;
    int GetOverlayTop(int height) override;
    void RequestNoteMenu(uint64_t noteKey, int x, int y) override { m_port.ShowNoteMenu(noteKey, x, y); }
    TarqDisplayScope* GetCaptureScope() override;
    void SetCaptureScope(TarqDisplayScope* scope) override;
    void ForceVisibilityUpdate() override;
    uint32_t GetDebugFlags() override;
    void MarkProfileModified() override;
    std::string GetStartDirectory() override;
    void GetOceanicTracks(OceanicTrackMap& out) override;
    void StartOceanicTracksDownload() override;
    void CloseDiagramsDialog() override { m_port.CloseDiagramsDialog(); }

private:
    TarqDisplay& m_display;
    ScopeWindowPort& m_port;
};

// What a display's targets read and do, over the global objects.
class DisplayTargetEnvironment final : public TargetEnvironment {
public:
    explicit DisplayTargetEnvironment(ScopeWindowPort& port) : m_port(port) {}
    TarqAircraftDB* GetAircraftDB() override;
    TarqControllerDB* GetControllerDB() override;
    std::string GetString(const std::string& key) override;
    std::vector<std::string> GetList(const std::string& key) override;
    int GetPrimaryFrequency() override;
    bool IsSeeAll() override;
    bool IsSuppressed(const std::string& callsign) override;
    bool IsShiftDown() override { return m_port.IsShiftDown(); }
    void SetSelectedCallsign(const std::string& callsign) override;
    void ShowFlightPlanDetails(const std::string& callsign) override;
    void ActOnSecondAircraft(const std::string& callsign) override { m_port.OnAircraftClick(callsign); }
    void OpenAircraftMenu(const std::string& callsign, int x, int y) override {
        m_port.OpenAircraftMenuLater(callsign, x, y);
    }

private:
    ScopeWindowPort& m_port;
};
