// Tested by tests/app/program_test.cpp.
#include "app/comms_windows_wx.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/tglbtn.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "app/comms_windows.h"
#include "app/global_objects.h"
#include "app/tool_window_dialog.h"
#include "app/wx_image.h"
#include "app/wx_text.h"
#include "foundation/profile.h"
#include "platform/message_box.h"
#include "resources/comms_dialog_layouts.h"

namespace {

wxWindow* MainWindow() {
    return g_displayManager ? static_cast<wxWindow*>(g_displayManager->GetMainWindow()) : nullptr;
}

void CreateControl(wxWindow* parent, const CommsControl& c) {
    const wxPoint at = parent->ConvertDialogToPixels(wxPoint(c.x, c.y));
    const wxSize size = parent->ConvertDialogToPixels(wxSize(c.width, c.height));
    const int id = c.id == 0 ? wxID_ANY : c.id;
    switch (c.kind) {
        case CommsControlKind::Label:
            new wxStaticText(parent, id, c.text, at, size);
            break;
        case CommsControlKind::ListBox:
            new wxListBox(parent, id, at, size, 0, nullptr, wxLB_SINGLE | wxLB_NEEDED_SB);
            break;
        case CommsControlKind::MultiListBox:
            new wxListBox(parent, id, at, size, 0, nullptr, wxLB_MULTIPLE | wxLB_NEEDED_SB);
            break;
        case CommsControlKind::ReportBox:
            new wxTextCtrl(parent, id, "", at, size, wxTE_MULTILINE | wxTE_READONLY);
            break;
        case CommsControlKind::ReadOnlyEdit:
            new wxTextCtrl(parent, id, "", at, size, wxTE_READONLY);
            break;
        case CommsControlKind::Edit:
            new wxTextCtrl(parent, id, "", at, size);
            break;
        case CommsControlKind::UpperCaseEdit: {
            auto* edit = new wxTextCtrl(parent, id, "", at, size);
            // GTK has no upper-case style: the text is upper-cased as it is typed.
            edit->Bind(wxEVT_TEXT, [edit](wxCommandEvent&) {
                const wxString text = edit->GetValue();
                const wxString upper = text.Upper();
                if (upper == text) return;
                const long point = edit->GetInsertionPoint();
                edit->ChangeValue(upper);
                edit->SetInsertionPoint(point);
            });
            break;
        }
        case CommsControlKind::MultiEdit:
            new wxTextCtrl(parent, id, "", at, size, wxTE_MULTILINE);
            break;
        case CommsControlKind::DropList:
            new wxChoice(parent, id, at, wxSize(size.x, -1));
            break;
        case CommsControlKind::CheckBox:
            new wxCheckBox(parent, id, c.text, at, size);
            break;
        case CommsControlKind::ToggleButton:
            new wxToggleButton(parent, id, c.text, at, size);
            break;
        case CommsControlKind::Button:
            new wxButton(parent, id, c.text, at, size);
            break;
    }
}

// A list line's columns: the list box of GTK has no tab stops.
std::string Columns(const std::vector<std::string>& fields, const std::vector<size_t>& widths) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) {
        line += fields[i];
        if (i + 1 < fields.size() && i < widths.size() && fields[i].size() < widths[i])
            line.append(widths[i] - fields[i].size(), ' ');
        if (i + 1 < fields.size()) line += ' ';
    }
    return line;
}

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

// One tool window bound to a panel: its dialog is made at profile open and
// refilled from the panel's rows.
class WxCommsWindows::Panel : public CommsPanelView {
public:
    using Fill = std::function<void(wxDialog&)>;
    using Bindings = std::function<void(wxDialog&)>;

    Panel(TarqToolWindow& tool, const CommsLayout& layout, Bindings bind, Fill fill)
        : m_tool(tool), m_layout(layout), m_bind(std::move(bind)), m_fill(std::move(fill)) {}
    ~Panel() override { DestroyWindow(); }

    void CreateWindow() override {
        DestroyWindow();
        auto* dialog = new TarqToolWindowDialog(
            m_tool, MainWindow(), m_layout.caption,
            wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX | wxRESIZE_BORDER | wxFRAME_TOOL_WINDOW);
        dialog->ForgetOnDestroy(&m_dialog);
        m_dialog = dialog;
        m_dialog->SetClientSize(m_dialog->ConvertDialogToPixels(wxSize(m_layout.width, m_layout.height)));
        for (size_t i = 0; i < m_layout.controlCount; ++i) CreateControl(m_dialog, m_layout.controls[i]);
        m_dialog->Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { HideFromUser(); });
        m_dialog->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
            if (e.GetKeyCode() == WXK_ESCAPE) {
                HideFromUser();
                return;
            }
            e.Skip();
        });
        // Both panels keep the fixed width their class gives them.
        if (m_tool.GetWidth() > 0) m_dialog->SetSize(wxSize(m_tool.GetWidth(), m_dialog->GetSize().y));
        m_bind(*m_dialog);
        Refill();
    }

    void Refill() override {
        if (m_dialog) m_fill(*m_dialog);
    }

    wxDialog* Dialog() const { return m_dialog; }

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
    const CommsLayout& m_layout;
    Bindings m_bind;
    Fill m_fill;
    wxDialog* m_dialog = nullptr;
};

namespace {

wxListBox* List(wxWindow& dialog, int id) { return static_cast<wxListBox*>(dialog.FindWindow(id)); }
wxTextCtrl* Edit(wxWindow& dialog, int id) { return static_cast<wxTextCtrl*>(dialog.FindWindow(id)); }

// The station of the list line at `index`: the first word of its text.
std::string LineStation(wxListBox* list, int index) {
    if (index < 0 || index >= static_cast<int>(list->GetCount())) return {};
    const std::string text = FromWx(list->GetString(static_cast<unsigned>(index)));
    return text.substr(0, text.find(' '));
}

void BindWeather(TarqWeatherPanel& panel, wxDialog& dialog) {
    using namespace comms_layouts;
    wxListBox* list = List(dialog, kWeatherList);
    wxTextCtrl* report = Edit(dialog, kWeatherReport);
    auto relayout = [&dialog, list, report] {
        const wxSize client = dialog.GetClientSize();
        const int h = report->GetSize().y;
        report->SetSize(3, client.y - h - 3, client.x - 6, h);
        list->SetSize(3, 3, client.x - 6, client.y - h - 9);
    };
    relayout();
    dialog.Bind(wxEVT_SIZE, [relayout, &panel](wxSizeEvent& e) {
        if (!panel.IsCollapsed()) relayout();
        e.Skip();
    });
    list->Bind(wxEVT_LISTBOX, [&panel, list](wxCommandEvent&) {
        const std::string station = LineStation(list, list->GetSelection());
        if (!station.empty()) panel.Store().SelectStation(station);
    });
    list->Bind(wxEVT_LISTBOX_DCLICK, [&panel, list](wxCommandEvent&) {
        const std::string station = LineStation(list, list->GetSelection());
        if (!station.empty()) panel.Store().RequestMetar(station);
    });
    list->Bind(wxEVT_CONTEXT_MENU, [&panel, &dialog, list](wxContextMenuEvent& e) {
        const wxPoint at = list->ScreenToClient(e.GetPosition());
        const std::string station = LineStation(list, list->HitTest(at));
        if (station.empty()) {
            e.Skip();  // the window's own menu
            return;
        }
        auto* window = dynamic_cast<TarqToolWindowDialog*>(&dialog);
        wxMenu menu;
        menu.Append(wxID_ANY, ToWx(station))->Enable(false);
        menu.AppendSeparator();
        menu.Append(WeatherStore::kRemoveStationCommand, "Remove Station");
        menu.Append(WeatherStore::kRequestMetarCommand, "Request METAR");
        if (window) window->AppendRollUpItem(menu);
        const int command = list->GetPopupMenuSelectionFromUser(menu, at);
        if (command != wxID_NONE && !(window && window->RunRollUpItem(command)))
            panel.RunStationMenuCommand(command, station);
    });
}

void FillWeather(const TarqWeatherPanel& panel, wxDialog& dialog) {
    using namespace comms_layouts;
    wxListBox* list = List(dialog, kWeatherList);
    const std::string selected = panel.Store().GetSelectedStation();
    list->Clear();
    for (const WeatherListLine& line : panel.Store().GetListLines()) {
        list->Append(ToWx(Columns({line.station, line.time, line.altimeter, line.wind}, {4, 5, 5})));
        if (line.station == selected) list->SetSelection(static_cast<int>(list->GetCount()) - 1);
    }
    Edit(dialog, kWeatherReport)->ChangeValue(ToWx(panel.Store().GetReportBoxText()));
}

void BindSelcal(TarqSELCALPanel& panel, wxDialog& dialog) {
    wxListBox* list = List(dialog, comms_layouts::kSelcalList);
    auto relayout = [&dialog, list] {
        const wxSize client = dialog.GetClientSize();
        list->SetSize(3, 3, client.x - 6, client.y - 6);
    };
    relayout();
    dialog.Bind(wxEVT_SIZE, [relayout, &panel](wxSizeEvent& e) {
        if (!panel.IsCollapsed()) relayout();
        e.Skip();
    });
    list->Bind(wxEVT_LISTBOX_DCLICK, [&panel, list](wxCommandEvent&) {
        const std::string callsign = LineStation(list, list->GetSelection());
        if (!callsign.empty()) panel.Codes().SendSelected(callsign);
    });
}

void FillSelcal(TarqSELCALPanel& panel, wxDialog& dialog) {
    wxListBox* list = List(dialog, comms_layouts::kSelcalList);
    list->Clear();
    for (const std::string& row : panel.Codes().GetRows()) {
        // Tab, callsign, tab, code.
        const size_t second = row.find('\t', 1);
        const std::string callsign =
            row.substr(1, second == std::string::npos ? std::string::npos : second - 1);
        const std::string code = second == std::string::npos ? std::string() : row.substr(second + 1);
        list->Append(ToWx(Columns({callsign, code}, {10})));
    }
}

// --- the ATIS maker's dialog ------------------------------------------------------

wxDialog* g_openAtisDialog = nullptr;

// "Record Voice ATIS": the voice ATIS text to read, Record and Play held
// down while they run, Save puts the new recording on the air.
class RecordVoiceAtisDialog : public wxDialog {
public:
    static constexpr int kText = 1214;
    static constexpr int kPlay = 1215;
    static constexpr int kRecord = 1216;
    static constexpr int kSave = 1212;

    RecordVoiceAtisDialog(wxWindow* parent, VoiceAtis& voice, const std::string& text)
        : wxDialog(parent, wxID_ANY, "Record Voice ATIS"), m_voice(voice) {
        SetProgramIcon(*this);
        SetClientSize(ConvertDialogToPixels(wxSize(300, 110)));
        auto at = [this](int x, int y) { return ConvertDialogToPixels(wxPoint(x, y)); };
        auto size = [this](int w, int h) { return ConvertDialogToPixels(wxSize(w, h)); };
        new wxTextCtrl(this, kText, ToWx(WithCrLf(AtisMaker::ForEdit(text))), at(7, 7), size(286, 76),
                       wxTE_MULTILINE | wxTE_READONLY);
        m_record = new wxToggleButton(this, kRecord, "Record", at(7, 89), size(50, 14));
        m_play = new wxToggleButton(this, kPlay, "Play", at(62, 89), size(50, 14));
        m_save = new wxButton(this, kSave, "Save", at(188, 89), size(50, 14));
        new wxButton(this, wxID_CANCEL, "Cancel", at(243, 89), size(50, 14));
        const bool recorded = voice.HasNewRecording();
        m_save->Enable(recorded);
        m_play->Enable(recorded);
        m_record->SetFocus();
        Bind(
            wxEVT_TOGGLEBUTTON, [this](wxCommandEvent& e) { OnRecord(e.IsChecked()); }, kRecord);
        Bind(
            wxEVT_TOGGLEBUTTON,
            [this](wxCommandEvent& e) { e.IsChecked() ? m_voice.StartPreview() : m_voice.StopPreview(); },
            kPlay);
        Bind(
            wxEVT_BUTTON,
            [this](wxCommandEvent&) {
                m_voice.SaveRecording();
                EndModal(wxID_OK);
            },
            kSave);
        Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { Cancel(); }, wxID_CANCEL);
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Cancel(); });
        CentreOnParent();
    }

private:
    void OnRecord(bool down) {
        if (down) {
            m_save->Enable(false);
            m_play->Enable(false);
            m_play->SetValue(false);
            m_voice.StartRecording();
            return;
        }
        m_voice.StopRecording(false);
        m_save->Enable(true);
        m_play->Enable(true);
    }
    void Cancel() {
        m_voice.CancelRecordDialog();
        EndModal(wxID_CANCEL);
    }

    VoiceAtis& m_voice;
    wxToggleButton* m_record = nullptr;
    wxToggleButton* m_play = nullptr;
    wxButton* m_save = nullptr;
};

class AtisMakerDialog : public wxDialog {
public:
    AtisMakerDialog(wxWindow* parent, TarqATISMaker& maker)
        : wxDialog(parent, wxID_ANY, comms_layouts::kAtisMaker.caption),
          m_owner(maker),
          m_maker(maker.Maker()),
          m_voice(maker.Voice()) {
        SetProgramIcon(*this);
        using namespace comms_layouts;
        SetClientSize(ConvertDialogToPixels(wxSize(kAtisMaker.width, kAtisMaker.height)));
        for (size_t i = 0; i < kAtisMaker.controlCount; ++i) CreateControl(this, kAtisMaker.controls[i]);
        Text(AtisMaker::kStationId)->SetMaxLength(AtisMaker::kStationLimit);
        // GTK's multi-line edits have no limit: a template too long is refused on saving.
        Text(kAtisVoiceServer)->SetMaxLength(AtisMaker::kServerLimit);
        Text(kAtisVoiceFrequency)->SetMaxLength(AtisMaker::kFrequencyLimit);
        Text(AtisMaker::kRunwayId)->SetMaxLength(AtisMaker::kRunwayLimit);
        // The voice ATIS waits for the voice engine's services.
        for (int id : {kAtisRecord, kAtisMonitor, kAtisConnect}) FindWindow(id)->Enable(m_voice != nullptr);
        if (m_voice) {
            static_cast<wxToggleButton*>(FindWindow(kAtisMonitor))->SetValue(m_voice->IsMonitor());
            FindWindow(kAtisConnect)->SetLabel(ToWx(m_voice->ConnectButtonText()));
        }

        const AtisDialogValues v = m_maker.InitialValues();
        Text(AtisMaker::kStationId)->ChangeValue(ToWx(v.station));
        Text(AtisMaker::kTextTemplateId)->ChangeValue(ToWx(WithCrLf(AtisMaker::ForEdit(v.textTemplate))));
        Text(AtisMaker::kVoiceTemplateId)->ChangeValue(ToWx(WithCrLf(AtisMaker::ForEdit(v.voiceTemplate))));
        Text(kAtisVoiceServer)->ChangeValue(ToWx(v.voiceServer));
        Text(kAtisVoiceFrequency)->ChangeValue(ToWx(v.voiceFrequency));
        auto* letters = static_cast<wxChoice*>(FindWindow(kAtisLetter));
        for (const std::string& word : AtisMaker::LetterWords()) letters->Append(ToWx(word));
        static_cast<wxToggleButton*>(FindWindow(kAtisAutoUpdate))->SetValue(m_maker.IsAutoUpdate());
        static_cast<wxCheckBox*>(FindWindow(kAtisVisual))->SetValue(m_maker.IsVisualApproaches());
        static_cast<wxCheckBox*>(FindWindow(kAtisLahsos))->SetValue(m_maker.IsLahsos());
        FillRunways();
        ShowResult();

        Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { Update(); }, kAtisRefresh);
        Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { m_owner.OpenHelp(); }, kAtisHelp);
        Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { CloseSaving(); }, kAtisClose);
        Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { CloseSaving(); });
        Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
            if (e.GetKeyCode() == WXK_ESCAPE) {
                EndModal(wxID_CANCEL);
                return;
            }
            e.Skip();
        });
        Bind(
            wxEVT_TOGGLEBUTTON, [this](wxCommandEvent& e) { OnAutoUpdate(e.IsChecked()); }, kAtisAutoUpdate);
        Bind(
            wxEVT_CHECKBOX, [this](wxCommandEvent& e) { m_maker.SetVisualApproaches(e.IsChecked()); },
            kAtisVisual);
        Bind(
            wxEVT_CHECKBOX, [this](wxCommandEvent& e) { m_maker.SetLahsos(e.IsChecked()); }, kAtisLahsos);
        Bind(
            wxEVT_CHOICE, [this](wxCommandEvent& e) { OnLetter(e.GetSelection()); }, kAtisLetter);
        Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { OnRecordAtis(); }, kAtisRecord);
        Bind(
            wxEVT_TOGGLEBUTTON, [this](wxCommandEvent& e) { m_voice->SetMonitor(e.IsChecked()); },
            kAtisMonitor);
        Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { OnConnectAtis(); }, kAtisConnect);
        Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { OnRunway(true); }, kAtisAddRunway);
        Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { OnRunway(false); }, kAtisDeleteRunway);
        Bind(
            wxEVT_LISTBOX, [this](wxCommandEvent&) { m_maker.SetLandingRunways(Selected(kAtisLanding)); },
            kAtisLanding);
        Bind(
            wxEVT_LISTBOX, [this](wxCommandEvent&) { m_maker.SetDepartingRunways(Selected(kAtisDeparting)); },
            kAtisDeparting);
        CentreOnParent();
        g_openAtisDialog = this;
    }
    ~AtisMakerDialog() override {
        if (g_openAtisDialog == this) g_openAtisDialog = nullptr;
    }

    void UpdateConnectButton() {
        if (!m_voice) return;
        wxWindow* button = FindWindow(comms_layouts::kAtisConnect);
        button->SetLabel(ToWx(m_voice->ConnectButtonText()));
        button->Enable(true);
    }

    void ShowResult() {
        using namespace comms_layouts;
        std::string info = g_profile ? g_profile->GetString("ATIS") : std::string();
        Text(kAtisCurrentInfo)->ChangeValue(ToWx(WithCrLf(AtisMaker::ForEdit(info))));
        Text(kAtisLastMetar)->ChangeValue(ToWx(m_maker.GetLastMetar()));
        static_cast<wxChoice*>(FindWindow(kAtisLetter))->SetSelection(m_maker.GetLetterIndex());
    }

private:
    wxTextCtrl* Text(int id) { return static_cast<wxTextCtrl*>(FindWindow(id)); }

    AtisDialogValues Values() {
        using namespace comms_layouts;
        AtisDialogValues v;
        v.station = FromWx(Text(AtisMaker::kStationId)->GetValue());
        v.textTemplate = FromWx(Text(AtisMaker::kTextTemplateId)->GetValue());
        v.voiceTemplate = FromWx(Text(AtisMaker::kVoiceTemplateId)->GetValue());
        v.voiceServer = FromWx(Text(kAtisVoiceServer)->GetValue());
        v.voiceFrequency = FromWx(Text(kAtisVoiceFrequency)->GetValue());
        return v;
    }

    // False when the dialog showed why nothing was saved.
    bool Save() { return !Fail(m_maker.SaveDialogSettings(Values())); }

    bool Fail(const std::optional<AtisMaker::Failure>& failure) {
        if (!failure) return false;
        ShowMessageBox(failure->message, "Error", {MessageBoxButtons::Ok, MessageBoxIcon::Error, 0}, this);
        if (wxTextCtrl* edit = dynamic_cast<wxTextCtrl*>(FindWindow(failure->control))) {
            edit->SelectAll();
            edit->SetFocus();
        }
        return true;
    }

    void Update() {
        if (!Save()) return;
        if (!m_maker.UpdateATIS(true)) {
            Fail(AtisMaker::Failure{AtisMaker::kStationId, AtisMaker::kInvalidStationBox});
            return;
        }
        ShowResult();
    }

    void OnAutoUpdate(bool on) {
        if (!Save()) return;
        auto* box = static_cast<wxToggleButton*>(FindWindow(comms_layouts::kAtisAutoUpdate));
        if (Fail(m_maker.SetAutoUpdate(on))) {
            box->SetValue(false);
            return;
        }
        ShowResult();
    }

    void OnLetter(int index) {
        if (!Save()) return;
        m_owner.SelectLetter(index);
        ShowResult();
    }

    void OnRecordAtis() {
        if (!Save()) return;
        VoiceAtis::Failure failure{0, ""};
        const bool open = m_voice->OnRecordATIS(&failure);
        static_cast<wxToggleButton*>(FindWindow(comms_layouts::kAtisMonitor))->SetValue(m_voice->IsMonitor());
        ShowResult();
        if (!open) {
            if (!failure.message.empty()) Fail(failure);
            return;
        }
        RecordVoiceAtisDialog record(this, *m_voice, m_maker.GetVoiceATISText());
        record.ShowModal();
    }

    void OnConnectAtis() {
        const VoiceAtis::ConnectResult result = m_voice->OnConnectATIS(Values());
        if (Fail(result.failure)) return;
        // The session's state reports set the button's text and enable it again.
        if (result.toggled) FindWindow(comms_layouts::kAtisConnect)->Enable(false);
    }

    void OnRunway(bool add) {
        wxTextCtrl* edit = Text(AtisMaker::kRunwayId);
        const std::string typed = FromWx(edit->GetValue());
        if (Fail(add ? m_maker.AddRunway(typed) : m_maker.DeleteRunway(typed))) return;
        FillRunways();
    }

    std::vector<std::string> Selected(int id) {
        auto* list = static_cast<wxListBox*>(FindWindow(id));
        std::vector<std::string> runways;
        for (unsigned i = 0; i < list->GetCount(); ++i) {
            if (list->IsSelected(static_cast<int>(i))) runways.push_back(FromWx(list->GetString(i)));
        }
        return runways;
    }

    void FillRunways() {
        using namespace comms_layouts;
        const std::vector<std::string> offered = m_maker.GetOfferedRunways();
        auto fill = [&](int id, const std::vector<std::string>& chosen) {
            auto* list = static_cast<wxListBox*>(FindWindow(id));
            list->Clear();
            for (const std::string& runway : offered) {
                list->Append(ToWx(runway));
                if (std::find(chosen.begin(), chosen.end(), runway) != chosen.end())
                    list->SetSelection(static_cast<int>(list->GetCount()) - 1);
            }
        };
        fill(kAtisLanding, m_maker.GetLandingRunways());
        fill(kAtisDeparting, m_maker.GetDepartingRunways());
    }

    void CloseSaving() {
        Save();
        EndModal(wxID_OK);
    }

    TarqATISMaker& m_owner;
    AtisMaker& m_maker;
    VoiceAtis* m_voice;
};

}  // namespace

WxCommsWindows::WxCommsWindows(TarqWeatherPanel& weather, TarqSELCALPanel& selcal)
    : m_weather(std::make_unique<Panel>(
          weather, comms_layouts::kWeatherPanel, [&weather](wxDialog& d) { BindWeather(weather, d); },
          [&weather](wxDialog& d) { FillWeather(weather, d); })),
      m_selcal(std::make_unique<Panel>(
          selcal, comms_layouts::kSelcalPanel, [&selcal](wxDialog& d) { BindSelcal(selcal, d); },
          [&selcal](wxDialog& d) { FillSelcal(selcal, d); })) {
    weather.SetView(m_weather.get());
    selcal.SetView(m_selcal.get());
    TarqATISMaker::SetDialogRunner([](TarqATISMaker& maker) {
        AtisMakerDialog dialog(MainWindow(), maker);
        dialog.ShowModal();
    });
    TarqATISMaker::SetConnectButtonUpdater([] {
        if (auto* dialog = dynamic_cast<AtisMakerDialog*>(g_openAtisDialog)) dialog->UpdateConnectButton();
    });
    TarqATISMaker::SetDialogRefresher([] {
        if (auto* dialog = dynamic_cast<AtisMakerDialog*>(g_openAtisDialog)) dialog->ShowResult();
    });
}

WxCommsWindows::~WxCommsWindows() {
    TarqATISMaker::SetDialogRunner(nullptr);
    TarqATISMaker::SetConnectButtonUpdater(nullptr);
    TarqATISMaker::SetDialogRefresher(nullptr);
    if (g_weatherPanel) g_weatherPanel->SetView(nullptr);
    if (g_selcalPanel) g_selcalPanel->SetView(nullptr);
}

void* WxCommsWindows::GetWeatherDialog() const { return m_weather->Dialog(); }
void* WxCommsWindows::GetSelcalDialog() const { return m_selcal->Dialog(); }
void* WxCommsWindows::GetOpenAtisDialog() { return g_openAtisDialog; }
