// The ATC state's settings seam served by the profile object.
// Tested by tests/atc/profile_settings_test.cpp.
#pragma once

#include "atc/atc_services.h"

class TarqProfile;

class TarqProfileSettings final : public AtcSettings {
public:
    explicit TarqProfileSettings(TarqProfile& profile) : m_profile(profile) {}
    int GetInt(const std::string& key) const override;
    bool GetBool(const std::string& key) const override;
    std::string GetString(const std::string& key) const override;
    std::vector<std::string> GetList(const std::string& key) const override;
    bool IsVFRCode(uint16_t code) const override;

private:
    TarqProfile& m_profile;
};
