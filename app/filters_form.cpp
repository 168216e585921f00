// Tested by tests/app/settings_forms_test.cpp.
#include "app/filters_form.h"

#include "app/general_settings_form.h"
#include "foundation/profile.h"
#include "platform/message_box.h"
#include "scope/display_scope.h"

TarqFiltersForm::TarqFiltersForm(TarqDisplayScope& scope, TarqProfile* profile)
    : floor(std::to_string(scope.GetAirspaceFloor())),
      ceiling(std::to_string(scope.GetAirspaceCeiling())),
      boxes{scope.GetShowTargetsAboveCeiling(), scope.GetShowTagsAboveCeiling(),
            scope.GetShowTargetsBelowFloor(), scope.GetShowTagsBelowFloor()},
      m_scope(scope),
      m_profile(profile) {}

void TarqFiltersForm::OnBoxClicked() {
    if (!boxes.symbolsAbove) boxes.tagsAbove = false;
    if (!boxes.symbolsBelow) boxes.tagsBelow = false;
    m_changed = true;
}

bool TarqFiltersForm::Apply(WindowHandle owner) {
    const SettingsControl floorField{1131,        SettingsControlKind::Number, "Airspace Floor:", nullptr, 0,
                                     kMaxAltitude};
    const SettingsControl ceilingField{
        1133, SettingsControlKind::Number, "Airspace Ceiling:", nullptr, 0, kMaxAltitude};
    for (auto [field, text] : {std::pair{&floorField, &floor}, std::pair{&ceilingField, &ceiling}}) {
        const std::string refusal = TarqGeneralSettingsForm::CheckNumber(*field, *text);
        if (refusal.empty()) continue;
        ShowMessageBox(refusal, "Error", {MessageBoxButtons::Ok, MessageBoxIcon::Error, 0}, owner);
        return false;
    }
    // The floor may lie above the ceiling: both are kept as given.
    m_scope.SetAirspaceFloor(std::stoi(floor));
    m_scope.SetAirspaceCeiling(std::stoi(ceiling));
    m_scope.SetShowTargetsAboveCeiling(boxes.symbolsAbove);
    m_scope.SetShowTagsAboveCeiling(boxes.tagsAbove);
    m_scope.SetShowTargetsBelowFloor(boxes.symbolsBelow);
    m_scope.SetShowTagsBelowFloor(boxes.tagsBelow);
    if (m_profile) m_profile->SetModified(true);
    m_changed = false;
    return true;
}
