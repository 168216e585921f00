// The targets' surroundings over an AtcWorld: the databases and settings are
// the world's, the clicks are recorded.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "scope/target_state.h"
#include "tests/atc/atc_fakes.h"

class FakeTargetEnvironment final : public TargetEnvironment {
public:
    explicit FakeTargetEnvironment(AtcWorld& world) : m_world(world) {}
    TarqAircraftDB* GetAircraftDB() override { return &m_world.aircraft; }
    TarqControllerDB* GetControllerDB() override { return &m_world.controllers; }
    std::string GetString(const std::string& key) override { return m_world.settings.GetString(key); }
    std::vector<std::string> GetList(const std::string& key) override {
        return m_world.settings.GetList(key);
    }
    int GetPrimaryFrequency() override { return primaryFrequency; }
    bool IsSeeAll() override { return seeAll; }
    bool IsSuppressed(const std::string& callsign) override { return suppressed.count(callsign) != 0; }
    bool IsShiftDown() override { return shift; }
    void SetSelectedCallsign(const std::string& callsign) override { selected = callsign; }
    void ActOnSecondAircraft(const std::string& callsign) override { acted.push_back(callsign); }
    void OpenAircraftMenu(const std::string& callsign, int, int) override { menus.push_back(callsign); }
    void ShowFlightPlanDetails(const std::string& callsign) override { details.push_back(callsign); }

    int primaryFrequency = 0;
    bool seeAll = false;
    bool shift = false;
    std::set<std::string> suppressed;
    std::string selected;
    std::vector<std::string> acted, menus, details;

private:
    AtcWorld& m_world;
};
