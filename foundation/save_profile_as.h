// What the "Save Profile As" dialog does when OK is pressed, apart from its
// window: the name checks, their messages and the overwrite question. The
// dialog window only binds its edit field and buttons to it.
// Tested by tests/foundation/save_profile_as_test.cpp.
#pragma once

#include <cstddef>
#include <string>

#include "platform/window_handle.h"

class TarqProfile;

class TarqSaveProfileAsForm {
public:
    static constexpr size_t kMaxNameLength = 128;
    static constexpr const char* kInvalidName =
        "Invalid profile name. It must consist of only letters, numbers, underscores and spaces. Maximum "
        "length "
        "is 128 characters.";
    static constexpr const char* kDefaultName =
        "You cannot overwrite the default profile. Please choose another name.";
    static constexpr const char* kOverwriteQuestion =
        "A session profile with that name already exists. Would you like to overwrite it?";

    explicit TarqSaveProfileAsForm(TarqProfile& profile) : m_profile(profile) {}

    // OK with the edit field's text (cut to kMaxNameLength). Shows what is
    // wrong in a message box owned by dialog and returns false: the dialog
    // stays open, selects its whole text and takes the focus back. Returns
    // true once the profile was saved under the name: the dialog closes.
    bool Accept(const std::string& editText, WindowHandle dialog);

    // One to kMaxNameLength ASCII letters, digits, underscores and blanks.
    static bool IsValidName(const std::string& name);

private:
    TarqProfile& m_profile;
};
