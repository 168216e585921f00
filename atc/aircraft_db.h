// TarqAircraftDB: everything the client knows per pilot callsign: the
// aircraft, their flight plans and the controllers' state attached to each
// (squawks, scratchpads, altitudes, request list, simulator feed, model
// information) and the session statistics. The conflict alert, squawk
// assignment, the aircraft type table and tracking with handoffs are classes
// of their own that it owns; their operations stay here as forwards.
// Tested by tests/atc/aircraft_db_test.cpp and aircraft_db_items_test.cpp.
#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "atc/aircraft.h"
#include "atc/aircraft_type_table.h"
#include "atc/atc_services.h"
#include "atc/conflict_alert.h"
#include "atc/flight_plan_record.h"
#include "atc/squawk_assigner.h"
#include "atc/tracking.h"
#include "foundation/random15.h"

class TarqControllerDB;

// The voice capability the remarks' marker gives: 3 "/v/", 2 "/r/", 1 "/t/"
// (any letter case, first in that order wins), 0 without a marker.
int VoiceTypeFromRemarks(const std::string& remarks);

class TarqAircraftDB {
public:
    // Automatic squawk request for SetAssignedSquawk.
    static constexpr uint16_t kAutoSquawk = 0xFFFF;

    explicit TarqAircraftDB(const AtcServices& services);
    virtual ~TarqAircraftDB();
    TarqAircraftDB(const TarqAircraftDB&) = delete;
    TarqAircraftDB& operator=(const TarqAircraftDB&) = delete;

    // The controller database turns position identifiers into callsigns and
    // gives the own position's squawk range; null means no controllers known.
    void SetControllerDB(TarqControllerDB* controllers) { m_controllers = controllers; }
    // Where "aircraft_info.dat" lives (the start directory).
    void SetStartDirectory(const std::string& directory) { m_types.SetStartDirectory(directory); }

    // --- lifetime of aircraft --------------------------------------------
    void UpdatePilotPosition(const std::string& callsign, const AircraftReport& report);
    uint16_t DrawAircraftNumber();
    void RemoveAircraft(const std::string& callsign, bool protectOwnTrack);
    void Clear();
    void PurgeStaleAircraft();
    std::vector<std::string> FindCallsignsContaining(const std::string& text) const;
    void OnTimer();
    void RequestListReminder();
    void OnFrameTick();

    // --- lookups -----------------------------------------------------------
    TarqAircraft* GetAircraft(const std::string& callsign) const;
    bool HasAircraft(const std::string& callsign) const { return GetAircraft(callsign) != nullptr; }
    uint16_t GetAircraftNumber(const std::string& callsign) const;
    std::string GetCallsignForAircraftNumber(const std::string& text) const;
    std::vector<std::string> GetCallsigns() const;

    // --- tracking, handoffs, pointouts ------------------------------------
    void AcceptHandoff(const std::string& callsign) { m_tracking.AcceptHandoff(callsign); }
    void InitiateHandoff(const std::string& callsign, const std::string& positionId) {
        m_tracking.InitiateHandoff(callsign, positionId);
    }
    void HandoffToPositionId(const std::string& positionId) { m_tracking.HandoffToPositionId(positionId); }
    void DropTrack(const std::string& callsign, const std::string& byController) {
        m_tracking.DropTrack(callsign, byController);
    }
    bool CheckControl(const std::string& callsign) { return m_tracking.CheckControl(callsign); }
    void SetTrackingController(const std::string& callsign, const std::string& controller) {
        m_tracking.SetTrackingController(callsign, controller);
    }
    void OnHandoffRequest(const std::string& callsign, const std::string& fromController) {
        m_tracking.OnHandoffRequest(callsign, fromController);
    }
    void OnHandoffAccepted(const std::string& callsign, const std::string& byController) {
        m_tracking.OnHandoffAccepted(callsign, byController);
    }
    void OnHandoffRefused(const std::string& callsign, const std::string& fromController) {
        m_tracking.OnHandoffRefused(callsign, fromController);
    }
    void OnWhoHas(const std::string& callsign, const std::string& requester) {
        m_tracking.OnWhoHas(callsign, requester);
    }
    void OnPointoutReceived(const std::string& callsign, const std::string& fromController) {
        m_tracking.OnPointoutReceived(callsign, fromController);
    }
    void ReleaseController(const std::string& controller) { m_tracking.ReleaseController(controller); }
    std::string GetTrackingController(const std::string& callsign) const {
        return m_tracking.GetTrackingController(callsign);
    }
    std::string GetHandoffTarget(const std::string& callsign) const {
        return m_tracking.GetHandoffTarget(callsign);
    }
    std::string GetIncomingHandoff(const std::string& callsign) const {
        return m_tracking.GetIncomingHandoff(callsign);
    }
    bool HasIncomingHandoff(const std::string& callsign) const {
        return m_tracking.HasIncomingHandoff(callsign);
    }
    bool AnyIncomingHandoff() const { return m_tracking.AnyIncomingHandoff(); }
    bool IsPointedOut(const std::string& callsign) const { return m_tracking.IsPointedOut(callsign); }
    void ClearPointedOut(const std::string& callsign) { m_tracking.ClearPointedOut(callsign); }
    void ClearPointouts() { m_tracking.ClearPointouts(); }
    void RefreshTracksOf(const std::string& controller) { m_tracking.RefreshTracksOf(controller); }

    // --- annotations -------------------------------------------------------
    std::string GetScratchpad(const std::string& callsign) const;
    int GetVoiceType(const std::string& callsign) const;
    uint16_t GetReportedSquawk(const std::string& callsign) const;
    int GetTemporaryAltitude(const std::string& callsign) const;
    uint16_t GetAssignedSquawk(const std::string& callsign) const;
    bool HasAutoAssignedSquawk(const std::string& callsign, uint16_t code) const;
    bool IsInConflict(const std::string& callsign) const { return m_conflicts.IsInConflict(callsign); }
    std::string GetConflictPartner(const std::string& callsign) const {
        return m_conflicts.GetConflictPartner(callsign);
    }
    std::time_t GetRequestTime(const std::string& callsign) const;
    double GetDistanceToDestination(const std::string& callsign) const;
    double GetDistanceFromDeparture(const std::string& callsign) const;
    double GetBearingToCentre(const std::string& callsign) const;
    double GetDistanceFromCentre(const std::string& callsign) const;
    bool IsHeavy(const std::string& callsign) const;
    std::string GetWeightClass(const std::string& callsign) const;
    bool IsBelowRadarFloor(const std::string& callsign) const;
    void SetAssignedSquawk(const std::string& callsign, const std::string& byController, uint16_t code);
    void ToggleRequestList(const std::string& callsign);
    bool HasRequestListEntries() const { return !m_requestList.empty(); }
    bool CompareRequestTime(const std::string& a, const std::string& b) const;
    void UpdateAirportDistances(const std::string& callsign);
    bool IsSoundPlaying() const { return m_soundPlaying; }
    bool StopSound();

    // --- controller-to-controller items and amendments --------------------
    void SetScratchpad(const std::string& callsign, const std::string& controller, const std::string& text,
                       bool refresh);
    void SetTemporaryAltitude(const std::string& callsign, const std::string& controller, int altitude);
    void SetCruiseAltitude(const std::string& callsign, int altitude);
    void SetVoiceType(const std::string& callsign, const std::string& controller, int voiceType);
    void AmendFlightPlan(const std::string& callsign, const std::string& route);
    void AmendRemarks(const std::string& callsign, const std::string& remarks);
    void AmendFlightPlan3(const std::string& callsign, TarqFlightPlanRecord plan);

    // --- flight plans --------------------------------------------------------
    void OnFlightPlanReceived(const std::string& callsign, TarqFlightPlanRecord plan);
    // A copy of the stored plan; an empty record when there is none.
    TarqFlightPlanRecord GetFlightPlan(const std::string& callsign) const;
    bool HasFlightPlan(const std::string& callsign) const { return m_flightPlans.count(callsign) != 0; }

    // --- conflict alert ------------------------------------------------------
    void CheckConflicts(const std::string& callsign) {
        if (m_conflicts.Check(callsign)) m_soundPlaying = true;
    }

    // --- squawk assignment ---------------------------------------------------
    uint16_t AssignSquawk(uint16_t low, uint16_t high) { return m_squawks.Assign(low, high, TakenSquawks()); }
    uint16_t PickRandomSquawk(uint16_t low, uint16_t high) {
        return m_squawks.PickRandom(low, high, TakenSquawks());
    }
    uint16_t GetLastAssignedSquawk() const { return m_squawks.GetLastAssigned(); }

    // --- simulator model information ----------------------------------------
    void SetModelInfo(const std::string& callsign,
                      const std::vector<std::pair<std::string, std::string>>& items);
    void RequestMissingModelInfo();
    void ShowModelInfo(const std::string& callsign);
    bool GetModelInfo(const std::string& callsign, ModelInfoRecord& info) const;
    uint32_t GetSimulatorId(const std::string& callsign) const;

    // --- aircraft type database ---------------------------------------------
    using TypeDownloader = TarqAircraftTypeTable::TypeDownloader;
    void SetTypeDownloader(TypeDownloader downloader, void* user) {
        m_types.SetTypeDownloader(downloader, user);
    }
    void LoadAircraftInfo(const std::string& serverVersion) { m_types.LoadAircraftInfo(serverVersion); }
    bool ParseAircraftTypeFile(const std::string& path, int& typeCount) {
        return m_types.ParseAircraftTypeFile(path, typeCount);
    }
    void DownloadAircraftInfo() { m_types.DownloadAircraftInfo(); }
    void WaitForDownload() { m_types.WaitForDownload(); }
    bool GetAircraftType(const std::string& code, AircraftTypeRecord& record) const {
        return m_types.GetAircraftType(code, record);
    }
    std::string AircraftInfoPath() const { return m_types.AircraftInfoPath(); }

    // --- statistics ------------------------------------------------------------
    void ShowStatistics();
    void ResetStatistics();
    void ShowAircraftInfo(const std::string& callsign, bool withCallsign);
    int GetHandoffsInitiated() const { return m_tracking.GetHandoffsInitiated(); }
    int GetHandoffsAccepted() const { return m_tracking.GetHandoffsAccepted(); }
    int GetHandoffsRefused() const { return m_tracking.GetHandoffsRefused(); }
    int GetScratchpadsAssigned() const { return m_scratchpadsAssigned; }
    int GetSquawksAssigned() const { return m_squawksAssigned; }
    int GetTemporaryAltitudesAssigned() const { return m_temporaryAltitudesAssigned; }
    int GetCruiseAltitudesAssigned() const { return m_cruiseAltitudesAssigned; }
    int GetConflictsDetected() const { return m_conflicts.GetConflictsDetected(); }
    size_t GetSeenCount() const { return m_seenCallsigns.size(); }
    size_t GetTrackedCount() const { return m_tracking.GetTrackedCount(); }
    size_t GetAmendedCount() const { return m_amendedCallsigns.size(); }

private:
    std::string OwnCallsign() const;
    bool IsTrackedByMe(const std::string& callsign) const { return m_tracking.IsTrackedByMe(callsign); }
    std::string ResolvePositionId(const std::string& positionId) const;
    std::time_t Now() const;
    std::vector<bool> TakenSquawks() const;
    void RefreshEditor(const std::string& callsign);

    AtcServices m_services;
    TarqControllerDB* m_controllers = nullptr;
    Random15 m_random;
    TarqTracking m_tracking;
    TarqConflictAlert m_conflicts;
    TarqSquawkAssigner m_squawks;
    TarqAircraftTypeTable m_types;

    std::map<std::string, std::unique_ptr<TarqAircraft>> m_aircraft;
    std::map<std::string, uint16_t> m_aircraftNumbers;
    std::map<uint16_t, std::string> m_callsignsByNumber;
    std::map<std::string, TarqFlightPlanRecord> m_flightPlans;
    std::map<std::string, uint16_t> m_reportedSquawks;
    std::map<std::string, uint16_t> m_assignedSquawks;
    std::map<std::string, uint16_t> m_autoAssignedSquawks;
    std::map<std::string, int> m_voiceTypes;
    std::map<std::string, int> m_temporaryAltitudes;
    std::map<std::string, std::string> m_scratchpads;
    std::time_t m_lastPurgeTime = 0;
    bool m_soundPlaying = false;
    std::map<std::string, std::time_t> m_requestList;
    std::time_t m_lastReminderTime = 0;
    std::map<std::string, double> m_distanceToDestination;
    std::map<std::string, double> m_distanceFromDeparture;
    std::map<std::string, std::string> m_autoStripRoutes;
    std::map<std::string, uint32_t> m_simulatorIds;
    std::map<std::string, ModelInfoRecord> m_modelInfo;
    std::map<std::string, double> m_bearingToCentre;
    std::map<std::string, double> m_distanceFromCentre;
    std::map<std::string, bool> m_heavyFlags;
    std::map<std::string, std::string> m_weightClasses;
    std::map<std::string, bool> m_belowRadarFloor;
    std::set<std::string> m_seenCallsigns;
    std::set<std::string> m_amendedCallsigns;
    int m_scratchpadsAssigned = 0;
    int m_squawksAssigned = 0;
    int m_temporaryAltitudesAssigned = 0;
    int m_cruiseAltitudesAssigned = 0;
};
