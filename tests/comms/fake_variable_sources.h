// Aircraft, controllers, panel and scope for the "$" variables, as plain maps.
#pragma once

#include <map>
#include <string>

#include "comms/text_variables.h"

class FakeVariableSources : public TextVariableSources {
public:
    bool GetAircraft(const std::string& callsign, Aircraft& out) const override {
        auto it = aircraft.find(callsign);
        if (it == aircraft.end()) return false;
        out = it->second;
        return true;
    }
    TarqFlightPlanRecord GetFlightPlan(const std::string& callsign) const override {
        auto it = plans.find(callsign);
        return it == plans.end() ? TarqFlightPlanRecord() : it->second;
    }
    uint16_t GetAssignedSquawk(const std::string&) const override { return assignedSquawk; }
    uint16_t GetBeaconCode(const std::string&) const override { return beaconCode; }
    int GetTemporaryAltitude(const std::string&) const override { return temporaryAltitude; }
    std::string GetCallsignForPositionId(const std::string& id) const override {
        auto it = positions.find(id);
        return it == positions.end() ? std::string() : it->second;
    }
    bool GetControllerFrequency(const std::string& callsign, int& kHz) const override {
        auto it = frequencies.find(callsign);
        if (it == frequencies.end()) return false;
        kHz = it->second;
        return true;
    }
    std::string FindRadioName(const std::string& callsign, int frequency) const override {
        auto it = radioNames.find(callsign + "@" + std::to_string(frequency));
        return it == radioNames.end() ? callsign : it->second;
    }
    int GetPrimaryFrequency() const override { return primaryFrequency; }
    std::string GetPrimaryVoiceChannel() const override { return voiceChannel; }
    std::string GetSelectedCallsign() const override { return selected; }
    bool FindNamedPoint(const std::string& name, ScopePoint& out) const override {
        auto it = points.find(name);
        if (it == points.end()) return false;
        out = it->second;
        return true;
    }
    double GetScopeRotation() const override { return rotation; }
    std::string GetCurrentLetter() const override { return letter; }

    std::map<std::string, Aircraft> aircraft;
    std::map<std::string, TarqFlightPlanRecord> plans;
    uint16_t assignedSquawk = 0;
    uint16_t beaconCode = 0;
    int temporaryAltitude = 0;
    std::map<std::string, std::string> positions;   // id -> callsign
    std::map<std::string, int> frequencies;         // callsign -> kHz
    std::map<std::string, std::string> radioNames;  // "callsign@kHz" -> name
    int primaryFrequency = 0;
    std::string voiceChannel;
    std::string selected;
    std::map<std::string, ScopePoint> points;
    double rotation = 0;
    std::string letter;
};
