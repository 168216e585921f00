// The diagrams dialog's lists, selections and Clear buttons, and its layout.
#include <gtest/gtest.h>

#include "resources/dialog_layouts.h"
#include "scope/diagrams_dialog.h"
#include "scope_fixture.h"

namespace {

class DiagramsDialogTest : public ScopeFixture {};

TEST_F(DiagramsDialogTest, ListsMarkTheSelectionsAndSelectionChangesReplaceThem) {
    TarqDisplaySettings settings;
    settings.VisibleSTARs = {"KAAA ARR1", "GONE"};
    auto scope = MakeScope(settings);
    DiagramsDialogModel model(*scope);
    DiagramListRows sids = model.SidRows();
    EXPECT_EQ(sids.names, (std::vector<std::string>{"KAAA DEP1"}));
    EXPECT_TRUE(sids.selected.empty());
    EXPECT_EQ(model.StarRows().selected, (std::vector<int>{0}));

    model.OnSidSelection({0});
    EXPECT_EQ(scope->GetSelectedSIDs(), (std::vector<std::string>{"KAAA DEP1"}));
    EXPECT_EQ(host.profileModified, 1);
    EXPECT_FALSE(scope->GetSectorList(SectorListId::Diagrams).Empty());
}

TEST_F(DiagramsDialogTest, ClearOnAnEmptySelectionLeavesTheProfileUnmodified) {
    auto scope = MakeScope();
    DiagramsDialogModel model(*scope);
    model.ClearSids();
    EXPECT_EQ(host.profileModified, 0);
    model.OnStarSelection({0});
    model.ClearStars();
    EXPECT_EQ(host.profileModified, 2);
    EXPECT_TRUE(scope->GetSelectedSTARs().empty());
}

TEST(DialogLayoutsTest, DiagramsDialogHasItsListsAndButtons) {
    const DialogLayout* layout = FindDialogLayout(ScopeDialog::kDiagrams);
    ASSERT_NE(layout, nullptr);
    EXPECT_STREQ(layout->caption, "Diagrams");
    int found = 0;
    for (const DialogControl& c : layout->controls) {
        if (c.id == ScopeDialog::kSidList || c.id == ScopeDialog::kStarList) {
            EXPECT_TRUE(c.multiSelect);
            ++found;
        }
        if (c.id == ScopeDialog::kClearSids || c.id == ScopeDialog::kClearStars) ++found;
    }
    EXPECT_EQ(found, 4);
    EXPECT_EQ(FindDialogLayout(12345), nullptr);
}

}  // namespace
