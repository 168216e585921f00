#include "app/tool_windows.h"

#include <gtest/gtest.h>

#include "app/comms_windows.h"
#include "shell_fixture.h"

namespace {

struct CountingView : FlightPlanEditorView {
    void CreateWindow() override { ++created; }
    void Refill() override { ++refills; }
    FlightPlanFields ReadFields() const override { return typed; }
    void SetSquawkText(const std::string& text) override { squawk = text; }
    int created = 0;
    int refills = 0;
    FlightPlanFields typed;
    std::string squawk;
};

class ToolWindowsTest : public ShellFixture {
protected:
    void TearDown() override {
        DebugFlags = 0;
        ShellFixture::TearDown();
    }
    // One controller, and one aircraft on the request list.
    void AddTraffic() {
        ControllerReport c;
        c.frequency = 125325;
        g_controllerDB->UpdateFromPositionReport("NY_CTR", c);
        AircraftReport a;
        a.groundSpeed = 300;
        g_aircraftDB->UpdatePilotPosition("AAL10", a);
        g_aircraftDB->ToggleRequestList("AAL10");
    }
    void Tick() {
        g_controllerList->OnFrameTick();
        g_aircraftList->OnTimer();
    }
};

// A window frame that only keeps its rectangle.
struct StillFrame : ToolWindowFrame {
    ScreenRect rect{10, 10, 222, 310};
    ScreenRect GetWindowRect() const override { return rect; }
    int GetClientHeight() const override { return rect.bottom - rect.top - 20; }
    bool IsShown() const override { return true; }
    void ShowAndRaise() override {}
    void HideWindow() override {}
    void Activate() override {}
    void Place(int x, int y, int width, int height, bool) override {
        rect = {x, y, x + width, y + height};
    }
    bool HasSizingFrame() const override { return true; }
    void SetSizingFrame(bool) override {}
    bool IsPointOnMonitor(int, int) const override { return true; }
    void ActivateMainDisplay() override {}
};

// A burst of network events costs one rebuild and one repaint, on the tick.
TEST_F(ToolWindowsTest, ListsRebuildOncePerTickHoweverManyEventsCame) {
    Start();
    CountingView controllers, aircraft;
    g_controllerList->SetView(&controllers);
    g_aircraftList->SetView(&aircraft);
    for (int i = 0; i < 40; ++i) {
        ControllerReport c;
        c.frequency = 118000 + i;
        g_controllerDB->UpdateFromPositionReport("CTL" + std::to_string(i) + "_CTR", c);
        AircraftReport a;
        a.groundSpeed = 300;
        g_aircraftDB->UpdatePilotPosition("AC" + std::to_string(i), a);
        g_aircraftDB->ToggleRequestList("AC" + std::to_string(i));
    }
    EXPECT_EQ(controllers.refills, 0);
    EXPECT_EQ(aircraft.refills, 0);
    EXPECT_TRUE(g_controllerList->Model().GetRows().empty()) << "nothing rebuilt between ticks";

    g_controllerList->OnFrameTick();
    g_aircraftList->OnTimer();
    EXPECT_EQ(controllers.refills, 1);
    EXPECT_EQ(aircraft.refills, 1);
    EXPECT_EQ(g_controllerList->Model().GetRows().size(), 40u);
    EXPECT_EQ(g_aircraftList->Model().GetRows().size(), 41u) << "the request list and its header";

    g_controllerList->OnFrameTick();
    g_aircraftList->OnTimer();
    EXPECT_EQ(controllers.refills, 1) << "a quiet tick repaints nothing";
    EXPECT_EQ(aircraft.refills, 1);
    g_controllerList->SetView(nullptr);
    g_aircraftList->SetView(nullptr);
}

TEST_F(ToolWindowsTest, TheEditorFollowsTheDatabaseAndKeepsTypedSquawks) {
    Start();
    CountingView view;
    g_flightPlanEditor->SetView(&view);
    AircraftReport a;
    g_aircraftDB->UpdatePilotPosition("DLH1", a);
    g_flightPlanEditor->ShowFlightPlan("DLH1");
    EXPECT_EQ(g_flightPlanEditor->GetShownFields().squawk, "0000");
    // Another controller assigns a code: it reaches the field...
    g_aircraftDB->SetAssignedSquawk("DLH1", "EDDF_APP", 2345);
    EXPECT_EQ(view.squawk, "2345");
    // ...unless the user is typing one.
    g_flightPlanEditor->Model().OnSquawkEdited();
    g_aircraftDB->SetAssignedSquawk("DLH1", "EDDF_APP", 4444);
    EXPECT_EQ(view.squawk, "2345");
    g_flightPlanEditor->SetView(nullptr);
}

// The controller list's menu lines run on the main display as menu
// commands (aliases off, no history), never as typed lines.
TEST_F(ToolWindowsTest, ControllerMenuCommandsRunOnTheMainDisplayAsMenuCommands) {
    Start();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Charlie"), nullptr, ui));
    auto* main = static_cast<FakeDisplay*>(g_displayManager->GetMainDisplay());
    g_profile->SetInt("Rating", 11);
    ControllerReport c;
    c.frequency = 125325;
    g_controllerDB->UpdateFromPositionReport("NY_CTR", c);
    g_controllerList->OnFrameTick();
    // With a session open the rows are grouped: the header, then NY_CTR.
    ASSERT_EQ(g_controllerList->Model().GetRows().size(), 2u);
    g_controllerList->RunMenuCommand(1, ControllerListModel::kRequestInf);
    g_controllerList->RunMenuCommand(1, ControllerListModel::kOpenChat);
    g_controllerList->RunMenuCommand(5, ControllerListModel::kOpenChat);
    EXPECT_EQ(main->menuCommands,
              (std::vector<std::string>{".inf NY_CTR", ".msg SERVER IP NY_CTR", ".chat NY_CTR"}));
    EXPECT_TRUE(main->commands.empty());
}

// The weather panel's context menu goes through the command processor as
// the ".QD" and ".WX" lines (which say "Not connected." offline); it changes
// no station behind the processor's back.
TEST_F(ToolWindowsTest, WeatherMenuCommandsRunOnTheMainDisplayAsMenuCommands) {
    Start();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Alpha"), nullptr, ui));
    auto* main = static_cast<FakeDisplay*>(g_displayManager->GetMainDisplay());
    auto listed = [] {
        std::vector<std::string> stations;
        for (const WeatherListLine& line : g_weatherPanel->Store().GetListLines()) stations.push_back(line.station);
        return stations;
    };
    const std::vector<std::string> before = listed();
    ASSERT_FALSE(before.empty());
    g_weatherPanel->RunStationMenuCommand(WeatherStore::kRemoveStationCommand, "EGLL");
    g_weatherPanel->RunStationMenuCommand(WeatherStore::kRequestMetarCommand, "EGLL");
    g_weatherPanel->RunStationMenuCommand(0, "EGLL");
    EXPECT_EQ(main->menuCommands, (std::vector<std::string>{".QD EGLL", ".WX EGLL"}));
    EXPECT_TRUE(main->commands.empty());
    EXPECT_EQ(listed(), before);
}

// The editor shows while an entry is edited; a good save stores the texts
// and hides it, a refused one keeps it open with the texts as typed.
TEST_F(ToolWindowsTest, CommsEditorOpensSavesAndHides) {
    Start();
    CountingView view;
    g_commsPanel->SetView(&view);
    g_commsPanel->Refresh();
    EXPECT_EQ(g_commsPanel->GetEditedEntry(), -1) << "a session starts with the editor hidden";
    g_commsPanel->OpenEditor(3);
    EXPECT_EQ(g_commsPanel->GetEditedEntry(), 3);

    CommsSaveResult refused = g_commsPanel->SaveEditedEntry({"TWR", "99.1", "", ""});
    EXPECT_FALSE(refused.saved);
    EXPECT_EQ(refused.field, CommsEditorField::Frequency);
    EXPECT_EQ(g_commsPanel->GetEditedEntry(), 3);
    EXPECT_EQ(g_commsPanel->Entries().GetFrequency(3), 0);

    EXPECT_TRUE(g_commsPanel->SaveEditedEntry({"TWR", "118.700", "", ""}).saved);
    EXPECT_EQ(g_commsPanel->GetEditedEntry(), -1);
    EXPECT_EQ(g_commsPanel->Entries().GetName(3), "TWR");
    EXPECT_EQ(g_commsPanel->Entries().GetFrequency(3), 118700);
    EXPECT_TRUE(g_profile->IsModified());

    g_commsPanel->OpenEditor(3);
    g_commsPanel->CloseEditor();
    EXPECT_EQ(g_commsPanel->GetEditedEntry(), -1);
    EXPECT_EQ(g_commsPanel->Entries().GetName(3), "TWR") << "Cancel stores nothing";
    g_commsPanel->SetView(nullptr);
}

}  // namespace

namespace {

// The ".debug" bits blank one list each; a rolled-up aircraft list is not
// rebuilt, and catches up on the first tick after it is rolled down.
TEST_F(ToolWindowsTest, DebugBitsBlankTheirListAndARolledUpListIsNotRebuilt) {
    Start();
    AddTraffic();
    DebugFlags = 4;
    Tick();
    EXPECT_TRUE(g_controllerList->Model().GetRows().empty());
    EXPECT_EQ(g_aircraftList->Model().GetRows().size(), 2u);
    EXPECT_EQ(g_aircraftList->GetCallsignForLabel("a"), "AAL10");

    DebugFlags = 8;
    g_controllerList->Rebuild();
    g_aircraftList->Rebuild();
    Tick();
    EXPECT_EQ(g_controllerList->Model().GetRows().size(), 1u);
    EXPECT_TRUE(g_aircraftList->Model().GetRows().empty());
    EXPECT_EQ(g_aircraftList->GetCallsignForLabel("A"), "") << "a blanked list selects nothing";

    DebugFlags = 0;
    StillFrame frame;
    g_aircraftList->AttachFrame(&frame);
    g_aircraftList->ToggleCollapse();
    g_aircraftList->Rebuild();
    Tick();
    EXPECT_TRUE(g_aircraftList->Model().GetRows().empty()) << "rolled up";
    g_aircraftList->ToggleCollapse();
    Tick();
    EXPECT_EQ(g_aircraftList->Model().GetRows().size(), 2u);
    g_aircraftList->AttachFrame(nullptr);
}

// A right click on an aircraft row opens the main display's aircraft menu
// at the click's screen point; a header or a point below the rows opens none.
TEST_F(ToolWindowsTest, RightClickOnAnAircraftRowOpensTheMainDisplaysAircraftMenu) {
    Start();
    ASSERT_TRUE(OpenSessionProfile(ListWith("Alpha"), nullptr, ui));
    auto* main = static_cast<FakeDisplay*>(g_displayManager->GetMainDisplay());
    AddTraffic();
    Tick();
    ASSERT_EQ(g_aircraftList->Model().GetRows().size(), 2u);
    g_aircraftList->ShowAircraftMenuForRow(300, 400, 0);
    g_aircraftList->ShowAircraftMenuForRow(300, 420, 1);
    g_aircraftList->ShowAircraftMenuForRow(300, 440, 2);
    EXPECT_EQ(main->aircraftMenus, std::vector<std::string>{"AAL10 at 300,420"});
}

}  // namespace
