#include "foundation/save_profile_as.h"

#include "foundation/profile.h"
#include "platform/message_box.h"

namespace {

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == ' ';
}

bool EqualsDefault(const std::string& name) {
    static const char kDefault[] = "default";
    if (name.size() != sizeof(kDefault) - 1) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char c = name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] + 32) : name[i];
        if (c != kDefault[i]) return false;
    }
    return true;
}

}  // namespace

bool TarqSaveProfileAsForm::IsValidName(const std::string& name) {
    if (name.empty() || name.size() > kMaxNameLength) return false;
    for (char c : name)
        if (!IsNameChar(c)) return false;
    return true;
}

bool TarqSaveProfileAsForm::Accept(const std::string& editText, WindowHandle dialog) {
    const std::string name = editText.substr(0, kMaxNameLength);
    const MessageBoxStyle error{MessageBoxButtons::Ok, MessageBoxIcon::Error};
    if (!IsValidName(name)) {
        ShowMessageBox(kInvalidName, "Error", error, dialog);
        return false;
    }
    if (EqualsDefault(name)) {
        ShowMessageBox(kDefaultName, "Error", error, dialog);
        return false;
    }
    if (m_profile.ProfileExists(name) &&
        ShowMessageBox(kOverwriteQuestion, "Confirm Delete",
                       {MessageBoxButtons::YesNo, MessageBoxIcon::Question, 1},
                       dialog) != MessageBoxResult::Yes)
        return false;
    m_profile.SaveProfileAs(name);
    return true;
}
