// The per-callsign display state of targets and the decisions made on it.
// Tested by tests/scope/target_state_test.cpp.
#include "scope/target_state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "atc/aircraft_db.h"
#include "atc/controller_db.h"
#include "foundation/geo_helpers.h"
#include "foundation/text_helpers.h"
#include "scope/display_scope.h"
#include "scope/scope_host.h"

namespace {

constexpr double kDepartureAcquisitionNm = 3.0;
// Reports outside these are garbage; drawing them would only make NaNs.
constexpr int kLowestAltitude = -2000;
constexpr int kHighestAltitude = 200000;

bool IsValidReport(ScopePoint absolute, int altitude) {
    return std::isfinite(absolute.x) && std::isfinite(absolute.y) && std::fabs(absolute.x) <= 180.0 &&
           std::fabs(absolute.y) <= 90.0 && altitude >= kLowestAltitude && altitude <= kHighestAltitude;
}

int LeadingNumber(const std::string& text) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        if (value > 100000000) break;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

int TagPositionForBearing(double b) {
    if (b >= 338.0 || b <= 22.0) return 8;
    if (b <= 67.0) return 9;
    if (b <= 112.0) return 6;
    if (b <= 157.0) return 3;
    if (b <= 202.0) return 2;
    if (b <= 247.0) return 1;
    if (b <= 292.0) return 4;
    return 7;
}

int MinLeaderLength(int radarMode) { return radarMode == kRadarModeSTARS ? 0 : 4; }
int MaxLeaderLength(int radarMode) { return radarMode == kRadarModeSTARS ? 500 : 200; }

TargetState::TargetState(TarqDisplayScope& scope, TargetEnvironment& environment)
    : m_scope(scope), m_env(environment) {}

bool TargetState::RealisticTags(int radarMode) {
    return !m_env.IsSeeAll() && m_scope.Host().GetBool("RealisticTags") && radarMode != kRadarModeSimple &&
           radarMode != kRadarModeGround && radarMode != kRadarModeTower && radarMode != kRadarMode3D;
}

bool TargetState::Strict(int radarMode) { return RealisticTags(radarMode); }

bool TargetState::Selectable(const std::string& callsign, bool strict) const {
    if (!strict) return true;
    TarqAircraftDB* db = m_env.GetAircraftDB();
    const TarqAircraft* aircraft = db ? db->GetAircraft(callsign) : nullptr;
    if (!aircraft) return false;
    uint16_t assigned = db->GetAssignedSquawk(callsign);
    return aircraft->GetTransponderMode() != 'S' && assigned != 0 && aircraft->GetSquawk() == assigned;
}

bool TargetState::HiddenBySuppression(const std::string& callsign) {
    if (!m_env.IsSuppressed(callsign) || m_env.IsSeeAll()) return false;
    TarqAircraftDB* db = m_env.GetAircraftDB();
    return !db || db->GetTrackingController(callsign) != m_env.GetString("Callsign");
}

int TargetState::GetTagPosition(const std::string& callsign) {
    Entry& e = m_entries[callsign];
    if (!e.hasTagPosition) {
        int position = m_scope.Host().GetInt("TagPosition");
        e.tagPosition = position < 1 || position > 9 ? 6 : position;
        e.hasTagPosition = true;
    }
    return e.tagPosition;
}

int16_t TargetState::GetLeaderLength(const std::string& callsign, int radarMode) {
    Entry& e = m_entries[callsign];
    if (!e.hasLeaderLength) {
        // Clamped like a drag: a wild setting must not throw blocks off the scope.
        int length = std::clamp(m_scope.Host().GetInt("LeaderLength"), MinLeaderLength(radarMode),
                                MaxLeaderLength(radarMode));
        e.leaderLength = static_cast<int16_t>(length);
        e.hasLeaderLength = true;
    }
    return e.leaderLength;
}

void TargetState::Declutter() {
    for (auto& [callsign, e] : m_entries) {
        if (e.hasFullDataBlock) e.fullDataBlock = 0;
        e.hasDepartureAcquired = false;
        e.departureAcquired = 0;
    }
    if (TarqAircraftDB* db = m_env.GetAircraftDB()) db->ClearPointouts();
}

void TargetState::ToggleFullDataBlock(const std::string& name) {
    std::string callsign = ToUpper(name);
    TarqAircraftDB* db = m_env.GetAircraftDB();
    if (!db || !db->HasAircraft(callsign)) return;
    Entry& e = m_entries[callsign];
    if (!e.hasFullDataBlock) {
        e.fullDataBlock = 1;
    } else {
        e.fullDataBlock = e.fullDataBlock ? 0 : 1;
    }
    e.hasFullDataBlock = true;
    e.departureAcquired = e.fullDataBlock;
    e.hasDepartureAcquired = true;
    if (e.fullDataBlock == 0) {
        db->ClearPointedOut(callsign);
        e.hasDepartureAcquired = false;
    }
}

void TargetState::ForceFullDataBlock(const std::string& name) {
    std::string callsign = ToUpper(name);
    TarqAircraftDB* db = m_env.GetAircraftDB();
    if (!db || !db->HasAircraft(callsign)) return;
    Entry& e = m_entries[callsign];
    e.fullDataBlock = e.departureAcquired = 1;
    e.hasFullDataBlock = e.hasDepartureAcquired = true;
}

TagRect TargetState::GetTagRect(const std::string& callsign) const {
    auto it = m_entries.find(callsign);
    return it == m_entries.end() ? TagRect::Empty() : it->second.rect;
}

bool TargetState::HasEntries(const std::string& callsign) const { return m_entries.count(callsign) != 0; }

bool TargetState::GetFullDataBlockEntry(const std::string& callsign) const {
    auto it = m_entries.find(callsign);
    return it != m_entries.end() && it->second.fullDataBlock != 0;
}

// --- the frame ---

void TargetState::UpdateDrag(int radarMode) {
    TarqAircraftDB* db = m_env.GetAircraftDB();
    const TarqAircraft* aircraft = db ? db->GetAircraft(m_dragged) : nullptr;
    if (!aircraft) return;
    ScopePoint offset = m_scope.GetSectorOffset();
    ScopePoint at = aircraft->GetPosition(offset.x, offset.y);
    if (!IsValidReport(aircraft->GetPosition(0, 0), aircraft->GetAltitude())) return;
    PixelPoint target = m_scope.ProjectToWindow(at);
    PixelPoint mouse = m_scope.GetMousePixel();
    double dx = mouse.x - target.x;
    double dyUp = target.y - mouse.y;
    double d = std::hypot(dx, dyUp);
    Entry& e = m_entries[m_dragged];
    if (d >= 4.0) {
        double bearing = std::atan2(dx, dyUp) * 180.0 / M_PI;
        if (bearing < 0) bearing += 360.0;
        e.tagPosition = TagPositionForBearing(bearing);
        e.hasTagPosition = true;
    }
    double length = std::clamp(d - m_grabOffset, static_cast<double>(MinLeaderLength(radarMode)),
                               static_cast<double>(MaxLeaderLength(radarMode)));
    e.leaderLength = static_cast<int16_t>(length);
    e.hasLeaderLength = true;
}

void TargetState::FillOwner(const std::string& callsign, TargetSnapshot& t) {
    TarqAircraftDB& db = *m_env.GetAircraftDB();
    TarqControllerDB* controllers = m_env.GetControllerDB();
    t.trackedByMe = t.incomingHandoff = t.coasting = false;
    std::string owner = db.GetTrackingController(callsign);
    const TarqController* controller =
        controllers && !owner.empty() ? controllers->GetController(owner) : nullptr;
    const std::string me = m_env.GetString("Callsign");
    if (controller) {
        t.handoffTargetId.clear();
        t.ownerId = controller->GetPositionId();
        t.ownerSectorText = controller->GetSymbol().empty() ? "??" : controller->GetSymbol();
        t.incomingHandoff = db.HasIncomingHandoff(callsign);
    } else if (!owner.empty() && owner == me) {
        t.trackedByMe = true;
        t.ownerId = "--";
        t.ownerSectorText =
            controllers ? controllers->FindSymbol(me, m_env.GetPrimaryFrequency()) : std::string();
        if (const TarqAircraft* aircraft = db.GetAircraft(callsign)) t.coasting = aircraft->IsCoasted();
        t.handoffTargetId = db.GetHandoffTarget(callsign);
        t.handoffTargetSectorText.clear();
        if (!t.handoffTargetId.empty() && controllers) {
            std::string target = controllers->GetCallsignForPositionId(t.handoffTargetId);
            if (const TarqController* c = target.empty() ? nullptr : controllers->GetController(target))
                t.handoffTargetSectorText = c->GetSymbol();
        }
    } else {
        t.handoffTargetId.clear();
        t.handoffTargetSectorText.clear();
        t.ownerId.clear();
        t.ownerSectorText.clear();
    }
}

uint32_t TargetState::DataBlockColor(const TargetSnapshot& t, int radarMode, bool realistic, bool correct) {
    ScopeHost& host = m_scope.Host();
    auto color = [&](const char* key) { return static_cast<uint32_t>(host.GetColor(key)); };
    const bool danger = host.GetBool("UseDangerColors");
    if ((!t.handoffTargetId.empty() || t.incomingHandoff) && host.GetBool("UseHandoffColor"))
        return color("ColorHandoff");
    if ((t.squawk == 7700 || t.squawk == 7500) && danger) return color("ColorEmergency");
    if (t.inConflict && danger) return color("ColorConflict");
    if (t.coasting && danger) return color("ColorCoasting");
    if (t.isRadioSelected && host.GetBool("UseSelectedColor"))
        return color(realistic && !correct ? "ColorLDB" : "ColorSelected");
    if (t.filtered) return color("ColorFiltered");
    const char* owned = t.trackedByMe ? "ColorTracked" : "ColorUntracked";
    if (t.fullDataBlock) return color(owned);
    if (radarMode == kRadarModeSimple || radarMode == kRadarModeGround || radarMode == kRadarModeTower)
        return color(owned);
    return color("ColorLDB");
}

void TargetState::FillAircraft(const std::string& callsign, int radarMode, bool realistic,
                               const std::map<uint16_t, const std::string*>& codes, TargetSnapshot& t,
                               bool& pointedOut) {
    TarqAircraftDB& db = *m_env.GetAircraftDB();
    const TarqAircraft& a = *db.GetAircraft(callsign);
    const ScopePoint offset = m_scope.GetSectorOffset();
    TarqFlightPlanRecord plan = db.GetFlightPlan(callsign);
    if (plan.flightRules == 0) plan.flightRules = 'I';

    t.callsign = callsign;
    t.squawk = a.GetSquawk();
    auto holder = codes.find(t.squawk);
    t.duplicateCode = holder != codes.end() && !holder->second->empty() && *holder->second != callsign;
    t.assignedCode = db.GetAssignedSquawk(callsign);
    t.transponderMode = a.GetTransponderMode();
    t.history = a.GetHistoryWithOffset(offset.x, offset.y);
    t.position = a.GetPosition(offset.x, offset.y);
    t.altitude = a.GetAltitude();
    t.temporaryAltitude = db.GetTemporaryAltitude(callsign);
    t.previousAltitude = a.GetPreviousAltitude();
    t.groundSpeed = a.GetGroundSpeed();
    t.track = a.GetHeading();
    t.reportedHeading = a.GetHeading2();
    t.pitch = a.GetPitch();
    t.bank = a.GetBank();
    t.smoothedPosition = a.GetSmoothedPosition(offset.x, offset.y);
    t.smoothedAltitude = a.GetSmoothedAltitude();
    t.smoothedHeading = a.GetSmoothedHeading();
    t.smoothedPitch = a.GetSmoothedPitch();
    t.smoothedBank = a.GetSmoothedBank();
    t.cruiseAltitude = LeadingNumber(plan.cruiseAltitude);
    t.typeCode = plan.bareType.substr(0, 4);
    t.equipmentSuffix = GetEquipmentSuffix(plan.aircraftType);
    t.departure = plan.departure;
    t.destination = plan.destination;
    t.scratchpad = db.GetScratchpad(callsign);
    if (t.scratchpad.empty() && radarMode != kRadarModeSTARS) t.scratchpad = plan.destination;
    t.tagPosition = GetTagPosition(callsign);
    t.leaderLength = GetLeaderLength(callsign, radarMode);
    t.aircraftNumber = db.GetAircraftNumber(callsign);
    t.voiceType = db.GetVoiceType(callsign);
    t.vectorLength = m_scope.Host().GetInt("VectorLength");
    Entry& e = m_entries[callsign];
    t.blockToggled = e.hasBlockToggle && e.blockToggle == 1;
    t.isVfr = plan.flightRules == 'V' || plan.flightRules == 'S' || plan.flightRules == 'D';
    t.isRadioSelected = callsign == m_scope.Host().GetSelectedCallsign();
    t.blockAngle = 45.0 + m_scope.GetRotation();
    t.blockFactor = 1.0;
    const bool correct = t.assignedCode != 0 && t.squawk == t.assignedCode;
    t.extraFlag = false;
    t.extraText.clear();
    t.weightClass = db.GetWeightClass(callsign);
    t.isHeavy = db.IsHeavy(callsign) && !(realistic && !correct);
    t.plotBearing = db.GetBearingToCentre(callsign) + m_scope.GetRotation();
    t.plotExtent = db.GetDistanceFromCentre(callsign);
    pointedOut = db.IsPointedOut(callsign);
}

void TargetState::RunFrame(int radarMode, uint16_t blinkPhase, const BuildFn& build) {
    TarqAircraftDB* db = m_env.GetAircraftDB();
    if (!db) return;
    if (!m_dragged.empty()) UpdateDrag(radarMode);
    const std::vector<std::string> departureFields = m_env.GetList("DepartureFields");
    const std::vector<std::string> callsigns = db->GetCallsigns();
    const bool realistic = RealisticTags(radarMode);
    const bool seeAll = m_env.IsSeeAll();
    ScopeHost& host = m_scope.Host();
    const int floor = m_scope.GetAirspaceFloor();
    const int ceiling = m_scope.GetAirspaceCeiling();

    // The first holder of each code in callsign order, in one pass, so the
    // duplicate check stays linear in the traffic.
    std::map<uint16_t, const std::string*> codes;
    for (const std::string& callsign : callsigns) {
        if (const TarqAircraft* a = db->GetAircraft(callsign)) codes.emplace(a->GetSquawk(), &callsign);
    }

    // The same for every target of the frame.
    auto color = [&](const char* key) { return static_cast<uint32_t>(host.GetColor(key)); };
    const uint32_t positionSymbolColor = color("ColorPositionSymbol");
    const uint32_t targetSymbolColor = color("ColorTargetSymbol");
    const uint32_t primaryTargetColor = color("ColorPrimaryTarget");
    const uint32_t historyTrailColor = color("ColorHistoryTrail");
    const uint32_t vectorLineColor = color("ColorVectorLine");

    TargetSnapshot t;
    bool myConflictSeen = false;
    for (const std::string& callsign : callsigns) {
        const TarqAircraft* aircraft = db->GetAircraft(callsign);
        if (!aircraft) continue;
        Entry& e = m_entries[callsign];
        if (!IsValidReport(aircraft->GetPosition(0, 0), aircraft->GetAltitude())) {
            e.rect = TagRect::Empty();
            continue;
        }
        bool pointedOut = false;
        FillAircraft(callsign, radarMode, realistic, codes, t, pointedOut);
        t.blinkPhase = blinkPhase;
        t.fullDataBlock = false;

        if (t.assignedCode != 0 && e.lastCode != t.squawk && t.squawk == t.assignedCode &&
            db->HasAutoAssignedSquawk(callsign, t.squawk) && t.groundSpeed >= 50) {
            e.fullDataBlock = 1;
            e.hasFullDataBlock = true;
            t.fullDataBlock = true;
        }
        e.lastCode = t.squawk;

        t.inConflict = db->IsInConflict(callsign);
        FillOwner(callsign, t);
        if (t.trackedByMe) {
            e.departureAcquired = 0;
            e.hasDepartureAcquired = true;
        }

        if (m_env.IsSuppressed(callsign) && !t.trackedByMe && !seeAll) {
            // Not drawn: its old rectangle must not take clicks.
            e.rect = TagRect::Empty();
            continue;
        }

        const bool correct = t.assignedCode != 0 && t.squawk == t.assignedCode;
        if (realistic && !correct) {
            t.fullDataBlock = false;
        } else {
            if (t.trackedByMe) e.fullDataBlock = 1;
            e.hasFullDataBlock = true;
            t.fullDataBlock = e.fullDataBlock != 0 || t.incomingHandoff;
            if (!e.hasAirborne) {
                e.airborne = t.groundSpeed >= 40 ? 1 : 0;
                e.hasAirborne = true;
            }
            if (!t.fullDataBlock) {
                if (t.groundSpeed >= 50 && e.airborne == 0) {
                    double distance = db->GetDistanceFromDeparture(callsign);
                    bool listed = std::find(departureFields.begin(), departureFields.end(), t.departure) !=
                                  departureFields.end();
                    if (listed && distance >= 0.0 && distance < kDepartureAcquisitionNm) {
                        e.departureAcquired = e.fullDataBlock = 1;
                        e.hasDepartureAcquired = true;
                        t.fullDataBlock = true;
                    }
                    e.airborne = 1;
                } else if (t.groundSpeed < 40 && e.airborne == 1) {
                    e.airborne = 0;
                }
            } else {
                e.airborne = t.groundSpeed >= 40 ? 1 : 0;
            }
            if (m_scope.IsQuicklookEnabled()) t.fullDataBlock = true;
        }

        const bool below = floor != 0 && t.altitude < floor;
        const bool above = ceiling != 0 && t.altitude > ceiling;
        e.hasDepartureAcquired = true;
        const bool handoff = !t.handoffTargetId.empty() || t.incomingHandoff;
        t.filtered = (below || above) && !(t.fullDataBlock && e.departureAcquired == 1) && !t.trackedByMe &&
                     !handoff && !pointedOut && m_scope.AreFiltersEnabled();
        if (t.filtered) {
            if (below) {
                t.hideSymbol = !m_scope.GetShowTargetsBelowFloor();
                t.hideDataBlock = !m_scope.GetShowTagsBelowFloor();
            } else {
                t.hideSymbol = !m_scope.GetShowTargetsAboveCeiling();
                t.hideDataBlock = !m_scope.GetShowTagsAboveCeiling();
            }
            e.fullDataBlock = 0;
            e.departureAcquired = 0;
        } else {
            t.hideSymbol = t.hideDataBlock = false;
        }

        t.positionSymbolColor = positionSymbolColor;
        t.targetSymbolColor = targetSymbolColor;
        t.primaryTargetColor = primaryTargetColor;
        t.historyTrailColor = historyTrailColor;
        t.vectorLineColor = vectorLineColor;
        t.dataBlockColor = DataBlockColor(t, radarMode, realistic, correct);
        if (t.inConflict && t.trackedByMe) myConflictSeen = true;

        t.seeAll = seeAll;
        t.hasAnchor = m_scope.GetAnchor(callsign, t.anchor);
        if (t.hasAnchor) {
            const ScopePoint at = t.position;
            const ScopePoint to = t.anchor.point;
            t.anchor.heading = static_cast<int>(
                NormalizeHeading(BearingBetween(at.x, at.y, to.x, to.y, true) - m_scope.GetRotation()));
            t.anchor.distance = ScaledDistance(at.x, at.y, to.x, to.y, LongitudeScale) * 60.0;
            t.anchor.timeToGo =
                t.groundSpeed > 0
                    ? FormatTimeToGo(static_cast<int>(t.anchor.distance / t.groundSpeed * 3600.0))
                    : std::string("--:--");
        }

        if (radarMode == kRadarMode3D) {
            t.position.x = m_scope.ScaleAroundCamera(t.position.x);
            t.smoothedPosition.x = m_scope.ScaleAroundCamera(t.smoothedPosition.x);
            for (ScopePoint& p : t.history) p.x = m_scope.ScaleAroundCamera(p.x);
        }

        e.rect = build(t);
    }

    if (!myConflictSeen && db->IsSoundPlaying()) db->StopSound();
    Prune();
}

void TargetState::Prune() {
    // Entries of aircraft that left go with them, so a reused callsign starts afresh.
    TarqAircraftDB* db = m_env.GetAircraftDB();
    std::erase_if(m_entries, [&](const auto& entry) { return !db->HasAircraft(entry.first); });
    if (!m_dragged.empty() && !db->HasAircraft(m_dragged)) m_dragged.clear();
}

// --- clicks ---

std::string TargetState::HitTarget(int x, int yUp, const std::function<bool(const std::string&)>& accept) {
    TarqAircraftDB* db = m_env.GetAircraftDB();
    if (!db) return {};
    const ScopePoint offset = m_scope.GetSectorOffset();
    for (const std::string& callsign : db->GetCallsigns()) {
        const TarqAircraft* a = db->GetAircraft(callsign);
        if (!a || !IsValidReport(a->GetPosition(0, 0), a->GetAltitude())) continue;
        PixelPoint s = m_scope.ProjectToScreen(a->GetPosition(offset.x, offset.y));
        if (s.x - 2 <= x && x <= s.x + 7 && s.y - 6 <= yUp && yUp <= s.y + 5 && accept(callsign))
            return callsign;
    }
    return {};
}

std::string TargetState::HitDataBlock(int x, int yUp,
                                      const std::function<bool(const std::string&)>& accept) const {
    TarqAircraftDB* db = m_env.GetAircraftDB();
    for (const auto& [callsign, e] : m_entries) {
        if (!e.rect.Contains(x, yUp)) continue;
        if (!db || !db->HasAircraft(callsign)) continue;
        if (accept(callsign)) return callsign;
    }
    return {};
}

bool TargetState::OnLeftClick(int x, int y, int radarMode) {
    if (radarMode == kRadarMode3D) return false;
    const int yUp = m_scope.GetViewportSize().y - y;
    const std::string line = m_scope.Host().GetCommandLine();
    const bool shift = m_env.IsShiftDown();
    const bool strict = Strict(radarMode) && !shift && line != ".contactme ";
    std::string hit = HitTarget(
        x, yUp, [&](const std::string& c) { return !HiddenBySuppression(c) && Selectable(c, strict); });
    if (!hit.empty()) {
        const bool pointout = GetFullDataBlockEntry(hit) && ToUpper(line) == ".QP ";
        if (!shift && !pointout) m_env.SetSelectedCallsign(hit);
        m_env.ActOnSecondAircraft(hit);
        return true;
    }
    hit = HitDataBlock(x, yUp, [&](const std::string& c) { return !HiddenBySuppression(c); });
    if (hit.empty()) return false;
    const TarqAircraft* a = m_env.GetAircraftDB()->GetAircraft(hit);
    const ScopePoint offset = m_scope.GetSectorOffset();
    PixelPoint target = m_scope.ProjectToWindow(a->GetPosition(offset.x, offset.y));
    PixelPoint mouse = m_scope.GetMousePixel();
    double d = std::hypot(mouse.x - target.x, mouse.y - target.y);
    m_dragged = hit;
    m_grabOffset = static_cast<int16_t>(static_cast<int>(d) - GetLeaderLength(hit, radarMode));
    if (Selectable(hit, strict)) m_env.ShowFlightPlanDetails(hit);
    return true;
}

bool TargetState::OpenMenuAt(int x, int y, int radarMode) {
    if (radarMode == kRadarMode3D) return false;
    const int yUp = m_scope.GetViewportSize().y - y;
    const bool strict = Strict(radarMode);
    auto accept = [&](const std::string& c) { return !HiddenBySuppression(c) && Selectable(c, strict); };
    std::string hit = HitTarget(x, yUp, accept);
    if (hit.empty()) hit = HitDataBlock(x, yUp, accept);
    if (hit.empty()) return false;
    m_env.OpenAircraftMenu(hit, x, y);
    return true;
}

bool TargetState::OnMiddleClick(int x, int y, int radarMode) {
    if (radarMode == kRadarMode3D) return false;
    const int yUp = m_scope.GetViewportSize().y - y;
    std::string hit = HitDataBlock(x, yUp, [](const std::string&) { return true; });
    if (hit.empty()) return false;
    Entry& e = m_entries[hit];
    e.blockToggle = !e.hasBlockToggle ? 1 : (e.blockToggle == 0 ? 1 : 0);
    e.hasBlockToggle = true;
    return true;
}
