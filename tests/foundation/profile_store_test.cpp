// The settings store's typed maps, VFR codes and flags, and loading a session
// profile: defaults, conversions, per-display keys, both failures.
#include <atomic>
#include <thread>

#include "foundation/text_helpers.h"
#include "profile_fixture.h"

class ProfileStoreTest : public ProfileTest {};

TEST_F(ProfileStoreTest, GettersAddAMissingKeyWithItsZeroValue) {
    TarqProfile profile(IniPath());
    EXPECT_EQ(profile.GetInt("Nowhere"), 0);
    EXPECT_FALSE(profile.GetBool("UseSounds"));
    EXPECT_EQ(profile.GetFloat("Zoomish"), 0.0f);
    EXPECT_EQ(profile.GetString("Callsign"), "");
    EXPECT_TRUE(profile.GetListSetting("WxStations").empty());
    const SettingsSnapshot s = profile.Snapshot();
    EXPECT_TRUE(s.ints.count("Nowhere"));
    EXPECT_TRUE(s.bools.count("UseSounds"));
    EXPECT_TRUE(s.floats.count("Zoomish"));
    EXPECT_TRUE(s.strings.count("Callsign"));
    EXPECT_TRUE(s.lists.count("WxStations"));
    // Keys are case-sensitive in the store.
    profile.SetBool("UseSounds", true);
    EXPECT_FALSE(profile.GetBool("usesounds"));
    EXPECT_TRUE(profile.GetBool("UseSounds"));
    // Copies: changing what a getter returned changes nothing.
    profile.SetListSetting("WxStations", {"KJFK"});
    profile.GetListSetting("WxStations").push_back("KBOS");
    EXPECT_EQ(profile.GetListSetting("WxStations"), std::vector<std::string>{"KJFK"});
    EXPECT_FALSE(profile.IsModified());  // setters leave the flag alone
}

TEST_F(ProfileStoreTest, SetModifiedAlwaysRebuildsTheMenus) {
    TarqProfile profile(IniPath());
    profile.SetModified(false);
    profile.SetModified(true);
    profile.SetModified(true);
    EXPECT_TRUE(profile.IsModified());
    EXPECT_EQ(display.menuRebuilds, 3);
}

TEST_F(ProfileStoreTest, VfrCodes) {
    struct Case {
        const char* name;
        std::vector<std::string> items;
        std::vector<int> codes;  // every code that must count as VFR
        int count;               // how many codes in all
    } cases[] = {
        {"single, range and junk", {"1200", "4000-4002", "abc"}, {1200, 4000, 4001, 4002, 0}, 5},
        {"reversed range adds nothing", {"4002-4000"}, {}, 0},
        {"five characters is no range", {"12-34"}, {12}, 1},
        {"range with non-octal digits", {"1277-1281"}, {1277, 1278, 1279, 1280, 1281}, 5},
        {"range to the top of 16 bits ends", {"9998-9999"}, {9998, 9999}, 2},
        {"empty list", {}, {}, 0},
    };
    TarqProfile profile(IniPath());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        profile.SetListSetting("VFRCodes", c.items);
        profile.LoadVFRCodes();
        int count = 0;
        for (int code = 0; code <= 0xFFFF; ++code) count += profile.IsVFRCode(static_cast<uint16_t>(code));
        EXPECT_EQ(count, c.count);
        for (int code : c.codes) EXPECT_TRUE(profile.IsVFRCode(static_cast<uint16_t>(code))) << code;
    }
}

TEST_F(ProfileStoreTest, LoadConvertsWhatTheSectionHolds) {
    PutIni(
        "[Alpha]\n"
        "Callsign=ABC_TWR\n"
        "VisRange=\n"
        "UseSounds=2\n"
        "PromptDisconnect=true\n"
        "InputSquelch=\n"
        "VFRCodes=\n"
        "WxStations=KJFK||KBOS|\n"
        "TransLevel=  -300ft\n"
        "DisplayCount=3\n"
        "DisplayLocX1=100\n"
        "ColorProfile1=\n"
        "Unknown=kept in the file only\n");
    TarqProfile profile(IniPath());
    ASSERT_TRUE(profile.Load("Alpha"));
    EXPECT_EQ(profile.GetString("Callsign"), "ABC_TWR");
    EXPECT_EQ(profile.GetInt("VisRange"), 0);           // present but empty: not the default
    EXPECT_TRUE(profile.GetBool("UseSounds"));          // any non-zero integer
    EXPECT_FALSE(profile.GetBool("PromptDisconnect"));  // a word reads as 0
    EXPECT_EQ(profile.GetFloat("InputSquelch"), 0.0f);
    EXPECT_TRUE(profile.GetListSetting("VFRCodes").empty());
    EXPECT_FALSE(profile.IsVFRCode(1200));
    EXPECT_EQ(profile.GetListSetting("WxStations"), (std::vector<std::string>{"KJFK", "KBOS"}));
    EXPECT_EQ(profile.GetInt("TransLevel"), -300);
    EXPECT_EQ(profile.GetInt("DisplayLocX1"), 100);
    EXPECT_EQ(profile.GetInt("DisplayLocX3"), 10);
    EXPECT_EQ(profile.GetString("ColorProfile1"), "");
    EXPECT_EQ(profile.GetString("ColorProfile2"), "Default");
    EXPECT_FALSE(profile.Snapshot().strings.count("Unknown"));
    EXPECT_EQ(profile.GetProfileName(), "Alpha");
    EXPECT_FALSE(profile.IsModified());
}

TEST_F(ProfileStoreTest, DefaultsOfASectionHoldingOnlyACallsign) {
    PutIni("[Alpha]\nCallsign=ABC_TWR\n");
    TarqProfile profile(IniPath());
    ASSERT_TRUE(profile.Load("Alpha"));
    EXPECT_EQ(profile.GetInt("VisRange"), 150);
    EXPECT_TRUE(profile.GetBool("UseSounds"));
    EXPECT_EQ(profile.GetFloat("InputSquelch"), 220.0f);
    EXPECT_EQ(profile.GetListSetting("VFRCodes"), std::vector<std::string>{"1200"});
    EXPECT_EQ(profile.GetListSetting("ModelSetOrder"), (std::vector<std::string>{"Qmv", "VIP"}));
    EXPECT_TRUE(profile.IsVFRCode(1200));
}

TEST_F(ProfileStoreTest, DisplayCountIsClampedWhereUsedAndKeptAsStored) {
    struct Case {
        const char* name;
        const char* stored;
        int storedValue;
        int used;
    } cases[] = {
        {"zero", "0", 0, 1},
        {"negative", "-4", -4, 1},
        {"three", "3", 3, 3},
        {"far too many", "2000000000", 2000000000, kMaxDisplays},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PutIni(std::string("[Alpha]\nDisplayCount=") + c.stored + "\n");
        TarqProfile profile(IniPath());
        ASSERT_TRUE(profile.Load("Alpha"));
        EXPECT_EQ(profile.GetDisplayCount(), c.used);
        const SettingsSnapshot s = profile.Snapshot();
        EXPECT_EQ(s.ints.at("DisplayCount"), c.storedValue);
        EXPECT_TRUE(s.ints.count("DisplayLocX" + std::to_string(c.used)));
        EXPECT_FALSE(s.ints.count("DisplayLocX" + std::to_string(c.used + 1)));
    }
}

TEST_F(ProfileStoreTest, LoadFindsTheSectionInAnyCaseAndKeepsTheRequestedName) {
    PutIni("[Alpha Tower]\nCallsign=ABC_TWR\n");
    TarqProfile profile(IniPath());
    ASSERT_TRUE(profile.Load("ALPHA tower"));
    EXPECT_EQ(profile.GetProfileName(), "ALPHA tower");
    EXPECT_EQ(profile.GetString("Callsign"), "ABC_TWR");
}

TEST_F(ProfileStoreTest, ASecondLoadReplacesEverySetting) {
    PutIni("[A]\nCallsign=A_TWR\nVisRange=40\n[B]\nRating=5\n");
    TarqProfile profile(IniPath());
    ASSERT_TRUE(profile.Load("A"));
    profile.SetInt("Extra", 7);
    ASSERT_TRUE(profile.Load("B"));
    EXPECT_EQ(profile.GetString("Callsign"), "");
    EXPECT_EQ(profile.GetInt("VisRange"), 150);
    EXPECT_EQ(profile.GetInt("Rating"), 5);
    EXPECT_FALSE(profile.Snapshot().ints.count("Extra"));
}

TEST_F(ProfileStoreTest, AFailedLoadSaysWhyAndKeepsThePreviousProfile) {
    PutIni("[A]\nCallsign=A_TWR\n");
    TarqProfile profile(IniPath());
    ASSERT_TRUE(profile.Load("A"));
    profile.SetModified(true);

    EXPECT_FALSE(profile.Load("Missing"));
    EXPECT_EQ(profile.GetLastError(), "Specified profile not found in INI file!");

    struct Case {
        const char* name;
        std::string file;
    } broken[] = {
        {"empty file", ""},
        {"comments only", "; nothing here\n"},
        {"tab-indented line", "[A]\n\tCallsign=B_TWR\n"},
        {"byte-order mark", "\xEF\xBB\xBF[A]\nCallsign=B_TWR\n"},
    };
    for (const Case& c : broken) {
        SCOPED_TRACE(c.name);
        PutIni(c.file);
        EXPECT_FALSE(profile.Load("A"));
        EXPECT_EQ(profile.GetLastError(), "Could not read and/or parse Tarq.ini");
        EXPECT_EQ(profile.GetString("Callsign"), "A_TWR");
        EXPECT_EQ(profile.GetProfileName(), "A");
        EXPECT_TRUE(profile.IsModified());
    }
    std::filesystem::remove(IniPath());
    EXPECT_FALSE(profile.Load("A"));
    EXPECT_EQ(profile.GetLastError(), "Could not read and/or parse Tarq.ini");

    PutIni("[A]\nCallsign=C_TWR\n");
    ASSERT_TRUE(profile.Load("A"));
    EXPECT_EQ(profile.GetString("Callsign"), "C_TWR");
}

// Download threads read settings while the main thread loads profiles; with
// the store's lock this is safe (the sanitizers watch the maps).
TEST_F(ProfileStoreTest, ReadsFromOtherThreadsWhileProfilesLoad) {
    PutIni("[A]\nCallsign=A_TWR\n[B]\nCallsign=B_TWR\n");
    TarqProfile profile(IniPath());
    ASSERT_TRUE(profile.Load("A"));
    std::atomic<bool> stop{false};
    std::atomic<int> badReads{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t) {
        readers.emplace_back([&, t] {
            while (!stop) {
                std::string callsign = profile.GetString("Callsign");
                if (callsign != "A_TWR" && callsign != "B_TWR") ++badReads;
                profile.GetBool("IncludeOnlyCurrentTracks");
                profile.GetString("SoundReminder");
                profile.GetInt("Thread" + std::to_string(t));  // inserting reads as well
            }
        });
    }
    for (int i = 0; i < 40; ++i) ASSERT_TRUE(profile.Load(i % 2 ? "A" : "B"));
    stop = true;
    for (std::thread& reader : readers) reader.join();
    EXPECT_EQ(badReads, 0);
}

TEST_F(ProfileStoreTest, AltitudeTextFollowsTheProfilesTransitionLevel) {
    TarqProfile profile(IniPath());
    g_profile = &profile;
    profile.SetInt("TransLevel", 6000);
    EXPECT_EQ(FormatAltitudeWithTransLevel(5950), "6000");
    EXPECT_EQ(FormatAltitudeWithTransLevel(6000), "FL60");
    EXPECT_EQ(FormatAltitudeWithTransLevel2("7000"), "FL70");
    g_profile = nullptr;
}
