// TarqAircraftDB: everything the client knows per pilot callsign: the
// aircraft, their flight plans and the controllers' state attached to each
// (tracking, handoffs, pointouts, squawks, scratchpads, altitudes, conflict
// alert, request list, simulator feed, model information), the aircraft type
// table and the session statistics.
// Tested by tests/atc/aircraft_db_*_test.cpp.
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
#include "atc/atc_services.h"
#include "atc/flight_plan_record.h"
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
    void SetStartDirectory(const std::string& directory) { m_startDirectory = directory; }

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
    void AcceptHandoff(const std::string& callsign);
    void InitiateHandoff(const std::string& callsign, const std::string& positionId);
    void HandoffToPositionId(const std::string& positionId);
    void DropTrack(const std::string& callsign, const std::string& byController);
    bool CheckControl(const std::string& callsign);
    void SetTrackingController(const std::string& callsign, const std::string& controller);
    void OnHandoffRequest(const std::string& callsign, const std::string& fromController);
    void OnHandoffAccepted(const std::string& callsign, const std::string& byController);
    void OnHandoffRefused(const std::string& callsign, const std::string& fromController);
    void OnWhoHas(const std::string& callsign, const std::string& requester);
    void OnPointoutReceived(const std::string& callsign, const std::string& fromController);
    void ReleaseController(const std::string& controller);
    std::string GetTrackingController(const std::string& callsign) const;
    std::string GetHandoffTarget(const std::string& callsign) const;
    std::string GetIncomingHandoff(const std::string& callsign) const;
    bool HasIncomingHandoff(const std::string& callsign) const;
    bool AnyIncomingHandoff() const;
    bool IsPointedOut(const std::string& callsign) const;
    void ClearPointedOut(const std::string& callsign);
    void ClearPointouts();
    void RefreshTracksOf(const std::string& controller);

    // --- annotations -------------------------------------------------------
    std::string GetScratchpad(const std::string& callsign) const;
    int GetVoiceType(const std::string& callsign) const;
    uint16_t GetReportedSquawk(const std::string& callsign) const;
    int GetTemporaryAltitude(const std::string& callsign) const;
    uint16_t GetAssignedSquawk(const std::string& callsign) const;
    bool HasAutoAssignedSquawk(const std::string& callsign, uint16_t code) const;
    bool IsInConflict(const std::string& callsign) const;
    std::string GetConflictPartner(const std::string& callsign) const;
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
    void CheckConflicts(const std::string& callsign);

    // --- squawk assignment ---------------------------------------------------
    uint16_t AssignSquawk(uint16_t low, uint16_t high);
    uint16_t PickRandomSquawk(uint16_t low, uint16_t high);
    uint16_t GetLastAssignedSquawk() const { return m_lastAssignedSquawk; }

    // --- simulator model information ----------------------------------------
    void SetModelInfo(const std::string& callsign,
                      const std::vector<std::pair<std::string, std::string>>& items);
    void RequestMissingModelInfo();
    void ShowModelInfo(const std::string& callsign);
    bool GetModelInfo(const std::string& callsign, ModelInfoRecord& info) const;
    uint32_t GetSimulatorId(const std::string& callsign) const;

    // --- aircraft type database ---------------------------------------------
    // Called on the version-check thread: compares the local file's version
    // with the server's and loads it or starts the download thread. Both
    // threads show their lines through the message sink, which must hand them
    // to the main thread. The downloader (an HTTP GET of the type file into
    // localPath, false when it cannot start) is injected because the HTTP
    // client lives above this library; without one a download fails with its message.
    using TypeDownloader = bool (*)(const std::string& localPath, void* user);
    void SetTypeDownloader(TypeDownloader downloader, void* user) {
        m_downloader = downloader;
        m_downloaderUser = user;
    }
    void LoadAircraftInfo(const std::string& serverVersion);
    bool ParseAircraftTypeFile(const std::string& path, int& typeCount);
    // Runs the download and the load of the fresh file; the download thread's body.
    void DownloadAircraftInfo();
    // Waits until a running download has ended (shut-down and tests).
    void WaitForDownload();
    bool GetAircraftType(const std::string& code, AircraftTypeRecord& record) const;
    std::string AircraftInfoPath() const;

    // --- statistics ------------------------------------------------------------
    void ShowStatistics();
    void ResetStatistics();
    void ShowAircraftInfo(const std::string& callsign, bool withCallsign);
    int GetHandoffsInitiated() const { return m_handoffsInitiated; }
    int GetHandoffsAccepted() const { return m_handoffsAccepted; }
    int GetHandoffsRefused() const { return m_handoffsRefused; }
    int GetScratchpadsAssigned() const { return m_scratchpadsAssigned; }
    int GetSquawksAssigned() const { return m_squawksAssigned; }
    int GetTemporaryAltitudesAssigned() const { return m_temporaryAltitudesAssigned; }
    int GetCruiseAltitudesAssigned() const { return m_cruiseAltitudesAssigned; }
    int GetConflictsDetected() const { return m_conflictsDetected; }
    size_t GetSeenCount() const { return m_seenCallsigns.size(); }
    size_t GetTrackedCount() const { return m_trackedCallsigns.size(); }
    size_t GetAmendedCount() const { return m_amendedCallsigns.size(); }

private:
    std::string OwnCallsign() const;
    bool IsTrackedByMe(const std::string& callsign) const;
    std::string ResolvePositionId(const std::string& positionId) const;
    std::time_t Now() const;
    std::vector<bool> TakenSquawks() const;
    void RefreshEditor(const std::string& callsign);

    AtcServices m_services;
    TarqControllerDB* m_controllers = nullptr;
    std::string m_startDirectory = ".";
    Random15 m_random;

    // Guards m_aircraftTypes against the version-check and download threads.
    mutable std::mutex m_typesLock;
    std::map<std::string, std::unique_ptr<TarqAircraft>> m_aircraft;
    std::map<std::string, uint16_t> m_aircraftNumbers;
    std::map<uint16_t, std::string> m_callsignsByNumber;
    std::map<std::string, TarqFlightPlanRecord> m_flightPlans;
    std::map<std::string, std::string> m_trackingControllers;
    std::map<std::string, std::string> m_handoffTargets;  // position identifiers
    std::map<std::string, std::string> m_incomingHandoffs;
    std::map<std::string, uint16_t> m_reportedSquawks;
    std::map<std::string, uint16_t> m_assignedSquawks;
    std::map<std::string, uint16_t> m_autoAssignedSquawks;
    std::map<std::string, int> m_voiceTypes;
    std::map<std::string, int> m_temporaryAltitudes;
    std::map<std::string, std::string> m_scratchpads;
    std::map<std::string, bool> m_inConflict;
    std::map<std::string, std::string> m_conflictPartners;
    std::time_t m_lastPurgeTime = 0;
    bool m_soundPlaying = false;
    std::map<std::string, std::time_t> m_requestList;
    std::time_t m_lastReminderTime = 0;
    uint16_t m_lastAssignedSquawk = 0;
    std::map<std::string, double> m_distanceToDestination;
    std::map<std::string, double> m_distanceFromDeparture;
    std::map<std::string, std::string> m_autoStripRoutes;
    std::map<std::string, uint32_t> m_simulatorIds;
    std::map<std::string, ModelInfoRecord> m_modelInfo;
    std::map<std::string, AircraftTypeRecord> m_aircraftTypes;
    std::map<std::string, double> m_bearingToCentre;
    std::map<std::string, double> m_distanceFromCentre;
    std::map<std::string, bool> m_heavyFlags;
    std::map<std::string, std::string> m_weightClasses;
    std::map<std::string, bool> m_pointedOut;
    std::map<std::string, bool> m_belowRadarFloor;
    std::set<std::string> m_seenCallsigns;
    std::set<std::string> m_trackedCallsigns;
    std::set<std::string> m_amendedCallsigns;
    int m_handoffsInitiated = 0;
    int m_handoffsAccepted = 0;
    int m_handoffsRefused = 0;
    int m_scratchpadsAssigned = 0;
    int m_squawksAssigned = 0;
    int m_temporaryAltitudesAssigned = 0;
    int m_cruiseAltitudesAssigned = 0;
    int m_conflictsDetected = 0;

    TypeDownloader m_downloader = nullptr;
    void* m_downloaderUser = nullptr;
    std::mutex m_downloadLock;  // guards m_downloadThread
    std::thread m_downloadThread;
};
