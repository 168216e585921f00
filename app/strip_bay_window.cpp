// Tested by tests/app/strip_bay_wx_test.cpp.
#include "app/strip_bay_window.h"

#include <wx/glcanvas.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include <memory>

#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/strip_bay_services.h"
#include "app/tool_window_dialog.h"
#include "app/wx_text.h"
#include "platform/gl_context_resources.h"
#include "platform/message_box.h"
#include "tools/strip_bay_gl.h"

namespace {

wxGLAttributes SurfaceAttributes() {
    wxGLAttributes attributes;
    attributes.PlatformDefaults().RGBA().DoubleBuffer().Depth(16).EndList();
    return attributes;
}

StripModifiers Modifiers(const wxMouseEvent& event) {
    return {event.ShiftDown(), event.ControlDown(), event.AltDown()};
}

// The annotation editor: a small caption-less edit box under the pointer;
// Enter keeps the text, Escape or a click elsewhere drops it.
class AnnotationEditor : public wxDialog {
public:
    AnnotationEditor(wxWindow* parent, const std::string& text)
        : wxDialog(parent, wxID_ANY, "", wxGetMousePosition() - wxPoint(40, 10), wxSize(82, 24),
                   wxBORDER_SIMPLE) {
        m_edit = new wxTextCtrl(this, 1164, ToWx(text), wxPoint(0, 0), GetClientSize(), wxTE_PROCESS_ENTER);
        m_edit->SetMaxLength(1023);
        m_edit->SelectAll();
        m_edit->SetFocus();
        m_edit->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { EndModal(wxID_OK); });
        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
            if (e.GetKeyCode() == WXK_ESCAPE) {
                EndModal(wxID_CANCEL);
            } else {
                e.Skip();
            }
        });
        Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& e) {
            if (!e.GetActive() && IsModal()) EndModal(wxID_CANCEL);
            e.Skip();
        });
    }
    std::string Text() const { return FromWx(m_edit->GetValue()); }

private:
    wxTextCtrl* m_edit = nullptr;
};

}  // namespace

class WxStripBayWindow::Dialog : public TarqToolWindowDialog {
public:
    Dialog(WxStripBayWindow& owner, wxWindow* parent)
        : TarqToolWindowDialog(
              owner.m_bay, parent, "Flight Strip Bay",
              wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxFRAME_TOOL_WINDOW),
          m_owner(owner) {
        SetBackgroundColour(*wxBLACK);
        const int border = owner.m_bay.GetBorder();
        surface = new wxGLCanvas(this, SurfaceAttributes(), 1163, wxPoint(border, border), wxSize(100, 100),
                                 wxWANTS_CHARS);
        context = std::make_unique<wxGLContext>(surface);
        resources = std::make_unique<GlContextResources>([this] {
            return context->IsOK() && surface->IsShownOnScreen() && surface->SetCurrent(*context);
        });
        FitWidth();
        Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
            Relayout();
            m_owner.Repaint(true);
            e.Skip();
        });
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) {
            m_owner.m_bay.Hide();
            if (g_displayManager) g_displayManager->RebuildAllMenus();
        });
        surface->Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxPaintDC dc(surface);
            m_owner.Repaint(false);
        });
        surface->Bind(wxEVT_ERASE_BACKGROUND, [](wxEraseEvent&) {});
        surface->Bind(wxEVT_MOTION, [this](wxMouseEvent& e) { Mouse(e, false); });
        surface->Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) {
            int bx = 0, by = 0;
            m_owner.m_bay.SurfaceToBay(e.GetX(), e.GetY(), &bx, &by);
            m_owner.m_bay.OnLButtonDown(bx, by, Modifiers(e));
            e.Skip();
        });
        surface->Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) { m_owner.m_bay.OnLButtonUp(); });
        surface->Bind(wxEVT_LEFT_DCLICK,
                      [this](wxMouseEvent& e) { m_owner.m_bay.OnDoubleClick(Modifiers(e)); });
        surface->Bind(wxEVT_RIGHT_DOWN, [this](wxMouseEvent& e) { Mouse(e, true); });
        surface->Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent& e) {
            if (!menuShown) e.Skip();
        });
        surface->Bind(wxEVT_MOUSEWHEEL,
                      [this](wxMouseEvent& e) { m_owner.m_bay.Scroll(e.GetWheelRotation()); });
        // The bay has no text of its own: typing goes to the main display's command line.
        surface->Bind(wxEVT_KEY_DOWN, [](wxKeyEvent& e) {
            if (!ForwardKeyDownToMainCommandLine(e)) e.Skip();
        });
        surface->Bind(wxEVT_CHAR, [](wxKeyEvent& e) {
            if (!ForwardCharToMainCommandLine(e)) e.Skip();
        });
    }

    ~Dialog() override {
        m_owner.m_services.measure = nullptr;
        if (resources) resources->FreeAll();
        if (gl && context->IsOK() && surface->IsShownOnScreen()) surface->SetCurrent(*context);
        gl.reset();
        if (m_owner.m_dialog == this) m_owner.m_dialog = nullptr;
    }

    // One or two columns wide, plus the border on both sides.
    void FitWidth() {
        const int border = m_owner.m_bay.GetBorder();
        const int height = GetClientSize().y > 2 * border ? GetClientSize().y : 400;
        SetClientSize(m_owner.m_bay.GetSurfaceWidth() + 2 * border, height);
        m_owner.m_bay.SetWidth(GetSize().x);
    }

    void Relayout() {
        const int border = m_owner.m_bay.GetBorder();
        const wxSize client = GetClientSize();
        const int w = std::max(client.x - 2 * border, 1);
        const int h = std::max(client.y - 2 * border, 1);
        surface->SetSize(border, border, w, h);
        m_owner.m_bay.SetViewSize(w, h);
    }

    void Paint(bool relayout) {
        if (!surface->IsShownOnScreen() || !context->IsOK()) return;
        if (!relayout && m_owner.m_bay.IsCollapsed()) return;
        if (!surface->SetCurrent(*context)) return;
        if (!gl) {
            std::string error;
            if (!StripBayGl::LoadFonts(*resources, &error)) {
                if (!m_fontErrorShown)
                    ShowMessageBox(error, "Error", {MessageBoxButtons::Ok, MessageBoxIcon::Error, 0});
                m_fontErrorShown = true;
                return;
            }
            surface->SetCurrent(*context);
            gl = std::make_unique<StripBayGl>(*resources);
            gl->MakeRailTexture();
            m_owner.m_services.measure = [this](int font, const std::string& text) {
                return gl->GetTextExtent(font, text);
            };
        }
        if (relayout) Relayout();
        StripBayFrame frame;
        m_owner.m_bay.BuildFrame(frame);
        gl->Draw(frame);
        surface->SwapBuffers();
    }

    wxGLCanvas* surface = nullptr;
    std::unique_ptr<wxGLContext> context;
    std::unique_ptr<GlContextResources> resources;
    std::unique_ptr<StripBayGl> gl;
    // Whether the last right-click opened a strip's menu; away from the
    // strips the window's own menu opens.
    bool menuShown = false;

private:
    void Mouse(wxMouseEvent& e, bool rightButton) {
        int bx = 0, by = 0;
        m_owner.m_bay.SurfaceToBay(e.GetX(), e.GetY(), &bx, &by);
        if (rightButton) {
            menuShown = false;
            m_owner.m_bay.OnRButtonDown(bx, by);
        } else {
            m_owner.m_bay.OnMouseMove(bx, by);
        }
        e.Skip();
    }

    WxStripBayWindow& m_owner;
    bool m_fontErrorShown = false;
};

WxStripBayWindow::WxStripBayWindow(TarqFlightStripBay& bay, ShellStripBayServices& services)
    : m_bay(bay), m_services(services) {
    m_bay.SetView(this);
}

WxStripBayWindow::~WxStripBayWindow() {
    DestroyWindow();
    m_bay.SetView(nullptr);
}

void WxStripBayWindow::CreateWindow() {
    DestroyWindow();
    wxWindow* parent = g_displayManager ? static_cast<wxWindow*>(g_displayManager->GetMainWindow()) : nullptr;
    m_dialog = new Dialog(*this, parent);
}

void WxStripBayWindow::DestroyWindow() {
    if (!m_dialog) return;
    Dialog* doomed = m_dialog;
    m_dialog = nullptr;
    doomed->Hide();
    delete doomed;
}

void WxStripBayWindow::Repaint(bool relayout) {
    if (!m_dialog) return;
    // A changed column count widens or narrows the bay at once.
    if (relayout && !m_bay.IsCollapsed() &&
        m_dialog->GetClientSize().x != m_bay.GetSurfaceWidth() + 2 * m_bay.GetBorder())
        m_dialog->FitWidth();
    m_dialog->Paint(relayout);
}

void WxStripBayWindow::SetCursor(StripCursor cursor) {
    if (!m_dialog) return;
    wxStockCursor stock = wxCURSOR_ARROW;
    switch (cursor) {
        case StripCursor::Hand:
            stock = wxCURSOR_HAND;
            break;
        case StripCursor::Grab:
            stock = wxCURSOR_SIZING;
            break;
        case StripCursor::IBeam:
            stock = wxCURSOR_IBEAM;
            break;
        case StripCursor::Arrow:
            break;
    }
    m_dialog->surface->SetCursor(wxCursor(stock));
}

int WxStripBayWindow::TrackContextMenu(const StripBayMenu& menu) {
    if (!m_dialog) return 0;
    wxMenu popup;
    popup.Append(wxID_ANY, ToWx(menu.title))->Enable(false);
    popup.AppendSeparator();
    if (menu.separator) {
        popup.Append(kStripMenuDelete, "Delete Separator");
    } else {
        auto* push = new wxMenu;
        for (size_t i = 0; i < menu.pushTargets.size(); ++i) {
            push->Append(kStripMenuFirstPush + static_cast<int>(i), ToWx(menu.pushTargets[i]));
        }
        if (menu.pushTargets.empty()) push->Append(wxID_ANY, "No Radar Controllers")->Enable(false);
        popup.AppendSubMenu(push, "Push To");
        popup.Append(kStripMenuEditPlan, "Edit Flight Plan");
        popup.Append(kStripMenuDelete, "Delete Strip");
    }
    m_dialog->AppendRollUpItem(popup);
    m_dialog->menuShown = true;
    const int chosen = m_dialog->GetPopupMenuSelectionFromUser(popup);
    return chosen == wxID_NONE || (m_dialog && m_dialog->RunRollUpItem(chosen)) ? 0 : chosen;
}

bool WxStripBayWindow::EditAnnotation(std::string& text) {
    if (!m_dialog) return false;
    AnnotationEditor editor(m_dialog, text);
    if (editor.ShowModal() != wxID_OK) return false;
    text = editor.Text();
    return true;
}

void* WxStripBayWindow::GetDialog() const { return m_dialog; }

void* WxStripBayWindow::GetSurface() const { return m_dialog ? m_dialog->surface : nullptr; }
