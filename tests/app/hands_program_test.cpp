// The real program under X driven by the keyboard and the mouse as a
// controller drives it (no window manager: keys go where the pointer is):
// Enter in the profile dialog while the open shows a message box; an
// accelerator pressed over a tool window and over a secondary display;
// typing over a secondary display and over the strip bay; hotkeys captured
// in the general settings; the push-to-talk key held; the aircraft-select key completing a command and
// Up recalling it; an exit whose save fails, which keeps the program open;
// and the ATIS maker's Help button. Each test runs the program in a child process of its own, since the
// toolkit starts once per process.
#include <wx/notebook.h>
#include <wx/uiaction.h>
#include <wx/wx.h>
#include <wx/xrc/xmlres.h>

#include <filesystem>
#include <functional>

#include "app/display_window.h"
#include "app/global_objects.h"
#include "app/menu_table.h"
#include "app/profile_dialog.h"
#include "app/tarq_program.h"
#include "app/tool_window_dialog.h"
#include "app/tool_windows_wx.h"
#include "app/wx_message_boxes.h"
#include "comms/command_processor.h"
#include "foundation/ini_file.h"
#include "foundation/profile.h"
#include "platform/atomic_file.h"
#include "platform/message_box.h"
#include "program_driver.h"
#include "resources/comms_dialog_layouts.h"
#include "scope/display_scope.h"
#include "scope/sticky_builder.h"
#include "voice/voice_engine.h"
#include "x_input.h"

namespace {

namespace fs = std::filesystem;

// A data directory with the given Tarq.ini.
struct DataDir : ProgramDataDir {
    explicit DataDir(const std::string& ini) : ProgramDataDir("hands") { Write("Tarq.ini", ini); }
};

// The program's own boxes, noting what each says and whether one is open.
struct RealBoxes : MessageBoxHandler {
    MessageBoxResult Show(const std::string& text, const std::string& caption, MessageBoxStyle style,
                          WindowHandle owner) override {
        shown.push_back(caption + "|" + text);
        ++open;
        MessageBoxResult answer = real.Show(text, caption, style, owner);
        --open;
        return answer;
    }
    WxMessageBoxHandler real;
    std::vector<std::string> shown;
    int open = 0;
};

WxDisplayWindow* Main() { return MainDisplay(); }

// Presses Enter over the open box every few ticks until no box is open;
// true once at least that many boxes were shown and closed.
bool DismissBoxes(const RealBoxes& boxes, int waited, size_t atLeast) {
    if (boxes.open == 0) return boxes.shown.size() >= atLeast;
    int x = 0, y = 0;
    const std::string caption = boxes.shown.back().substr(0, boxes.shown.back().find('|'));
    if (waited % 5 == 0 && FindXWindow(caption, &x, &y)) {
        wxUIActionSimulator sim;
        sim.MouseMove(x, y);
        Pump();
        sim.Char(WXK_RETURN);
    }
    return false;
}

constexpr const char* kMeta = "[:META]\nVersion=4\n";

// Enter on the list opens the session; the open shows "Error loading POF
// file!" (the position file is missing), and dismissing that box must not
// take the program down: the dialog goes while the box's loop runs.
TEST(HandsProgram, EnterInTheProfileDialogWithABoxDuringTheOpen) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (!InChild()) return;
    DataDir data(std::string(kMeta) +
                 "[Default]\nDisplayCount=1\nDisplayLocX1=40\nDisplayLocY1=40\nPOFFile=missing.pof\n");
    RealBoxes boxes;
    bool sessionOpened = false;
    const ScriptRun run = RunScript({[](int waited) {
                                         ProfileDialog* dialog = ScriptProgram().GetProfileDialog();
                                         if (!dialog || !dialog->IsShownOnScreen() || waited < 3)
                                             return false;
                                         wxWindow* list = wxWindow::FindWindowById(1002, dialog);
                                         if (!list) return ScriptFail("no profile list");
                                         Click(list, 40, 8);  // the one entry, "Default"
                                         wxUIActionSimulator().Char(WXK_RETURN);
                                         return true;
                                     },
                                     [&boxes](int waited) { return DismissBoxes(boxes, waited, 1); },
                                     [&sessionOpened](int waited) {
                                         if (!Main() || waited < 10) return false;
                                         sessionOpened = !ScriptProgram().GetProfileDialog();
                                         return true;
                                     },
                                     QuitStep()},
                                    &boxes);
    EXPECT_EQ(run.failure, "");
    EXPECT_TRUE(sessionOpened);
    EXPECT_EQ(boxes.shown, (std::vector<std::string>{"Error|Error loading POF file!"}));
}

// One session with two displays, the controller list and the strip bay:
// Ctrl+F over the controller list toggles the filters; Ctrl+G over the
// active secondary display opens that display's diagrams; letters typed
// over the secondary display and over the strip bay reach the main
// display's command line.
TEST(HandsProgram, KeysOverToolWindowsAndASecondaryDisplay) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (!InChild()) return;
    DataDir data(std::string(kMeta) +
                 "[Default]\nDisplayCount=2\nDisplayLocX1=20\nDisplayLocY1=20\nDisplayWidth1=700\n"
                 "DisplayHeight1=500\nDisplayLocX2=20\nDisplayLocY2=600\nDisplayWidth2=600\n"
                 "DisplayHeight2=450\nControllerListLocX=800\nControllerListLocY=20\n"
                 "ControllerListHeight=300\nControllerListVisible=1\nStripBayLocX=800\nStripBayLocY=400\n"
                 "StripBayHeight=400\nStripBayVisible=1\n");
    bool filtersBefore = false, filtersAfter = false;
    std::string typed;
    int diagramsOwner = 0;
    TarqDisplay* second = nullptr;
    const ScriptRun run =
        RunScript({OpenProfileStep("Default"), SessionUp(),
                   [&](int) {
                       g_displayManager->ForEachDisplay([&](TarqDisplay& d) {
                           if (&d != Main()) second = &d;
                       });
                       if (!second) return ScriptFail("no secondary display");
                       wxDialog* list = ScriptProgram().ToolWindows().GetControllerListDialog();
                       if (!list || !list->IsShown()) return ScriptFail("the controller list is not shown");
                       TarqDisplayScope* scope = Main()->GetScope();
                       filtersBefore = scope->AreFiltersEnabled();
                       Click(list);
                       wxUIActionSimulator().Char('f', wxMOD_CONTROL);
                       Pump(200);
                       filtersAfter = scope->AreFiltersEnabled();
                       return true;
                   },
                   [&](int) {
                       Main()->SetCommandLine("");
                       Click(CanvasOf(second));
                       wxUIActionSimulator().Text("abc");
                       Pump(200);
                       wxWindow* bay = nullptr;
                       for (wxWindow* top : wxTopLevelWindows)
                           if (top->GetLabel() == "Flight Strip Bay" && top->IsShown()) bay = top;
                       if (!bay) return ScriptFail("the strip bay is not shown");
                       wxWindow* surface = wxWindow::FindWindowById(1163, bay);
                       Click(surface ? surface : bay);
                       wxUIActionSimulator().Text("de");
                       Pump(200);
                       typed = Main()->GetCommandLine();
                       return true;
                   },
                   [&](int) {
                       // The window manager would make the clicked display the active one.
                       g_displayManager->SetActiveWindow(second->GetWindow());
                       MoveTo(CanvasOf(second));
                       wxUIActionSimulator().Char('g', wxMOD_CONTROL);
                       Pump(300);
                       for (wxWindow* top : wxTopLevelWindows) {
                           auto* dialog = dynamic_cast<wxDialog*>(top);
                           if (!dialog || dynamic_cast<TarqToolWindowDialog*>(dialog) || !dialog->IsShown())
                               continue;
                           if (dialog->GetParent() == FrameOf(second)) diagramsOwner = 2;
                           if (dialog->GetParent() == FrameOf(Main())) diagramsOwner = 1;
                       }
                       return true;
                   },
                   QuitStep()});
    EXPECT_EQ(run.failure, "");
    EXPECT_NE(filtersAfter, filtersBefore) << "Ctrl+F over the controller list";
    EXPECT_EQ(typed, "abcde");
    EXPECT_EQ(diagramsOwner, 2) << "Ctrl+G opens the active display's diagrams (0: none opened)";
}

// The hotkey fields of the general settings take keypad "+", "\" and Right
// Ctrl, and store the sided code of a modifier.
TEST(HandsProgram, HotkeysCapturedInTheGeneralSettings) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (!InChild()) return;
    DataDir data(std::string(kMeta) +
                 "[Default]\nDisplayCount=1\nDisplayLocX1=20\nDisplayLocY1=20\n"
                 "ASELKey=112\nCSELKey=113\nPTTKey=114\n");
    std::vector<std::string> shown;
    std::vector<int> stored;
    const ScriptRun run =
        RunScript({OpenProfileStep("Default"), SessionUp(),
                   [](int) {
                       wxTheApp->CallAfter([] { Main()->OnMenuCommand(CommandId::GeneralSettings); });
                       return true;
                   },
                   [&](int) {
                       wxDialog* dialog = TopModal();
                       if (!dialog) return false;
                       auto* pages = dynamic_cast<wxNotebook*>(dialog->FindWindow(XRCID("pages")));
                       if (!pages) return ScriptFail("no pages");
                       pages->SetSelection(1);
                       Pump(200);
                       const std::pair<const char*, std::function<void()>> keys[] = {
                           {"c1165", [] { wxUIActionSimulator().Char(WXK_NUMPAD_ADD); }},
                           {"c1166", [] { wxUIActionSimulator().Char('\\'); }},
                           {"c1167", [] { PressRightCtrl(); }},
                       };
                       for (const auto& [name, press] : keys) {
                           auto* field = dynamic_cast<wxTextCtrl*>(dialog->FindWindow(XRCID(name)));
                           if (!field) return ScriptFail(std::string("no field ") + name);
                           Click(field);
                           press();
                           Pump(200);
                           shown.push_back(field->GetValue().ToStdString());
                       }
                       Click(dialog->FindWindow(wxID_OK));
                       return true;
                   },
                   [&](int) {
                       if (TopModal()) return false;
                       for (const char* key : {"ASELKey", "CSELKey", "PTTKey"})
                           stored.push_back(g_profile->GetInt(key));
                       return true;
                   },
                   QuitStep()});
    EXPECT_EQ(run.failure, "");
    EXPECT_EQ(shown, (std::vector<std::string>{"Num +", "\\", "Right Ctrl"}));
    // VK_ADD, VK_OEM_5 and VK_RCONTROL: a transmitter keyed by Right Ctrl
    // stays off while the left one runs the accelerators.
    EXPECT_EQ(stored, (std::vector<int>{107, 220, 163}));
}

// The push-to-talk key held wherever the focus is keys the transmitter on
// the frame tick's poll, and letting it go unkeys it. Scroll Lock, since the
// program tests share one X server: a held modifier would change another
// test's keys.
TEST(HandsProgram, HoldingThePushToTalkKeyKeysTheTransmitter) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (!InChild()) return;
    constexpr unsigned long kXkScrollLock = 0xff14;
    DataDir data(std::string(kMeta) + "[Default]\nDisplayCount=1\nDisplayLocX1=20\nDisplayLocY1=20\nPTTKey=145\n");
    bool keyedBefore = true, keyedWhileHeld = false, keyedAfter = true;
    const ScriptRun run = RunScript(
        {OpenProfileStep("Default"), SessionUp(),
         [&](int) {
             if (!g_voiceEngine) return ScriptFail("no voice engine");
             keyedBefore = g_voiceEngine->IsPushToTalk();
             if (!HoldKey(kXkScrollLock, true)) return ScriptFail("no X test extension");
             return true;
         },
         [&](int waited) {
             keyedWhileHeld = g_voiceEngine->IsPushToTalk();
             if (!keyedWhileHeld && waited < 100) return false;
             HoldKey(kXkScrollLock, false);
             return true;
         },
         [&](int waited) {
             keyedAfter = g_voiceEngine->IsPushToTalk();
             return !keyedAfter || waited >= 100;
         },
         QuitStep()});
    HoldKey(kXkScrollLock, false);  // never left down for the other tests
    EXPECT_EQ(run.failure, "");
    EXPECT_FALSE(keyedBefore);
    EXPECT_TRUE(keyedWhileHeld);
    EXPECT_FALSE(keyedAfter);
}


// A command typed without its aircraft and finished by the aircraft-select
// key (keypad "+") runs on the selected aircraft and enters the history;
// Enter stores the line as it ran, its blanks collapsed.
TEST(HandsProgram, TheAircraftSelectKeyCompletesACommandAndUpRecallsIt) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (!InChild()) return;
    DataDir data(std::string(kMeta) + "[Default]\nDisplayCount=1\nDisplayLocX1=20\nDisplayLocY1=20\n");
    std::string afterSelectKey = "-";
    std::vector<std::string> recalled;
    std::vector<std::string> ran;
    const ScriptRun run = RunScript({OpenProfileStep("Default"), SessionUp(),
                                     [&](int) {
                                         WxDisplayWindow* main = Main();
                                         g_displayManager->SetSelectedCallsign("DAL123");
                                         main->SetCommandLine("");
                                         MoveTo(CanvasOf(main), 30, 30);
                                         wxUIActionSimulator sim;
                                         sim.Text(".wallop");
                                         sim.Char(WXK_NUMPAD_ADD);
                                         Pump(300);
                                         afterSelectKey = main->GetCommandLine();
                                         sim.Text(".qt  ual1   ");
                                         sim.Char(WXK_RETURN);
                                         Pump(300);
                                         for (int i = 0; i < 2; ++i) {
                                             sim.Char(WXK_UP);
                                             Pump(200);
                                             recalled.push_back(main->GetCommandLine());
                                         }
                                         ran = main->GetCommandsRun();
                                         return true;
                                     },
                                     QuitStep()});
    EXPECT_EQ(run.failure, "");
    EXPECT_EQ(afterSelectKey, "") << "the key ran the line";
    EXPECT_EQ(ran, (std::vector<std::string>{".wallop DAL123", ".qt  ual1   "}));
    EXPECT_EQ(recalled, (std::vector<std::string>{".qt ual1 ", ".wallop DAL123"}));
}

// Enter in the sticky note's editor starts a new line of the note: the
// toolkit gives "\n" where Windows gives "\r\n", and both become "|".
TEST(HandsProgram, EnterInAStickyNoteBreaksTheLine) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (!InChild()) return;
    DataDir data(std::string(kMeta) + "[Default]\nDisplayCount=1\nDisplayLocX1=20\nDisplayLocY1=20\n");
    uint64_t key = 0;
    std::string note = "-";
    const ScriptRun run = RunScript({OpenProfileStep("Default"), SessionUp(),
                                     [&](int) {
                                         key = Main()->GetScope()->GetStickyBuilder()->AddNote({0, 0}, "");
                                         wxTheApp->CallAfter([&key] {
                                             TextEntryRequest request;
                                             request.noteKey = key;
                                             Main()->ShowTextEntryDialog(request);
                                         });
                                         return true;
                                     },
                                     [](int) {
                                         wxDialog* dialog = TopModal();
                                         if (!dialog) return false;
                                         wxWindow* edit = dialog->FindWindow(1164);
                                         if (!edit) return ScriptFail("no note editor");
                                         Click(edit);
                                         wxUIActionSimulator sim;
                                         sim.Text("RWY 27");
                                         sim.Char(WXK_RETURN);
                                         sim.Text("CLOSED");
                                         Pump(200);
                                         Click(dialog->FindWindow(wxID_OK));
                                         return true;
                                     },
                                     [&](int) {
                                         if (TopModal()) return false;
                                         note = Main()->GetScope()->GetStickyBuilder()->GetNoteText(key);
                                         return true;
                                     },
                                     QuitStep()});
    EXPECT_EQ(run.failure, "");
    EXPECT_EQ(note, "RWY 27|CLOSED");
}

// Exit answered "Yes, save" while Tarq.ini cannot be written: the error is
// shown and the program stays, changes and all; once the file can be
// written again, Exit saves them and the program ends.
TEST(HandsProgram, AnExitWhoseSaveFailsKeepsTheProgramOpen) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (!InChild()) return;
    DataDir data(std::string(kMeta) +
                 "[Work]\nDisplayCount=1\nDisplayLocX1=20\nDisplayLocY1=20\nPromptSaveProfile=1\n"
                 "RingSpacing=5\n");
    const fs::path away = data.Path().string() + "-away";
    RealBoxes boxes;
    bool stayed = false;
    const ScriptRun run = RunScript(
        {OpenProfileStep("Work"), SessionUp(),
         [&](int) {
             g_profile->SetInt("RingSpacing", 7);
             g_profile->SetModified(true);
             // The data directory gone from under the program: nothing can be written.
             fs::rename(data.Path(), away);
             wxTheApp->CallAfter([] { Main()->OnMenuCommand(CommandId::Exit); });
             return true;
         },
         [&boxes](int waited) { return DismissBoxes(boxes, waited, 2); },
         [&](int waited) {
             if (waited < 10) return false;
             WxDisplayWindow* main = Main();
             stayed = main && !g_displayManager->IsClosePending(main->GetWindow()) && g_profile->IsModified();
             fs::rename(away, data.Path());
             wxTheApp->CallAfter([] { Main()->OnMenuCommand(CommandId::Exit); });
             return true;
         },
         [&boxes](int waited) { return DismissBoxes(boxes, waited, 3); }},
        &boxes);
    if (fs::exists(away)) fs::rename(away, data.Path());
    EXPECT_EQ(run.failure, "");
    ASSERT_EQ(boxes.shown.size(), 3u) << ::testing::PrintToString(boxes.shown);
    EXPECT_EQ(boxes.shown[1].rfind("Error|The session profile could not be saved: ", 0), 0u)
        << boxes.shown[1];
    EXPECT_TRUE(stayed) << "the session, its display and its changes stay after the failed save";
    EXPECT_TRUE(run.quitByProgram) << "the second Exit saved and ended the program";
    CIniFile ini((data.Path() / "Tarq.ini").string());
    ASSERT_TRUE(ini.Read());
    EXPECT_EQ(ini.GetText("Work", "RingSpacing", ""), "7");
}

// The ATIS maker's Help button, clicked: its page goes to the browser (a
// stand-in xdg-open on PATH notes the address it is given); with no browser
// to start, the radio history says so.
TEST(HandsProgram, TheAtisMakersHelpOpensItsPageOrSaysWhyNot) {
    TARQ_SKIP_WITHOUT_X_DISPLAY();
    if (!InChild()) return;
    DataDir data(std::string(kMeta) +
                 "[Default]\nDisplayCount=1\nDisplayLocX1=20\nDisplayLocY1=20\nPromptSaveProfile=0\n");
    const fs::path browser = data.Path() / "browser";
    const fs::path nowhere = data.Path() / "nowhere";
    const fs::path noted = data.Path() / "opened.txt";
    fs::create_directories(browser);
    fs::create_directories(nowhere);
    // Written aside and renamed, so the test never reads half an address.
    data.Write("browser/xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > '" + noted.string() + ".part' && mv '" +
                                       noted.string() + ".part' '" + noted.string() + "'\n");
    fs::permissions(browser / "xdg-open", fs::perms::owner_all);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (browser.string() + ":" + oldPath).c_str(), 1);

    bool enabled = false;
    std::string opened;
    std::vector<std::string> said;
    auto help = [] {
        wxDialog* atis = TopModal();
        return atis && atis->GetTitle() == comms_layouts::kAtisMaker.caption
                   ? atis->FindWindow(comms_layouts::kAtisHelp)
                   : nullptr;
    };
    auto errors = [] {
        std::vector<std::string> lines;
        for (const std::string& line : Main()->GetRadioHistory()->GetMessages())
            if (line.find("browser") != std::string::npos || line.find("No web address") != std::string::npos)
                lines.push_back(line);
        return lines;
    };
    const ScriptRun run = RunScript(
        {OpenProfileStep("Default"), SessionUp(),
         [](int) {
             wxTheApp->CallAfter([] { Main()->OnMenuCommand(CommandId::AtisMaker); });
             return true;
         },
         [&](int waited) {
             wxWindow* button = help();
             if (!button) return waited < 50 ? false : ScriptFail("the ATIS maker did not open");
             enabled = button->IsEnabled();
             Click(button);
             return true;
         },
         [&](int waited) {
             std::string text;
             if (!ReadWholeFile(noted.string(), text) && waited < 100) return false;
             opened = text;
             setenv("PATH", nowhere.string().c_str(), 1);
             Click(help());
             return true;
         },
         [&](int waited) {
             said = errors();
             if (said.empty() && waited < 50) return false;
             setenv("PATH", oldPath.c_str(), 1);
             if (wxDialog* atis = TopModal()) atis->EndModal(wxID_CANCEL);
             return true;
         },
         [](int) { return !TopModal(); }, QuitStep()});
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(run.failure, "");
    EXPECT_TRUE(enabled);
    EXPECT_EQ(opened, AtisMakerHelpUrl());
    EXPECT_NE(opened.find("/Tarq/docs/"), std::string::npos) << opened;
    ASSERT_EQ(said.size(), 1u) << ::testing::PrintToString(said);
    EXPECT_NE(said[0].find("Could not open " + AtisMakerHelpUrl() + " in a web browser."), std::string::npos)
        << said[0];
}

}  // namespace
