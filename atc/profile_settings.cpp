// The ATC state's settings seam served by the profile object.
// Tested by tests/atc/profile_settings_test.cpp.
#include "atc/profile_settings.h"

#include "foundation/profile.h"

int TarqProfileSettings::GetInt(const std::string& key) const { return m_profile.GetInt(key); }
bool TarqProfileSettings::GetBool(const std::string& key) const { return m_profile.GetBool(key); }
std::string TarqProfileSettings::GetString(const std::string& key) const { return m_profile.GetString(key); }
std::vector<std::string> TarqProfileSettings::GetList(const std::string& key) const {
    return m_profile.GetListSetting(key);
}
bool TarqProfileSettings::IsVFRCode(uint16_t code) const { return m_profile.IsVFRCode(code); }
