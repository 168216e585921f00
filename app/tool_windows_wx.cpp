// Tested by tests/app/program_test.cpp.
#include "app/tool_windows_wx.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dcclient.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>
#include <wx/utils.h>
#include <wx/valtext.h>
#include <wx/vlbox.h>

#include <functional>

#include "app/global_objects.h"
#include "app/tool_window_dialog.h"
#include "app/tool_windows.h"
#include "app/wx_text.h"
#include "platform/message_box.h"

namespace ids = tool_window_ids;

namespace {

wxWindow* MainWindow() {
    return g_displayManager ? static_cast<wxWindow*>(g_displayManager->GetMainWindow()) : nullptr;
}

wxColour Rgb(int rgb) { return wxColour((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

wxPoint Du(wxWindow* w, int x, int y) { return w->ConvertDialogToPixels(wxPoint(x, y)); }
wxSize DuSize(wxWindow* w, int width, int height) { return w->ConvertDialogToPixels(wxSize(width, height)); }

wxTextCtrl* Edit(wxWindow* parent, int id, int x, int y, int width, int height, long style = 0) {
    return new wxTextCtrl(parent, id, "", Du(parent, x, y), DuSize(parent, width, height), style);
}

// GTK has no upper-case style: the text is upper-cased as it is typed.
void UpperCaseAsTyped(wxTextCtrl* edit) {
    edit->Bind(wxEVT_TEXT, [edit](wxCommandEvent& e) {
        const wxString text = edit->GetValue();
        const wxString upper = text.Upper();
        if (upper != text) {
            const long point = edit->GetInsertionPoint();
            edit->ChangeValue(upper);
            edit->SetInsertionPoint(point);
        }
        e.Skip();
    });
}

void Label(wxWindow* parent, const char* text, int x, int y, int width, long style = wxALIGN_RIGHT) {
    new wxStaticText(parent, wxID_ANY, text, Du(parent, x, y), DuSize(parent, width, 8), style);
}

// The header rows' look, shared by both lists: centred text, grey rules and
// the expander box with its plus or minus.
void DrawHeader(wxDC& dc, const wxRect& r, const std::string& text, bool first, bool collapsed) {
    dc.SetBrush(wxBrush(Rgb(0xD2D2D2)));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(r);
    const wxString t = ToWx(text);
    dc.DrawText(t, r.x + (r.width - dc.GetTextExtent(t).x) / 2, r.y + 1);
    dc.SetPen(wxPen(Rgb(0xA4A4A4)));
    if (!first) dc.DrawLine(r.x, r.y, r.GetRight() + 1, r.y);
    dc.DrawLine(r.x, r.GetBottom(), r.GetRight() + 1, r.GetBottom());
    dc.SetPen(wxPen(Rgb(0x646464)));
    const int l = r.x, t0 = r.y;
    const wxPoint box[] = {
        {l + 5, t0 + 3}, {l + 13, t0 + 3}, {l + 13, t0 + 11}, {l + 5, t0 + 11}, {l + 5, t0 + 3}};
    dc.DrawLines(5, box);
    dc.DrawLine(l + 7, t0 + 7, l + 12, t0 + 7);
    if (collapsed) dc.DrawLine(l + 9, t0 + 5, l + 9, t0 + 10);
}

// An owner-drawn list that keeps no strings: the model's rows are painted.
class RowList : public wxVListBox {
public:
    using Draw = std::function<void(wxDC&, const wxRect&, size_t)>;
    RowList(wxWindow* parent, int id, Draw draw)
        : wxVListBox(parent, id, wxDefaultPosition, wxDefaultSize, wxBORDER_SUNKEN), m_draw(std::move(draw)) {
        SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
        m_height = GetCharHeight() + 3;
    }
    void SetRowCount(size_t count) {
        if (GetItemCount() != count) SetItemCount(count);
        RefreshAll();
    }

private:
    void OnDrawItem(wxDC& dc, const wxRect& rect, size_t n) const override {
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
        m_draw(dc, rect, n);
        if (static_cast<int>(n) == GetSelection() && HasFocus()) {
            dc.SetBrush(*wxTRANSPARENT_BRUSH);
            dc.SetPen(wxPen(*wxBLACK, 1, wxPENSTYLE_DOT));
            dc.DrawRectangle(rect);
        }
    }
    // The selection is shown by the focus frame alone; rows keep their colours.
    void OnDrawBackground(wxDC&, const wxRect&, size_t) const override {}
    wxCoord OnMeasureItem(size_t) const override { return m_height; }

    Draw m_draw;
    int m_height = 16;
};

}  // namespace

// One tool window: its dialog is made at profile open and refilled from the
// plain class.
class WxToolWindows::Window : public FlightPlanEditorView {
public:
    using Build = std::function<void(Window&, wxDialog&)>;
    using Fill = std::function<void(Window&, wxDialog&)>;

    Window(TarqToolWindow& tool, const char* caption, wxSize dialogUnits, Build build, Fill fill)
        : m_tool(tool),
          m_caption(caption),
          m_size(dialogUnits),
          m_build(std::move(build)),
          m_fill(std::move(fill)) {}
    ~Window() override { DestroyWindow(); }

    void CreateWindow() override {
        DestroyWindow();
        auto* dialog = new TarqToolWindowDialog(
            m_tool, MainWindow(), m_caption,
            wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxFRAME_TOOL_WINDOW);
        dialog->ForgetOnDestroy(&m_dialog);
        m_dialog = dialog;
        m_dialog->SetClientSize(m_dialog->ConvertDialogToPixels(m_size));
        m_dialog->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { HideFromUser(); });
        m_dialog->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
            if (e.GetKeyCode() == WXK_ESCAPE) {
                HideFromUser();
                return;
            }
            e.Skip();
        });
        // The lists keep their fixed width; the others start at what their
        // layout gives and may be sized freely.
        if (m_tool.GetWidth() > 0) m_dialog->SetSize(wxSize(m_tool.GetWidth(), m_dialog->GetSize().y));
        m_build(*this, *m_dialog);
        Refill();
    }
    void Refill() override {
        if (m_dialog) m_fill(*this, *m_dialog);
    }
    FlightPlanFields ReadFields() const override { return m_read ? m_read() : FlightPlanFields{}; }
    void SetSquawkText(const std::string& text) override {
        if (!m_dialog) return;
        static_cast<wxTextCtrl*>(m_dialog->FindWindow(ids::kPlanSquawk))->ChangeValue(ToWx(text));
    }

    wxDialog* GetDialog() const { return m_dialog; }
    TarqToolWindow& Tool() { return m_tool; }
    std::function<FlightPlanFields()> m_read;

private:
    void HideFromUser() {
        m_tool.Hide();
        if (g_displayManager) g_displayManager->RebuildAllMenus();
    }

    void DestroyWindow() {
        if (!m_dialog) return;
        wxDialog* doomed = m_dialog;
        m_dialog = nullptr;
        doomed->Hide();
        delete doomed;
    }

    TarqToolWindow& m_tool;
    const char* m_caption;
    wxSize m_size;
    Build m_build;
    Fill m_fill;
    wxDialog* m_dialog = nullptr;
};

namespace {

// --- communications panel ----------------------------------------------------------

constexpr int kRowTop = 36, kRowStep = 18;

template <typename T>
T* Find(wxWindow& dialog, int id) {
    return static_cast<T*>(dialog.FindWindow(id));
}

void LoadEditorTexts(TarqCommsPanel& panel, wxDialog& d) {
    const CommsEntries& entries = panel.Entries();
    const int i = panel.GetEditedEntry();
    if (i < 0) return;
    Find<wxTextCtrl>(d, ids::kCommsName)->ChangeValue(ToWx(entries.GetName(i)));
    Find<wxTextCtrl>(d, ids::kCommsFrequency)
        ->ChangeValue(ToWx(FormatCommsFrequency(entries.GetFrequency(i))));
    Find<wxTextCtrl>(d, ids::kCommsServer)->ChangeValue(ToWx(entries.GetServer(i)));
    Find<wxTextCtrl>(d, ids::kCommsChannel)->ChangeValue(ToWx(entries.GetChannel(i)));
}

void BuildComms(TarqCommsPanel& panel, wxDialog& d) {
    const struct {
        int id;
        const char* text;
        int x, width;
    } toggles[] = {{ids::kAutoRoute, "Auto Route", 1, 46},
                   {ids::kAirGroundToSpeaker, "A/G to SPKR", 49, 48},
                   {ids::kGroundGroundToSpeaker, "G/G to SPKR", 99, 46},
                   {ids::kMicMute, "Mute", 147, 24}};
    for (const auto& t : toggles) {
        new wxToggleButton(&d, t.id, t.text, Du(&d, t.x, 2), DuSize(&d, t.width, 14));
    }
    CommsRouting& routing = panel.Routing();
    d.Bind(
        wxEVT_TOGGLEBUTTON, [&routing](wxCommandEvent& e) { routing.SetAutoRoute(e.IsChecked()); },
        ids::kAutoRoute);
    d.Bind(
        wxEVT_TOGGLEBUTTON, [&routing](wxCommandEvent& e) { routing.SetAirGroundToSpeaker(e.IsChecked()); },
        ids::kAirGroundToSpeaker);
    d.Bind(
        wxEVT_TOGGLEBUTTON,
        [&routing](wxCommandEvent& e) { routing.SetGroundGroundToSpeaker(e.IsChecked()); },
        ids::kGroundGroundToSpeaker);
    d.Bind(
        wxEVT_TOGGLEBUTTON, [&panel](wxCommandEvent& e) { panel.SetMuteChecked(e.IsChecked()); },
        ids::kMicMute);

    const struct {
        const char* text;
        int x, width;
    } titles[] = {{"PRIM", 4, 18}, {"Name", 21, 66},  {"TX", 88, 18},
                  {"RX", 108, 18}, {"HDST", 132, 18}, {"SPKR", 152, 18}};
    for (const auto& t : titles) Label(&d, t.text, t.x, 24, t.width, wxALIGN_CENTRE_HORIZONTAL);

    const struct {
        CommsRowKind kind;
        int x;
    } boxes[] = {{CommsRowKind::Primary, 7},
                 {CommsRowKind::Transmit, 93},
                 {CommsRowKind::Receive, 113},
                 {CommsRowKind::Headset, 135},
                 {CommsRowKind::Speaker, 156}};
    for (int r = 0; r < kCommsEntryCount; ++r) {
        const int y = kRowTop + kRowStep * r;
        for (const auto& b : boxes) {
            new wxCheckBox(&d, CommsControlId(b.kind, r), "", Du(&d, b.x, y), DuSize(&d, 12, 12));
        }
        new wxButton(&d, CommsControlId(CommsRowKind::Name, r), "-----", Du(&d, 21, y), DuSize(&d, 66, 12),
                     wxBORDER_NONE);
    }
    d.Bind(wxEVT_CHECKBOX, [&panel](wxCommandEvent& e) {
        CommsRowKind kind;
        int index;
        if (!FindCommsControl(e.GetId(), kind, index)) return;
        CommsEntries& entries = panel.Entries();
        const bool on = e.IsChecked();
        switch (kind) {
            case CommsRowKind::Primary:
                entries.OnPrimaryClicked(index, on);
                break;
            case CommsRowKind::Transmit:
                entries.OnTransmitClicked(index, on);
                break;
            case CommsRowKind::Receive:
                entries.OnReceiveClicked(index, on);
                break;
            case CommsRowKind::Headset:
                entries.OnHeadsetClicked(index, on);
                break;
            case CommsRowKind::Speaker:
                entries.OnSpeakerClicked(index, on);
                break;
            case CommsRowKind::Name:
                break;
        }
        panel.SelectionChanged();
    });

    const char* labels[] = {"Position Name:", "Frequency:", "Vox Server:", "Vox Channel:"};
    const int fields[] = {ids::kCommsName, ids::kCommsFrequency, ids::kCommsServer, ids::kCommsChannel};
    for (int i = 0; i < 4; ++i) {
        Label(&d, labels[i], 5, 254 + 18 * i, 48);
        Edit(&d, fields[i], 56, 253 + 18 * i, 109, 12);
    }
    auto* save = new wxButton(&d, ids::kCommsSave, "Save Changes", Du(&d, 6, 324), DuSize(&d, 64, 12));
    new wxButton(&d, ids::kCommsClear, "Clear", Du(&d, 74, 324), DuSize(&d, 44, 12));
    new wxButton(&d, ids::kCommsCancel, "Cancel", Du(&d, 122, 324), DuSize(&d, 44, 12));
    d.SetDefaultItem(save);
    d.Bind(wxEVT_BUTTON, [&panel, &d](wxCommandEvent& e) {
        const int id = e.GetId();
        CommsRowKind kind;
        int index;
        if (FindCommsControl(id, kind, index) && kind == CommsRowKind::Name) {
            panel.OpenEditor(index);
            LoadEditorTexts(panel, d);
            auto* name = Find<wxTextCtrl>(d, ids::kCommsName);
            name->SetFocus();
            name->SelectAll();
        } else if (id == ids::kCommsSave) {
            CommsEditorTexts texts{FromWx(Find<wxTextCtrl>(d, ids::kCommsName)->GetValue()),
                                   FromWx(Find<wxTextCtrl>(d, ids::kCommsFrequency)->GetValue()),
                                   FromWx(Find<wxTextCtrl>(d, ids::kCommsServer)->GetValue()),
                                   FromWx(Find<wxTextCtrl>(d, ids::kCommsChannel)->GetValue())};
            const CommsSaveResult result = panel.SaveEditedEntry(texts);
            if (!result.saved) {
                ShowMessageBox(result.message, "Error", {MessageBoxButtons::Ok, MessageBoxIcon::Error, 0},
                               &d);
                const int field[] = {0, ids::kCommsName, ids::kCommsFrequency, ids::kCommsServer,
                                     ids::kCommsChannel};
                if (auto* edit = Find<wxTextCtrl>(d, field[static_cast<int>(result.field)])) {
                    edit->SetFocus();
                    edit->SelectAll();
                }
            }
        } else if (id == ids::kCommsClear) {
            for (int f : {ids::kCommsName, ids::kCommsServer, ids::kCommsChannel})
                Find<wxTextCtrl>(d, f)->ChangeValue("");
            Find<wxTextCtrl>(d, ids::kCommsFrequency)->ChangeValue("000.000");
        } else if (id == ids::kCommsCancel) {
            panel.CloseEditor();
        } else {
            e.Skip();
        }
    });
}

void FillComms(TarqCommsPanel& panel, wxDialog& d) {
    const CommsEntries& entries = panel.Entries();
    for (int i = 0; i < kCommsEntryCount; ++i) {
        const CommsEntries::Selection& s = entries.GetSelection(i);
        auto set = [&](CommsRowKind kind, bool value, bool enabled) {
            auto* box = Find<wxCheckBox>(d, CommsControlId(kind, i));
            if (box->GetValue() != value) box->SetValue(value);
            if (box->IsEnabled() != enabled) box->Enable(enabled);
        };
        set(CommsRowKind::Primary, s.primary, true);
        set(CommsRowKind::Transmit, s.transmit, s.transmitReceiveEnabled);
        set(CommsRowKind::Receive, s.receive, s.transmitReceiveEnabled);
        set(CommsRowKind::Headset, s.headset, s.voiceEnabled);
        set(CommsRowKind::Speaker, s.speaker, s.voiceEnabled);
        const std::string name = entries.GetName(i);
        auto* button = Find<wxButton>(d, CommsControlId(CommsRowKind::Name, i));
        const wxString label = ToWx(name.empty() ? "-----" : name);
        if (button->GetLabel() != label) button->SetLabel(label);
    }
    CommsRouting& routing = panel.Routing();
    Find<wxToggleButton>(d, ids::kAutoRoute)->SetValue(routing.GetAutoRoute());
    Find<wxToggleButton>(d, ids::kAirGroundToSpeaker)->SetValue(routing.GetAirGroundToSpeaker());
    Find<wxToggleButton>(d, ids::kGroundGroundToSpeaker)->SetValue(routing.GetGroundGroundToSpeaker());

    // The editor: shown at the full height, or cut off below the rows.
    const int edited = panel.GetEditedEntry();
    const bool editable = edited >= 0 && entries.IsEditable(edited);
    for (int id : {ids::kCommsName, ids::kCommsFrequency, ids::kCommsServer, ids::kCommsChannel,
                   ids::kCommsSave, ids::kCommsClear})
        d.FindWindow(id)->Enable(editable);
    if (panel.IsCollapsed()) return;
    const int rowsBottom = Du(&d, 0, kRowTop + kRowStep * (kCommsEntryCount - 1) + 12).y + 9;
    const int full = Du(&d, 0, 342).y;
    const int height = edited >= 0 ? full : rowsBottom;
    if (d.GetClientSize().y != height) d.SetClientSize(d.GetClientSize().x, height);
}

// --- aircraft list ----------------------------------------------------------------------

void DrawAircraftRow(TarqAircraftList& list, wxDC& dc, const wxRect& r, size_t n) {
    const auto& rows = list.Model().GetRows();
    if (n >= rows.size()) return;
    const AircraftListEntry& row = rows[n];
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    if (row.header) {
        DrawHeader(dc, r, row.callsign, n == 0, !list.Model().IsSectionExpanded(row.section));
        return;
    }
    if (row.requestTime != 0) dc.SetTextForeground(Rgb(0xFF0000));
    const int y = r.y + 1;
    dc.DrawText(ToWx(row.label), r.x + 3, y);
    dc.DrawText(ToWx(row.callsign), r.x + 25, y);
    dc.DrawText(ToWx(AircraftListModel::RowKindLetter(row)), r.x + 95, y);
    dc.DrawText(ToWx(row.airport), r.x + 110, y);
    dc.DrawText(ToWx(AircraftListModel::FormatRowValue(row, std::time(nullptr))), r.x + 146, y);
}

// A list and a read-only pane below it, as both lists lay them out.
void ListAndPane(wxDialog& d, wxWindow* top, wxWindow* list, wxTextCtrl* pane, TarqToolWindow& tool) {
    auto relayout = [&d, top, list, pane] {
        const wxSize client = d.GetClientSize();
        const int h = pane->GetSize().y;
        const int b = top ? top->GetSize().y + 3 : 0;
        pane->SetSize(3, client.y - h - 3, client.x - 6, h);
        list->SetSize(3, 3 + b, client.x - 6, client.y - h - 9 - b);
    };
    relayout();
    d.Bind(wxEVT_SIZE, [relayout, &tool](wxSizeEvent& e) {
        if (!tool.IsCollapsed()) relayout();
        e.Skip();
    });
}

void BuildAircraftList(TarqAircraftList& list, wxDialog& d) {
    auto* rows = new RowList(&d, ids::kAircraftRows, [&list](wxDC& dc, const wxRect& r, size_t n) {
        DrawAircraftRow(list, dc, r, n);
    });
    auto* pane = new wxTextCtrl(&d, ids::kAircraftDetails, "", wxDefaultPosition,
                                wxSize(-1, 3 * d.GetCharHeight() + 10), wxTE_MULTILINE | wxTE_READONLY);
    ListAndPane(d, nullptr, rows, pane, list);
    rows->Bind(wxEVT_LEFT_DOWN, [&list, rows](wxMouseEvent& e) {
        const int n = rows->VirtualHitTest(e.GetY());
        if (n != wxNOT_FOUND) {
            const int top = rows->GetItemRect(static_cast<size_t>(n)).y;
            const int x = e.GetX(), y = e.GetY() - top;
            const bool alt = e.AltDown();
            rows->CallAfter([&list, n, x, y, alt] { list.OnRowClick(static_cast<size_t>(n), x, y, alt); });
        }
        e.Skip();
    });
    rows->Bind(wxEVT_LISTBOX_DCLICK, [&list, rows](wxCommandEvent&) {
        const int n = rows->GetSelection();
        if (n != wxNOT_FOUND) list.OnRowDoubleClick(static_cast<size_t>(n));
    });
    rows->Bind(wxEVT_CONTEXT_MENU, [&list, rows](wxContextMenuEvent& e) {
        wxPoint at = e.GetPosition();
        // From the keyboard the menu opens at the list's top-left corner.
        if (at == wxDefaultPosition) at = rows->ClientToScreen(wxPoint(0, 0));
        const int n = rows->VirtualHitTest(rows->ScreenToClient(at).y);
        if (n == wxNOT_FOUND) {
            e.Skip();  // the window's own menu
            return;
        }
        list.ShowAircraftMenuForRow(at.x, at.y, static_cast<size_t>(n));
    });
}

void FillAircraftList(TarqAircraftList& list, wxDialog& d) {
    Find<RowList>(d, ids::kAircraftRows)->SetRowCount(list.Model().GetRows().size());
    auto* pane = Find<wxTextCtrl>(d, ids::kAircraftDetails);
    const wxString text = ToWx(list.GetDetailText());
    if (pane->GetValue() != text) pane->ChangeValue(text);
}

// --- controller list -------------------------------------------------------------------

void DrawControllerRow(TarqControllerList& list, wxDC& dc, const wxRect& r, size_t n) {
    const auto& rows = list.Model().GetRows();
    if (n >= rows.size()) return;
    const ControllerListEntry& row = rows[n];
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    if (row.header) {
        DrawHeader(dc, r, row.name, n == 0, !list.Model().IsGroupExpanded(row.group));
        return;
    }
    const ControllerRowColours colours = ControllerListModel::RowColours(row);
    if (colours.background >= 0) {
        dc.SetBrush(wxBrush(Rgb(colours.background)));
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.DrawRectangle(r);
    }
    if (colours.text >= 0) dc.SetTextForeground(Rgb(colours.text));
    const int y = r.y + 1;
    dc.DrawText(ToWx(row.idText), r.x + 3, y);
    dc.DrawText(ToWx(row.name), r.x + 28, y);
    dc.DrawText(ToWx(row.frequencyText), r.x + 115, y);
}

void BuildControllerList(TarqControllerList& list, wxDialog& d) {
    auto* alpha = new wxToggleButton(&d, ids::kAlphaSort, "Alpha Sort");
    auto* pof = new wxToggleButton(&d, ids::kPositionFileOnly, "POF Only");
    auto* rows = new RowList(&d, ids::kControllerRows, [&list](wxDC& dc, const wxRect& r, size_t n) {
        DrawControllerRow(list, dc, r, n);
    });
    auto* pane = new wxTextCtrl(&d, ids::kControllerInfo, "", wxDefaultPosition,
                                wxSize(-1, 4 * d.GetCharHeight() + 10), wxTE_MULTILINE | wxTE_READONLY);
    auto placeButtons = [&d, alpha, pof] {
        const int w = d.GetClientSize().x - 9;
        alpha->SetSize(3, 3, w / 2, -1);
        pof->SetSize(w / 2 + 6, 3, w / 2, -1);
    };
    placeButtons();
    d.Bind(wxEVT_SIZE, [placeButtons](wxSizeEvent& e) {
        placeButtons();
        e.Skip();
    });
    ListAndPane(d, pof, rows, pane, list);
    auto sort = [&list, alpha, pof](wxCommandEvent&) {
        list.SetSortButtons(alpha->GetValue(), pof->GetValue());
    };
    alpha->Bind(wxEVT_TOGGLEBUTTON, sort);
    pof->Bind(wxEVT_TOGGLEBUTTON, sort);
    rows->Bind(wxEVT_LEFT_DOWN, [&list, rows](wxMouseEvent& e) {
        const int n = rows->VirtualHitTest(e.GetY());
        if (n != wxNOT_FOUND) {
            const int top = rows->GetItemRect(static_cast<size_t>(n)).y;
            const int x = e.GetX(), y = e.GetY() - top;
            rows->CallAfter([&list, n, x, y] { list.OnRowClick(static_cast<size_t>(n), x, y); });
        }
        e.Skip();
    });
    rows->Bind(wxEVT_LISTBOX_DCLICK, [&list, rows](wxCommandEvent&) {
        const int n = rows->GetSelection();
        if (n != wxNOT_FOUND) list.OnRowDoubleClick(static_cast<size_t>(n));
    });
    rows->Bind(wxEVT_CONTEXT_MENU, [&list, &d, rows](wxContextMenuEvent& e) {
        const wxPoint at = rows->ScreenToClient(e.GetPosition());
        const int n = rows->VirtualHitTest(at.y);
        const size_t row = static_cast<size_t>(n);
        const std::vector<ControllerMenuItem> items =
            n == wxNOT_FOUND ? std::vector<ControllerMenuItem>{} : list.Model().BuildContextMenu(row);
        if (items.empty()) {
            e.Skip();  // the window's own menu
            return;
        }
        wxMenu menu;
        menu.Append(wxID_ANY, ToWx(list.Model().GetRows()[row].name))->Enable(false);
        menu.AppendSeparator();
        for (const ControllerMenuItem& item : items) {
            if (item.text.empty()) {
                menu.AppendSeparator();
            } else if (item.command == 0) {
                auto* groups = new wxMenu;
                for (const ControllerMenuItem& group : item.submenu)
                    groups->Append(group.command, ToWx(group.text));
                menu.AppendSubMenu(groups, ToWx(item.text))->Enable(item.enabled);
            } else {
                menu.Append(item.command, ToWx(item.text))->Enable(item.enabled);
            }
        }
        auto* window = dynamic_cast<TarqToolWindowDialog*>(&d);
        if (window) window->AppendRollUpItem(menu);
        const int command = rows->GetPopupMenuSelectionFromUser(menu, at);
        if (command != wxID_NONE && !(window && window->RunRollUpItem(command)))
            list.RunMenuCommand(row, command);
    });
}

void FillControllerList(TarqControllerList& list, wxDialog& d) {
    Find<RowList>(d, ids::kControllerRows)->SetRowCount(list.Model().GetRows().size());
    auto* pane = Find<wxTextCtrl>(d, ids::kControllerInfo);
    const wxString text = ToWx(list.GetInfoText());
    if (pane->GetValue() != text) pane->ChangeValue(text);
}

// --- flight plan editor -----------------------------------------------------------------

void BuildFlightPlanEditor(TarqFlightPlanEditor& editor, WxToolWindows::Window& window, wxDialog& d) {
    using M = FlightPlanEditorModel;
    struct Field {
        int id;
        const char* label;
        int x, y, width, height;
        size_t limit;
        bool upper, digits, multi;
    };
    const Field fields[] = {
        {ids::kPlanCallsign, "Callsign:", 0, 4, 54, 12, 0, true, false, false},
        {ids::kPlanType, "A/C Type:", 1, 4, 54, 12, M::kTypeLimit, true, false, false},
        {ids::kPlanDepart, "Depart:", 0, 20, 54, 12, M::kAirportLimit, true, false, false},
        {ids::kPlanArrive, "Arrive:", 1, 20, 54, 12, M::kAirportLimit, true, false, false},
        {ids::kPlanAlternate, "Alternate:", 2, 20, 36, 12, M::kAirportLimit, true, false, false},
        {ids::kPlanCruise, "Cruise Alt:", 0, 36, 54, 12, M::kCruiseLimit, true, true, false},
        {ids::kPlanScratchpad, "Scratchpad:", 1, 36, 54, 12, M::kScratchpadLimit, false, false, false},
        {ids::kPlanSquawk, "Squawk:", 2, 36, 36, 12, M::kSquawkLimit, true, true, false},
        {ids::kPlanRoute, "Route:", 0, 52, 244, 24, M::kTextLimit, true, false, true},
        {ids::kPlanRemarks, "Remarks:", 0, 80, 244, 26, M::kTextLimit, false, false, true},
    };
    const int columns[] = {2, 106, 210};
    for (const Field& f : fields) {
        const int x = columns[f.x];
        Label(&d, f.label, x, f.y + 2, 44);
        long style = f.multi ? (wxTE_MULTILINE | wxVSCROLL) : 0;
        if (f.id == ids::kPlanCallsign) style |= wxTE_READONLY;
        wxTextCtrl* edit = Edit(&d, f.id, x + 46, f.y, f.width, f.height, style);
        if (!f.multi && f.limit > 0) edit->SetMaxLength(static_cast<unsigned long>(f.limit));
        if (f.digits) edit->SetValidator(wxTextValidator(wxFILTER_DIGITS));
        if (f.upper) UpperCaseAsTyped(edit);
    }
    auto* rules =
        new wxChoice(&d, ids::kPlanRules, Du(&d, columns[2] + 46, 4), wxSize(DuSize(&d, 40, 12).x, -1));
    Label(&d, "Flight Rules:", columns[2], 6, 44);
    for (const char* r : M::kRules) rules->Append(r);
    const struct {
        int id;
        const char* text;
        int y;
    } buttons[] = {{ids::kPlanAmend, "Amend Plan", 4},
                   {ids::kPlanRefresh, "Refresh Plan", 20},
                   {ids::kPlanAssignSquawk, "Assign Squawk", 36},
                   {ids::kPlanPlot, "Plot", 52}};
    for (const auto& b : buttons) new wxButton(&d, b.id, b.text, Du(&d, 298, b.y), DuSize(&d, 52, 12));
    d.SetDefaultItem(d.FindWindow(ids::kPlanAmend));

    // Typing marks the group the field belongs to.
    auto* assign = d.FindWindow(ids::kPlanAssignSquawk);
    auto mark = [&editor, assign](void (FlightPlanEditorModel::*note)()) {
        return [&editor, assign, note](wxCommandEvent& e) {
            (editor.Model().*note)();
            assign->Enable(editor.Model().IsAssignSquawkEnabled());
            e.Skip();
        };
    };
    for (int id : {ids::kPlanType, ids::kPlanDepart, ids::kPlanArrive, ids::kPlanAlternate, ids::kPlanCruise,
                   ids::kPlanRoute, ids::kPlanRemarks})
        d.FindWindow(id)->Bind(wxEVT_TEXT, mark(&FlightPlanEditorModel::OnPlanEdited));
    rules->Bind(wxEVT_CHOICE, mark(&FlightPlanEditorModel::OnPlanEdited));
    d.FindWindow(ids::kPlanScratchpad)->Bind(wxEVT_TEXT, mark(&FlightPlanEditorModel::OnScratchpadEdited));
    d.FindWindow(ids::kPlanSquawk)->Bind(wxEVT_TEXT, mark(&FlightPlanEditorModel::OnSquawkEdited));

    d.Bind(wxEVT_BUTTON, [&editor](wxCommandEvent& e) {
        switch (e.GetId()) {
            case ids::kPlanAmend:
                editor.Amend();
                return;
            case ids::kPlanRefresh:
                editor.RefreshPlan();
                return;
            case ids::kPlanAssignSquawk:
                editor.AssignSquawk();
                return;
            case ids::kPlanPlot:
                editor.Plot();
                return;
            default:
                e.Skip();
        }
    });
    window.m_read = [&d] {
        auto text = [&d](int id) { return FromWx(Find<wxTextCtrl>(d, id)->GetValue()); };
        FlightPlanFields f;
        f.callsign = text(ids::kPlanCallsign);
        f.type = text(ids::kPlanType);
        f.rules = FromWx(Find<wxChoice>(d, ids::kPlanRules)->GetStringSelection());
        f.departure = text(ids::kPlanDepart);
        f.destination = text(ids::kPlanArrive);
        f.alternate = text(ids::kPlanAlternate);
        f.cruise = text(ids::kPlanCruise);
        f.scratchpad = text(ids::kPlanScratchpad);
        f.squawk = text(ids::kPlanSquawk);
        f.route = text(ids::kPlanRoute);
        f.remarks = text(ids::kPlanRemarks);
        return f;
    };
}

void FillFlightPlanEditor(TarqFlightPlanEditor& editor, wxDialog& d) {
    const FlightPlanFields& f = editor.GetShownFields();
    const std::pair<int, const std::string*> texts[] = {
        {ids::kPlanCallsign, &f.callsign},     {ids::kPlanType, &f.type},
        {ids::kPlanDepart, &f.departure},      {ids::kPlanArrive, &f.destination},
        {ids::kPlanAlternate, &f.alternate},   {ids::kPlanCruise, &f.cruise},
        {ids::kPlanScratchpad, &f.scratchpad}, {ids::kPlanSquawk, &f.squawk},
        {ids::kPlanRoute, &f.route},           {ids::kPlanRemarks, &f.remarks}};
    // ChangeValue raises no change notification, so the flags stay clear.
    for (const auto& [id, text] : texts) Find<wxTextCtrl>(d, id)->ChangeValue(ToWx(*text));
    Find<wxChoice>(d, ids::kPlanRules)->SetStringSelection(ToWx(f.rules));
    d.FindWindow(ids::kPlanAssignSquawk)->Enable(editor.Model().IsAssignSquawkEnabled());
    if (!editor.GetCallsign().empty()) d.SetTitle(ToWx(editor.Model().GetTitle()));
}

}  // namespace

WxToolWindows::WxToolWindows() {
    TarqCommsPanel& comms = *g_commsPanel;
    TarqAircraftList& aircraft = *g_aircraftList;
    TarqControllerList& controllers = *g_controllerList;
    TarqFlightPlanEditor& editor = *g_flightPlanEditor;
    m_comms = std::make_unique<Window>(
        comms, "Communications", wxSize(173, 342), [&comms](Window&, wxDialog& d) { BuildComms(comms, d); },
        [&comms](Window&, wxDialog& d) { FillComms(comms, d); });
    m_aircraft = std::make_unique<Window>(
        aircraft, "Arrivals & Departures", wxSize(138, 200),
        [&aircraft](Window&, wxDialog& d) { BuildAircraftList(aircraft, d); },
        [&aircraft](Window&, wxDialog& d) { FillAircraftList(aircraft, d); });
    m_controllers = std::make_unique<Window>(
        controllers, "Controllers & Chat", wxSize(138, 220),
        [&controllers](Window&, wxDialog& d) { BuildControllerList(controllers, d); },
        [&controllers](Window&, wxDialog& d) { FillControllerList(controllers, d); });
    m_editor = std::make_unique<Window>(
        editor, "Flight Strip", wxSize(352, 110),
        [&editor](Window& w, wxDialog& d) { BuildFlightPlanEditor(editor, w, d); },
        [&editor](Window&, wxDialog& d) { FillFlightPlanEditor(editor, d); });
    comms.SetView(m_comms.get());
    aircraft.SetView(m_aircraft.get());
    controllers.SetView(m_controllers.get());
    editor.SetView(m_editor.get());
}

WxToolWindows::~WxToolWindows() {
    if (g_commsPanel) g_commsPanel->SetView(nullptr);
    if (g_aircraftList) g_aircraftList->SetView(nullptr);
    if (g_controllerList) g_controllerList->SetView(nullptr);
    if (g_flightPlanEditor) g_flightPlanEditor->SetView(nullptr);
}

wxDialog* WxToolWindows::GetCommsDialog() const { return m_comms->GetDialog(); }
wxDialog* WxToolWindows::GetAircraftListDialog() const { return m_aircraft->GetDialog(); }
wxDialog* WxToolWindows::GetControllerListDialog() const { return m_controllers->GetDialog(); }
wxDialog* WxToolWindows::GetFlightPlanDialog() const { return m_editor->GetDialog(); }
