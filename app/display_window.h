// The display window: a frame with an OpenGL area, and on the main display
// the callsign field, the command line, the button bar and the radio history;
// its menus come from the menu table. Implements TarqDisplay for the display
// manager and is the radio history's host.
// Tested through tests/app/program_test.cpp.
#pragma once

#include <cstdint>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/aircraft_actions.h"
#include "app/command_line_keys.h"
#include "app/context_menus.h"
#include "app/display.h"
#include "app/display_actions.h"
#include "app/display_commands.h"
#include "app/display_furniture.h"
#include "app/display_scope_host.h"
#include "app/display_views.h"
#include "app/program_buttons.h"
#include "app/scope_cursor.h"
#include "platform/gl_context_resources.h"
#include "platform/gl_font.h"
#include "scope/scope_gl.h"
#include "scope/target_manager.h"

class DisplayFrame;
class TarqDisplayScope;
class wxKeyEvent;

// The Windows virtual-key code of a key event: from the toolkit's code, or
// for keys it does not name from the X11 keysym through the one key table.
int VirtualKeyOfEvent(const wxKeyEvent& event);
// Typing over a window without a command line of its own (a secondary
// display, the strip bay) goes to the main display's command line: a key
// down, true when the command line's keys took it; a character, true when
// it was typed there. Both false when there is no main display.
bool ForwardKeyDownToMainCommandLine(const wxKeyEvent& event);
bool ForwardCharToMainCommandLine(const wxKeyEvent& event);
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
    void RedrawIfChanged(int displayNumber) override;
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
    // The text with the caret at its end, the focus left where it is.
    void SetCommandLine(const std::string& text);
    void SelectAllCommandLine();
    // Runs a line through the command processor on this display; the last
    // few are kept for tests.
    void RunCommand(const std::string& line) override;
    void RunMenuCommand(const std::string& line) override;
    const std::vector<std::string>& GetCommandsRun() const { return m_commandsRun; }
    // Raises the window with the focus in its command line.
    void Activate();

    // Glyph atlas texture of font 1 to 5 (0 for any other id or before the GL
    // area exists) and the size of a text in it, as drawn.
    unsigned GetFontTexture(int fontId) const;
    TextExtent MeasureText(int fontId, const std::string& text) const;
    bool IsVisible() const { return m_visible; }
    void SetVisible(bool visible) { m_visible = visible; }
    // The main display's radio history and button bar; null on a secondary display.
    TarqDisplayRadioHistory* GetRadioHistory() override;
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
    void SetScopeCursor(int cursor) override;

    // ScopeWindowPort
    void SetBusyCursor(bool busy) override;
    void HideScopeCursor() override;
    void ShowNoteMenu(uint64_t key, int x, int y) override;
    bool IsShiftDown() const override;
    void OpenAircraftMenuLater(const std::string& callsign, int x, int y) override;
    void OnAircraftClick(const std::string& callsign) override;
    void CloseDiagramsDialog() override;

    // The delayed context menus: the window's one-shot timer fired.
    void OnContextMenuTimer();
    // Shows the menu at a window pixel (y down) and carries out the choice.
    void ShowAircraftMenuAt(const std::string& callsign, int x, int y);
    void ShowAircraftMenu(const std::string& callsign, int screenX, int screenY) override;
    void ShowStickyNoteMenu(uint64_t key, int x, int y);
    // Modal; OK applies the text.
    void ShowTextEntryDialog(const TextEntryRequest& request);
    TarqAircraftActions& GetAircraftActions() { return m_actions; }
    TarqContextMenus& GetContextMenus() { return m_contextMenus; }
    // The title of the context menu shown last.
    const std::string& GetLastMenuTitle() const { return m_lastMenuTitle; }

    // Mouse over the GL area, in canvas pixels (y down).
    enum class ScopeMouseEvent {
        LeftDown,
        LeftUp,
        LeftDoubleClick,
        RightDown,
        RightUp,
        MiddleDown,
        Move,
        RightDoubleClick
    };
    void OnScopeMouse(ScopeMouseEvent kind, const ScopeMouse& mouse);
    // Wheel notches towards the user zoom in; a modifier zooms fast.
    void OnScopeWheel(int notches, bool fast);

    // TarqDisplayCommandHost
    void ClearMessageWaiting() override;
    bool OpenUrl(const std::string& url) override;
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
    // A character typed into the command line; true when it types nothing.
    bool SwallowCommandLineChar(int character, int virtualKey, bool ctrl, bool shift, bool alt);
    // The radio history's keys; true when it took the key.
    bool RadioHistoryKey(int virtualKey, bool ctrl);

    // The command line's own window; null on a secondary display.
    wxWindow* GetCommandLineWindow() const;

private:
    bool EnsureGl();
    // What the next frame would show, as ScopeGl::PictureKey and the
    // furniture's; 0 when it must be drawn regardless.
    uint64_t PictureKey(int width, int height);
    void StartContextMenuTimer(int ms);
    void OpenSectorFile();
    // Diagrams, oceanic tracks or the filters dialog, on this display.
    bool OpenScopeDialog(CommandId id);

    bool m_isMain;
    TarqDisplayCommands m_commands;
    DisplayFrame* m_frame = nullptr;
    int m_displayNumber = 0;
    int m_scopeCursor = kSystemCrossCursor;
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
    uint64_t m_drawnPicture = 0;  // PictureKey of the last frame drawn; 0: none
    DisplayActionServices m_actionServices{*this};
    TarqAircraftActions m_actions{m_actionServices};
    TarqContextMenus m_contextMenus{[this](int ms) { StartContextMenuTimer(ms); }};
    std::string m_lastMenuTitle;
    static constexpr size_t kCommandsKept = 16;
    std::vector<std::string> m_commandsRun;
};
