// The connect dialog's behaviour: starting values, the waiting server list,
// the validation table, storing and connecting.
#include "app/connect_dialog.h"

#include <gtest/gtest.h>

#include "foundation/profile.h"
#include "tests/temp_dir.h"

namespace {

struct RecordingNetwork : ConnectDialogNetwork {
    bool ready = true;
    std::vector<std::string> servers = {"USA-EAST", "LOCAL", "EUROPE"};
    bool breakOn = false;
    bool helpOn = false;
    std::vector<std::string> calls;

    bool IsServerListReady() const override { return ready; }
    void FillServerList(std::vector<std::string>& names) const override { names = servers; }
    bool IsRequestingBreak() const override { return breakOn; }
    void SetBreakRequest(bool on) override { calls.push_back(on ? "break on" : "break off"); }
    bool IsRequestingHelp() const override { return helpOn; }
    void SetHelpRequest(bool on, const std::string&) override { calls.push_back(on ? "help on" : "help off"); }
    void Connect() override { calls.push_back("connect"); }
};

int g_seeAllCleared = 0;
void CountSeeAll() { ++g_seeAllCleared; }

class ConnectDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        profile.SetString("Callsign", "JFK_TWR");
        profile.SetString("RealName", "Ann Lee");
        profile.SetInt("Facility", 4);
        profile.SetInt("Rating", 5);
        profile.SetString("CID", "1234567");
        profile.SetString("Password", "pw");
        profile.SetString("Server", "LOCAL");
        profile.SetModified(false);
        g_seeAllCleared = 0;
    }

    // What the controls hold when the dialog opens: the Server list shows its
    // selected entry, if any.
    ConnectValues Typed() {
        ConnectDialog dialog(profile, network, CountSeeAll);
        ConnectValues v = dialog.InitialValues();
        const ConnectDialog::ServerChoice servers = dialog.ServerList();
        v.server = servers.selected >= 0 ? servers.entries.at(static_cast<size_t>(servers.selected)) : "";
        return v;
    }

    TempDir dir;
    TarqProfile profile{dir.Path() + "/Tarq.ini"};
    RecordingNetwork network;
};

TEST_F(ConnectDialogTest, StartsFromTheProfile) {
    ConnectDialog dialog(profile, network, CountSeeAll);
    const ConnectValues v = dialog.InitialValues();
    EXPECT_EQ(v.callsign, "JFK_TWR");
    EXPECT_EQ(v.facility, 4);
    EXPECT_EQ(v.ratingIndex, 4);
    EXPECT_EQ(ConnectDialog::FacilityNames()[static_cast<size_t>(v.facility)], "Tower");
    EXPECT_EQ(ConnectDialog::RatingNames()[static_cast<size_t>(v.ratingIndex)], "Controller1");
    EXPECT_EQ(ConnectDialog::RatingNames().size(), 12u);

    const ConnectDialog::ServerChoice servers = dialog.ServerList();
    const std::vector<std::string> sorted = {"EUROPE", "LOCAL", "USA-EAST"};
    EXPECT_TRUE(servers.ready);
    EXPECT_EQ(servers.entries, sorted);
    EXPECT_EQ(servers.selected, 1);
    profile.SetString("Server", "GONE");
    EXPECT_EQ(dialog.ServerList().selected, 0) << "an unknown server selects the first";

    network.ready = false;
    const ConnectDialog::ServerChoice waiting = dialog.ServerList();
    EXPECT_FALSE(waiting.ready);
    EXPECT_EQ(waiting.entries, std::vector<std::string>{"Waiting for server list to download ..."});
}

TEST_F(ConnectDialogTest, Validation) {
    struct Row {
        const char* name;
        void (*edit)(ConnectValues&);
        int control;  // 0: accepted
        const char* message;
        void (*setup)(TarqProfile&, RecordingNetwork&) = nullptr;
        // With the values shown at opening and the profile after the connect.
        void (*check)(const ConnectValues& shown, TarqProfile& after) = nullptr;
    };
    auto unchanged = [](ConnectValues&) {};
    const Row rows[] = {
        {"empty callsign", [](ConnectValues& v) { v.callsign.clear(); }, ConnectDialog::kCallsignId,
         "Invalid callsign. It is either empty or too long. This field is required."},
        {"empty name", [](ConnectValues& v) { v.realName.clear(); }, ConnectDialog::kRealNameId,
         "Invalid name. It is either empty or too long. This field is required."},
        {"empty CID", [](ConnectValues& v) { v.cid.clear(); }, ConnectDialog::kCidId,
         "Invalid CID. It is either empty or too long. This field is required."},
        {"empty password", [](ConnectValues& v) { v.password.clear(); }, ConnectDialog::kPasswordId,
         "Invalid password. It is either empty or too long. This field is required."},
        {"callsign reported before the password",
         [](ConnectValues& v) {
             v.callsign.clear();
             v.password.clear();
         },
         ConnectDialog::kCallsignId, "Invalid callsign. It is either empty or too long. This field is required."},
        {"empty server is not checked", [](ConnectValues& v) { v.server.clear(); }, 0, ""},
        {"no servers at all: nothing selected, an empty server stored", unchanged, 0, "",
         [](TarqProfile&, RecordingNetwork& n) { n.servers.clear(); },
         [](const ConnectValues& shown, TarqProfile& after) {
             EXPECT_EQ(shown.server, "");
             EXPECT_EQ(after.GetString("Server"), "");
         }},
        {"a rating of 0 selects none, and none is refused", unchanged, ConnectDialog::kRatingId,
         "No rating selected. Choose one from the list.",
         [](TarqProfile& p, RecordingNetwork&) { p.SetInt("Rating", 0); },
         [](const ConnectValues& shown, TarqProfile& after) {
             EXPECT_EQ(shown.ratingIndex, -1);
             EXPECT_EQ(after.GetInt("Rating"), 0);
         }},
        {"a rating above 12 selects none", unchanged, ConnectDialog::kRatingId,
         "No rating selected. Choose one from the list.",
         [](TarqProfile& p, RecordingNetwork&) { p.SetInt("Rating", 13); },
         [](const ConnectValues& shown, TarqProfile&) { EXPECT_EQ(shown.ratingIndex, -1); }},
        {"a facility out of the list selects none, and none is refused", unchanged, ConnectDialog::kFacilityId,
         "No facility selected. Choose one from the list.",
         [](TarqProfile& p, RecordingNetwork&) { p.SetInt("Facility", -1); },
         [](const ConnectValues& shown, TarqProfile&) { EXPECT_EQ(shown.facility, -1); }},
        {"a facility past Center is refused", [](ConnectValues& v) { v.facility = 7; }, ConnectDialog::kFacilityId,
         "No facility selected. Choose one from the list."},
        {"long texts are cut, not refused", [](ConnectValues& v) { v.callsign = "ABCDEFGHIJKLMNOP"; }, 0, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        network = RecordingNetwork();
        if (row.setup) row.setup(profile, network);
        const ConnectValues shown = Typed();
        ConnectValues v = shown;
        row.edit(v);
        ConnectDialog dialog(profile, network, CountSeeAll);
        auto failure = dialog.Connect(v);
        if (row.check) row.check(shown, profile);
        if (row.control == 0) {
            EXPECT_FALSE(failure);
            EXPECT_EQ(network.calls, std::vector<std::string>{"connect"});
        } else {
            ASSERT_TRUE(failure);
            EXPECT_EQ(failure->control, row.control);
            EXPECT_EQ(failure->message, row.message);
            EXPECT_TRUE(network.calls.empty());
            EXPECT_EQ(profile.GetString("Callsign"), "JFK_TWR") << "nothing stored";
            EXPECT_FALSE(profile.IsModified());
        }
    }
    EXPECT_EQ(profile.GetString("Callsign"), "ABCDEFGHIJ");
}

TEST_F(ConnectDialogTest, StoresWithdrawsAndConnects) {
    ConnectDialog dialog(profile, network, CountSeeAll);
    // Nothing changed: the modified flag stays as it was.
    EXPECT_FALSE(dialog.Connect(Typed()));
    EXPECT_FALSE(profile.IsModified());
    EXPECT_EQ(g_seeAllCleared, 1);

    ConnectValues v = Typed();
    v.facility = 6;
    v.ratingIndex = 11;
    v.server = "EUROPE";
    network.breakOn = network.helpOn = true;
    network.calls.clear();
    EXPECT_FALSE(dialog.Connect(v));
    EXPECT_TRUE(profile.IsModified());
    EXPECT_EQ(profile.GetInt("Facility"), 6);
    EXPECT_EQ(profile.GetInt("Rating"), 12);
    EXPECT_EQ(profile.GetString("Server"), "EUROPE");
    const std::vector<std::string> calls = {"break off", "help off", "connect"};
    EXPECT_EQ(network.calls, calls);
}

}  // namespace
