// Saving a session profile: the golden file, byte-identical repeats, the
// "Default" profile, a failed write, the format mark and "Save Profile As".
#include <algorithm>
#include <filesystem>

#include "foundation/ini_file.h"
#include "foundation/user_registry.h"
#include "profile_fixture.h"

namespace {

TarqDisplaySettings MainDisplay() {
    TarqDisplaySettings s;
    s.LocX = 5;
    s.LocY = 6;
    s.Width = 1024;
    s.Height = 768;
    s.CenterLon = 83.5;
    s.CenterLat = -70.25;
    s.RingLon = 83.0;
    s.RingLat = -70.0;
    s.Zoom = 0.0000004;  // rounds to 0.000000 at six decimals
    s.Mode = 4;
    s.SectorFile = "C:\\Sectors\\ZNY.sct2";
    s.VisibleSIDs = {"DEEZZ5", "GREKI"};
    s.VisibleAirports = {"KJFK"};
    s.Toggles = 0x3FCC40E;
    s.Maximized = true;
    s.CameraLon = -73.5;
    s.CameraLat = 40.75;
    s.CameraAlt = 1500;
    s.TerrainAlt = 13;
    s.ColorProfile = "Night";
    s.AirspaceFloor = -5;
    s.AirspaceCeiling = 18000;
    s.ShowTargetsAboveCeiling = true;
    s.ShowTagsAboveCeiling = false;
    s.ShowTargetsBelowFloor = true;
    s.ShowTagsBelowFloor = false;
    return s;
}

// Minimised: its window place must not be stored.
TarqDisplaySettings MinimisedDisplay() {
    TarqDisplaySettings s = MainDisplay();
    s.LocX = -32000;
    s.LocY = -32000;
    s.Width = 160;
    s.Height = 28;
    s.Minimized = true;
    s.Maximized = false;
    s.Mode = 6;
    s.VisibleSIDs.clear();
    s.VisibleFixes = {"MERIT|ROBER"};  // a "|" inside an item is written unchanged
    s.ColorProfile = "Default";
    return s;
}

}  // namespace

class ProfileSaveTest : public ProfileTest {
protected:
    void SetUp() override {
        ProfileTest::SetUp();
        profile = std::make_unique<TarqProfile>(IniPath());
        PutIni(
            "; kept at the top\n"
            "[:META]\nVersion=4\n"
            "[Alpha]\n"
            "Callsign=ABC_TWR\n"
            "DisplayCount=3\n"
            "DisplayLocX2=300\n"
            "DisplayLocX3=900\n"
            "InputSquelch=220.5\n"
            "Unknown=stays as it is\n"
            "[Other]\nCallsign=XYZ_APP\n"
            "[:CP:Night]\nColorTracked=255\n");
        ASSERT_TRUE(profile->OpenIniFile());
        ASSERT_TRUE(profile->Load("Alpha"));
        profile->SetInt("TransLevel", -5);
        profile->SetFloat("BookmarkZoom1", 0.5f);
        profile->SetListSetting("VFRCodes", {});
        profile->SetBool("AddedAtRunTime", true);
        profile->NewColorProfile();
        profile->SetModified(true);

        display.layout = {MainDisplay(), MinimisedDisplay()};
        g_sessionToolWindows.commsPanel = &comms;
        g_sessionToolWindows.weatherPanel = &weather;
        g_sessionToolWindows.controllerList = &controllers;
        g_sessionToolWindows.aircraftList = &aircraft;
        g_sessionToolWindows.flightPlanEditor = &flightPlan;
        g_sessionToolWindows.stripBay = &strips;
        g_sessionToolWindows.selcalPanel = &selcal;
        stripBay.columns[0] = {"ARRIVALS", "DEPARTURES"};
        chatLog.open = true;
        registry = std::make_unique<TarqUserRegistry>((m_dir / "registry.ini").string());
        profile->SetUserRegistry(registry.get());
    }

    std::string LastProfile() { return registry->GetString(kTarqRegistryKey, kLastProfileValue, "(none)"); }

    std::unique_ptr<TarqProfile> profile;
    std::unique_ptr<TarqUserRegistry> registry;
    FakeToolWindow comms{true, {10, 20, 110, 220}};
    // Rolled up: the base reports the unrolled height.
    FakeToolWindow weather{true, {400, 30, 612, 530}};
    FakeToolWindow controllers{false, {1, 2, 213, 302}};
    FakeToolWindow aircraft{true, {-50, 40, 162, 340}};
    FakeToolWindow flightPlan{false, {7, 8, 9, 10}};
    FakeToolWindow strips{true, {600, 0, 900, 700}};
    FakeToolWindow selcal{false, {70, 70, 218, 270}};
};

TEST_F(ProfileSaveTest, WritesTheGoldenFileAndTheSameBytesTwice) {
    ASSERT_TRUE(profile->Save());
    const std::string first = IniText();
    EXPECT_EQ(first, DataFile("save_golden.ini"));
    EXPECT_FALSE(profile->IsModified());
    EXPECT_EQ(display.messages, std::vector<std::string>{"Session profile saved."});
    EXPECT_EQ(LastProfile(), "Alpha");
    EXPECT_TRUE(boxes.shown.empty());

    ASSERT_TRUE(profile->Save());
    EXPECT_EQ(IniText(), first);
    // The maps keep their loaded values; only the file has the live ones.
    EXPECT_EQ(profile->GetInt("DisplayLocX1"), 10);
    EXPECT_EQ(profile->GetInt("DisplayCount"), 3);
}

TEST_F(ProfileSaveTest, TheDefaultProfileOpensTheDialogInstead) {
    static WindowHandle dialogParent = nullptr;
    static int dialogs = 0;
    dialogs = 0;
    auto previous = TarqProfile::SetProfileDialogRunner([](WindowHandle parent) {
        dialogParent = parent;
        ++dialogs;
        return 0;
    });
    PutIni("[Default]\nCallsign=\n[default2]\n");
    const std::string before = IniText();
    ASSERT_TRUE(profile->Load("Default"));
    profile->SetModified(true);
    EXPECT_FALSE(profile->Save());
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(dialogParent, display.mainWindow);
    EXPECT_TRUE(profile->IsModified());
    EXPECT_EQ(IniText(), before);
    EXPECT_EQ(LastProfile(), "(none)");

    // Only the exact name is protected.
    ASSERT_TRUE(profile->Load("default"));
    EXPECT_TRUE(profile->Save());
    EXPECT_EQ(dialogs, 1);
    TarqProfile::SetProfileDialogRunner(previous);
}

// Save on "Default" reports what the dialog did: saved under a new name, or not.
TEST_F(ProfileSaveTest, SavingDefaultIsDoneOnlyWhenTheDialogSavedIt) {
    static TarqProfile* saving = nullptr;
    static const char* chosen = nullptr;
    saving = profile.get();
    auto previous = TarqProfile::SetProfileDialogRunner([](WindowHandle) {
        if (chosen) saving->SaveProfileAs(chosen);
        return 0;
    });
    PutIni("[Default]\nCallsign=\n");
    ASSERT_TRUE(profile->Load("Default"));
    profile->SetModified(true);
    chosen = nullptr;  // cancelled
    EXPECT_FALSE(profile->Save());
    EXPECT_EQ(profile->GetProfileName(), "Default");
    chosen = "Mine";
    EXPECT_TRUE(profile->Save());
    EXPECT_EQ(profile->GetProfileName(), "Mine");
    EXPECT_FALSE(profile->IsModified());
    TarqProfile::SetProfileDialogRunner(previous);
}

TEST_F(ProfileSaveTest, AFailedSaveProfileAsKeepsTheOldName) {
    std::filesystem::remove(IniPath());
    std::filesystem::create_directory(IniPath());  // the rename over it must fail
    EXPECT_FALSE(profile->SaveProfileAs("Alpha Copy"));
    EXPECT_EQ(profile->GetProfileName(), "Alpha");
    EXPECT_TRUE(profile->IsModified());
    EXPECT_FALSE(profile->ProfileExists("Alpha Copy")) << "no section that is not on the disk";
    EXPECT_EQ(LastProfile(), "(none)");

    std::filesystem::remove(IniPath());
    ASSERT_TRUE(profile->Save());
    TarqProfile reader(IniPath());
    std::vector<std::string> names;
    ASSERT_TRUE(reader.OpenIniFile());
    reader.GetProfileNames(names);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Alpha Copy"), 0);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Alpha"), 1);
}

TEST_F(ProfileSaveTest, AFailedWriteIsShownAndKeepsTheProfileModified) {
    std::filesystem::remove(IniPath());
    std::filesystem::create_directory(IniPath());  // the rename over it must fail
    EXPECT_FALSE(profile->Save());
    EXPECT_TRUE(profile->IsModified());
    EXPECT_TRUE(display.messages.empty());
    EXPECT_EQ(LastProfile(), "(none)");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].rfind("Error: The session profile could not be saved: ", 0), 0u)
        << boxes.shown[0];
    EXPECT_EQ(boxes.styles[0].icon, MessageBoxIcon::Error);
    EXPECT_EQ(boxes.owners[0], display.mainWindow);
}

TEST_F(ProfileSaveTest, AFileWithoutFormatMarkGetsOne) {
    PutIni("[Alpha]\nCallsign=ABC_TWR\n");
    TarqProfile fresh(IniPath());
    ASSERT_TRUE(fresh.Load("Alpha"));
    ASSERT_TRUE(fresh.Save());
    CIniFile written(IniPath());
    ASSERT_TRUE(written.Read());
    EXPECT_EQ(written.GetInt(":META", "Version", 0), 4);
    // So the next start does not convert it as an old file.
    TarqProfile next(IniPath());
    ASSERT_TRUE(next.OpenIniFile());
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_TRUE(next.Load("Alpha"));
    EXPECT_EQ(next.GetString("Callsign"), "ABC_TWR");
}

TEST_F(ProfileSaveTest, SaveProfileAs) {
    EXPECT_FALSE(profile->SaveProfileAs(""));
    EXPECT_EQ(display.errors, std::vector<std::string>{"Invalid session profile name."});
    EXPECT_EQ(profile->GetProfileName(), "Alpha");
    EXPECT_EQ(display.titleUpdates, 0);

    EXPECT_TRUE(profile->SaveProfileAs("Alpha Copy"));
    EXPECT_EQ(profile->GetProfileName(), "Alpha Copy");
    EXPECT_EQ(display.titleUpdates, 1);
    EXPECT_EQ(LastProfile(), "Alpha Copy");
    TarqProfile reader(IniPath());
    std::vector<std::string> names;
    ASSERT_TRUE(reader.OpenIniFile());
    reader.GetProfileNames(names);
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Other", "Alpha Copy"}));
    ASSERT_TRUE(reader.Load("Alpha Copy"));
    EXPECT_EQ(reader.GetInt("DisplayWidth1"), 1024);
}

TEST_F(ProfileSaveTest, WithoutOpenWindowsTheStoredPlacesStay) {
    g_sessionToolWindows = TarqSessionToolWindows();
    g_displayServices = nullptr;
    g_chatLogState = nullptr;
    g_stripSeparators = nullptr;
    ASSERT_TRUE(profile->Save());
    CIniFile written(IniPath());
    ASSERT_TRUE(written.Read());
    EXPECT_EQ(written.GetInt("Alpha", "DisplayCount", 0), 3);
    EXPECT_EQ(written.GetInt("Alpha", "DisplayLocX2", 0), 300);
    EXPECT_EQ(written.GetInt("Alpha", "WeatherPanelHeight", 0), 200);
    EXPECT_EQ(written.GetText("Alpha", "ChatLogVisible", ""), "0");
}
