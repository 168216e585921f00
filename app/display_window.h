// The display window: a frame with an OpenGL area, and on the main display
// the callsign field, the command line, the button bar and the radio history;
// its menus come from the menu table. Implements TarqDisplay for the display
// manager and is the radio history's host.
// Tested through tests/app/program_test.cpp.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/display.h"
#include "app/display_commands.h"
#include "app/display_furniture.h"
#include "app/display_scope_host.h"
#include "app/display_views.h"
#include "app/program_buttons.h"
#include "platform/gl_context_resources.h"
#include "platform/gl_font.h"
#include "scope/scope_gl.h"
#include "scope/target_manager.h"

class DisplayFrame;
class TarqDisplayScope;
class TarqSessionUi;
struct ScopeMouse;

class WxDisplayWindow final : public TarqDisplay,
                              public RadioHistoryHost,
                              public TarqDisplayCommandHost,
                              public ScopeWindowPort,
                              public ScopeFontSource {
public:
    WxDisplayWindow(const TarqDisplaySettings& settings, bool isMain, TarqSessionUi& session);
    ~WxDisplayWindow() override;

    WindowHandle GetWindow() const override;
    bool IsMainDisplay() const override { return m_isMain; }
    void Redraw() override { Redraw(false, 0); }
    void Redraw(bool relayout, int displayNumber) override;
    void UpdateTitle() override;
    void RebuildMenus() override;
    void RebuildButtonBar() override;
    void SetPosition(int x, int y) override;
    int GetRadarMode() const override { return m_commands.Settings().Mode; }
    std::string GetColorProfileName() const override { return m_commands.Settings().ColorProfile; }
    void SetColorProfile(const std::string& name) override { m_commands.SetColorProfile(name); }
    std::string GetSectorFileName() const override;
    TarqDisplaySettings CaptureSettings() const override;
    void AddRadioLine(RadioMessageKind kind, const std::string& text) override;
    void SetCallsignField(const std::string& callsign) override;
    // Main display: the command line's text.
    std::string GetCommandLine() const;
    void PrefillCommandLine(const std::string& text) override;

    // Display-list base of font 1 to 5 (0 for any other id or before the GL
    // area exists) and the size of a text in it, as drawn.
    unsigned GetFontListBase(int fontId) const;
    TextExtent MeasureText(int fontId, const std::string& text) const;
    bool IsVisible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    // The main display's radio history and button bar; null on a secondary display.
    TarqDisplayRadioHistory* GetRadioHistory();
    TarqDisplayButtonBar* GetButtonBar();
    // The scope's show mask.
    int GetShowMask() const { return m_commands.Settings().Toggles; }

    // RadioHistoryHost
    const GlBitmapFont* GetFont(int id) const override;
    GlContextResources* GetGlResources() const override { return m_gl.get(); }
    void EnsureRadioHistoryShown() override;
    int GetPrimaryFrequency() override;
    void PlaySoundSetting(const std::string& key, bool interrupt) override;
    void ShowErrorLine(const std::string& text) override;
    void ShowInfoLine(const std::string& text) override;
    bool SetClipboardText(const std::string& text) override;
    // The display's colour profile's background (0xBBGGRR), which its scope clears to.
    int BackgroundColor() const;
    // The GL area's place on the screen.
    void GetGlAreaScreenRect(int* x, int* y, int* width, int* height) const;

    // The display's scope; null only while the window is being made.
    TarqDisplayScope* GetScope() const override { return m_scope.get(); }
    void SaveBookmark(int n) override;
    void RecallBookmark(int n) override;
    void ShowTrafficCall(const std::string& a, const std::string& b) override;
    void ShowRangeBearing(const std::string& first, const std::string& second) override;
    void SelectControllerFromCommandLine() override;

    // ScopeWindowPort
    void SetBusyCursor(bool busy) override;
    void HideScopeCursor() override;
    void ShowNoteMenu(uint64_t key, int x, int y) override;
    bool IsShiftDown() const override;

    // Mouse over the GL area, in canvas pixels (y down).
    enum class ScopeMouseEvent { LeftDown, LeftUp, RightDown, RightUp, MiddleDown, Move, RightDoubleClick };
    void OnScopeMouse(ScopeMouseEvent kind, const ScopeMouse& mouse);
    // Wheel notches towards the user zoom in; a modifier zooms fast.
    void OnScopeWheel(int notches, bool fast);

    // TarqDisplayCommandHost
    void ClearMessageWaiting() override;
    void OpenUrl(const std::string& url) override;
    void ShowConnectDialog() override;
    void RefreshOceanicDialog() override;
    void SetBackgroundColor(const std::string& colorProfile, int rgb) override;
    void ZoomIn(bool fast) override;
    void ZoomOut(bool fast) override;

    // Handlers the frame forwards.
    // Open Sector and Diagrams here, the rest through the commands; the scope follows.
    bool OnMenuCommand(int id);
    bool OnMenuCommand(CommandId id) { return OnMenuCommand(static_cast<int>(id)); }
    void OnCloseRequest() { m_commands.OnCloseRequest(); }
    void Layout();
    // Canvas pixels, y downward; true when the bar or the history took it.
    bool OnLeftButtonDown(int x, int y);
    // A key in the command line, by virtual-key code; true when taken.
    bool OnCommandLineKey(int virtualKey, bool ctrl);
    // Runs a command line on this display (aliases allowed); Enter records
    // the typed line in the command history, menus do not.
    void RunCommand(const std::string& line, bool addToHistory = false);
    // The "ASELKey" key on the typed line; false when the line is no dot-command.
    bool RunWithSelectedAircraft(const std::string& line);
    // The line that replaces the command line's text on Up (older) or Down
    // (newer).
    std::string BrowseCommandHistory(bool older, const std::string& current);
    // Makes the window the active one, so typing goes on in the command line.
    void Activate();

private:
    bool EnsureGl();
    void OpenSectorFile();

    bool m_isMain;
    TarqDisplayCommands m_commands;
    DisplayFrame* m_frame = nullptr;
    int m_displayNumber = 0;
    bool m_visible = true;
    bool m_glReady = false;
    std::unique_ptr<GlContextResources> m_gl;  // fonts and lists of this display's context
    TarqProgramButtonKinds m_buttonKinds{*this};
    std::unique_ptr<TarqDisplayFurniture> m_furniture;  // main display only
    DisplayScopeHost m_scopeHost{*this, *this};
    DisplayTargetEnvironment m_targetEnvironment{*this};
    std::unique_ptr<TarqDisplayScope> m_scope;
    std::unique_ptr<TarqTargetManager> m_targets;
    std::unique_ptr<TarqDisplayViews> m_views;
    std::unique_ptr<ScopeGl> m_scopeGl;  // made, used and freed with the GL context current
};
