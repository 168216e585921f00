// Tested by tests/atc/tracking_test.cpp.
#include "atc/tracking.h"

#include <algorithm>

namespace {

template <typename Map, typename Value>
Value FindOr(const Map& map, const std::string& key, Value fallback) {
    auto it = map.find(key);
    return it == map.end() ? fallback : it->second;
}

}  // namespace

TarqTracking::TarqTracking(const AtcServices& services, std::function<bool(const std::string&)> hasAircraft,
                           std::function<std::string(const std::string&)> resolvePositionId)
    : m_services(services.Checked("TarqTracking")),
      m_hasAircraft(std::move(hasAircraft)),
      m_resolvePositionId(std::move(resolvePositionId)) {}

std::string TarqTracking::OwnCallsign() const { return m_services.settings->GetString("Callsign"); }

bool TarqTracking::IsTrackedByMe(const std::string& callsign) const {
    auto it = m_trackingControllers.find(callsign);
    return it != m_trackingControllers.end() && !it->second.empty() && it->second == OwnCallsign();
}

void TarqTracking::StartAircraft(const std::string& callsign) {
    m_trackingControllers.erase(callsign);
    m_handoffTargets.erase(callsign);
}

void TarqTracking::RemoveAircraft(const std::string& callsign) {
    m_trackingControllers.erase(callsign);
    m_handoffTargets.erase(callsign);
    m_incomingHandoffs.erase(callsign);
    m_pointedOut.erase(callsign);
}

void TarqTracking::ResetStatistics() {
    m_trackedCallsigns.clear();
    m_handoffsInitiated = m_handoffsAccepted = m_handoffsRefused = 0;
}

void TarqTracking::AcceptHandoff(const std::string& callsign) {
    AtcMessageSink& out = *m_services.messages;
    if (!m_services.network->IsValidATC()) {
        out.ShowError("Invalid control.");
        return;
    }
    if (!m_hasAircraft(callsign)) {
        out.ShowError("Aircraft not found.");
        return;
    }
    const std::string own = OwnCallsign();
    const std::string tracking = GetTrackingController(callsign);
    const std::string offering = GetIncomingHandoff(callsign);
    if (!tracking.empty() && tracking != own && offering.empty()) {
        out.ShowError("Not your control.");
        return;
    }
    if (IsTrackedByMe(callsign) && !GetHandoffTarget(callsign).empty()) {
        // Taking back the user's own offer; the track stays.
        const std::string to = m_resolvePositionId(GetHandoffTarget(callsign));
        if (!to.empty()) m_services.network->SendHandoffCancel(to, callsign);
        m_handoffTargets.erase(callsign);
        return;
    }
    m_trackingControllers[callsign] = own;
    const char* stripOption;
    if (!offering.empty()) {
        ++m_handoffsAccepted;
        m_trackedCallsigns.insert(callsign);
        m_services.network->SendHandoffAccept(offering, callsign);
        stripOption = "AddStripOnAccept";
    } else {
        m_trackedCallsigns.insert(callsign);
        m_services.network->InitiateTrack(callsign);
        stripOption = "AddStripOnTrack";
    }
    if (m_services.settings->GetBool(stripOption) && !m_services.tools->HasStrip(callsign)) {
        m_services.tools->AddStripForAircraft(callsign);
        m_services.sounds->PlayConfiguredSound(m_services.settings->GetString("SoundStripReceived"), false);
    }
    m_incomingHandoffs.erase(callsign);
    m_pointedOut[callsign] = false;
}

void TarqTracking::InitiateHandoff(const std::string& callsign, const std::string& positionId) {
    AtcMessageSink& out = *m_services.messages;
    if (!m_hasAircraft(callsign)) {
        out.ShowError("Aircraft not found.");
        return;
    }
    if (!IsTrackedByMe(callsign)) {
        out.ShowError("Not your control.");
        return;
    }
    // An offer to nobody would sit pending forever and block the track.
    const std::string to = m_resolvePositionId(positionId);
    if (to.empty()) {
        out.ShowError("No controller with position ID " + positionId + ".");
        return;
    }
    m_handoffTargets[callsign] = positionId;
    ++m_handoffsInitiated;
    m_services.network->SendHandoffOffer(to, callsign);
    if (m_services.settings->GetBool("PushStripOnHandoff") &&
        m_services.settings->GetBool("PushStripOnInitHandoff")) {
        m_services.tools->PushStrip(callsign, to, 0);
        out.ShowMessage("Flight strip for " + callsign + " pushed to " + to + ".");
    }
}

void TarqTracking::HandoffToPositionId(const std::string& positionId) {
    const std::string to = m_resolvePositionId(positionId);
    if (to.empty()) return;
    const std::string own = OwnCallsign();
    for (const auto& [callsign, controller] : m_trackingControllers) {
        if (controller.empty() || controller != own || !GetHandoffTarget(callsign).empty()) continue;
        m_handoffTargets[callsign] = positionId;
        m_services.network->SendHandoffOffer(to, callsign);
    }
}

void TarqTracking::DropTrack(const std::string& callsign, const std::string& byController) {
    const std::string own = OwnCallsign();
    if (byController == own) {
        if (!m_hasAircraft(callsign)) {
            m_services.messages->ShowError("Aircraft not found.");
            return;
        }
        if (IsTrackedByMe(callsign)) {
            m_services.network->DropTrack(callsign);
            m_services.network->SendTextMessage("FP", callsign + " release");
            m_trackingControllers.erase(callsign);
            m_handoffTargets.erase(callsign);
            if (m_services.settings->GetBool("DeleteStripOnDrop")) m_services.tools->RemoveStrip(callsign);
        } else if (!GetIncomingHandoff(callsign).empty()) {
            ++m_handoffsRefused;
            m_services.network->SendHandoffCancel(GetIncomingHandoff(callsign), callsign);
            m_incomingHandoffs.erase(callsign);
        }
        return;
    }
    // Another controller's drop only ends what that controller held: a stale
    // or stray notice must not untrack someone else's aircraft.
    auto offer = m_incomingHandoffs.find(callsign);
    if (offer != m_incomingHandoffs.end() && offer->second == byController) m_incomingHandoffs.erase(offer);
    auto track = m_trackingControllers.find(callsign);
    if (track != m_trackingControllers.end() && track->second == byController)
        m_trackingControllers.erase(track);
}

bool TarqTracking::CheckControl(const std::string& callsign) {
    AtcMessageSink& out = *m_services.messages;
    if (!m_services.network->IsValidATC()) {
        out.ShowError("Invalid control.");
        return false;
    }
    if (!m_hasAircraft(callsign)) {
        out.ShowError("Aircraft not found.");
        return false;
    }
    const std::string tracking = GetTrackingController(callsign);
    if (!tracking.empty() && tracking != OwnCallsign()) {
        out.ShowError("Not your control.");
        return false;
    }
    return true;
}

void TarqTracking::SetTrackingController(const std::string& callsign, const std::string& controller) {
    m_trackingControllers[callsign] = controller;
}

void TarqTracking::OnHandoffRequest(const std::string& callsign, const std::string& fromController) {
    if (!m_hasAircraft(callsign)) {
        m_services.messages->ShowError(fromController + " attempted to hand you an aircraft (" + callsign +
                                       ") from outside your range.");
        return;
    }
    m_incomingHandoffs[callsign] = fromController;
    m_services.sounds->PlayConfiguredSound(m_services.settings->GetString("SoundHandoffReq"), true);
}

void TarqTracking::OnHandoffAccepted(const std::string& callsign, const std::string& byController) {
    const bool wasMine = IsTrackedByMe(callsign);
    m_trackingControllers[callsign] = byController;
    if (!GetHandoffTarget(callsign).empty()) {
        AtcSettings& settings = *m_services.settings;
        if (settings.GetBool("PushStripOnHandoff") && !settings.GetBool("PushStripOnInitHandoff")) {
            m_services.tools->PushStrip(callsign, byController, 0);
            m_services.messages->ShowMessage("Flight strip for " + callsign + " pushed to " + byController +
                                             ".");
        }
        if (settings.GetBool("DeleteStripOnAccept")) m_services.tools->RemoveStrip(callsign);
    }
    m_handoffTargets.erase(callsign);
    if (wasMine)
        m_services.sounds->PlayConfiguredSound(m_services.settings->GetString("SoundHandoffAcc"), false);
}

void TarqTracking::OnHandoffRefused(const std::string& callsign, const std::string& fromController) {
    if (IsTrackedByMe(callsign)) m_services.messages->ShowError("Handoff of " + callsign + " refused.");
    m_incomingHandoffs.erase(callsign);
    m_handoffTargets.erase(callsign);
}

void TarqTracking::OnWhoHas(const std::string& callsign, const std::string& requester) {
    if (IsTrackedByMe(callsign)) m_services.network->SendTrackData(requester, callsign);
}

void TarqTracking::OnPointoutReceived(const std::string& callsign, const std::string& fromController) {
    m_services.scope->RefreshTargetAllDisplays(callsign);
    m_pointedOut[callsign] = true;
    m_services.messages->ShowMessage("Pointout from " + fromController + " for " + callsign + ".");
    m_services.sounds->PlayConfiguredSound(m_services.settings->GetString("SoundPointout"), true);
}

void TarqTracking::ReleaseController(const std::string& controller) {
    for (auto& entry : m_trackingControllers) {
        if (entry.second == controller) entry.second.clear();
    }
    for (auto& entry : m_incomingHandoffs) {
        if (entry.second == controller) entry.second.clear();
    }
}

std::string TarqTracking::GetTrackingController(const std::string& callsign) const {
    return FindOr(m_trackingControllers, callsign, std::string());
}
std::string TarqTracking::GetHandoffTarget(const std::string& callsign) const {
    return FindOr(m_handoffTargets, callsign, std::string());
}
std::string TarqTracking::GetIncomingHandoff(const std::string& callsign) const {
    return FindOr(m_incomingHandoffs, callsign, std::string());
}
bool TarqTracking::HasIncomingHandoff(const std::string& callsign) const {
    return !GetIncomingHandoff(callsign).empty();
}
bool TarqTracking::AnyIncomingHandoff() const {
    return std::any_of(m_incomingHandoffs.begin(), m_incomingHandoffs.end(),
                       [](const auto& entry) { return !entry.second.empty(); });
}
bool TarqTracking::IsPointedOut(const std::string& callsign) const {
    return FindOr(m_pointedOut, callsign, false);
}
void TarqTracking::ClearPointedOut(const std::string& callsign) {
    auto it = m_pointedOut.find(callsign);
    if (it != m_pointedOut.end()) it->second = false;
}
void TarqTracking::ClearPointouts() { m_pointedOut.clear(); }

void TarqTracking::RefreshTracksOf(const std::string& controller) {
    for (const auto& [callsign, tracking] : m_trackingControllers) {
        if (tracking == controller) m_services.scope->RefreshTargetAllDisplays(callsign);
    }
}
