// A display window that records what is asked of it, and a factory that
// makes them; shared by the shell's tests.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/display.h"

struct FakeDisplay : TarqDisplay {
    FakeDisplay(const TarqDisplaySettings& s, bool main, std::vector<std::string>* log)
        : settings(s), isMain(main), log(log) {}
    ~FakeDisplay() override {
        if (log) log->push_back("delete " + settings.ColorProfile);
    }
    WindowHandle GetWindow() const override { return const_cast<FakeDisplay*>(this); }
    bool IsMainDisplay() const override { return isMain; }
    void Redraw(bool, int number) override { redraws.push_back(number); }
    void RedrawIfChanged(int number) override { tickRedraws.push_back(number); }
    void UpdateTitle() override { ++titles; }
    void RebuildMenus() override { ++menus; }
    void RebuildButtonBar() override { ++buttonBars; }
    void SetPosition(int x, int y) override {
        settings.LocX = x;
        settings.LocY = y;
    }
    int GetRadarMode() const override { return settings.Mode; }
    std::string GetColorProfileName() const override { return settings.ColorProfile; }
    void SetColorProfile(const std::string& name) override { settings.ColorProfile = name; }
    std::string GetSectorFileName() const override { return settings.SectorFile; }
    TarqDisplaySettings CaptureSettings() const override { return settings; }
    void AddRadioLine(RadioMessageKind kind, const std::string& text) override {
        lines.push_back(std::to_string(static_cast<int>(kind)) + " " + text);
        if (log) log->push_back("line " + text);
    }
    // The shell tests read the lines the message sinks add; the radio
    // history's own wording is proven on the real window.
    TarqDisplayRadioHistory* GetRadioHistory() override { return nullptr; }
    void SetCallsignField(const std::string& callsign) override { callsignField = callsign; }
    void PrefillCommandLine(const std::string& text) override { commandLine = text; }
    void RunCommand(const std::string& line) override { commands.push_back(line); }
    void RunMenuCommand(const std::string& line) override { menuCommands.push_back(line); }
    // No scope: these tests have no GL area.
    TarqDisplayScope* GetScope() const override { return nullptr; }
    void RefreshOceanicDialog() override { ++oceanicRefreshes; }
    void SaveBookmark(int n) override { calls.push_back("save bookmark " + std::to_string(n)); }
    void RecallBookmark(int n) override { calls.push_back("recall bookmark " + std::to_string(n)); }
    void ShowTrafficCall(const std::string& a, const std::string& b) override {
        calls.push_back("traffic " + a + " " + b);
    }
    void ShowRangeBearing(const std::string& first, const std::string& second) override {
        calls.push_back("range bearing " + first + " " + second);
    }
    void SelectControllerFromCommandLine() override { calls.push_back("select controller"); }
    void SetScopeCursor(int cursor) override { scopeCursor = cursor; }
    void ShowAircraftMenu(const std::string& callsign, int x, int y) override {
        aircraftMenus.push_back(callsign + " at " + std::to_string(x) + "," + std::to_string(y));
    }

    TarqDisplaySettings settings;
    bool isMain;
    std::vector<std::string>* log;
    std::vector<int> redraws;
    std::vector<int> tickRedraws;
    std::vector<std::string> lines;
    std::string callsignField = "-";
    std::string commandLine;
    std::vector<std::string> commands;
    std::vector<std::string> menuCommands;
    std::vector<std::string> aircraftMenus;
    std::vector<std::string> calls;
    int titles = 0, menus = 0, buttonBars = 0, oceanicRefreshes = 0;
    int scopeCursor = 0;
};

struct FakeDisplayFactory : TarqDisplayFactory {
    std::unique_ptr<TarqDisplay> CreateDisplay(const TarqDisplaySettings& settings, bool isMain) override {
        auto display = std::make_unique<FakeDisplay>(settings, isMain, log);
        created.push_back(display.get());
        return display;
    }
    std::vector<FakeDisplay*> created;
    std::vector<std::string>* log = nullptr;
};

// The main thread's job queue, with timed jobs on the real clock.
struct JobQueue {
    using Clock = std::chrono::steady_clock;
    std::function<void(std::function<void()>)> Poster() {
        return [this](std::function<void()> job) {
            std::lock_guard<std::mutex> lock(mutex);
            jobs.push_back(std::move(job));
        };
    }
    std::function<void(uint32_t, std::function<void()>)> Scheduler() {
        return [this](uint32_t delayMs, std::function<void()> job) {
            std::lock_guard<std::mutex> lock(mutex);
            timed.emplace(Clock::now() + std::chrono::milliseconds(delayMs), std::move(job));
        };
    }
    // Runs the posted jobs and the timed jobs that are due; a timed job armed
    // meanwhile waits for its time.
    int RunAll() {
        int ran = 0;
        for (;;) {
            std::function<void()> job;
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (!jobs.empty()) {
                    job = std::move(jobs.front());
                    jobs.pop_front();
                } else if (!timed.empty() && timed.begin()->first <= Clock::now()) {
                    job = std::move(timed.begin()->second);
                    timed.erase(timed.begin());
                } else {
                    return ran;
                }
            }
            job();
            ++ran;
        }
    }
    std::mutex mutex;
    std::deque<std::function<void()>> jobs;
    std::multimap<Clock::time_point, std::function<void()>> timed;
};

inline TarqDisplaySettings NamedSettings(const std::string& colorProfile, int mode = 3) {
    TarqDisplaySettings settings;
    settings.ColorProfile = colorProfile;
    settings.Mode = mode;
    settings.LocX = 100;
    settings.LocY = 100;
    settings.Width = 800;
    settings.Height = 600;
    return settings;
}
