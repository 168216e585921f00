// TargetState: the per-callsign display state of one scope's targets and the
// decisions made on it, without GL. Every frame it walks the aircraft
// database, fills one TargetSnapshot per drawable aircraft (colours, derived
// fields, full data block, altitude filter, anchor) and hands it to a draw
// callback; it turns clicks into actions on aircraft and drags into tag
// positions and leader lengths. TarqTargetManager wraps it with the builder
// and GL. Tested by tests/scope/target_state_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "scope/target_record.h"

class TarqAircraftDB;
class TarqControllerDB;
class TarqDisplayScope;

inline constexpr int kRadarModeSimple = 1;
inline constexpr int kRadarModeTower = 2;
inline constexpr int kRadarModeGround = 7;
inline constexpr int kRadarModeSTARS = 11;

// What the targets read and do outside the scope: the databases, the string
// settings, the display manager and the windows that clicks open.
class TargetEnvironment {
public:
    virtual ~TargetEnvironment() = default;
    virtual TarqAircraftDB* GetAircraftDB() = 0;
    virtual TarqControllerDB* GetControllerDB() = 0;
    virtual std::string GetString(const std::string& key) = 0;
    virtual std::vector<std::string> GetList(const std::string& key) = 0;
    virtual int GetPrimaryFrequency() = 0;
    virtual bool IsSeeAll() = 0;
    virtual bool IsSuppressed(const std::string& callsign) = 0;
    virtual bool IsShiftDown() = 0;
    virtual void SetSelectedCallsign(const std::string& callsign) = 0;
    virtual void ActOnSecondAircraft(const std::string& callsign) = 0;
    // The aircraft menu at a window pixel (y down).
    virtual void OpenAircraftMenu(const std::string& callsign, int x, int y) = 0;
    virtual void ShowFlightPlanDetails(const std::string& callsign) = 0;
};

// The tag position the bearing from target to mouse gives (screen up is 0).
int TagPositionForBearing(double bearing);
// The leader length range a drag allows in a radar mode.
int MinLeaderLength(int radarMode);
int MaxLeaderLength(int radarMode);

class TargetState {
public:
    using BuildFn = std::function<TagRect(TargetSnapshot&)>;

    TargetState(TarqDisplayScope& scope, TargetEnvironment& environment);

    // One frame: blinkPhase 1 to 8; build draws a record and returns its rectangle.
    void RunFrame(int radarMode, uint16_t blinkPhase, const BuildFn& build);

    int GetTagPosition(const std::string& callsign);
    int16_t GetLeaderLength(const std::string& callsign, int radarMode);
    void Declutter();
    void ToggleFullDataBlock(const std::string& callsign);
    void ForceFullDataBlock(const std::string& callsign);

    // Window pixels, y down; whether the click was taken.
    bool OnLeftClick(int x, int y, int radarMode);
    void CancelDrag() { m_dragged.clear(); }
    bool OpenMenuAt(int x, int y, int radarMode);
    bool OnMiddleClick(int x, int y, int radarMode);
    const std::string& GetDraggedCallsign() const { return m_dragged; }

    // The rectangle drawn last for the callsign; empty when none.
    TagRect GetTagRect(const std::string& callsign) const;
    bool HasEntries(const std::string& callsign) const;
    bool GetFullDataBlockEntry(const std::string& callsign) const;

private:
    struct Entry {
        uint8_t fullDataBlock = 0;
        bool hasFullDataBlock = false;
        int tagPosition = 0;
        bool hasTagPosition = false;
        int16_t leaderLength = 0;
        bool hasLeaderLength = false;
        TagRect rect;
        uint8_t airborne = 0;
        bool hasAirborne = false;
        uint8_t departureAcquired = 0;
        bool hasDepartureAcquired = false;
        uint16_t lastCode = 0;
        uint8_t blockToggle = 0;
        bool hasBlockToggle = false;
    };

    bool RealisticTags(int radarMode);
    bool Strict(int radarMode);
    bool Selectable(const std::string& callsign, bool strict) const;
    bool HiddenBySuppression(const std::string& callsign);
    void UpdateDrag(int radarMode);
    // The callsign of the first target or data block under a point (y up).
    std::string HitTarget(int x, int yUp, const std::function<bool(const std::string&)>& accept);
    std::string HitDataBlock(int x, int yUp, const std::function<bool(const std::string&)>& accept) const;
    void FillAircraft(const std::string& callsign, int radarMode, bool realistic,
                      const std::map<uint16_t, const std::string*>& codes, TargetSnapshot& t,
                      bool& pointedOut);
    void FillOwner(const std::string& callsign, TargetSnapshot& t);
    uint32_t DataBlockColor(const TargetSnapshot& t, int radarMode, bool realistic, bool correct);
    void Prune();

    TarqDisplayScope& m_scope;
    TargetEnvironment& m_env;
    std::map<std::string, Entry> m_entries;
    std::string m_dragged;
    int16_t m_grabOffset = 0;
};
