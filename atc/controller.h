// TarqController: what the client knows of one other controller: its latest
// position report, position identifier, scope symbol, radio callsign, real
// name and information text, and its break request.
// Tested by tests/atc/controller_db_test.cpp.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "atc/scope_point.h"

// The fields of an ATC position report the controller record keeps; the
// network manager fills it from the session's parsed record.
struct ControllerReport {
    int frequency = 199998;  // kHz
    int facility = 0;
    int visRange = 0;
    int rating = 1;
    double latitude = 0;
    double longitude = 0;
    int altitude = 0;
};

class TarqController {
public:
    // The network's frequency of a position without one (199.998 MHz).
    static constexpr int kNoFrequency = 199998;

    explicit TarqController(const std::string& callsign) { Init(callsign); }
    virtual ~TarqController() = default;

    void Init(const std::string& callsign);
    void UpdateFromReport(const ControllerReport& report, std::time_t now);

    std::string GetCallsign() const { return m_callsign; }
    ScopePoint GetOffsetPosition(double dx, double dy) const { return {m_longitude + dx, m_latitude + dy}; }
    int GetFrequency() const { return m_frequency; }
    int GetFacility() const { return m_facility; }
    int GetRating() const { return m_rating; }
    int GetVisRange() const { return m_visRange; }
    std::time_t GetLastReportTime() const { return m_lastReportTime; }
    void SetBreakRequest(bool on) { m_breakRequest = on; }
    bool IsRequestingBreak() const { return m_breakRequest; }
    std::string GetPositionId() const { return m_positionId; }
    void SetPositionId(std::string id) { m_positionId = std::move(id); }
    std::string GetSymbol() const { return m_symbol; }
    void SetSymbol(std::string symbol) { m_symbol = std::move(symbol); }
    std::string GetRealName() const { return m_realName; }
    void SetRealName(std::string name) { m_realName = std::move(name); }
    std::string GetInfoText() const { return m_infoText; }
    void SetInfoText(std::string text) { m_infoText = std::move(text); }
    std::string GetRadioCallsign() const { return m_radioCallsign; }
    void SetRadioCallsign(std::string callsign) { m_radioCallsign = std::move(callsign); }

private:
    std::string m_callsign;
    int m_frequency = kNoFrequency;
    int m_facility = 0;
    int m_visRange = 0;
    int m_rating = 1;
    double m_longitude = 0;
    double m_latitude = 0;
    std::string m_positionId;
    std::string m_symbol;
    std::string m_realName;
    std::string m_infoText;
    std::string m_radioCallsign;
    std::time_t m_lastReportTime = 0;
    bool m_breakRequest = false;
};
