// Tested through tests/app/settings_program_test.cpp.
#include "app/settings_dialogs_wx.h"

#include <wx/colordlg.h>
#include <wx/filedlg.h>
#include <wx/notebook.h>
#include <wx/spinbutt.h>
#include <wx/timer.h>
#include <wx/wx.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <functional>

#include "app/audio_settings_form.h"
#include "app/color_profiles_form.h"
#include "app/display.h"
#include "app/filters_form.h"
#include "app/general_settings_form.h"
#include "app/profile_transfer.h"
#include "app/sounds_form.h"
#include "app/wx_image.h"
#include "app/wx_text.h"
#include "foundation/ini_file.h"
#include "foundation/profile.h"
#include "foundation/sound_cues.h"
#include "platform/key_state.h"
#include "platform/url_open.h"

void InitSettingsXrc();

namespace {

void LoadLayouts() {
    static bool loaded = false;
    if (loaded) return;
    wxXmlResource::Get()->InitAllHandlers();
    InitSettingsXrc();
    loaded = true;
}

// A dialog of the settings layouts, with the program's icon.
void LoadSettingsDialog(wxDialog& dialog, wxWindow* parent, const char* name) {
    wxXmlResource::Get()->LoadDialog(&dialog, parent, name);
    SetProgramIcon(dialog);
}

template <typename T>
T* Find(wxWindow* parent, int id, const char* suffix = "") {
    return dynamic_cast<T*>(parent->FindWindow(XRCID(wxString::Format("c%d%s", id, suffix))));
}

wxColour ToColour(int rgb) { return wxColour(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF); }
int FromColour(const wxColour& c) { return c.Red() | (c.Green() << 8) | (c.Blue() << 16); }

void PaintSwatch(wxButton* button, int rgb) {
    if (!button) return;
    wxSize size = button->GetClientSize();
    wxBitmap bitmap(std::max(8, size.x - 12), std::max(6, size.y - 10));
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(wxBrush(ToColour(rgb)));
        dc.Clear();
    }
    button->SetBitmap(bitmap);
}

// The system colour chooser; the custom colours last for the program's run.
bool ChooseColour(wxWindow* owner, int current, int* chosen) {
    static wxColourData data;
    data.SetChooseFull(true);
    data.SetColour(ToColour(current));
    wxColourDialog dialog(owner, &data);
    if (dialog.ShowModal() != wxID_OK) return false;
    data = dialog.GetColourData();
    *chosen = FromColour(data.GetColour());
    return true;
}

// Windows virtual-key code of a key event; 0 for keys without one here.
int VirtualKey(const wxKeyEvent& key) {
    // By the key's own symbol first: the keypad's keys, the punctuation, and
    // the left and right modifiers each have a code of their own, where the
    // toolkit's code names only the generic Ctrl, Alt and Shift.
    if (const int vk = KeysymToVirtualKey(key.GetRawKeyCode()); vk != 0) return vk;
    const int code = key.GetKeyCode();
    if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9') || code == WXK_SPACE) return code;
    if (code >= 'a' && code <= 'z') return code - 'a' + 'A';
    if (code >= WXK_F1 && code <= WXK_F24) return 0x70 + (code - WXK_F1);
    if (code >= WXK_NUMPAD0 && code <= WXK_NUMPAD9) return 0x60 + (code - WXK_NUMPAD0);
    switch (code) {
        case WXK_SHIFT:
            return 0x10;
        case WXK_CONTROL:
            return 0x11;
        case WXK_ALT:
            return 0x12;
        case WXK_PAUSE:
            return 0x13;
        case WXK_CAPITAL:
            return 0x14;
        case WXK_PAGEUP:
            return 0x21;
        case WXK_PAGEDOWN:
            return 0x22;
        case WXK_END:
            return 0x23;
        case WXK_HOME:
            return 0x24;
        case WXK_LEFT:
            return 0x25;
        case WXK_UP:
            return 0x26;
        case WXK_RIGHT:
            return 0x27;
        case WXK_DOWN:
            return 0x28;
        case WXK_INSERT:
            return 0x2D;
        case WXK_DELETE:
            return 0x2E;
        case WXK_SCROLL:
            return 0x91;
        default:
            return 0;
    }
}

// A number field with its arrows: the arrows step the text within the range.
void BindArrows(wxWindow* parent, const SettingsControl& control, std::function<void()> changed) {
    wxTextCtrl* field = Find<wxTextCtrl>(parent, control.id);
    wxSpinButton* arrows = Find<wxSpinButton>(parent, control.id, "_arrows");
    if (!field || !arrows) return;
    arrows->SetRange(-1, 1);
    arrows->SetValue(0);
    auto step = [field, arrows, control, changed](int direction) {
        long value = 0;
        if (!field->GetValue().ToLong(&value)) value = control.min;
        value = std::clamp<long>(value + direction * control.step, control.min, control.max);
        field->ChangeValue(wxString::Format("%ld", value));
        arrows->SetValue(0);
        changed();
    };
    arrows->Bind(wxEVT_SPIN_UP, [step](wxSpinEvent&) { step(1); });
    arrows->Bind(wxEVT_SPIN_DOWN, [step](wxSpinEvent&) { step(-1); });
    // The arrow keys step the field like its arrows.
    field->Bind(wxEVT_KEY_DOWN, [step](wxKeyEvent& key) {
        if (key.GetKeyCode() == WXK_UP)
            step(1);
        else if (key.GetKeyCode() == WXK_DOWN)
            step(-1);
        else
            key.Skip();
    });
}

// --- General Settings --------------------------------------------------------

class GeneralSettingsDialog {
public:
    explicit GeneralSettingsDialog(wxWindow* parent) : m_form(*g_profile, ProgramSettingsEffects()) {
        LoadSettingsDialog(m_dialog, parent, "GeneralSettings");
        m_pages = XRCCTRL(m_dialog, "pages", wxNotebook);
        m_apply = dynamic_cast<wxButton*>(m_dialog.FindWindow(wxID_APPLY));
        m_apply->Disable();
        m_pages->Bind(wxEVT_NOTEBOOK_PAGE_CHANGED, [this](wxBookCtrlEvent& event) {
            ShowPage(event.GetSelection());
            event.Skip();
        });
        m_dialog.Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { OnApply(true); }, wxID_OK);
        m_dialog.Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { OnApply(false); }, wxID_APPLY);
        m_dialog.Bind(
            wxEVT_BUTTON, [](wxCommandEvent&) { OpenUrl(HelpPageUrl(CommandId::Documentation)); }, wxID_HELP);
        m_dialog.Fit();
        m_dialog.CentreOnParent();
        ShowPage(0);
    }
    void Run() { m_dialog.ShowModal(); }

private:
    void Changed() { m_apply->Enable(); }

    void OnApply(bool close) {
        if (!m_form.Apply(&m_dialog)) return;
        m_apply->Disable();
        if (close) m_dialog.EndModal(wxID_OK);
    }

    void ShowPage(int index) {
        if (index < 0 || index >= static_cast<int>(GeneralSettingsPages().size())) return;
        const SettingsPage& page = GeneralSettingsPages()[static_cast<size_t>(index)];
        if (m_form.IsShown(page.resourceId)) return;
        SettingsPageValues& values = m_form.Show(page.resourceId);
        wxWindow* panel = m_pages->GetPage(static_cast<size_t>(index));
        for (const SettingsControl& control : page.controls) Bind(panel, page, control, values);
        if (page.resourceId == settings_pages::kFlightStrips) EnablePushRadios(panel, values);
    }

    void EnablePushRadios(wxWindow* panel, SettingsPageValues& values) {
        for (int id : {1211, 1212}) {
            if (auto* radio = Find<wxRadioButton>(panel, id)) radio->Enable(values.checks[1186]);
        }
    }

    void Bind(wxWindow* panel, const SettingsPage& page, const SettingsControl& control,
              SettingsPageValues& values) {
        const int id = control.id;
        switch (control.kind) {
            case SettingsControlKind::Check: {
                auto* box = Find<wxCheckBox>(panel, id);
                if (!box) return;
                box->SetValue(values.checks[id]);
                box->Bind(wxEVT_CHECKBOX, [this, panel, &values, id, box](wxCommandEvent&) {
                    values.checks[id] = box->GetValue();
                    if (id == 1186) EnablePushRadios(panel, values);
                    Changed();
                });
                return;
            }
            case SettingsControlKind::Radio:
            case SettingsControlKind::RadioOff: {
                auto* radio = Find<wxRadioButton>(panel, id);
                if (!radio) return;
                radio->SetValue(values.checks[id]);
                if (id == 1163) UpdateVectorLabel(panel, values.checks[id]);
                radio->Bind(wxEVT_RADIOBUTTON, [this, panel, &page, &values, id](wxCommandEvent&) {
                    for (const SettingsControl& other : page.controls) {
                        if (other.kind == SettingsControlKind::Radio ||
                            other.kind == SettingsControlKind::RadioOff)
                            values.checks[other.id] = other.id == id;
                    }
                    if (page.resourceId == settings_pages::kDataTags)
                        UpdateVectorLabel(panel, values.checks[1163]);
                    Changed();
                });
                return;
            }
            case SettingsControlKind::Number:
            case SettingsControlKind::Text:
            case SettingsControlKind::UpperText:
            case SettingsControlKind::Path: {
                auto* field = Find<wxTextCtrl>(panel, id);
                if (!field) return;
                if (control.maxLength > 0) field->SetMaxLength(static_cast<unsigned long>(control.maxLength));
                field->ChangeValue(ToWx(values.texts[id]));
                field->Bind(wxEVT_TEXT, [this, &values, id, field](wxCommandEvent&) {
                    values.texts[id] = FromWx(field->GetValue());
                    Changed();
                });
                if (control.kind == SettingsControlKind::UpperText) {
                    field->Bind(wxEVT_CHAR, [field](wxKeyEvent& key) {
                        const int c = key.GetUnicodeKey();
                        if (c >= 'a' && c <= 'z') {
                            field->WriteText(wxString(static_cast<wchar_t>(c - 'a' + 'A')));
                            return;
                        }
                        key.Skip();
                    });
                }
                if (control.kind == SettingsControlKind::Number) {
                    BindArrows(panel, control, [this, &values, id, field] {
                        values.texts[id] = FromWx(field->GetValue());
                        Changed();
                    });
                }
                if (control.kind == SettingsControlKind::Path) {
                    const bool alias = id == 1127;
                    if (auto* select = Find<wxButton>(panel, alias ? 1128 : 1130)) {
                        select->Bind(wxEVT_BUTTON, [this, field, alias](wxCommandEvent&) {
                            wxFileDialog dialog(
                                &m_dialog, alias ? "Select Alias File" : "Select Position File", "", "",
                                alias ? "Alias Files (*.txt)|*.txt" : "Position Files (*.pof)|*.pof",
                                wxFD_OPEN | wxFD_FILE_MUST_EXIST);
                            if (dialog.ShowModal() == wxID_OK) field->SetValue(dialog.GetPath());
                        });
                    }
                }
                return;
            }
            case SettingsControlKind::Slider: {
                auto* slider = Find<wxSlider>(panel, id);
                auto* label = Find<wxStaticText>(panel, 1157);
                if (!slider) return;
                slider->SetRange(control.min, control.max);
                slider->SetPageSize(10);
                slider->SetValue(values.ints[id]);
                if (label) label->SetLabel(wxString::Format("%d NM", g_profile->GetInt(control.key)));
                slider->Bind(wxEVT_SLIDER, [this, &values, id, slider, label](wxCommandEvent&) {
                    values.ints[id] = slider->GetValue();
                    if (label) label->SetLabel(ToWx(TarqGeneralSettingsForm::RangeLabel(slider->GetValue())));
                    Changed();
                });
                return;
            }
            case SettingsControlKind::Key: {
                auto* field = Find<wxTextCtrl>(panel, id);
                if (!field) return;
                field->ChangeValue(ToWx(GetKeyDisplayName(values.ints[id])));
                const int pageId = page.resourceId;
                field->Bind(wxEVT_KEY_DOWN, [this, pageId, id, field](wxKeyEvent& key) {
                    const int vk = VirtualKey(key);
                    if (vk == 0) return;
                    m_form.CaptureKey(pageId, id, vk);
                    field->ChangeValue(ToWx(GetKeyDisplayName(vk)));
                    Changed();
                });
                field->Bind(wxEVT_CHAR, [](wxKeyEvent&) {});
                return;
            }
            case SettingsControlKind::Swatch: {
                auto* button = Find<wxButton>(panel, id);
                const ColorItem* item = FindColorItem(id, true);
                if (!button || !item) return;
                PaintSwatch(button, ItemColor(*g_profile, "", *item));
                button->Bind(wxEVT_BUTTON, [this, button, item](wxCommandEvent&) {
                    int rgb = 0;
                    if (!ChooseColour(&m_dialog, ItemColor(*g_profile, "", *item), &rgb)) return;
                    StoreItemColor(*g_profile, ProgramSettingsEffects(), "", *item, rgb);
                    PaintSwatch(button, rgb);
                });
                return;
            }
        }
    }

    static void UpdateVectorLabel(wxWindow* panel, bool minutes) {
        if (auto* label = Find<wxStaticText>(panel, 1161))
            label->SetLabel(TarqGeneralSettingsForm::VectorLabel(minutes));
    }

    TarqGeneralSettingsForm m_form;
    wxDialog m_dialog;
    wxNotebook* m_pages = nullptr;
    wxButton* m_apply = nullptr;
};

// --- Colour profiles -----------------------------------------------------------

void RunColorProfileEditor(wxWindow* parent, const std::string& name) {
    wxDialog dialog;
    LoadSettingsDialog(dialog, parent, "ColorProfileEditor");
    TarqColorProfileEditorForm form(*g_profile, name);
    auto* field = Find<wxTextCtrl>(&dialog, 1202);
    field->SetMaxLength(255);
    field->ChangeValue(ToWx(name));
    if (form.NameReadOnly()) field->SetEditable(false);
    for (const ColorItem& item : ColorItems()) {
        if (item.rebuild == ColorRebuild::StripBay) continue;
        auto* button = Find<wxButton>(&dialog, item.id);
        if (!button) continue;
        PaintSwatch(button, ItemColor(*g_profile, form.Name(), item));
        button->Bind(wxEVT_BUTTON, [&dialog, &form, button, &item](wxCommandEvent&) {
            int rgb = 0;
            if (!ChooseColour(&dialog, ItemColor(*g_profile, form.Name(), item), &rgb)) return;
            StoreItemColor(*g_profile, ProgramSettingsEffects(), form.Name(), item, rgb);
            PaintSwatch(button, rgb);
        });
    }
    dialog.Bind(
        wxEVT_BUTTON,
        [&](wxCommandEvent&) {
            if (form.Accept(FromWx(field->GetValue()), &dialog)) {
                dialog.EndModal(wxID_OK);
                return;
            }
            field->SelectAll();
            field->SetFocus();
        },
        wxID_OK);
    dialog.Fit();
    dialog.CentreOnParent();
    if (form.SelectNameAtStart()) {
        field->SetFocus();
        field->SelectAll();
    }
    dialog.ShowModal();
}

void RunColorProfiles(wxWindow* parent) {
    wxDialog dialog;
    LoadSettingsDialog(dialog, parent, "ColorProfiles");
    TarqColorProfilesForm form(*g_profile);
    auto* list = Find<wxListBox>(&dialog, 1201);
    auto fill = [&] {
        list->Clear();
        for (const std::string& name : form.Names()) list->Append(ToWx(name));
    };
    auto selected = [&] {
        return list->GetSelection() == wxNOT_FOUND ? std::string() : FromWx(list->GetStringSelection());
    };
    auto edit = [&](const std::string& name) {
        if (name.empty()) return;
        list->SetStringSelection(ToWx(name));
        RunColorProfileEditor(&dialog, name);
        fill();
    };
    auto modify = [&] {
        if (form.CanModify(selected(), &dialog)) edit(selected());
    };
    Find<wxButton>(&dialog, 1220)->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        std::string made = form.Add(&dialog);
        if (!made.empty()) list->Append(ToWx(made));
        edit(made);
    });
    Find<wxButton>(&dialog, 5)->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        std::string made = form.Copy(selected(), &dialog);
        if (!made.empty()) list->Append(ToWx(made));
        edit(made);
    });
    Find<wxButton>(&dialog, 3)->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { modify(); });
    list->Bind(wxEVT_LISTBOX_DCLICK, [&](wxCommandEvent&) { modify(); });
    Find<wxButton>(&dialog, 4)->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        if (form.Delete(selected(), &dialog)) fill();
    });
    dialog.SetEscapeId(wxID_OK);
    fill();
    dialog.Fit();
    dialog.CentreOnParent();
    dialog.ShowModal();
}

// --- Filters -------------------------------------------------------------------

void RunFilters(wxWindow* parent, TarqDisplayScope& scope) {
    wxDialog dialog;
    LoadSettingsDialog(dialog, parent, "Filters");
    TarqFiltersForm form(scope, g_profile);
    auto* apply = dynamic_cast<wxButton*>(dialog.FindWindow(wxID_APPLY));
    auto* floor = Find<wxTextCtrl>(&dialog, 1131);
    auto* ceiling = Find<wxTextCtrl>(&dialog, 1133);
    wxCheckBox* boxes[4] = {Find<wxCheckBox>(&dialog, 1222), Find<wxCheckBox>(&dialog, 1223),
                            Find<wxCheckBox>(&dialog, 1224), Find<wxCheckBox>(&dialog, 1225)};
    auto show = [&] {
        boxes[0]->SetValue(form.boxes.symbolsAbove);
        boxes[1]->SetValue(form.boxes.tagsAbove);
        boxes[2]->SetValue(form.boxes.symbolsBelow);
        boxes[3]->SetValue(form.boxes.tagsBelow);
        boxes[1]->Enable(form.TagsAboveEnabled());
        boxes[3]->Enable(form.TagsBelowEnabled());
    };
    floor->ChangeValue(ToWx(form.floor));
    ceiling->ChangeValue(ToWx(form.ceiling));
    show();
    apply->Disable();
    auto edited = [&] {
        form.floor = FromWx(floor->GetValue());
        form.ceiling = FromWx(ceiling->GetValue());
        form.OnNumberEdited();
        apply->Enable();
    };
    const SettingsControl floorField{1131, SettingsControlKind::Number, "", nullptr, 0, 99999, 100};
    const SettingsControl ceilingField{1133, SettingsControlKind::Number, "", nullptr, 0, 99999, 100};
    BindArrows(&dialog, floorField, edited);
    BindArrows(&dialog, ceilingField, edited);
    floor->Bind(wxEVT_TEXT, [&](wxCommandEvent&) { edited(); });
    ceiling->Bind(wxEVT_TEXT, [&](wxCommandEvent&) { edited(); });
    for (wxCheckBox* box : boxes) {
        box->Bind(wxEVT_CHECKBOX, [&](wxCommandEvent&) {
            form.boxes = {boxes[0]->GetValue(), boxes[1]->GetValue(), boxes[2]->GetValue(),
                          boxes[3]->GetValue()};
            form.OnBoxClicked();
            show();
            apply->Enable();
        });
    }
    dialog.Bind(
        wxEVT_BUTTON,
        [&](wxCommandEvent&) {
            if (form.Apply(&dialog)) apply->Disable();
        },
        wxID_APPLY);
    dialog.Bind(
        wxEVT_BUTTON,
        [&](wxCommandEvent&) {
            if (form.Ok(&dialog)) dialog.EndModal(wxID_OK);
        },
        wxID_OK);
    dialog.Fit();
    dialog.CentreOnParent();
    dialog.ShowModal();
}

// --- Sounds --------------------------------------------------------------------

void RunSounds(wxWindow* parent) {
    wxDialog dialog;
    LoadSettingsDialog(dialog, parent, "Sounds");
    TarqSoundsForm form(*g_profile);
    auto* events = Find<wxChoice>(&dialog, 1020);
    auto* field = Find<wxTextCtrl>(&dialog, 1094);
    auto* play = Find<wxButton>(&dialog, 1113);
    auto* clear = Find<wxButton>(&dialog, 1114);
    auto* active = Find<wxCheckBox>(&dialog, 1115);
    for (const SoundEvent& event : SoundEvents()) events->Append(event.label);
    events->SetSelection(0);
    active->SetValue(form.soundsActive);
    auto show = [&] {
        field->ChangeValue(ToWx(form.Field()));
        play->Enable(form.PlayAndClearEnabled());
        clear->Enable(form.PlayAndClearEnabled());
    };
    show();
    events->Bind(wxEVT_CHOICE, [&](wxCommandEvent&) {
        form.Select(events->GetSelection());
        show();
    });
    play->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) { PlayConfiguredSound(form.Field(), false); });
    clear->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        form.Clear();
        field->ChangeValue("");
    });
    Find<wxButton>(&dialog, 1116)->Bind(wxEVT_BUTTON, [&](wxCommandEvent&) {
        wxFileDialog files(&dialog, "Select WAV File", "", "", "WAV Files (*.wav)|*.wav",
                           wxFD_OPEN | wxFD_FILE_MUST_EXIST);
        if (files.ShowModal() == wxID_OK) form.Choose(FromWx(files.GetPath()));
        show();
    });
    dialog.Bind(
        wxEVT_BUTTON,
        [&](wxCommandEvent&) {
            form.soundsActive = active->GetValue();
            form.Ok();
            dialog.EndModal(wxID_OK);
        },
        wxID_OK);
    dialog.Fit();
    dialog.CentreOnParent();
    dialog.FindWindow(wxID_OK)->SetFocus();
    dialog.ShowModal();
}

// --- Audio devices and calibration ---------------------------------------------

void RunAudioDevices(wxWindow* parent) {
    wxDialog dialog;
    LoadSettingsDialog(dialog, parent, "AudioDevices");
    TarqAudioDevicesForm form(*g_profile, ProgramVoiceSettings());
    auto* apply = dynamic_cast<wxButton*>(dialog.FindWindow(wxID_APPLY));
    wxChoice* lists[3] = {Find<wxChoice>(&dialog, 1020), Find<wxChoice>(&dialog, 1021),
                          Find<wxChoice>(&dialog, 1022)};
    int* chosen[3] = {&form.lists.input, &form.lists.headset, &form.lists.speaker};
    for (int i = 0; i < 3; ++i) {
        for (const std::string& name : i == 0 ? form.lists.inputs : form.lists.outputs)
            lists[i]->Append(ToWx(name));
        lists[i]->SetSelection(*chosen[i]);
        lists[i]->Bind(wxEVT_CHOICE, [&, i](wxCommandEvent&) {
            *chosen[i] = lists[i]->GetSelection();
            form.OnChanged();
            apply->Enable();
        });
    }
    struct Volume {
        int slider, label;
        int* value;
    } volumes[2] = {{1114, 1158, &form.headsetVolume}, {1115, 1159, &form.speakerVolume}};
    for (const Volume& volume : volumes) {
        auto* slider = Find<wxSlider>(&dialog, volume.slider);
        auto* label = Find<wxStaticText>(&dialog, volume.label);
        slider->SetValue(*volume.value);
        label->SetLabel(ToWx(TarqAudioDevicesForm::VolumeLabel(*volume.value)));
        slider->Bind(wxEVT_SLIDER, [&form, apply, slider, label, value = volume.value](wxCommandEvent&) {
            *value = slider->GetValue();
            label->SetLabel(ToWx(TarqAudioDevicesForm::VolumeLabel(*value)));
            form.OnChanged();
            apply->Enable();
        });
    }
    auto* headset = Find<wxCheckBox>(&dialog, 1135);
    auto* speaker = Find<wxCheckBox>(&dialog, 1136);
    headset->SetValue(form.vhfHeadset);
    speaker->SetValue(form.vhfSpeaker);
    for (wxCheckBox* box : {headset, speaker}) {
        box->Bind(wxEVT_CHECKBOX, [&](wxCommandEvent&) {
            form.vhfHeadset = headset->GetValue();
            form.vhfSpeaker = speaker->GetValue();
            form.OnChanged();
            apply->Enable();
        });
    }
    apply->Disable();
    dialog.Bind(
        wxEVT_BUTTON,
        [&](wxCommandEvent&) {
            form.Apply();
            apply->Disable();
            dialog.FindWindow(wxID_OK)->SetFocus();
        },
        wxID_APPLY);
    dialog.Bind(
        wxEVT_BUTTON,
        [&](wxCommandEvent&) {
            form.Ok();
            dialog.EndModal(wxID_OK);
        },
        wxID_OK);
    dialog.Fit();
    dialog.CentreOnParent();
    dialog.FindWindow(wxID_OK)->SetFocus();
    dialog.ShowModal();
}

// The main display's window runs the calibration's 5-second steps.
class CalibrationHost : public TarqCalibrationHost {
public:
    void Attach(wxWindow* window) {
        m_window = window;
        if (!m_bound) {
            m_timer.Bind(wxEVT_TIMER, [](wxTimerEvent&) { MicCalibration().OnTimer(); });
            m_bound = true;
        }
    }
    WindowHandle Owner() override { return m_window; }
    void StartTimer(int milliseconds) override { m_timer.StartOnce(milliseconds); }
    void StopTimer() override { m_timer.Stop(); }
    void SetMenuEnabled(bool enabled) override {
        auto* frame = dynamic_cast<wxFrame*>(m_window);
        if (frame && frame->GetMenuBar())
            frame->GetMenuBar()->Enable(ToToolkitId(CommandId::CalibrateMic), enabled);
    }

private:
    wxWindow* m_window = nullptr;
    wxTimer m_timer;
    bool m_bound = false;
};

CalibrationHost& Calibration() {
    static CalibrationHost host;
    return host;
}

// --- Import, export, merge -----------------------------------------------------

std::vector<std::string> Selections(wxListBox* list) {
    wxArrayInt chosen;
    list->GetSelections(chosen);
    std::vector<std::string> names;
    for (int index : chosen) names.push_back(FromWx(list->GetString(static_cast<unsigned>(index))));
    return names;
}

void BindSelectAll(wxDialog& dialog, wxListBox* list) {
    Find<wxButton>(&dialog, 1114)->Bind(wxEVT_BUTTON, [list](wxCommandEvent&) {
        for (unsigned i = 0; i < list->GetCount(); ++i) list->SetSelection(static_cast<int>(i));
    });
    Find<wxButton>(&dialog, 1113)->Bind(wxEVT_BUTTON, [list](wxCommandEvent&) { list->DeselectAll(); });
}

void RunImport(wxWindow* parent, ProfileTransferKind kind) {
    wxFileDialog files(parent, "Select INI File to Import From", "", "", "INI Files (*.ini)|*.ini",
                       wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (files.ShowModal() != wxID_OK) return;
    const std::string path = FromWx(files.GetPath());
    wxDialog dialog;
    LoadSettingsDialog(dialog, parent, "ImportProfiles");
    TarqProfileImport import(*g_profile, kind, path);
    auto* list = Find<wxListBox>(&dialog, 1002);
    auto* status = Find<wxStaticText>(&dialog, 1165);
    for (const std::string& name : ListTransferableProfiles(path, kind)) list->Append(ToWx(name));
    if (kind == ProfileTransferKind::Color) Find<wxStaticText>(&dialog, 1200)->Hide();
    BindSelectAll(dialog, list);
    dialog.Bind(
        wxEVT_BUTTON,
        [&](wxCommandEvent&) {
            status->SetLabel("Importing profiles ...");
            if (import.Accept(Selections(list), &dialog)) dialog.EndModal(wxID_OK);
            status->SetLabel(ToWx(import.Status()));
        },
        wxID_OK);
    dialog.Fit();
    dialog.CentreOnParent();
    dialog.FindWindow(wxID_OK)->SetFocus();
    dialog.ShowModal();
}

void RunExport(wxWindow* parent, ProfileTransferKind kind) {
    wxDialog dialog;
    LoadSettingsDialog(dialog, parent, "ExportProfiles");
    TarqProfileExport exporter(*g_profile, kind);
    auto* list = Find<wxListBox>(&dialog, 1002);
    auto* name = Find<wxTextCtrl>(&dialog, 1127);
    auto* status = Find<wxStaticText>(&dialog, 1166);
    name->SetMaxLength(TarqProfileExport::kMaxFileNameLength);
    for (const std::string& entry : exporter.ListNames()) list->Append(ToWx(entry));
    BindSelectAll(dialog, list);
    dialog.Bind(
        wxEVT_BUTTON,
        [&](wxCommandEvent&) {
            if (exporter.Accept(Selections(list), FromWx(name->GetValue()), &dialog)) {
                status->SetLabel(ToWx(exporter.Status()));
                dialog.EndModal(wxID_OK);
                return;
            }
            if (!Selections(list).empty()) {
                name->SelectAll();
                name->SetFocus();
            }
        },
        wxID_OK);
    dialog.Fit();
    dialog.CentreOnParent();
    name->SetFocus();
    dialog.ShowModal();
}

void RunMerge(wxWindow* parent, bool existing) {
    std::string path = g_profile->GetIniFile().GetPath();
    if (!existing) {
        wxFileDialog files(parent, "Select INI File to Merge Settings From", "", "",
                           "INI Files (*.ini)|*.ini", wxFD_OPEN | wxFD_FILE_MUST_EXIST);
        if (files.ShowModal() != wxID_OK) return;
        path = FromWx(files.GetPath());
    }
    wxDialog dialog;
    LoadSettingsDialog(dialog, parent, "MergeProfiles");
    TarqProfileMerge merge(*g_profile, path);
    auto* from = Find<wxListBox>(&dialog, 1167);
    auto* into = Find<wxListBox>(&dialog, 1003);
    auto* status = Find<wxStaticText>(&dialog, 1165);
    for (const std::string& name : merge.SourceNames()) from->Append(ToWx(name));
    for (const std::string& name : merge.TargetNames()) into->Append(ToWx(name));
    auto text = [](wxListBox* list) {
        return list->GetSelection() == wxNOT_FOUND ? std::string() : FromWx(list->GetStringSelection());
    };
    dialog.Bind(
        wxEVT_BUTTON,
        [&](wxCommandEvent&) {
            std::vector<int> groups;
            for (const MergeGroup& group : TarqProfileMerge::Groups()) {
                auto* box = Find<wxCheckBox>(&dialog, group.id);
                if (box && box->GetValue()) groups.push_back(group.id);
            }
            status->SetLabel("Merging session profiles ...");
            if (merge.Accept(text(from), text(into), groups, &dialog)) dialog.EndModal(wxID_OK);
            status->SetLabel(ToWx(merge.Status()));
        },
        wxID_OK);
    dialog.Fit();
    dialog.CentreOnParent();
    dialog.FindWindow(wxID_OK)->SetFocus();
    dialog.ShowModal();
}

}  // namespace

bool OpenSettingsDialog(CommandId id, wxWindow* parent, TarqDisplay& display) {
    if (!g_profile) return false;
    LoadLayouts();
    switch (id) {
        case CommandId::GeneralSettings: {
            GeneralSettingsDialog dialog(parent);
            dialog.Run();
            return true;
        }
        case CommandId::ColorProfiles:
            RunColorProfiles(parent);
            return true;
        case CommandId::ModifyColorProfile:
            RunColorProfileEditor(parent, display.GetColorProfileName());
            return true;
        case CommandId::FiltersConfigure:
            if (TarqDisplayScope* scope = display.GetScope()) RunFilters(parent, *scope);
            return true;
        case CommandId::Sounds:
            RunSounds(parent);
            return true;
        case CommandId::AudioDevices:
            RunAudioDevices(parent);
            return true;
        case CommandId::CalibrateMic:
            Calibration().Attach(parent);
            MicCalibration().Start(Calibration(), ProgramVoiceSettings(), *g_profile);
            return true;
        default:
            return false;
    }
}

bool RunProfileTransfer(CommandId id, wxWindow* parent) {
    if (!g_profile) return false;
    LoadLayouts();
    switch (id) {
        case CommandId::ImportSessionProfiles:
            RunImport(parent, ProfileTransferKind::Session);
            return true;
        case CommandId::ImportColorProfiles:
            RunImport(parent, ProfileTransferKind::Color);
            return true;
        case CommandId::ExportSessionProfiles:
            RunExport(parent, ProfileTransferKind::Session);
            return true;
        case CommandId::ExportColorProfiles:
            RunExport(parent, ProfileTransferKind::Color);
            return true;
        case CommandId::MergeFromFile:
        case CommandId::MergeExisting:
            RunMerge(parent, id == CommandId::MergeExisting);
            return true;
        default:
            return false;
    }
}
