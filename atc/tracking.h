// Tracking, handoffs and pointouts: who tracks each aircraft, the handoffs
// offered to and by the user, the pointouts received, and the counts the
// session statistics show. Tested by tests/atc/tracking_test.cpp.
#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>

#include "atc/atc_services.h"

class TarqTracking {
public:
    // hasAircraft: whether the database knows the callsign; resolvePositionId:
    // the callsign of the controller at a position identifier, empty for none.
    TarqTracking(const AtcServices& services, std::function<bool(const std::string&)> hasAircraft,
                 std::function<std::string(const std::string&)> resolvePositionId);

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
    bool IsTrackedByMe(const std::string& callsign) const;

    // A new aircraft starts untracked, without an outgoing offer.
    void StartAircraft(const std::string& callsign);
    // The aircraft is gone: its track, offers and pointout go too.
    void RemoveAircraft(const std::string& callsign);

    int GetHandoffsInitiated() const { return m_handoffsInitiated; }
    int GetHandoffsAccepted() const { return m_handoffsAccepted; }
    int GetHandoffsRefused() const { return m_handoffsRefused; }
    size_t GetTrackedCount() const { return m_trackedCallsigns.size(); }
    void ResetStatistics();

private:
    std::string OwnCallsign() const;

    AtcServices m_services;
    std::function<bool(const std::string&)> m_hasAircraft;
    std::function<std::string(const std::string&)> m_resolvePositionId;
    std::map<std::string, std::string> m_trackingControllers;
    std::map<std::string, std::string> m_handoffTargets;  // position identifiers
    std::map<std::string, std::string> m_incomingHandoffs;
    std::map<std::string, bool> m_pointedOut;
    std::set<std::string> m_trackedCallsigns;
    int m_handoffsInitiated = 0;
    int m_handoffsAccepted = 0;
    int m_handoffsRefused = 0;
};
