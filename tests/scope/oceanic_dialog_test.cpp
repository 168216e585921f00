// The oceanic tracks dialog's rows, selection, direction buttons and download.
#include <gtest/gtest.h>

#include "resources/dialog_layouts.h"
#include "scope/oceanic_dialog.h"
#include "scope_fixture.h"

namespace {

OceanicTrack Track(const std::string& id, int direction, bool current = true) {
    OceanicTrack track;
    track.id = id;
    track.direction = direction;
    track.current = current;
    track.tmi = "123";
    track.waypoints = {{"MALOT", -20.0, 53.0}, {"GISTI", -15.0, 53.0}};
    if (direction == 4 || direction == 6) track.levels.push_back({4, "310"});
    if (direction == 5 || direction == 6) track.levels.push_back({5, "320"});
    if (direction == 6) track.levels.push_back({4, "350"});
    return track;
}

class OceanicDialogTest : public ScopeFixture {
protected:
    void SetUp() override {
        ScopeFixture::SetUp();
        host.oceanicTracks = {{"A", Track("A", 4)}, {"B", Track("B", 5, false)}, {"C", Track("C", 6)}};
    }
    // The scopes run over the fixture's sector, loaded without complaint.
    void TearDown() override { EXPECT_EQ(host.errorBoxes, std::vector<std::string>{}); }
};

TEST_F(OceanicDialogTest, RowsComeFromTheTracksInNameOrder) {
    auto scope = MakeScope();
    OceanicDialogModel model(*scope);
    model.Fill();
    ASSERT_EQ(model.Items(), (std::vector<int>{0, 1, 2}));
    const OceanicTrackRow& c = model.Rows()[2];
    EXPECT_EQ(c.texts, (std::array<std::string, 4>{"C", "123", "MALOT GISTI", "E:310 350    W:320"}));
    EXPECT_STREQ(OceanicDialogModel::DirectionText(c.direction), "EW");
    EXPECT_FALSE(model.Rows()[1].current);
    EXPECT_EQ(model.ItemText(0), "E:310");
    EXPECT_TRUE(model.HasTracks());
}

TEST_F(OceanicDialogTest, SelectionsAreTheScopesShownTracks) {
    auto scope = MakeScope();
    OceanicDialogModel model(*scope);
    model.Fill();
    // Eastbound takes the tracks with both directions too, added to what is selected.
    EXPECT_EQ(model.SelectByDirection(4, {1}), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(scope->GetShownOceanicTracks(), (std::set<std::string>{"A", "B", "C"}));
    model.OnSelection({2, 7, -1});
    EXPECT_EQ(scope->GetShownOceanicTracks(), (std::set<std::string>{"C"}));
    // A refill keeps the scope's selection on the rows.
    model.Fill();
    EXPECT_EQ(model.SelectedItems(), (std::vector<int>{2}));
    model.ClearAll();
    EXPECT_TRUE(scope->GetShownOceanicTracks().empty());
}

TEST_F(OceanicDialogTest, PlaceholderRowsTakeNoSelection) {
    auto scope = MakeScope();
    OceanicDialogModel model(*scope);
    model.Fill();
    model.OnSelection({0});
    model.Download();
    EXPECT_EQ(host.oceanicDownloads, 1);
    EXPECT_EQ(model.Items(), (std::vector<int>{OceanicDialogModel::kDownloadingRow}));
    EXPECT_FALSE(model.HasTracks());
    model.OnSelection({0});
    model.ClearAll();
    EXPECT_EQ(model.SelectByDirection(5, {0}), (std::vector<int>{0}));
    EXPECT_EQ(scope->GetShownOceanicTracks(), (std::set<std::string>{"A"}));

    host.oceanicTracks.clear();
    model.Fill();
    EXPECT_EQ(model.Items(), (std::vector<int>{OceanicDialogModel::kNoDataRow}));
    EXPECT_FALSE(model.HasTracks());
    EXPECT_EQ(model.ItemText(0), "");
}

TEST(OceanicDialogLayoutTest, HasItsListAndButtons) {
    const DialogLayout* layout = FindDialogLayout(ScopeDialog::kOceanic);
    ASSERT_NE(layout, nullptr);
    EXPECT_STREQ(layout->caption, "Oceanic Tracks");
    std::set<int> ids;
    for (const DialogControl& c : layout->controls) ids.insert(c.id);
    for (int id : {ScopeDialog::kTrackList, ScopeDialog::kEastbound, ScopeDialog::kWestbound,
                   ScopeDialog::kClearAll, ScopeDialog::kDownload, ScopeDialog::kOk})
        EXPECT_TRUE(ids.count(id)) << id;
}

}  // namespace
