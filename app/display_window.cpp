// Tested through tests/app/program_test.cpp.
#include "app/display_window.h"

#include <GL/gl.h>
#include <wx/clipbrd.h>
#include <wx/filedlg.h>
#include <wx/glcanvas.h>
#include <wx/wx.h>

#include <algorithm>

#include "app/diagrams_dialog_wx.h"
#include "app/display_layout.h"
#include "app/display_manager.h"
#include "app/global_objects.h"
#include "app/menu_builder.h"
#include "app/menu_table.h"
#include "app/session.h"
#include "app/shell_state.h"
#include "app/window_snap_wx.h"
#include "app/wx_text.h"
#include "foundation/profile.h"
#include "platform/clock.h"
#include "platform/message_box.h"
#include "platform/url_open.h"
#include "scope/display_scope.h"
#include "scope/sector_library.h"
#include "scope/sticky_builder.h"

namespace {

constexpr int kCommandLineHeight = 24;
constexpr int kCallsignWidth = 90;

const std::map<int, int>& RadarModeByCommand() {
    static const std::map<int, int> modes = {{242, 1},   {128, 2},    {130, 3},   {129, 4},
                                             {131, 5},   {241, 6},    {127, 7},   {40049, 8},
                                             {40047, 9}, {40048, 10}, {40070, 11}};
    return modes;
}

const std::map<int, int>& ShowMaskBitByCommand() {
    static const std::map<int, int> bits = {
        {115, 0x1},         {144, 0x2},         {114, 0x4},        {135, 0x8},      {136, 0x10},
        {137, 0x20},        {138, 0x40},        {134, 0x80},       {139, 0x100},    {140, 0x200},
        {141, 0x400},       {142, 0x800},       {143, 0x1000},     {133, 0x2000},   {113, 0x4000},
        {150, 0x8000},      {173, 0x10000},     {174, 0x20000},    {226, 0x40000},  {227, 0x80000},
        {225, 0x100000},    {224, 0x200000},    {228, 0x400000},   {229, 0x800000}, {230, 0x1000000},
        {40050, 0x2000000}, {40051, 0x4000000}, {40055, 0x8000000}};
    return bits;
}

PendingToolWindow* ToolWindowByCommand(int id) {
    switch (id) {
        case 146:
            return g_commsPanel;
        case 147:
            return g_aircraftList;
        case 148:
            return g_controllerList;
        case 149:
            return g_weatherPanel;
        case 232:
            return g_flightStripBay;
        case 243:
            return g_selcalPanel;
        default:
            return nullptr;
    }
}

// The virtual-key code of a key the command line hands on; 0 for others.
int VirtualKeyOf(int wxKey) {
    switch (wxKey) {
        case WXK_TAB:
            return kVkTab;
        case WXK_PAGEUP:
            return kVkPageUp;
        case WXK_PAGEDOWN:
            return kVkPageDown;
        case WXK_END:
            return kVkEnd;
        case WXK_UP:
            return kVkUp;
        case WXK_DOWN:
            return kVkDown;
        default:
            return 0;
    }
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

}  // namespace

// The frame; its handlers forward to the display while it lives. The display
// can go (deleted by the display manager) before wx deletes the frame.
class DisplayFrame : public wxFrame {
public:
    DisplayFrame(wxWindow* owner, WxDisplayWindow* display, bool isMain, const TarqDisplaySettings& s)
        : wxFrame(owner, wxID_ANY, "Tarq", wxPoint(s.LocX, s.LocY), wxSize(s.Width, s.Height)),
          m_display(display) {
        SetBackgroundColour(*wxBLACK);
        canvas = new wxGLCanvas(this, GlAttributes(), 1005);
        context = std::make_unique<wxGLContext>(canvas);
        // The program's own scope cursors have no images yet; all of them,
        // like the system's choice, show the cross-hair.
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
                int key = VirtualKeyOf(event.GetKeyCode());
                if (m_display && key != 0 && m_display->OnCommandLineKey(key, event.ControlDown())) return;
                event.Skip();
            });
        }
        canvas->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxPaintDC dc(canvas);
            if (m_display) m_display->Redraw(false, 0);
        });
        canvas->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
            if (m_display && m_display->OnLeftButtonDown(event.GetX(), event.GetY())) return;
            if (m_display) m_display->OnScopeMouse(WxDisplayWindow::ScopeMouseEvent::LeftDown, MouseOf(event));
            event.Skip();
        });
        using Kind = WxDisplayWindow::ScopeMouseEvent;
        const std::pair<wxEventTypeTag<wxMouseEvent>, Kind> mouseEvents[] = {
            {wxEVT_LEFT_UP, Kind::LeftUp},         {wxEVT_RIGHT_DOWN, Kind::RightDown},
            {wxEVT_RIGHT_UP, Kind::RightUp},       {wxEVT_MIDDLE_DOWN, Kind::MiddleDown},
            {wxEVT_MOTION, Kind::Move},            {wxEVT_RIGHT_DCLICK, Kind::RightDoubleClick}};
        for (const auto& [type, kind] : mouseEvents) {
            canvas->Bind(type, [this, kind = kind](wxMouseEvent& event) {
                if (m_display) m_display->OnScopeMouse(kind, MouseOf(event));
                event.Skip();
            });
        }
        canvas->Bind(wxEVT_MOUSEWHEEL, [this](wxMouseEvent& event) {
            int delta = event.GetWheelDelta() > 0 ? event.GetWheelDelta() : 120;
            if (m_display)
                m_display->OnScopeWheel(event.GetWheelRotation() / delta, event.ControlDown() || event.ShiftDown());
        });
        canvas->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
            // Typing over any scope goes to the main display's command line.
            if (!commandLine) {
                event.Skip();
                return;
            }
            commandLine->SetFocus();
            event.Skip();
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
    }

    WxDisplayWindow* m_display;
    wxGLCanvas* canvas = nullptr;
    std::unique_ptr<wxGLContext> context;
    wxTextCtrl* callsign = nullptr;
    wxTextCtrl* commandLine = nullptr;
};

WxDisplayWindow::WxDisplayWindow(const TarqDisplaySettings& settings, bool isMain, TarqSessionUi& session)
    : m_settings(settings), m_isMain(isMain), m_session(session) {
    wxWindow* owner = nullptr;
    if (!isMain && g_displayManager) owner = static_cast<wxWindow*>(g_displayManager->GetMainWindow());
    m_frame = new DisplayFrame(owner, this, isMain, settings);
    AttachWindowSnapping(m_frame);
    m_scope = std::make_unique<TarqDisplayScope>(m_scopeHost, settings, &SharedSectorLibrary());

    MenuBarBuilder menus;
    for (const MenuCommand& c : DisplayMenuCommands()) {
        if ((c.scope == MenuScope::MainOnly && !isMain) || (c.scope == MenuScope::SecondaryOnly && isMain))
            continue;
        menus.Add(c.menu, c.submenu, ToToolkitId(c.id), c.label, c.checkable);
    }
    m_frame->SetMenuBar(menus.Release());

    m_frame->Show();
    if (settings.Maximized) m_frame->Maximize();
    Layout();
    UpdateTitle();
    if (isMain && g_profile) {
        m_furniture = std::make_unique<TarqDisplayFurniture>(this, *this, m_buttonKinds, *g_profile,
                                                             SystemClock::Instance());
    }
    RebuildMenus();
}

WxDisplayWindow::~WxDisplayWindow() {
    // The scope's GL lists belong to this window's context.
    if (m_scopeGl && m_glReady && m_frame->context->IsOK()) m_frame->canvas->SetCurrent(*m_frame->context);
    m_scopeGl.reset();
    DiagramsDialogWindow::Close(m_frame);
    m_scope.reset();
    m_furniture.reset();
    m_fonts.clear();
    m_frame->m_display = nullptr;
    m_frame->Destroy();
}

WindowHandle WxDisplayWindow::GetWindow() const { return static_cast<wxWindow*>(m_frame); }

bool WxDisplayWindow::EnsureGl() {
    if (!m_frame->canvas->IsShownOnScreen()) return false;
    if (!m_frame->context->IsOK() || !m_frame->canvas->SetCurrent(*m_frame->context)) return false;
    if (!m_glReady) {
        m_glReady = true;
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        for (int id : {2, 1, 3, 4, 5}) {
            auto font = GlBitmapFont::Create(DisplayFontSpec(id));
            if (font) m_fonts[id] = std::move(font);
        }
        m_scopeGl = std::make_unique<ScopeGl>(*m_scope, *this);
    }
    return true;
}

int WxDisplayWindow::BackgroundColor() const {
    return g_profile ? g_profile->GetColor(m_settings.ColorProfile, "ColorBackground") : 0;
}

void WxDisplayWindow::Redraw(bool relayout, int displayNumber) {
    if (!m_frame) return;
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
    int color = BackgroundColor();
    glClearColor((color & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f, ((color >> 16) & 0xFF) / 255.0f,
                 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (m_scope && m_scopeGl) {
        m_scope->SetViewportSize(size.x, ViewportHeight(size.y));
        m_scopeGl->Draw();
    }
    if (m_furniture) m_furniture->Draw(m_settings.Toggles, relayout);
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
    TitleState state;
    state.displayNumber = m_displayNumber;
    state.profileName = g_profile ? g_profile->GetProfileName() : "";
    state.isMain = m_isMain;
    state.connected = g_networkManager && g_networkManager->IsConnected();
    if (state.connected && g_profile) state.server = g_profile->GetString("Server");
    state.filtersEnabled = m_filtersEnabled;
    state.quicklook = m_quicklook;
    m_frame->SetTitle(ToWx(FormatDisplayTitle(state)));
}

void WxDisplayWindow::RebuildMenus() {
    wxMenuBar* bar = m_frame->GetMenuBar();
    if (!bar) return;
    for (const auto& [id, bit] : ShowMaskBitByCommand()) {
        if (wxMenuItem* item = bar->FindItem(ToToolkitId(id))) item->Check((m_settings.Toggles & bit) != 0);
    }
    if (wxMenuItem* item = bar->FindItem(ToToolkitId(40074))) item->Check(m_quicklook);
    for (const auto& [id, mode] : RadarModeByCommand()) {
        if (wxMenuItem* item = bar->FindItem(ToToolkitId(id))) item->Check(mode == m_settings.Mode);
    }
    if (wxMenuItem* item = bar->FindItem(ToToolkitId(40068))) item->Check(m_filtersEnabled);
    if (m_isMain) {
        for (int id : {146, 147, 148, 149, 232, 243}) {
            PendingToolWindow* window = ToolWindowByCommand(id);
            if (wxMenuItem* item = bar->FindItem(ToToolkitId(id))) item->Check(window && window->IsVisible());
        }
        if (wxMenuItem* item = bar->FindItem(ToToolkitId(40063)))
            item->Check(g_chatManager && g_chatManager->IsIncomingChatLogOpen());
        bool connected = g_networkManager && g_networkManager->IsConnected();
        bar->Enable(ToToolkitId(106), !connected);
        bar->Enable(ToToolkitId(107), connected);
        bar->Enable(ToToolkitId(40045), !(g_fsmpManager && g_fsmpManager->IsConnected()));
    }
    // The colour profile submenu, built afresh from the profile's names.
    wxMenuItem* modify = bar->FindItem(ToToolkitId(kModifyColorProfileId));
    wxMenu* colors = modify ? modify->GetMenu() : nullptr;
    if (colors && g_profile) {
        while (colors->GetMenuItemCount() > 0) colors->Destroy(colors->FindItemByPosition(0));
        std::vector<std::string> names;
        g_profile->GetColorProfileNames(names);
        std::sort(names.begin(), names.end());
        for (size_t i = 0; i < names.size(); ++i) {
            int id = kFirstColorProfileId + static_cast<int>(i);
            colors->AppendCheckItem(id, ToWx(names[i]))->Check(names[i] == m_settings.ColorProfile);
        }
        colors->AppendSeparator();
        colors->Append(ToToolkitId(kModifyColorProfileId), "&Modify Current...");
    }
}

void WxDisplayWindow::SetPosition(int x, int y) { m_frame->Move(x, y); }

void WxDisplayWindow::SetColorProfile(const std::string& name) {
    m_settings.ColorProfile = name;
    RebuildMenus();
    Redraw(false, 0);
}

std::string WxDisplayWindow::GetSectorFileName() const {
    return m_scope && !m_scope->GetSectorFileName().empty() ? m_scope->GetSectorFileName() : m_settings.SectorFile;
}

TarqDisplaySettings WxDisplayWindow::CaptureSettings() const {
    TarqDisplaySettings settings = m_settings;
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

bool WxDisplayWindow::OnLeftButtonDown(int x, int y) {
    if (!m_furniture || !m_frame) return false;
    return m_furniture->OnLeftButtonDown(m_settings.Toggles, x, y,
                                         ViewportHeight(m_frame->canvas->GetClientSize().y));
}

bool WxDisplayWindow::OnCommandLineKey(int virtualKey, bool ctrl) {
    return m_furniture && m_furniture->OnCommandLineKey(virtualKey, ctrl);
}

const GlBitmapFont* WxDisplayWindow::GetFont(int id) const {
    auto it = m_fonts.find(id);
    return it == m_fonts.end() ? nullptr : it->second.get();
}

void WxDisplayWindow::EnsureRadioHistoryShown() {
    if (!m_furniture || (m_settings.Toggles & TarqDisplayFurniture::kShowRadioHistory)) return;
    m_settings.Toggles |= TarqDisplayFurniture::kShowRadioHistory;
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

unsigned WxDisplayWindow::GetFontListBase(int fontId) const {
    auto it = m_fonts.find(fontId);
    return it == m_fonts.end() ? 0 : it->second->ListBase();
}

TextExtent WxDisplayWindow::MeasureText(int fontId, const std::string& text) const {
    auto it = m_fonts.find(fontId);
    return it == m_fonts.end() ? TextExtent{} : it->second->MeasureText(text);
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

void WxDisplayWindow::PrefillCommandLine(const std::string& text) {
    if (!m_frame || !m_frame->commandLine) return;
    m_frame->commandLine->ChangeValue(ToWx(text));
    m_frame->commandLine->SetInsertionPointEnd();
    m_frame->commandLine->SetFocus();
}

void WxDisplayWindow::OnCloseRequest() {
    if (m_isMain) {
        CloseSession(GetWindow(), true, m_session);
        return;
    }
    ReturnToProfileDialog = false;
    if (g_profile) g_profile->SetModified(true);
    if (g_displayManager) g_displayManager->ScheduleClose(GetWindow());
}

void WxDisplayWindow::OnMenuCommand(int id) {
    if (id >= kFirstColorProfileId && id <= kLastColorProfileId) {
        wxMenuItem* item = m_frame->GetMenuBar()->FindItem(ToToolkitId(id));
        if (item) {
            SetColorProfile(FromWx(item->GetItemLabelText()));
            if (g_profile) g_profile->SetModified(true);
        }
        return;
    }
    if (auto mode = RadarModeByCommand().find(id); mode != RadarModeByCommand().end()) {
        m_settings.Mode = mode->second;
        if (g_profile) g_profile->SetModified(true);
        if (m_scope) m_scope->SetRadarMode(mode->second);
        RebuildMenus();
        return;
    }
    if (auto bit = ShowMaskBitByCommand().find(id); bit != ShowMaskBitByCommand().end()) {
        if (m_scope) {
            m_scope->OnMenuCommand(id);
            m_settings.Toggles = static_cast<int>(m_scope->GetShowMask());
        } else {
            m_settings.Toggles ^= bit->second;
        }
        if (id != 150 && g_profile) g_profile->SetModified(true);
        RebuildMenus();
        Redraw(false, 0);
        return;
    }
    if (PendingToolWindow* window = ToolWindowByCommand(id)) {
        window->ToggleVisible();
        if (g_displayManager) g_displayManager->RebuildAllMenus();
        return;
    }
    if (const char* prefill = CommandLinePrefill(id)) {
        if (g_displayManager) {
            if (auto* main = dynamic_cast<WxDisplayWindow*>(g_displayManager->GetMainDisplay())) {
                main->PrefillCommandLine(prefill);
            }
        }
        return;
    }
    std::string help = HelpPageUrl(id);
    if (!help.empty()) {
        OpenUrl(help);
        return;
    }
    switch (id) {
        case 121:
            if (g_displayManager) g_displayManager->NewWindow(*this);
            if (g_profile) g_profile->SetModified(true);
            break;
        case 153:
            OnCloseRequest();
            break;
        case 122:
            OpenSectorFile();
            break;
        case 145:
            if (m_scope) DiagramsDialogWindow::Show(m_frame, *m_scope);
            break;
        case 108:
            ReturnToProfileDialog = false;
            CloseSession(GetWindow(), true, m_session);
            break;
        case 125:
            ReturnToProfileDialog = true;
            if (!CloseSession(GetWindow(), false, m_session)) ReturnToProfileDialog = false;
            break;
        case 123:
            if (g_profile) g_profile->Save();
            break;
        case 124:
            TarqProfile::ShowProfileDialog(GetWindow());
            break;
        case 40068:
            m_filtersEnabled = !m_filtersEnabled;
            UpdateTitle();
            RebuildMenus();
            break;
        case 40074:
            m_quicklook = !m_quicklook;
            UpdateTitle();
            RebuildMenus();
            break;
        case 40003:  // Ctrl+Space
            if (m_furniture) m_furniture->GetRadioHistory().ClearMessageWaiting();
            break;
        case 40007:
            if (g_aircraftDB && g_aircraftDB->IsSoundPlaying()) g_aircraftDB->StopSound();
            break;
        case 118:
            ShowMessageBox(std::string("Tarqline\r\n\r\nVersion: ") + kProgramVersion +
                               "\r\n\r\nAn ATC client for the Peltan network.",
                           std::string("About ") + kProgramName,
                           {MessageBoxButtons::Ok, MessageBoxIcon::Information, 0}, GetWindow());
            break;
        default:
            // The commands of subsystems that are not built yet do nothing.
            break;
    }
}

void WxDisplayWindow::OpenSectorFile() {
    wxFileDialog dialog(m_frame, "Open Sector File", "", "", "Sector files (*.sct;*.sct2)|*.sct;*.sct2|All files|*",
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK || !m_scope) return;
    DiagramsDialogWindow::Close(m_frame);
    if (m_scope->LoadSectorFile(FromWx(dialog.GetPath()), true)) {
        m_settings.SectorFile = m_scope->GetSectorFileName();
        if (g_profile) g_profile->SetModified(true);
    }
}

void WxDisplayWindow::SetBusyCursor(bool busy) {
    if (busy) wxBeginBusyCursor();
    else if (wxIsBusy()) wxEndBusyCursor();
}

void WxDisplayWindow::HideScopeCursor() {
    if (m_frame) m_frame->canvas->SetCursor(wxCursor(wxCURSOR_BLANK));
}

void WxDisplayWindow::ShowNoteMenu(uint64_t key, int x, int y) {
    if (!m_frame || !m_scope) return;
    wxMenu menu("Sticky Note");
    menu.Append(1, "Edit Text");
    menu.Append(2, "Delete Note");
    int chosen = m_frame->canvas->GetPopupMenuSelectionFromUser(menu, wxPoint(x, y));
    TarqStickyBuilder* notes = m_scope->GetStickyBuilder();
    if (chosen == 2) {
        notes->RemoveNote(key);
    } else if (chosen == 1) {
        wxTextEntryDialog editor(m_frame, "Note text:", "Sticky Note", ToWx(notes->GetNoteText(key)),
                                 wxOK | wxCANCEL | wxTE_MULTILINE);
        if (editor.ShowModal() == wxID_OK) notes->SetNoteText(key, FromWx(editor.GetValue()));
    }
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
        case ScopeMouseEvent::RightDown:
            m_scope->OnRightButtonDown(mouse);
            break;
        case ScopeMouseEvent::RightUp:
            // The pan hid the cursor.
            m_frame->canvas->SetCursor(wxCursor(wxCURSOR_CROSS));
            break;
        case ScopeMouseEvent::MiddleDown:
            m_scope->OnMiddleButtonDown(mouse);
            break;
        case ScopeMouseEvent::Move:
            m_scope->OnMouseMove(mouse);
            break;
        case ScopeMouseEvent::RightDoubleClick:
            m_scope->OnRightDoubleClick(mouse);
            break;
    }
}

void WxDisplayWindow::OnScopeWheel(int notches, bool fast) {
    if (!m_scope) return;
    for (int i = 0; i < notches; ++i) m_scope->ZoomIn(fast);
    for (int i = 0; i > notches; --i) m_scope->ZoomOut(fast);
}
