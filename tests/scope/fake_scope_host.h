// A ScopeHost that records what the scope asks of its display and answers
// from tables the test fills in.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "scope/display_scope.h"
#include "scope/scope_host.h"

class FakeScopeHost : public ScopeHost {
public:
    std::map<std::string, int> colors;
    std::map<std::string, int> ints{{"RingSpacing", 5}, {"CenterlineLength", 10}, {"VisRange", 40}};
    std::map<std::string, bool> bools;
    std::set<uint16_t> vfrCodes;
    bool isMain = true;
    TarqDisplayScope* mainScope = nullptr;
    std::vector<std::string> errors;
    std::vector<std::string> infos;
    std::vector<std::string> errorBoxes;
    int redraws = 0;
    int menuRebuilds = 0;
    int titleUpdates = 0;
    int busyDepth = 0;
    int busyCalls = 0;
    std::string clipboard;
    int64_t now = 1700000000;
    std::map<std::string, ScopeAircraft> aircraft;
    std::map<std::string, ScopeFlightPlan> plans;
    std::string selected;
    std::string commandLine;
    std::vector<std::string> history;
    std::vector<std::pair<uint64_t, int>> noteMenus;
    TarqDisplayScope* capture = nullptr;
    int visibilityUpdates = 0;
    int profileModified = 0;
    uint32_t debugFlags = 0;
    // Never the working directory: the parse report must not land in the tree.
    std::string startDirectory = std::filesystem::temp_directory_path().string();
    // Alias expansion: "LOOP" in a text fails; "$cs" becomes the context callsign.
    int expansions = 0;

    int GetColor(const std::string& key) override {
        auto it = colors.find(key);
        return it == colors.end() ? 0xFFFFFF : it->second;
    }
    std::string colorProfile = "Default";
    std::string GetColorProfileName() const override { return colorProfile; }
    PixelPoint readoutPlace{10, 10};
    PixelPoint GetMouseReadoutPlace(int, int) override { return readoutPlace; }
    int overlayBelowTop = 0;  // rows the display's furniture keeps at the top
    int GetOverlayTop(int height) override { return height - 1 - overlayBelowTop; }
    int diagramsClosed = 0;
    void CloseDiagramsDialog() override { ++diagramsClosed; }
    int GetInt(const std::string& key) override { return ints[key]; }
    bool GetBool(const std::string& key) override { return bools[key]; }
    bool IsVFRCode(uint16_t code) override { return vfrCodes.count(code) != 0; }
    bool IsMainDisplay() const override { return isMain; }
    // No display window around the scope.
    TarqDisplay* GetDisplay() override { return nullptr; }
    TarqDisplayScope* GetMainScope() override { return mainScope; }
    void ShowError(const std::string& text) override { errors.push_back(text); }
    void ShowInfo(const std::string& text) override { infos.push_back(text); }
    void ShowErrorBox(const std::string& text, const std::string&) override { errorBoxes.push_back(text); }
    std::function<void()> onRedraw;
    void Redraw(bool) override {
        ++redraws;
        if (onRedraw) onRedraw();
    }
    void RebuildMenus() override { ++menuRebuilds; }
    void UpdateTitle() override { ++titleUpdates; }
    void SetBusyCursor(bool busy) override {
        busyDepth += busy ? 1 : -1;
        ++busyCalls;
    }
    void HideCursor() override {}
    bool SetClipboardText(const std::string& text) override {
        clipboard = text;
        return true;
    }
    int64_t NowSeconds() override { return now; }
    bool FindAircraft(const std::string& callsign, ScopeAircraft& out) override {
        auto it = aircraft.find(callsign);
        if (it == aircraft.end()) return false;
        out = it->second;
        return true;
    }
    ScopeFlightPlan GetFlightPlan(const std::string& callsign) override { return plans[callsign]; }
    std::string GetSelectedCallsign() override { return selected; }
    std::string GetCommandLine() override { return commandLine; }
    void SetCommandLine(const std::string& text) override { commandLine = text; }
    void AddToCommandHistory(const std::string& text) override { history.push_back(text); }
    bool ExpandAliases(const std::string& text, std::string& out, const std::string& context) override {
        ++expansions;
        if (text.find("LOOP") != std::string::npos) return false;
        out = text;
        for (size_t at; (at = out.find("$cs")) != std::string::npos;) out.replace(at, 3, context);
        return true;
    }
    // Seven pixels a character, as the terminal fonts.
    int MeasureText(const std::string& text, int) override { return static_cast<int>(text.size()) * 7; }
    void RequestNoteMenu(uint64_t key, int x, int) override { noteMenus.push_back({key, x}); }
    TarqDisplayScope* GetCaptureScope() override { return capture; }
    void SetCaptureScope(TarqDisplayScope* scope) override { capture = scope; }
    void ForceVisibilityUpdate() override { ++visibilityUpdates; }
    uint32_t GetDebugFlags() override { return debugFlags; }
    void MarkProfileModified() override { ++profileModified; }
    std::string GetStartDirectory() override { return startDirectory; }
    OceanicTrackMap oceanicTracks;
    int oceanicDownloads = 0;
    void GetOceanicTracks(OceanicTrackMap& out) override { out = oceanicTracks; }
    void StartOceanicTracksDownload() override { ++oceanicDownloads; }
};
