// The Sounds dialog apart from its window: the sixteen events, the working
// list of their files that outlives the dialog, and the store on OK.
// Tested by tests/app/settings_forms_test.cpp.
#pragma once

#include <string>
#include <vector>

class TarqProfile;

struct SoundEvent {
    const char* label;
    const char* key;
};

// In the order of the "Event:" list.
const std::vector<SoundEvent>& SoundEvents();

class TarqSoundsForm {
public:
    static constexpr size_t kMaxPathLength = 259;

    // Fills the working list from the profile; the first event is selected.
    explicit TarqSoundsForm(TarqProfile& profile);

    int Selected() const { return m_selected; }
    // The "Sound File:" field.
    const std::string& Field() const { return m_field; }
    bool PlayAndClearEnabled() const { return m_buttonsEnabled; }
    bool soundsActive = false;

    void Select(int index);
    void Clear();
    // A file chosen with "Select...".
    void Choose(const std::string& path);
    // OK: the sixteen files, "UseSounds", and the profile marked modified.
    void Ok();

    // The working list, kept between openings of the dialog.
    static const std::vector<std::string>& WorkingList();

private:
    void UpdateButtons();

    TarqProfile& m_profile;
    int m_selected = 0;
    std::string m_field;
    bool m_buttonsEnabled = false;
};
