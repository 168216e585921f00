// The main display's small services on the scope's geometry: nine view
// bookmarks in the session profile with a way back to the view before the
// last recall, the traffic call-out that turns two aircraft into a radio
// phrase, and the heading-and-distance query of the command line.
// Tested by tests/app/scope_queries_test.cpp.
#pragma once

#include <cstdint>
#include <string>

#include "atc/scope_point.h"

class TarqProfile;

// The scope a bookmark saves and restores. Bookmarks hold absolute degrees;
// the scope works in its own (offset) degrees.
class BookmarkView {
public:
    virtual ~BookmarkView() = default;
    virtual ScopePoint GetCenter() const = 0;
    virtual void SetCenter(ScopePoint center) = 0;
    virtual double GetZoom() const = 0;
    virtual void SetZoom(double zoom) = 0;
    virtual ScopePoint GetRangeRingCenter() const = 0;
    virtual void SetRangeRingCenter(ScopePoint center) = 0;
    virtual void AddOffset(ScopePoint& point) const = 0;
    virtual void RemoveOffset(ScopePoint& point) const = 0;
    virtual void RedrawWithRelayout() = 0;
};

class TarqBookmarks {
public:
    static constexpr int kCount = 9;

    TarqBookmarks(TarqProfile& profile, BookmarkView& view) : m_profile(profile), m_view(view) {}

    // n 1 to 9; marks the profile modified.
    void Save(int n);
    // n 1 to 9: a stored view, keeping the current one for recall 0; n 0:
    // the view before the last recall (again and again). An empty slot, or
    // recall 0 before any recall, changes nothing. False when nothing changed.
    bool Recall(int n);
    // A slot is empty only while its zoom is 0: a view centred on the
    // equator or the prime meridian is a view like any other.
    bool IsSet(int n);

private:
    struct View {
        ScopePoint center;
        double zoom = 0.0;
        ScopePoint ringCenter;
    };

    TarqProfile& m_profile;
    BookmarkView& m_view;
    bool m_hasPrevious = false;
    View m_previous;
};

// One aircraft as the call-out and the range query see it; position in the
// scope's degrees.
struct TrafficParty {
    std::string callsign;
    ScopePoint position;
    double heading = 0.0;  // true
    int groundSpeed = 0;   // knots
    int transponderMode = 0;
    uint16_t squawk = 0;
    int altitude = 0;  // feet
    std::string type;  // from the flight plan; empty when none
};

struct TrafficCallContext {
    double rotation = 0.0;  // the scope's magnetic variation, added to true angles
    int transLevel = 18000;
    bool vfrCode = false;  // B squawks a VFR code
};

// "twelve o'clock" ... "eleven o'clock" for a relative bearing in (0, 360];
// a boundary belongs to the sector after it.
std::string ClockPosition(double relativeBearing);
// "north bound" ... "northwest bound" for a heading.
std::string Direction(double heading);
// The phrase that calls out traffic B to aircraft A.
std::string TrafficCallPhrase(const TrafficParty& a, const TrafficParty& b,
                              const TrafficCallContext& context);
// "Heading: %d/%d - Distance: %.1f" from `from` to `to`, with " - Time: %.1f"
// (minutes at groundSpeed) when groundSpeed is above 0.
std::string RangeBearingText(ScopePoint from, ScopePoint to, double rotation, int groundSpeed);

// What the call-out and the query look up and say.
class ScopeQueryHost {
public:
    virtual ~ScopeQueryHost() = default;
    virtual bool FindNamedPoint(const std::string& name, ScopePoint& point) const = 0;
    // The aircraft with its position in the scope's degrees.
    virtual bool FindAircraft(const std::string& callsign, TrafficParty& party) const = 0;
    virtual double GetRotation() const = 0;
    virtual int GetTransLevel() const = 0;
    virtual bool IsVFRCode(uint16_t code) const = 0;
    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowMessage(const std::string& text) = 0;
    // Sent on the primed frequencies and shown as the user's own radio text.
    virtual void Transmit(const std::string& text) = 0;
};

class TarqScopeQueries {
public:
    explicit TarqScopeQueries(ScopeQueryHost& host) : m_host(host) {}
    // The call-out for A about B; nothing when either is gone.
    void ShowTrafficCall(const std::string& a, const std::string& b);
    // `second` is an aircraft's callsign or a named point.
    void ShowRangeBearing(const std::string& first, const std::string& second);

private:
    ScopeQueryHost& m_host;
};
