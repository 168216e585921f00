// TarqControllerDB: every other controller the network reports, their
// position identifiers (from the position file or generated from the
// callsign's facility suffix), the position file's records, help requests,
// and the user-facing land-line operations.
// Tested by tests/atc/controller_db_test.cpp and land_line_test.cpp.
#pragma once

#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "atc/atc_services.h"
#include "atc/controller.h"
#include "atc/position_file.h"

class TarqAircraftDB;

class TarqControllerDB {
public:
    explicit TarqControllerDB(const AtcServices& services);
    virtual ~TarqControllerDB();
    TarqControllerDB(const TarqControllerDB&) = delete;
    TarqControllerDB& operator=(const TarqControllerDB&) = delete;

    // Told when a controller leaves, so its tracks and offers are dropped.
    void SetAircraftDB(TarqAircraftDB* aircraft) { m_aircraftDB = aircraft; }

    // --- reports and lifetime ------------------------------------------------
    void UpdateFromPositionReport(const std::string& callsign, const ControllerReport& report);
    void RemoveController(const std::string& callsign, bool refresh);
    void Clear();
    void OnTimer();

    // --- lookups ----------------------------------------------------------------
    TarqController* GetController(const std::string& callsign) const;
    std::string GetCallsignForPositionId(const std::string& positionId) const;
    // The scope symbol of a controller; "??" when it is not known.
    std::string GetSymbol(const std::string& callsign) const;
    std::vector<std::string> GetControllerCallsigns(bool withoutGround) const;
    // Every controller, ATIS stations and observers too, in callsign order.
    std::vector<std::string> GetAllCallsigns() const;
    size_t GetControllerCount() const { return m_controllers.size(); }

    // --- position file and identifiers ----------------------------------------------
    // Reads the file named by "POFFile"; false (records kept) when it cannot be read.
    bool LoadPOFFile();
    void SetPositionRecords(std::vector<PofRecord> records);
    const std::vector<PofRecord>& GetPositionRecords() const { return m_records; }
    std::string FindSymbol(const std::string& callsign, int frequency) const;
    std::string FindRadioCallsign(const std::string& callsign, int frequency) const;
    void GetSquawkRange(const std::string& callsign, int frequency, uint16_t& low, uint16_t& high) const;
    bool IsInPositionFile(const std::string& callsign, int frequency) const;
    std::string GeneratePositionId(const std::string& callsign, int frequency, bool positionFileOnly) const;
    void RefreshPositionIds();
    void RefreshSymbols();
    void AssignPofRecord(TarqController& controller);

    // --- flags ----------------------------------------------------------------------
    void SetBreakRequest(const std::string& callsign, bool on);
    void SetHelpFlag(const std::string& callsign, bool on);
    bool GetHelpFlag(const std::string& callsign) const;
    void SetHelpMessage(const std::string& callsign, const std::string& text);
    std::string GetHelpMessage(const std::string& callsign) const;

    // --- land lines -------------------------------------------------------------------
    void OpenIntercom(const std::string& callsign);
    void OpenOverride(const std::string& callsign);
    void StartMonitor(const std::string& callsign);
    void AcceptLandLine();
    void ToggleIntercomHold();
    void StopLandLine();
    void SetIncomingCaller(const std::string& callsign) { m_incomingCaller = callsign; }
    void SetIntercomPartner(const std::string& callsign) { m_intercomPartner = callsign; }
    void SetMonitoredController(const std::string& callsign) { m_monitoredController = callsign; }
    std::string GetIncomingCaller() const { return m_incomingCaller; }
    std::string GetIntercomPartner() const { return m_intercomPartner; }
    std::string GetMonitoredController() const { return m_monitoredController; }

private:
    const PofRecord* FindMatchingRecord(const std::string& callsign, int frequency) const;
    bool IsIdHeldByOther(const std::string& id, const std::string& upperCallsign) const;
    void SetIdentifier(TarqController& controller, const std::string& upperCallsign, const std::string& id);
    void PlaceCall(LandLineKind kind, const std::string& callsign);

    AtcServices m_services;
    TarqAircraftDB* m_aircraftDB = nullptr;
    std::vector<PofRecord> m_records;
    std::map<std::string, std::unique_ptr<TarqController>> m_controllers;  // upper-case callsign
    std::map<std::string, std::string> m_identifiers;                      // position id -> callsign
    std::map<std::string, bool> m_reservedIds;                             // every id of the position file
    std::string m_alphabet;
    std::time_t m_lastPurgeTime = 0;
    std::string m_incomingCaller;
    std::string m_intercomPartner;
    std::string m_monitoredController;
    std::map<std::string, bool> m_helpFlags;
    std::map<std::string, std::string> m_helpMessages;
};
