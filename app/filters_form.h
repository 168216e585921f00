// The filters dialog apart from its window: one display scope's altitude
// filter, the rule that a data-tag box is usable only while its symbol box is
// checked, the clean and changed states, and the store on Apply or OK.
// Tested by tests/app/settings_forms_test.cpp.
#pragma once

#include <string>

#include "platform/window_handle.h"

class TarqDisplayScope;
class TarqProfile;

struct FilterBoxes {
    bool symbolsAbove = false;  // 1222
    bool tagsAbove = false;     // 1223
    bool symbolsBelow = false;  // 1224
    bool tagsBelow = false;     // 1225
};

class TarqFiltersForm {
public:
    static constexpr int kMaxAltitude = 99999;

    TarqFiltersForm(TarqDisplayScope& scope, TarqProfile* profile);

    std::string floor;  // the number fields' texts
    std::string ceiling;
    FilterBoxes boxes;
    bool TagsAboveEnabled() const { return boxes.symbolsAbove; }
    bool TagsBelowEnabled() const { return boxes.symbolsBelow; }

    // After the window has changed a box: a tag box whose symbol box is off
    // is cleared. The dialog becomes changed.
    void OnBoxClicked();
    void OnNumberEdited() { m_changed = true; }
    bool IsChanged() const { return m_changed; }
    // Apply: false (message naming the field, nothing stored) for a number
    // out of range or not a number; else stores and becomes clean.
    bool Apply(WindowHandle owner);
    // OK: applies when changed; true when the dialog may close.
    bool Ok(WindowHandle owner) { return !m_changed || Apply(owner); }

private:
    TarqDisplayScope& m_scope;
    TarqProfile* m_profile;
    bool m_changed = false;
};
