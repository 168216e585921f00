// A button host that has nothing to show and ignores every click: a test
// derives from it and answers only what its kinds read.
#pragma once

#include <string>
#include <string_view>

#include "app/button_kinds.h"

struct QuietButtonHost : TarqButtonHost {
    uint64_t NowMs() const override { return 0; }
    uint64_t GetStartTime() const override { return 0; }
    std::string UtcTime() const override { return "00:00:00"; }
    int MeasureWidth(int, std::string_view) const override { return 0; }
    int MeasureHeight(int, std::string_view) const override { return 0; }
    bool GetBool(const std::string&) const override { return false; }
    int GetInt(const std::string&) const override { return 0; }
    std::string GetString(const std::string&) const override { return {}; }
    int GetDisplayColor(const std::string&) const override { return 0; }
    void PlaySoundSetting(const std::string&) override {}
    void ShowMessage(const std::string&) override {}
    bool IsAltKeyDown() const override { return false; }
    bool IsConflictSoundPlaying() const override { return false; }
    void StopConflictSound() override {}
    bool AnyIncomingHandoff() const override { return false; }
    bool HasRequestListEntries() const override { return false; }
    bool IsRequestingBreak() const override { return false; }
    bool IsRequestingHelp() const override { return false; }
    bool IsRejectingPrivateMessages() const override { return false; }
    bool IsVoiceAtisConnected() const override { return false; }
    bool IsAtisBroadcastActive() const override { return false; }
    int GetPrimaryFrequency() const override { return 0; }
    void ToggleCommsPanel() override {}
    bool IsMuteChecked() const override { return false; }
    bool AnyUnreadChat() const override { return false; }
    bool IsEntryInUse(int) const override { return false; }
    bool IsEntryMuted(int) const override { return false; }
    bool IsEntryHeadset(int) const override { return false; }
    bool IsEntryTransmitChecked(int) const override { return false; }
    bool IsEntryTransmitting(int) const override { return false; }
    bool IsEntryReceiving(int) const override { return false; }
    void ToggleEntry(int) override {}
    void RebuildMainMenus() override {}
    void RebuildAllMenus() override {}
    bool AreFiltersEnabled() const override { return false; }
    void ToggleFilters() override {}
    bool IsQuicklookEnabled() const override { return false; }
    void ToggleQuicklook() override {}
    void GetRulerData(int& heading, double& distance) const override {
        heading = 0;
        distance = 0.0;
    }
    void SetRulerData(int, double) override {}
    int GetViewportWidth() const override { return 0; }
    std::string GetAtisLetter() const override { return {}; }
    bool GetAtisDisplayFlag() const override { return false; }
    void SetAtisDisplayFlag(bool) override {}
    void SendAtisToDisplay() override {}
    void ShowAtisDialog() override {}
    bool IsReportChanged(const std::string&) const override { return false; }
    std::string GetWind(const std::string&) const override { return {}; }
    std::string GetAltimeter(const std::string&) const override { return {}; }
    bool IsQnh(const std::string&) const override { return false; }
    std::string GetMetar(const std::string&) const override { return {}; }
    void RemoveStation(const std::string&) override {}
    void ClearStationMarks() override {}
    void ShowStation(const std::string&) override {}
    void Paint(const TarqDisplayButton&, const ButtonPicture&) override {}
    LandLineView GetLandLines() const override { return {}; }
    void AcceptLandLine() override {}
    void StopLandLine() override {}
};
