// Tested by tests/app/scope_queries_test.cpp.
#include "app/scope_queries.h"

#include <cmath>
#include <cstdio>

#include "foundation/geo_helpers.h"
#include "foundation/profile.h"
#include "foundation/text_helpers.h"

namespace {

std::string Key(const char* name, int n) { return name + std::to_string(n); }

double DistanceNm(ScopePoint a, ScopePoint b) {
    return ScaledDistance(a.x, a.y, b.x, b.y, LongitudeScale) * 60.0;
}

}  // namespace

// --- bookmarks ---------------------------------------------------------------------

void TarqBookmarks::Save(int n) {
    if (n < 1 || n > kCount) return;
    ScopePoint center = m_view.GetCenter();
    ScopePoint ring = m_view.GetRangeRingCenter();
    m_view.RemoveOffset(center);
    m_view.RemoveOffset(ring);
    m_profile.SetFloat(Key("BookmarkLon", n), static_cast<float>(center.x));
    m_profile.SetFloat(Key("BookmarkLat", n), static_cast<float>(center.y));
    m_profile.SetFloat(Key("BookmarkZoom", n), static_cast<float>(m_view.GetZoom()));
    m_profile.SetFloat(Key("BookmarkRingLon", n), static_cast<float>(ring.x));
    m_profile.SetFloat(Key("BookmarkRingLat", n), static_cast<float>(ring.y));
    m_profile.SetModified(true);
}

bool TarqBookmarks::IsSet(int n) {
    return n >= 1 && n <= kCount && m_profile.GetFloat(Key("BookmarkZoom", n)) != 0.0f;
}

bool TarqBookmarks::Recall(int n) {
    if (n == 0) {
        if (!m_hasPrevious) return false;
        m_view.SetCenter(m_previous.center);
        m_view.SetZoom(m_previous.zoom);
        m_view.SetRangeRingCenter(m_previous.ringCenter);
        m_view.RedrawWithRelayout();
        return true;
    }
    if (!IsSet(n)) return false;
    m_previous = {m_view.GetCenter(), m_view.GetZoom(), m_view.GetRangeRingCenter()};
    m_hasPrevious = true;
    ScopePoint center{m_profile.GetFloat(Key("BookmarkLon", n)), m_profile.GetFloat(Key("BookmarkLat", n))};
    ScopePoint ring{m_profile.GetFloat(Key("BookmarkRingLon", n)),
                    m_profile.GetFloat(Key("BookmarkRingLat", n))};
    m_view.AddOffset(center);
    m_view.SetCenter(center);
    m_view.SetZoom(m_profile.GetFloat(Key("BookmarkZoom", n)));
    m_view.AddOffset(ring);
    m_view.SetRangeRingCenter(ring);
    m_view.RedrawWithRelayout();
    return true;
}

// --- traffic call-out ------------------------------------------------------------------

std::string ClockPosition(double relativeBearing) {
    static const char* const kClock[12] = {"twelve o'clock", "one o'clock",  "two o'clock", "three o'clock",
                                           "four o'clock",   "five o'clock", "six o'clock", "seven o'clock",
                                           "eight o'clock",  "nine o'clock", "ten o'clock", "eleven o'clock"};
    int sector = static_cast<int>(std::floor((relativeBearing + 15.0) / 30.0)) % 12;
    if (sector < 0) sector += 12;
    return kClock[sector];
}

std::string Direction(double heading) {
    static const char* const kDirection[8] = {"north bound",     "northeast bound", "east bound",
                                              "southeast bound", "south bound",     "southwest bound",
                                              "west bound",      "northwest bound"};
    int sector = static_cast<int>(std::floor((heading + 22.5) / 45.0)) % 8;
    if (sector < 0) sector += 8;
    return kDirection[sector];
}

std::string TrafficCallPhrase(const TrafficParty& a, const TrafficParty& b,
                              const TrafficCallContext& context) {
    const double bearing = BearingBetween(a.position.x, a.position.y, b.position.x, b.position.y, true);
    const double relative = NormalizeHeading((bearing + context.rotation) - (a.heading + context.rotation));
    const std::string clock = ClockPosition(relative);
    const std::string typePhrase = b.type.empty() ? "type unknown," : "a " + b.type;
    const std::string noun = b.type.empty() ? "aircraft" : "a " + b.type;
    char text[512];
    if (a.groundSpeed < 50 && b.groundSpeed < 50) {
        std::snprintf(text, sizeof text, "%s, give way to the %s at your %s.", a.callsign.c_str(),
                      noun.c_str(), clock.c_str());
        return text;
    }
    const int miles = static_cast<int>(DistanceNm(a.position, b.position));
    const std::string direction = Direction(NormalizeHeading(b.heading + context.rotation));
    const std::string altitude = FormatAltitudeWithTransLevel(b.altitude, context.transLevel);
    if (b.transponderMode == 'S') {
        std::snprintf(text, sizeof text, "%s, traffic %s and %d miles, %s, type and altitude unknown.",
                      a.callsign.c_str(), clock.c_str(), miles, direction.c_str());
    } else if (context.vfrCode) {
        std::snprintf(text, sizeof text,
                      "%s, traffic %s and %d miles, %s, type unknown, altitude indicates %s unverified.",
                      a.callsign.c_str(), clock.c_str(), miles, direction.c_str(), altitude.c_str());
    } else {
        std::snprintf(text, sizeof text, "%s, traffic %s and %d miles, %s, %s at %s.", a.callsign.c_str(),
                      clock.c_str(), miles, direction.c_str(), typePhrase.c_str(), altitude.c_str());
    }
    return text;
}

void TarqScopeQueries::ShowTrafficCall(const std::string& a, const std::string& b) {
    TrafficParty first;
    TrafficParty second;
    if (!m_host.FindAircraft(a, first) || !m_host.FindAircraft(b, second)) return;
    TrafficCallContext context{m_host.GetRotation(), m_host.GetTransLevel(), m_host.IsVFRCode(second.squawk)};
    m_host.Transmit(TrafficCallPhrase(first, second, context));
}

// --- heading and distance ------------------------------------------------------------------

std::string RangeBearingText(ScopePoint from, ScopePoint to, double rotation, int groundSpeed) {
    const double bearing = BearingBetween(from.x, from.y, to.x, to.y, true) + rotation;
    const double distance = DistanceNm(from, to);
    const int heading = static_cast<int>(NormalizeHeading(static_cast<int>(bearing)));
    const int reciprocal = static_cast<int>(NormalizeHeading(heading + 180));
    char text[128];
    if (groundSpeed > 0)
        std::snprintf(text, sizeof text, "Heading: %d/%d - Distance: %.1f - Time: %.1f", heading, reciprocal,
                      distance, distance * 60.0 / groundSpeed);
    else
        std::snprintf(text, sizeof text, "Heading: %d/%d - Distance: %.1f", heading, reciprocal, distance);
    return text;
}

void TarqScopeQueries::ShowRangeBearing(const std::string& first, const std::string& second) {
    ScopePoint from;
    if (!m_host.FindNamedPoint(first, from)) {
        m_host.ShowError("Could not find point: " + first + ".");
        return;
    }
    TrafficParty aircraft;
    ScopePoint to;
    int groundSpeed = 0;
    if (m_host.FindAircraft(second, aircraft)) {
        to = aircraft.position;
        groundSpeed = aircraft.groundSpeed;
    } else if (!m_host.FindNamedPoint(second, to)) {
        m_host.ShowError("Could not find point: " + second + ".");
        return;
    }
    m_host.ShowMessage(RangeBearingText(from, to, m_host.GetRotation(), groundSpeed));
}
