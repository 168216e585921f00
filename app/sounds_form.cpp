// Tested by tests/app/settings_forms_test.cpp.
#include "app/sounds_form.h"

#include "foundation/profile.h"

namespace {

std::vector<std::string>& Working() {
    static std::vector<std::string> list;
    return list;
}

}  // namespace

const std::vector<SoundEvent>& SoundEvents() {
    static const std::vector<SoundEvent> events = {
        {"Connect", "SoundConnect"},
        {"Disconnect", "SoundDisconnect"},
        {"Handoff Request", "SoundHandoffReq"},
        {"Handoff Accepted", "SoundHandoffAcc"},
        {"Pointout", "SoundPointout"},
        {"Conflict Alert", "SoundConflict"},
        {"Radio Message", "SoundRadioMsg"},
        {"Chat Message", "SoundChatMsg"},
        {"ATC Message", "SoundATCMsg"},
        {"Broadcast Message", "SoundBcastMsg"},
        {"Guard Message", "SoundGuardMsg"},
        {"Intercom Call", "SoundIntercomCall"},
        {"Override", "SoundOverrideCall"},
        {"Reminder", "SoundReminder"},
        {"Error", "SoundError"},
        {"Flight Strip Received", "SoundStripReceived"},
    };
    return events;
}

const std::vector<std::string>& TarqSoundsForm::WorkingList() { return Working(); }

TarqSoundsForm::TarqSoundsForm(TarqProfile& profile) : m_profile(profile) {
    soundsActive = profile.GetBool("UseSounds");
    Working().clear();
    for (const SoundEvent& event : SoundEvents()) Working().push_back(profile.GetString(event.key));
    m_field = Working()[0];
    UpdateButtons();
}

void TarqSoundsForm::UpdateButtons() { m_buttonsEnabled = !m_field.substr(0, kMaxPathLength).empty(); }

void TarqSoundsForm::Select(int index) {
    if (index < 0 || index >= static_cast<int>(Working().size())) return;
    m_selected = index;
    m_field = Working()[static_cast<size_t>(index)];
    UpdateButtons();
}

void TarqSoundsForm::Clear() {
    // The buttons keep their state until the next selection or choice.
    Working()[static_cast<size_t>(m_selected)].clear();
    m_field.clear();
}

void TarqSoundsForm::Choose(const std::string& path) {
    m_field = path;
    Working()[static_cast<size_t>(m_selected)] = path;
    UpdateButtons();
}

void TarqSoundsForm::Ok() {
    const std::vector<SoundEvent>& events = SoundEvents();
    for (size_t i = 0; i < events.size(); ++i) m_profile.SetString(events[i].key, Working()[i]);
    m_profile.SetBool("UseSounds", soundsActive);
    m_profile.SetModified(true);
}
