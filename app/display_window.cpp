// Tested through tests/app/program_test.cpp.
#include "app/display_window.h"

#include <GL/gl.h>
#include <wx/clipbrd.h>
#include <wx/filedlg.h>
#include <wx/glcanvas.h>
#include <wx/timer.h>
#include <wx/wx.h>

#include <algorithm>

#include "app/command_bindings.h"
#include "app/connect_dialog_wx.h"
#include "app/diagrams_dialog_wx.h"
#include "app/display_layout.h"
#include "app/display_manager.h"
#include "app/global_objects.h"
#include "app/menu_builder.h"
#include "app/menu_table.h"
#include "app/menu_title.h"
#include "app/oceanic_dialog_wx.h"
#include "app/scope_cursor.h"
#include "app/session.h"
#include "app/settings_dialogs_wx.h"
#include "app/shell_state.h"
#include "app/window_snap_wx.h"
#include "app/wx_image.h"
#include "app/wx_text.h"
#include "atc/aircraft_db.h"
#include "foundation/profile.h"
#include "foundation/prompts.h"
#include "platform/clock.h"
#include "platform/key_state.h"
#include "platform/message_box.h"
#include "platform/url_open.h"
#include "scope/display_scope.h"
#include "scope/picture_hash.h"
#include "scope/sector_library.h"
#include "scope/sticky_builder.h"

namespace {

constexpr int kCommandLineHeight = 24;
constexpr int kCallsignWidth = 90;

// What the command line, the accelerators and the clicks on targets read of
// the keyboard; shared by every display.
const KeyState& Keyboard() {
    static std::unique_ptr<KeyState> keys = CreateX11KeyState();
    return *keys;
}

// One parse of a sector file serves every display that shows it.
SectorLibrary& SharedSectorLibrary() {
    static SectorLibrary library;
    return library;
}

ScopeMouse MouseOf(const wxMouseEvent& event) {
    ScopeMouse mouse;
    mouse.x = event.GetX();
    mouse.y = event.GetY();
    mouse.left = event.LeftIsDown();
    mouse.right = event.RightIsDown();
    mouse.middle = event.MiddleIsDown();
    mouse.shift = event.ShiftDown();
    mouse.ctrl = event.ControlDown();
    mouse.alt = event.AltDown();
    return mouse;
}

wxGLAttributes GlAttributes() {
    wxGLAttributes attributes;
    attributes.PlatformDefaults().RGBA().DoubleBuffer().Depth(16).EndList();
    return attributes;
}

WxDisplayWindow* MainDisplayWindow() {
    return g_displayManager ? dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay()) : nullptr;
}

}  // namespace

bool ForwardKeyDownToMainCommandLine(const wxKeyEvent& event) {
    WxDisplayWindow* main = MainDisplayWindow();
    const int key = VirtualKeyOfEvent(event);
    return main && key != 0 && main->OnCommandLineKey(key, event.RawControlDown());
}

bool ForwardCharToMainCommandLine(const wxKeyEvent& event) {
    WxDisplayWindow* main = MainDisplayWindow();
    auto* commandLine = main ? dynamic_cast<wxTextCtrl*>(main->GetCommandLineWindow()) : nullptr;
    const wxChar c = event.GetUnicodeKey();
    if (!commandLine || c == WXK_NONE || c < ' ' || event.ControlDown() || event.AltDown()) return false;
    // The hotkeys type nothing here either.
    if (main->SwallowCommandLineChar(static_cast<int>(c), VirtualKeyOfEvent(event), false, event.ShiftDown(),
                                     false))
        return true;
    commandLine->SetInsertionPointEnd();
    commandLine->WriteText(wxString(c));
    return true;
}

int VirtualKeyOfEvent(const wxKeyEvent& event) {
    // The toolkit names the common keys; the rest (punctuation, the left and
    // right modifiers) come by their keysym through the key table.
    const int code = event.GetKeyCode();
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) return code;
    if (code >= 'a' && code <= 'z') return code - 'a' + 'A';
    if (code >= WXK_F1 && code <= WXK_F24) return 0x70 + (code - WXK_F1);
    if (code >= WXK_NUMPAD0 && code <= WXK_NUMPAD9) return 0x60 + (code - WXK_NUMPAD0);
    switch (code) {
        case WXK_TAB:
            return vk::kTab;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            return vk::kEnter;
        case WXK_ESCAPE:
            return vk::kEscape;
        case WXK_SPACE:
            return 0x20;
        case WXK_PAGEUP:
            return vk::kPageUp;
        case WXK_PAGEDOWN:
            return vk::kPageDown;
        case WXK_END:
            return vk::kEnd;
        case WXK_HOME:
            return vk::kHome;
        case WXK_UP:
            return vk::kUp;
        case WXK_DOWN:
            return vk::kDown;
        case WXK_INSERT:
            return 0x2D;
        default:
            return KeysymToVirtualKey(event.GetRawKeyCode());
    }
}

// The frame; its handlers forward to the display while it lives. The display
// can go (deleted by the display manager) before wx deletes the frame.
class DisplayFrame : public wxFrame {
public:
    DisplayFrame(wxWindow* owner, WxDisplayWindow* display, bool isMain, const TarqDisplaySettings& s)
        : wxFrame(owner, wxID_ANY, "Tarq", wxPoint(s.LocX, s.LocY), wxSize(s.Width, s.Height)),
          m_display(display) {
        SetProgramIcon(*this);
        SetBackgroundColour(*wxBLACK);
        canvas = new wxGLCanvas(this, GlAttributes(), 1005);
        context = std::make_unique<wxGLContext>(canvas);
        // Until the display manager chooses the scope cursor.
        canvas->SetCursor(wxCursor(wxCURSOR_CROSS));
        if (isMain) {
            callsign = new wxTextCtrl(this, 1091, "", wxDefaultPosition, wxDefaultSize, wxTE_READONLY);
            commandLine =
                new wxTextCtrl(this, 1006, "", wxDefaultPosition, wxDefaultSize, wxTE_PROCESS_ENTER);
            for (wxTextCtrl* edit : {callsign, commandLine}) {
                edit->SetBackgroundColour(*wxBLACK);
                edit->SetForegroundColour(*wxWHITE);
            }
            commandLine->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
                int key = VirtualKeyOfEvent(event);
                if (m_display && key != 0 && m_display->OnCommandLineKey(key, event.RawControlDown())) return;
                event.Skip();
            });
            commandLine->Bind(wxEVT_CHAR, [this](wxKeyEvent& event) {
                int c = static_cast<int>(event.GetUnicodeKey());
                if (c == WXK_NONE) c = event.GetKeyCode();
                if (m_display &&
                    m_display->SwallowCommandLineChar(c, VirtualKeyOfEvent(event), event.RawControlDown(),
                                                      event.ShiftDown(), event.AltDown()))
                    return;
                event.Skip();
            });
        }
        canvas->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxPaintDC dc(canvas);
            if (m_display) m_display->Redraw(false, 0);
        });
        canvas->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
            if (m_display && m_display->OnLeftButtonDown(event.GetX(), event.GetY())) return;
            if (m_display)
                m_display->OnScopeMouse(WxDisplayWindow::ScopeMouseEvent::LeftDown, MouseOf(event));
            event.Skip();
        });
        using Kind = WxDisplayWindow::ScopeMouseEvent;
        const std::pair<wxEventTypeTag<wxMouseEvent>, Kind> mouseEvents[] = {
            {wxEVT_LEFT_UP, Kind::LeftUp},   {wxEVT_RIGHT_DOWN, Kind::RightDown},
            {wxEVT_RIGHT_UP, Kind::RightUp}, {wxEVT_MIDDLE_DOWN, Kind::MiddleDown},
            {wxEVT_MOTION, Kind::Move},      {wxEVT_RIGHT_DCLICK, Kind::RightDoubleClick},
            {wxEVT_LEFT_DCLICK, Kind::LeftDoubleClick}};
        for (const auto& [type, kind] : mouseEvents) {
            canvas->Bind(type, [this, kind = kind](wxMouseEvent& event) {
                if (m_display) m_display->OnScopeMouse(kind, MouseOf(event));
                event.Skip();
            });
        }
        canvas->Bind(wxEVT_MOUSEWHEEL, [this](wxMouseEvent& event) {
            int delta = event.GetWheelDelta() > 0 ? event.GetWheelDelta() : 120;
            if (m_display)
                m_display->OnScopeWheel(event.GetWheelRotation() / delta,
                                        event.ControlDown() || event.ShiftDown());
        });
        // Typing over the scope goes to the command line, the key that moves
        // the focus there included. A secondary display has none: its keys go
        // to the main display's, and the focus stays where the user works.
        canvas->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
            if (commandLine) {
                // Focusing selects the whole line; what is typed goes after it.
                commandLine->SetFocus();
                commandLine->SetInsertionPointEnd();
            }
            if (ForwardKeyDownToMainCommandLine(event)) return;
            event.Skip();  // a character follows to the canvas
        });
        canvas->Bind(wxEVT_CHAR, [](wxKeyEvent& event) {
            if (!ForwardCharToMainCommandLine(event)) event.Skip();
        });
        Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
            if (m_display) {
                m_display->Layout();
                m_display->Redraw(true, 0);
            }
            event.Skip();
        });
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
            // Displays are never destroyed in their own handlers: the display
            // manager deletes them at its next full redraw.
            event.Veto();
            if (m_display) m_display->OnCloseRequest();
        });
        Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
            if (m_display) {
                m_display->SetVisible(!IsIconized());
                if (g_displayManager) g_displayManager->SetActiveWindow(m_display->GetWindow());
            }
            event.Skip();
        });
        Bind(wxEVT_ICONIZE, [this](wxIconizeEvent& event) {
            if (m_display) m_display->SetVisible(!event.IsIconized());
            event.Skip();
        });
        Bind(wxEVT_MENU, [this](wxCommandEvent& event) {
            if (m_display) m_display->OnMenuCommand(FromToolkitId(event.GetId()));
        });
        menuTimer.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
            if (m_display) m_display->OnContextMenuTimer();
        });
    }

    WxDisplayWindow* m_display;
    wxGLCanvas* canvas = nullptr;
    std::unique_ptr<wxGLContext> context;
    wxTextCtrl* callsign = nullptr;
    wxTextCtrl* commandLine = nullptr;
    wxTimer menuTimer;
};

WxDisplayWindow::WxDisplayWindow(const TarqDisplaySettings& settings, bool isMain, TarqSessionUi& session)
    : m_isMain(isMain), m_commands(settings, isMain, *this, *this, session) {
    wxWindow* owner = nullptr;
    if (!isMain && g_displayManager) owner = static_cast<wxWindow*>(g_displayManager->GetMainWindow());
    m_frame = new DisplayFrame(owner, this, isMain, settings);
    AttachWindowSnapping(m_frame);
    m_gl = std::make_unique<GlContextResources>(
        [frame = m_frame] { return frame->context->IsOK() && frame->canvas->SetCurrent(*frame->context); });
    m_scope = std::make_unique<TarqDisplayScope>(m_scopeHost, settings, &SharedSectorLibrary());
    m_scope->SetBackgroundColor(settings.ColorProfile, BackgroundColor());
    m_targets = std::make_unique<TarqTargetManager>(*m_scope, *this, m_scope->GetRadarMode());
    m_targets->SetEnvironment(&m_targetEnvironment);
    m_scope->SetTargets(m_targets.get());
    m_views = std::make_unique<TarqDisplayViews>(
        *m_scope, [this] { Redraw(true, 0); },
        [this](const std::string& text) {
            if (TarqDisplayRadioHistory* history = GetRadioHistory())
                history->AddOwnMessage(text, {}, RadioMessageKind::OwnRadio);
        });

    m_frame->SetMenuBar(BuildCommandMenuBar(isMain ? kMainMenu : kSecondaryMenu));

    m_frame->Show();
    if (settings.Maximized) m_frame->Maximize();
    Layout();
    UpdateTitle();
    if (isMain && g_profile) {
        m_furniture = std::make_unique<TarqDisplayFurniture>(this, *this, m_buttonKinds, *g_profile,
                                                             SystemClock::Instance());
        // A new main display starts with an empty command history.
        CommandProcessorOfShell().History().Clear();
    }
    RebuildMenus();
}

WxDisplayWindow::~WxDisplayWindow() {
    m_scopeGl.reset();
    DiagramsDialogWindow::Close(m_frame);
    OceanicDialogWindow::Close(m_frame);
    if (m_scope) m_scope->SetTargets(nullptr);
    m_views.reset();
    m_targets.reset();
    m_scope.reset();
    m_furniture.reset();
    // Displays are closed from another display's redraw: free this one's
    // names in this one's context.
    m_gl.reset();
    m_frame->m_display = nullptr;
    m_frame->Destroy();
}

WindowHandle WxDisplayWindow::GetWindow() const { return static_cast<wxWindow*>(m_frame); }

bool WxDisplayWindow::EnsureGl() {
    if (!m_frame->canvas->IsShownOnScreen()) return false;
    if (!m_gl->MakeCurrent()) return false;
    if (!m_glReady) {
        m_glReady = true;
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        for (int id : {2, 1, 3, 4, 5}) m_gl->LoadFont(id, DisplayFontSpec(id));
        m_scopeGl = std::make_unique<ScopeGl>(*m_scope, *this, *m_gl);
    }
    return true;
}

int WxDisplayWindow::BackgroundColor() const {
    return g_profile ? g_profile->GetColor(m_commands.Settings().ColorProfile, "ColorBackground") : 0;
}

uint64_t WxDisplayWindow::PictureKey(int width, int height) {
    // Targets move and blink with every report: any traffic redraws.
    if (!m_scopeGl || (g_aircraftDB && !g_aircraftDB->GetCallsigns().empty())) return 0;
    uint64_t scope = m_scopeGl->PictureKey();
    if (scope == 0) return 0;
    PictureHash hash;
    hash.Add(scope);
    if (m_furniture) hash.Add(m_furniture->PictureKey(m_commands.Settings().Toggles, 0, 0, width, height));
    return hash.Value();
}

void WxDisplayWindow::RedrawIfChanged(int displayNumber) {
    if (m_frame && m_scope && m_scopeGl && (displayNumber == 0 || displayNumber == m_displayNumber) &&
        m_drawnPicture != 0) {
        wxSize size = m_frame->canvas->GetClientSize();
        const int height = ViewportHeight(size.y);
        m_scope->SetViewportSize(size.x, height);
        if (PictureKey(size.x, height) == m_drawnPicture) return;
    }
    Redraw(false, displayNumber);
}

void WxDisplayWindow::Redraw(bool relayout, int displayNumber) {
    if (!m_frame || !m_scope) return;
    if (displayNumber != 0 && displayNumber != m_displayNumber) {
        m_displayNumber = displayNumber;
        UpdateTitle();
    }
    bool mainVisible = true;
    if (!m_isMain && g_displayManager) {
        auto* main = dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay());
        mainVisible = !main || (main->IsVisible() && !main->m_frame->IsIconized());
    }
    if (!ShouldDrawDisplay(m_visible && !m_frame->IsIconized(), m_isMain, mainVisible)) return;
    if (!EnsureGl()) return;
    wxSize size = m_frame->canvas->GetClientSize();
    if (relayout) Layout();
    glViewport(0, 0, size.x, ViewportHeight(size.y));
    m_scope->SetViewportSize(size.x, ViewportHeight(size.y));
    m_drawnPicture = PictureKey(size.x, ViewportHeight(size.y));
    m_scopeGl->Clear();
    m_scopeGl->Draw();
    if (m_furniture) m_furniture->Draw(m_commands.Settings().Toggles, relayout);
    glFinish();
    m_frame->canvas->SwapBuffers();
}

void WxDisplayWindow::Layout() {
    if (!m_frame) return;
    wxSize client = m_frame->GetClientSize();
    DisplayLayout layout =
        LayoutDisplayControls(client.x, client.y, m_isMain, kCommandLineHeight, kCallsignWidth);
    auto place = [](wxWindow* window, const ControlRect& r) {
        if (window) window->SetSize(r.x, r.y, std::max(1, r.width), std::max(1, r.height));
    };
    place(m_frame->canvas, layout.glArea);
    place(m_frame->callsign, layout.callsignField);
    place(m_frame->commandLine, layout.commandLine);
}

void WxDisplayWindow::UpdateTitle() {
    if (!m_frame) return;
    m_frame->SetTitle(ToWx(FormatDisplayTitle(m_commands.Title(m_displayNumber))));
}

void WxDisplayWindow::RebuildMenus() {
    wxMenuBar* bar = m_frame->GetMenuBar();
    if (!bar) return;
    for (const MenuItemState& state : m_commands.MenuStates()) {
        wxMenuItem* item = bar->FindItem(ToToolkitId(state.id));
        if (!item) continue;
        if (item->IsCheckable()) item->Check(state.checked);
        item->Enable(state.enabled);
    }
    // The colour profile submenu, built afresh from the profile's names.
    wxMenuItem* modify = bar->FindItem(ToToolkitId(CommandId::ModifyColorProfile));
    wxMenu* colors = modify ? modify->GetMenu() : nullptr;
    if (!colors) return;
    while (colors->GetMenuItemCount() > 0) colors->Destroy(colors->FindItemByPosition(0));
    std::vector<std::string> names = m_commands.ColorProfileNames();
    for (size_t i = 0; i < names.size(); ++i) {
        int id = kFirstColorProfileId + static_cast<int>(i);
        colors->AppendCheckItem(id, ToWx(names[i]))->Check(names[i] == m_commands.Settings().ColorProfile);
    }
    colors->AppendSeparator();
    const CommandRow* row = FindCommand(CommandId::ModifyColorProfile);
    colors->Append(ToToolkitId(row->id), row->label);
}

void WxDisplayWindow::SetPosition(int x, int y) { m_frame->Move(x, y); }

std::string WxDisplayWindow::GetSectorFileName() const {
    const std::string& loaded = m_scope ? m_scope->GetSectorFileName() : std::string();
    return loaded.empty() ? m_commands.Settings().SectorFile : loaded;
}

TarqDisplaySettings WxDisplayWindow::CaptureSettings() const {
    TarqDisplaySettings settings = m_commands.Settings();
    if (m_scope) m_scope->CaptureSettings(settings);
    wxRect rect = m_frame->GetRect();
    settings.LocX = rect.x;
    settings.LocY = rect.y;
    settings.Width = rect.width;
    settings.Height = rect.height;
    settings.Minimized = m_frame->IsIconized();
    settings.Maximized = m_frame->IsMaximized();
    return settings;
}

void WxDisplayWindow::AddRadioLine(RadioMessageKind kind, const std::string& text) {
    if (m_furniture) m_furniture->AddRadioLine(kind, text);
}

void WxDisplayWindow::RebuildButtonBar() {
    if (m_furniture) m_furniture->GetButtonBar().Rebuild();
}

TarqDisplayRadioHistory* WxDisplayWindow::GetRadioHistory() {
    return m_furniture ? &m_furniture->GetRadioHistory() : nullptr;
}

TarqDisplayButtonBar* WxDisplayWindow::GetButtonBar() {
    return m_furniture ? &m_furniture->GetButtonBar() : nullptr;
}

void WxDisplayWindow::SaveBookmark(int n) {
    if (m_views) m_views->Bookmarks().Save(n);
}

void WxDisplayWindow::RecallBookmark(int n) {
    if (m_views) m_views->Bookmarks().Recall(n);
}

void WxDisplayWindow::ShowTrafficCall(const std::string& a, const std::string& b) {
    if (m_views) m_views->Queries().ShowTrafficCall(a, b);
}

void WxDisplayWindow::ShowRangeBearing(const std::string& first, const std::string& second) {
    if (m_views) m_views->Queries().ShowRangeBearing(first, second);
}

void WxDisplayWindow::SelectControllerFromCommandLine() {
    SelectControllerInProgram(GetCommandLine());
    PrefillCommandLine("");
}

bool WxDisplayWindow::OnLeftButtonDown(int x, int y) {
    if (!m_furniture || !m_frame) return false;
    return m_furniture->OnLeftButtonDown(m_commands.Settings().Toggles, x, y,
                                         ViewportHeight(m_frame->canvas->GetClientSize().y));
}

bool WxDisplayWindow::OnCommandLineKey(int virtualKey, bool ctrl) {
    if (!m_isMain) return false;
    TarqCommandLineKeys keys(m_actionServices, Keyboard());
    return keys.OnKey(virtualKey, ctrl);
}

wxWindow* WxDisplayWindow::GetCommandLineWindow() const { return m_frame ? m_frame->commandLine : nullptr; }

bool WxDisplayWindow::RadioHistoryKey(int virtualKey, bool ctrl) {
    return m_furniture && m_furniture->OnCommandLineKey(virtualKey, ctrl);
}

bool WxDisplayWindow::SwallowCommandLineChar(int character, int virtualKey, bool ctrl, bool shift, bool alt) {
    const bool modifierKey = virtualKey >= 16 && virtualKey <= 18;
    const bool modified = (ctrl || shift || alt) && !modifierKey;
    auto setting = [](const char* key) { return g_profile ? g_profile->GetInt(key) : 0; };
    return ::SwallowCommandLineChar(character, virtualKey, modified, ctrl, setting("ASELKey"),
                                    setting("CSELKey"), setting("PTTKey"));
}

const GlBitmapFont* WxDisplayWindow::GetFont(int id) const { return m_gl->Font(id); }

void WxDisplayWindow::EnsureRadioHistoryShown() {
    int& toggles = m_commands.Settings().Toggles;
    if (!m_furniture || (toggles & TarqDisplayFurniture::kShowRadioHistory)) return;
    toggles |= TarqDisplayFurniture::kShowRadioHistory;
    RebuildMenus();
}

int WxDisplayWindow::GetPrimaryFrequency() { return g_commsPanel ? g_commsPanel->GetPrimaryFrequency() : 0; }

void WxDisplayWindow::PlaySoundSetting(const std::string& key, bool interrupt) {
    if (g_profile) PlayConfiguredSoundSetting(*g_profile, key, interrupt);
}

void WxDisplayWindow::ShowErrorLine(const std::string& text) {
    if (g_displayManager) g_displayManager->ShowError(text);
}

void WxDisplayWindow::ShowInfoLine(const std::string& text) {
    if (g_displayManager) g_displayManager->ShowMessage(text);
}

bool WxDisplayWindow::SetClipboardText(const std::string& text) {
    if (!wxTheClipboard->Open()) return false;
    bool set = wxTheClipboard->SetData(new wxTextDataObject(ToWx(text)));
    wxTheClipboard->Close();
    return set;
}

void WxDisplayWindow::SetCallsignField(const std::string& callsign) {
    if (m_frame->callsign) m_frame->callsign->ChangeValue(ToWx(callsign));
}

unsigned WxDisplayWindow::GetFontTexture(int fontId) const {
    const GlBitmapFont* font = m_gl->Font(fontId);
    return font ? font->AtlasTexture() : 0;
}

TextExtent WxDisplayWindow::MeasureText(int fontId, const std::string& text) const {
    const GlBitmapFont* font = m_gl->Font(fontId);
    return font ? font->MeasureText(text) : TextExtent{};
}

void WxDisplayWindow::GetGlAreaScreenRect(int* x, int* y, int* width, int* height) const {
    wxPoint origin = m_frame->canvas->GetScreenPosition();
    wxSize size = m_frame->canvas->GetClientSize();
    *x = origin.x;
    *y = origin.y;
    *width = size.x;
    *height = size.y;
}

std::string WxDisplayWindow::GetCommandLine() const {
    return m_frame && m_frame->commandLine ? FromWx(m_frame->commandLine->GetValue()) : "";
}

void WxDisplayWindow::SetCommandLine(const std::string& text) {
    if (!m_frame || !m_frame->commandLine) return;
    m_frame->commandLine->ChangeValue(ToWx(text));
    m_frame->commandLine->SetInsertionPointEnd();
}

void WxDisplayWindow::SelectAllCommandLine() {
    if (m_frame && m_frame->commandLine) m_frame->commandLine->SelectAll();
}

void WxDisplayWindow::RunCommand(const std::string& line) {
    // The command line holds at most this much.
    constexpr size_t kMaxLine = 1022;
    const std::string cut = line.substr(0, kMaxLine);
    if (m_commandsRun.size() == kCommandsKept) m_commandsRun.erase(m_commandsRun.begin());
    m_commandsRun.push_back(cut);
    CommandProcessorOfShell().ProcessCommandLine(CommandDisplayOf(*this), cut, true, false);
}

void WxDisplayWindow::RunMenuCommand(const std::string& line) {
    CommandProcessorOfShell().ProcessCommandLine(CommandDisplayOf(*this), line, false, false);
}

void WxDisplayWindow::Activate() {
    if (!m_frame) return;
    m_frame->Raise();
    if (m_frame->commandLine) m_frame->commandLine->SetFocus();
}

void WxDisplayWindow::PrefillCommandLine(const std::string& text) {
    if (!m_frame || !m_frame->commandLine) return;
    m_frame->commandLine->ChangeValue(ToWx(text));
    m_frame->commandLine->SetInsertionPointEnd();
    m_frame->commandLine->SetFocus();
}

void WxDisplayWindow::ClearMessageWaiting() {
    if (m_furniture) m_furniture->GetRadioHistory().ClearMessageWaiting();
}

bool WxDisplayWindow::OpenUrl(const std::string& url) { return ::OpenUrl(url); }

void WxDisplayWindow::RefreshOceanicDialog() { OceanicDialogWindow::Refresh(m_frame); }

void WxDisplayWindow::ShowConnectDialog() { RunConnectDialog(GetWindow()); }

bool WxDisplayWindow::OnMenuCommand(int id) {
    switch (static_cast<CommandId>(id)) {
        case CommandId::Diagrams:
        case CommandId::OceanicTracks:
        case CommandId::FiltersConfigure: {
            // Their keys act on the active display whichever window they were
            // pressed in; the accelerators reach the main display first.
            auto* active = g_displayManager
                               ? dynamic_cast<WxDisplayWindow*>(g_displayManager->GetActiveDisplay())
                               : nullptr;
            return (active ? active : this)->OpenScopeDialog(static_cast<CommandId>(id));
        }
        default:
            break;
    }
    switch (static_cast<CommandId>(id)) {
        case CommandId::OpenSector:
            OpenSectorFile();
            return true;
        case CommandId::GeneralSettings:
        case CommandId::ColorProfiles:
        case CommandId::ModifyColorProfile:
        case CommandId::Sounds:
        case CommandId::AudioDevices:
        case CommandId::CalibrateMic:
            return OpenSettingsDialog(static_cast<CommandId>(id), m_frame, *this);
        default:
            break;
    }
    TarqDisplaySettings& settings = m_commands.Settings();
    const int toggles = settings.Toggles;
    const bool handled = m_commands.OnMenuCommand(id);
    if (!m_scope) return handled;
    // The scope keeps its own show mask, with the sector lists each bit rebuilds.
    const CommandRow* row = FindCommand(id);
    if (settings.Toggles != toggles && row && m_scope->ToggleShowBit(static_cast<uint32_t>(row->showBit))) {
        settings.Toggles = static_cast<int>(m_scope->GetShowMask());
    }
    if (settings.Mode != m_scope->GetRadarMode()) m_scope->SetRadarMode(settings.Mode);
    return handled;
}

bool WxDisplayWindow::OpenScopeDialog(CommandId id) {
    switch (id) {
        case CommandId::Diagrams:
            if (m_scope) DiagramsDialogWindow::Show(m_frame, *m_scope);
            return true;
        case CommandId::OceanicTracks:
            if (m_scope) OceanicDialogWindow::Show(m_frame, *m_scope);
            return true;
        default:
            return OpenSettingsDialog(id, m_frame, *this);
    }
}

void WxDisplayWindow::OpenSectorFile() {
    wxFileDialog dialog(m_frame, "Open Sector File", "", "", "Sector Files (*.sct;*.sct2)|*.sct;*.sct2",
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK || !m_scope) return;
    DiagramsDialogWindow::Close(m_frame);
    if (g_displayManager) g_displayManager->RedrawAll(false);
    if (m_scope->LoadSectorFile(FromWx(dialog.GetPath()), true)) {
        m_commands.Settings().SectorFile = m_scope->GetSectorFileName();
        if (g_networkManager && g_networkManager->IsConnected()) g_networkManager->SendATCPosition();
        if (g_profile) g_profile->SetModified(true);
    }
}

void WxDisplayWindow::SetBusyCursor(bool busy) {
    if (busy)
        wxBeginBusyCursor();
    else if (wxIsBusy())
        wxEndBusyCursor();
}

bool WxDisplayWindow::IsShiftDown() const { return wxGetKeyState(WXK_SHIFT); }

void WxDisplayWindow::HideScopeCursor() {
    if (m_frame) m_frame->canvas->SetCursor(wxCursor(wxCURSOR_BLANK));
}

void WxDisplayWindow::SetScopeCursor(int cursor) {
    m_scopeCursor = cursor;
    if (!m_frame) return;
    const ScopeCursorImage own = DrawScopeCursor(cursor);
    m_frame->canvas->SetCursor(own.image.width == 0 ? wxCursor(wxCURSOR_CROSS)
                                                    : ToWxCursor(own.image, own.hotX, own.hotY));
}

void WxDisplayWindow::ShowNoteMenu(uint64_t key, int x, int y) {
    m_contextMenus.OpenStickyNoteMenuLater(key, x, y);
}

void WxDisplayWindow::OpenAircraftMenuLater(const std::string& callsign, int x, int y) {
    m_contextMenus.OpenAircraftMenuLater(callsign, x, y);
}

void WxDisplayWindow::StartContextMenuTimer(int ms) {
    if (m_frame) m_frame->menuTimer.StartOnce(ms);
}

void WxDisplayWindow::CloseDiagramsDialog() { DiagramsDialogWindow::Close(m_frame); }

void WxDisplayWindow::OnAircraftClick(const std::string& callsign) {
    const KeyState& keys = Keyboard();
    // Asked of the keyboard, as the click came; the toolkit's word for clicks made by hand.
    ClickModifiers held;
    held.ctrl = keys.IsKeyDown(0x11) || wxGetKeyState(WXK_CONTROL);
    held.alt = keys.IsKeyDown(0x12) || wxGetKeyState(WXK_ALT);
    held.shift = keys.IsKeyDown(0x10) || wxGetKeyState(WXK_SHIFT);
    m_actions.OnAircraftClick(callsign, held);
}

void WxDisplayWindow::OnContextMenuTimer() {
    TarqContextMenus::Opening opening = m_contextMenus.OnTimer();
    if (opening.kind == TarqContextMenus::Opening::Kind::Aircraft)
        ShowAircraftMenuAt(opening.title, opening.x, opening.y);
    else if (opening.kind == TarqContextMenus::Opening::Kind::StickyNote)
        ShowStickyNoteMenu(opening.noteKey, opening.x, opening.y);
}

namespace {

// Runs the menu at a window pixel, the title on top; the chosen id, 0 for none.
int RunPopupMenu(wxWindow* window, const std::vector<PopupMenuItem>& items, const std::string& title, int x,
                 int y) {
    std::unique_ptr<wxMenu> menu(BuildPopupMenu(items));
    InsertMenuTitle(menu.get(), title);
    // The first real item comes under the mouse.
    int chosen = window->GetPopupMenuSelectionFromUser(*menu, wxPoint(x, y - 38));
    return chosen == wxID_NONE ? 0 : chosen;
}

}  // namespace

void WxDisplayWindow::ShowAircraftMenu(const std::string& callsign, int screenX, int screenY) {
    if (!m_frame) return;
    const wxPoint at = m_frame->canvas->ScreenToClient(wxPoint(screenX, screenY));
    ShowAircraftMenuAt(callsign, at.x, at.y);
}

void WxDisplayWindow::ShowAircraftMenuAt(const std::string& callsign, int x, int y) {
    if (!m_frame) return;
    m_lastMenuTitle = callsign;
    std::vector<PopupMenuItem> items = m_actions.BuildMenu(callsign);
    int chosen = RunPopupMenu(m_frame->canvas, items, callsign, x, y);
    m_actions.Carry(callsign, chosen);
    Redraw(false, 0);
}

void WxDisplayWindow::ShowStickyNoteMenu(uint64_t key, int x, int y) {
    if (!m_frame || !m_scope) return;
    m_lastMenuTitle = TarqContextMenus::kStickyNoteTitle;
    int chosen = RunPopupMenu(m_frame->canvas, TarqAircraftActions::NoteMenu(), m_lastMenuTitle, x, y);
    m_actions.CarryNoteChoice(key, chosen);
    Redraw(false, 0);
}

void WxDisplayWindow::ShowTextEntryDialog(const TextEntryRequest& request) {
    if (!m_frame) return;
    const bool note = request.mode == TextEntryMode::StickyNote;
    wxDialog dialog(
        m_frame, wxID_ANY,
        note ? "Sticky Note" : (request.mode == TextEntryMode::Anchor ? "Anchor Point" : "Scratchpad"));
    SetProgramIcon(dialog);
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* edit =
        new wxTextCtrl(&dialog, 1164, ToWx(request.initialText), wxDefaultPosition,
                       note ? wxSize(260, 120) : wxSize(200, -1), note ? wxTE_MULTILINE : wxTE_PROCESS_ENTER);
    sizer->Add(edit, 1, wxEXPAND | wxALL, 6);
    sizer->Add(dialog.CreateButtonSizer(wxOK | wxCANCEL), 0, wxEXPAND | wxALL, 6);
    dialog.SetSizerAndFit(sizer);
    edit->SelectAll();
    edit->SetFocus();
    if (!note) edit->Bind(wxEVT_TEXT_ENTER, [&dialog](wxCommandEvent&) { dialog.EndModal(wxID_OK); });
    // Clicking elsewhere cancels the entry.
    dialog.Bind(wxEVT_ACTIVATE, [&dialog](wxActivateEvent& event) {
        if (!event.GetActive() && dialog.IsModal()) dialog.EndModal(wxID_CANCEL);
        event.Skip();
    });
    if (dialog.ShowModal() == wxID_OK) m_actions.ApplyTextEntry(request, FromWx(edit->GetValue()));
    Activate();
    Redraw(false, 0);
}

void WxDisplayWindow::OnScopeMouse(ScopeMouseEvent kind, const ScopeMouse& mouse) {
    if (!m_scope) return;
    switch (kind) {
        case ScopeMouseEvent::LeftDown:
            m_scope->OnLeftButtonDown(mouse);
            break;
        case ScopeMouseEvent::LeftUp:
            m_scope->OnLeftButtonUp(mouse);
            break;
        case ScopeMouseEvent::LeftDoubleClick:
            // The ruler runs from here to the mouse until the button comes up.
            m_scope->StartRuler();
            break;
        case ScopeMouseEvent::RightDown:
            m_scope->OnRightButtonDown(mouse);
            break;
        case ScopeMouseEvent::RightUp:
            m_contextMenus.OnRightButtonUp();
            // The pan hid the cursor.
            SetScopeCursor(m_scopeCursor);
            break;
        case ScopeMouseEvent::MiddleDown:
            m_scope->OnMiddleButtonDown(mouse);
            break;
        case ScopeMouseEvent::Move:
            m_contextMenus.OnMouseMove(mouse.right);
            m_scope->OnMouseMove(mouse);
            break;
        case ScopeMouseEvent::RightDoubleClick:
            m_contextMenus.OnRightDoubleClick();
            m_scope->OnRightDoubleClick(mouse);
            break;
    }
}

void WxDisplayWindow::SetBackgroundColor(const std::string& colorProfile, int rgb) {
    if (m_scope) m_scope->SetBackgroundColor(colorProfile, rgb);
}

void WxDisplayWindow::ZoomIn(bool fast) {
    if (m_scope) m_scope->ZoomIn(fast);
}

void WxDisplayWindow::ZoomOut(bool fast) {
    if (m_scope) m_scope->ZoomOut(fast);
}

void WxDisplayWindow::OnScopeWheel(int notches, bool fast) {
    if (!m_scope) return;
    for (int i = 0; i < notches; ++i) m_scope->ZoomIn(fast);
    for (int i = 0; i > notches; --i) m_scope->ZoomOut(fast);
}
