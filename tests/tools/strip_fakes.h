// A scripted neighbourhood for the strips and the bay: plans, ATC data,
// colour settings, a fixed-pitch text measure, and a log of what the bay
// asked of the program and of its window.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/flight_strip_bay.h"

class FakeStripServices : public StripBayServices {
public:
    std::map<std::string, TarqFlightPlanRecord> plans;
    std::map<std::string, int> temporaryAltitudes;
    std::set<std::string> arrivalFields;
    std::set<std::string> departureFields;
    std::map<std::string, bool> bools;
    std::vector<std::string> controllers;
    std::string selected;
    bool validAtc = true;
    std::vector<std::string> log;

    TarqFlightPlanRecord GetFlightPlan(const std::string& c) const override {
        auto it = plans.find(c);
        if (it != plans.end()) return it->second;
        TarqFlightPlanRecord none;
        none.flightRules = 'I';
        return none;
    }
    int GetAircraftNumber(const std::string&) const override { return 7; }
    int GetAssignedSquawk(const std::string&) const override { return 0; }
    int GetTemporaryAltitude(const std::string& c) const override {
        auto it = temporaryAltitudes.find(c);
        return it == temporaryAltitudes.end() ? 0 : it->second;
    }
    std::string GetScratchpad(const std::string&) const override { return ""; }
    bool IsArrivalField(const std::string& a) const override { return arrivalFields.count(a) != 0; }
    bool IsDepartureField(const std::string& a) const override { return departureFields.count(a) != 0; }
    // Each colour setting is told apart by its value.
    int GetColorSetting(const std::string& key) const override {
        static const std::map<std::string, int> colors = {
            {"ColorStripLocal", 0x0000A0},       {"ColorStripVFR", 0x00A000},
            {"ColorStripArrivals", 0xA00000},    {"ColorStripDepartures", 0x00A0A0},
            {"ColorStripOverflights", 0xA0A0A0}, {"ColorStripSeparators", 0xC0C0C0}};
        auto it = colors.find(key);
        return it == colors.end() ? 0 : it->second;
    }
    std::string GetSelectedCallsign() const override { return selected; }
    StripTextExtent GetTextExtent(int font, const std::string& text) const override {
        const int n = static_cast<int>(text.size());
        return font == kStripLargeFont ? StripTextExtent{18 * n, 37} : StripTextExtent{7 * n, 13};
    }

    bool HasReceivedFlightPlan(const std::string& c) const override { return plans.count(c) != 0; }
    void RequestFlightPlan(const std::string& c) override { log.push_back("request " + c); }
    void PushFlightStrip(const std::string& to, const std::string& c, int type,
                         const std::vector<std::string>& annotations) override {
        std::string line = "push " + c + " to " + to + " type " + std::to_string(type);
        for (const std::string& a : annotations) line += " [" + a + "]";
        log.push_back(line);
    }
    void ShowError(const std::string& text) override { log.push_back("error: " + text); }
    void ShowMessage(const std::string& text) override { log.push_back("info: " + text); }
    void SetProfileModified() override { log.push_back("modified"); }
    bool GetBoolSetting(const std::string& key) const override {
        auto it = bools.find(key);
        return it != bools.end() && it->second;
    }
    bool IsValidATC() const override { return validAtc; }
    bool ControllerExists(const std::string& c) const override {
        for (const std::string& k : controllers) {
            if (k == c) return true;
        }
        return false;
    }
    std::vector<std::string> ListRadarControllers() const override { return controllers; }
    void ShowFlightPlan(const std::string& c, bool raise) override {
        log.push_back(std::string(raise ? "editor raised " : "editor ") + c);
    }
    void SelectAircraft(const std::string& c) override { log.push_back("select " + c); }

    std::vector<std::string> Take() {
        std::vector<std::string> out;
        out.swap(log);
        return out;
    }
};

class FakeStripView : public StripBayView {
public:
    int repaints = 0;
    StripCursor cursor = StripCursor::Arrow;
    int menuAnswer = 0;
    StripBayMenu lastMenu;
    bool editorAnswer = false;
    std::string editorText;
    std::string editorSaw;

    void CreateWindow() override {}
    void DestroyWindow() override {}
    void Repaint(bool) override { ++repaints; }
    void SetCursor(StripCursor c) override { cursor = c; }
    int TrackContextMenu(const StripBayMenu& menu) override {
        lastMenu = menu;
        return menuAnswer;
    }
    bool EditAnnotation(std::string& text) override {
        editorSaw = text;
        if (editorAnswer) text = editorText;
        return editorAnswer;
    }
};
