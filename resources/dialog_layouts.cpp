// The dialog layouts. Tested by tests/scope/diagrams_dialog_test.cpp.
#include "resources/dialog_layouts.h"

namespace {

using K = DialogControlKind;

const std::vector<DialogLayout>& Layouts() {
    static const std::vector<DialogLayout> layouts = {
        {ScopeDialog::kDiagrams,
         "Diagrams",
         352,
         192,
         {
             {-1, K::Label, "SIDs", 7, 7, 165, 8, false},
             {ScopeDialog::kSidList, K::ListBox, "", 7, 18, 165, 148, true},
             {ScopeDialog::kClearSids, K::Button, "Clear SIDs", 7, 171, 60, 14, false},
             {-1, K::Label, "STARs", 180, 7, 165, 8, false},
             {ScopeDialog::kStarList, K::ListBox, "", 180, 18, 165, 148, true},
             {ScopeDialog::kClearStars, K::Button, "Clear STARs", 180, 171, 60, 14, false},
         }},
        {ScopeDialog::kOceanic,
         "Oceanic Tracks",
         435,
         222,
         {
             {ScopeDialog::kTrackList, K::ListBox, "", 7, 7, 421, 186, true},
             {ScopeDialog::kEastbound, K::Button, "Eastbound", 7, 201, 60, 14, false},
             {ScopeDialog::kWestbound, K::Button, "Westbound", 72, 201, 60, 14, false},
             {ScopeDialog::kClearAll, K::Button, "Clear All", 137, 201, 60, 14, false},
             {ScopeDialog::kDownload, K::Button, "Download", 202, 201, 60, 14, false},
             {ScopeDialog::kOk, K::Button, "OK", 368, 201, 60, 14, false},
         }},
    };
    return layouts;
}

}  // namespace

const DialogLayout* FindDialogLayout(int resourceId) {
    for (const DialogLayout& layout : Layouts())
        if (layout.resourceId == resourceId) return &layout;
    return nullptr;
}
