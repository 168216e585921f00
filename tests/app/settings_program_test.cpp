// Starts the real program under X in a temporary data directory and drives
// every settings dialog from its menu item with mouse clicks and typed keys:
// from the profile dialog the export and the merge of session profiles; in a
// session the general settings, the colour profiles and their editor, the
// filters, the sounds, the audio devices and a microphone calibration, which
// closing the session stops halfway the second time. Each change is looked
// for in "Tarq.ini" on disk. Every dialog is kept as settings_*.png in the
// build directory.
#include <wx/notebook.h>
#include <wx/uiaction.h>
#include <wx/wx.h>
#include <wx/xrc/xmlres.h>

#include <functional>
#include <map>

#include "app/audio_settings_form.h"
#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/profile_dialog.h"
#include "app/tarq_program.h"
#include "foundation/ini_file.h"
#include "foundation/profile.h"
#include "platform/atomic_file.h"
#include "program_driver.h"

namespace {

struct AnswerOk : MessageBoxHandler {
    MessageBoxResult Show(const std::string& text, const std::string& caption, MessageBoxStyle style,
                          WindowHandle) override {
        shown.push_back(caption + "|" + text);
        switch (style.buttons) {
            case MessageBoxButtons::Ok:
            case MessageBoxButtons::OkCancel:
                return MessageBoxResult::Ok;
            default:
                return MessageBoxResult::No;
        }
    }
    std::vector<std::string> shown;
};

struct Results {
    std::string failure;
    std::map<std::string, std::string> onDisk;  // "Section/Key" as read after each dialog
    std::vector<std::string> shots;             // screenshots that could not be kept
    int shotsKept = 0;
    std::string exportedSections;
    bool calibrationStoppedOnClose = false;
    bool calibrateGreyedWhileRunning = false;
    std::vector<std::string> messages;
};

Results g_results;

wxWindow* Control(wxWindow* parent, const char* name) { return parent->FindWindow(XRCID(name)); }

// Without a window manager the keys go where the pointer is.
void Type(wxWindow* field, const char* text, bool replace) {
    Click(field);
    wxUIActionSimulator sim;
    if (replace) {
        sim.Char(WXK_END);
        for (int i = 0; i < 40; ++i) sim.Char(WXK_BACK);
        Pump();
    }
    sim.Text(text);
    Pump();
}

void Shot(wxWindow* window, const std::string& name) {
    window->Update();
    Pump();
    if (SaveScreenshot(GrabWindow(window), std::string(TARQ_SCREENSHOT_DIR "/settings_") + name + ".png"))
        ++g_results.shotsKept;
    else
        g_results.shots.push_back(name);
}

// Runs `open` (which shows a modal dialog) while a timer plays the stages,
// one per tick, each on the dialog on top; a stage returning false is tried
// again on the next tick. A dialog still open after the stages is cancelled.
void DriveModal(const std::function<void()>& open, std::vector<std::function<bool(wxDialog&)>> stages,
                const std::string& name) {
    wxTimer timer;
    size_t stage = 0;
    int ticks = 0;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        wxDialog* dialog = TopModal();
        if (!dialog) return;
        if (++ticks > 80) {
            if (g_results.failure.empty())
                g_results.failure = name + " stuck at stage " + std::to_string(stage);
            dialog->EndModal(wxID_CANCEL);
            return;
        }
        if (stage >= stages.size()) return;
        timer.Stop();
        if (stages[stage](*dialog)) ++stage;
        timer.Start(150);
    });
    timer.Start(300);
    open();
    timer.Stop();
}

std::string OnDisk(const std::string& section, const std::string& key) {
    CIniFile ini("Tarq.ini");
    ini.Read();
    return ini.GetText(section, key, "(none)");
}

class DriverApp : public ProgramDriver {
public:
    DriverApp() : ProgramDriver(&g_results.failure, 120, &m_boxes) { m_logToStderr = true; }
    int OnExit() override {
        g_results.messages = m_boxes.shown;
        return ProgramDriver::OnExit();
    }

private:
    WxDisplayWindow* Main() { return MainDisplay(); }
    void Record(const std::string& section, const std::string& key) {
        g_results.onDisk[section + "/" + key] = OnDisk(section, key);
    }
    void SaveAndRecord(std::initializer_list<const char*> keys) {
        Main()->OnMenuCommand(CommandId::SaveSessionProfile);
        for (const char* key : keys) Record("Work", key);
    }
    void ProfileMenu(CommandId id) {
        wxCommandEvent menu(wxEVT_MENU, ToToolkitId(id));
        Program().GetProfileDialog()->GetEventHandler()->ProcessEvent(menu);
    }

    // A step runs the dialogs' loops: ticks wait for it.
    void Step() override {
        m_paused = true;
        RunStep();
        m_paused = false;
    }

    void RunStep() {
        switch (m_step) {
            case 0: {
                ProfileDialog* dialog = Program().GetProfileDialog();
                if (!dialog || !dialog->IsShownOnScreen() || m_waited < 5) return;
                ExportAndMerge();
                Next();
                return;
            }
            case 1: {
                ProfileDialog* dialog = Program().GetProfileDialog();
                if (!dialog->Select("Work")) return Fail("Work not listed");
                dialog->OpenSelected();
                Next();
                return;
            }
            case 2:
                if (!Main() || m_waited < 10) return;
                GeneralSettings();
                ColourProfiles();
                Filters();
                Sounds();
                AudioDevices();
                Main()->OnMenuCommand(CommandId::CalibrateMic);
                g_results.calibrateGreyedWhileRunning =
                    !static_cast<wxFrame*>(Main()->GetWindow())
                         ->GetMenuBar()
                         ->IsEnabled(ToToolkitId(CommandId::CalibrateMic));
                Next();
                return;
            case 3:
                // Three 5-second steps, each after its box was answered.
                if (MicCalibration().IsRunning()) return;
                SaveAndRecord({"InputSquelch"});
                Main()->OnMenuCommand(CommandId::CalibrateMic);
                Next();
                return;
            case 4:
                if (m_waited < 5) return;
                if (MicCalibration().GetStep() != TarqMicCalibration::kNoise)
                    return Fail("calibration not started");
                Main()->OnMenuCommand(CommandId::OpenSessionProfile);
                g_results.calibrationStoppedOnClose = !MicCalibration().IsRunning();
                Next();
                return;
            case 5:
                // Past the 5 seconds of the stopped step: nothing more happens.
                if (m_waited < 60) return;
                ExitMainLoop();
                return;
            default:
                return;
        }
    }

    void ExportAndMerge() {
        DriveModal([this] { ProfileMenu(CommandId::ExportSessionProfiles); },
                   {[](wxDialog& d) {
                        auto* list = static_cast<wxListBox*>(Control(&d, "c1002"));
                        Click(list, 30, 10);  // the first entry, "Approach"
                        Type(Control(&d, "c1127"), "shared", false);
                        Shot(&d, "export");
                        return true;
                    },
                    [](wxDialog& d) {
                        Click(d.FindWindow(wxID_OK));
                        return true;
                    }},
                   "export");
        std::string text;
        ReadWholeFile("shared.ini", text);
        g_results.exportedSections = text;

        DriveModal([this] { ProfileMenu(CommandId::MergeExisting); },
                   {[](wxDialog& d) {
                        auto* from = static_cast<wxListBox*>(Control(&d, "c1167"));
                        auto* into = static_cast<wxListBox*>(Control(&d, "c1003"));
                        // Sorted: Approach, Tower, Work.
                        const int row = from->GetCharHeight() + 8;
                        Click(from, 30, row + row / 2);
                        Click(into, 30, row / 2);
                        Click(Control(&d, "c1117"), 8);
                        Shot(&d, "merge");
                        return true;
                    },
                    [](wxDialog& d) {
                        Click(d.FindWindow(wxID_OK));
                        return true;
                    }},
                   "merge");
        Record("Approach", "SoundConnect");
        Record("Approach", "PTTKey");
        Record("Approach", "SoundError");
    }

    void GeneralSettings() {
        DriveModal([this] { Main()->OnMenuCommand(CommandId::GeneralSettings); },
                   {[](wxDialog& d) {
                        // Range ring spacing one up by the arrow key in its field.
                        Click(Control(&d, "c1149"));
                        wxUIActionSimulator().Char(WXK_UP);
                        Pump();
                        Shot(&d, "general_misc");
                        static_cast<wxNotebook*>(Control(&d, "pages"))->SetSelection(2);
                        return true;
                    },
                    [](wxDialog& d) {
                        Type(Control(&d, "c1188"), "kjfk,klga KEWR5", true);
                        Shot(&d, "general_airspace");
                        static_cast<wxNotebook*>(Control(&d, "pages"))->SetSelection(4);
                        return true;
                    },
                    [](wxDialog& d) {
                        Shot(&d, "general_strips");
                        Click(d.FindWindow(wxID_OK));
                        return true;
                    }},
                   "general settings");
        SaveAndRecord({"RingSpacing", "ArrivalFields", "VisRange"});
    }

    void ColourProfiles() {
        DriveModal([this] { Main()->OnMenuCommand(CommandId::ColorProfiles); },
                   {[](wxDialog& d) {
                        Shot(&d, "color_profiles");
                        Click(Control(&d, "c1220"), -1, -1, false);  // Add...: the editor opens over it
                        return true;
                    },
                    [](wxDialog& d) {
                        if (!Control(&d, "c1202")) return false;
                        Type(Control(&d, "c1202"), "Night", true);
                        Shot(&d, "color_editor");
                        Click(d.FindWindow(wxID_OK));
                        return true;
                    },
                    [](wxDialog& d) {
                        if (!Control(&d, "c1201")) return false;
                        Click(d.FindWindow(wxID_OK));
                        return true;
                    }},
                   "colour profiles");
        Main()->OnMenuCommand(CommandId::SaveSessionProfile);
        Record(":CP:Night", "ColorBackground");
    }

    void Filters() {
        DriveModal([this] { Main()->OnMenuCommand(CommandId::FiltersConfigure); }, {[](wxDialog& d) {
                       Click(Control(&d, "c1131"));
                       wxUIActionSimulator().Char(WXK_UP);  // 100 ft
                       Pump();
                       Click(Control(&d, "c1222"), 8);
                       Shot(&d, "filters");
                       Click(d.FindWindow(wxID_OK));
                       return true;
                   }},
                   "filters");
        SaveAndRecord({"AirspaceFloor1", "ShowTargetsAboveCeiling1"});
    }

    void Sounds() {
        DriveModal([this] { Main()->OnMenuCommand(CommandId::Sounds); }, {[](wxDialog& d) {
                       Click(Control(&d, "c1114"));  // Clear "Connect"
                       Click(Control(&d, "c1115"), 8);
                       Shot(&d, "sounds");
                       Click(d.FindWindow(wxID_OK));
                       return true;
                   }},
                   "sounds");
        SaveAndRecord({"SoundConnect", "UseSounds"});
    }

    void AudioDevices() {
        DriveModal([this] { Main()->OnMenuCommand(CommandId::AudioDevices); }, {[](wxDialog& d) {
                       wxWindow* slider = Control(&d, "c1114");
                       Click(slider, slider->GetSize().x / 4);
                       Click(Control(&d, "c1136"), 8);
                       Shot(&d, "audio_devices");
                       Click(d.FindWindow(wxID_OK));
                       return true;
                   }},
                   "audio devices");
        SaveAndRecord({"OutputVolumeHDST", "VHFSimSpeakers"});
    }

    AnswerOk m_boxes;
};

TEST(SettingsProgram, EveryDialogFromItsMenuItemToDisk) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    {
        ProgramDataDir dir("settings");
        dir.Write("Tarq.ini",
                  "[:META]\nVersion=4\n[Default]\nDisplayCount=1\n"
                  "[Work]\nDisplayCount=1\nDisplayLocX1=40\nDisplayLocY1=40\nUseSounds=0\n"
                  "ShowTargetsAboveCeiling1=0\nRingSpacing=5\nVisRange=303\nSoundConnect=connect."
                  "wav\nOutputVolumeHDST=100\n"
                  "[Tower]\nSoundConnect=tower.wav\nSoundError=towererr.wav\nCID=1234567\n"
                  "[Approach]\nSoundConnect=app.wav\nPTTKey=17\nPassword=secret\n"
                  "[:CP:Default]\nColorBackground=0\n");
        RunDriver(new DriverApp);
    }

    EXPECT_EQ(g_results.failure, "") << g_results.failure;
    EXPECT_NE(g_results.exportedSections.find("[Approach]"), std::string::npos) << g_results.exportedSections;
    EXPECT_EQ(g_results.exportedSections.find("Password"), std::string::npos) << g_results.exportedSections;
    EXPECT_EQ(g_results.exportedSections.find("[Tower]"), std::string::npos);
    const std::map<std::string, std::string> expected = {
        {"Approach/SoundConnect", "tower.wav"},
        {"Approach/SoundError", "towererr.wav"},
        {"Approach/PTTKey", "17"},
        {"Work/RingSpacing", "6"},
        {"Work/ArrivalFields", "KJFK|KLGA|KEWR"},
        {"Work/VisRange", "300"},  // the slider left alone on a shown page
        {":CP:Night/ColorBackground", "0"},
        {"Work/AirspaceFloor1", "100"},
        {"Work/ShowTargetsAboveCeiling1", "1"},
        {"Work/SoundConnect", ""},
        {"Work/UseSounds", "1"},
        {"Work/VHFSimSpeakers", "1"},
        {"Work/InputSquelch", "1.000000"},  // a silent microphone: no noise peak, squelch 1
    };
    for (const auto& [key, value] : expected) EXPECT_EQ(g_results.onDisk[key], value) << key;
    EXPECT_NE(g_results.onDisk["Work/OutputVolumeHDST"], "100") << "the slider moved";
    EXPECT_TRUE(g_results.calibrationStoppedOnClose);
    EXPECT_TRUE(g_results.calibrateGreyedWhileRunning);
    EXPECT_EQ(g_results.shots, std::vector<std::string>{});
    EXPECT_EQ(g_results.shotsKept, 10);
    const std::vector<std::string> messages = g_results.messages;
    EXPECT_NE(std::find(messages.begin(), messages.end(), "Merge Complete|Profile merge complete."),
              messages.end())
        << ::testing::PrintToString(messages);
    EXPECT_NE(std::find(messages.begin(), messages.end(), "Finished|Microphone calibration is complete."),
              messages.end())
        << ::testing::PrintToString(messages);
}

}  // namespace
