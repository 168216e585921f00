// Who the user is on a land line with, found by asking the voice engine about
// each known controller. Refreshed by the frame tick, so the controller
// database's incoming caller, intercom partner and monitored controller (what
// ".acc" and ".hold" act on) are current whether or not the bar is drawn.
// Tested by tests/app/button_kinds_test.cpp.
#pragma once

#include <string>
#include <vector>

struct LandLineView {
    std::string incomingCaller;  // a ringing call to accept
    std::string activePartner;   // a line to hang up
    std::string overriddenBy;
    std::string overriding;
    std::string intercomPartner;
    std::string monitored;
    bool onCall = false;
    bool calling = false;
    bool onHold = false;

    bool Any() const {
        return !overriddenBy.empty() || !overriding.empty() || !intercomPartner.empty() || !monitored.empty();
    }
};

// What the watch reads and whom it tells; the voice engine's kinds are
// 0 intercom, 1 override, 2 monitor.
class LandLineSource {
public:
    virtual ~LandLineSource() = default;
    // In the controller database's callsign order.
    virtual std::vector<std::string> GetControllerCallsigns() const = 0;
    // 1 none, 2 ringing, 3 pending, 4 active, 5 overridden, 6 overriding or
    // monitoring, 7 held.
    virtual int GetLandLineState(int kind, const std::string& callsign) const = 0;
    // The controller database takes the incoming caller, intercom partner and
    // monitored controller.
    virtual void Publish(const LandLineView& view) = 0;
};

class TarqLandLineWatch {
public:
    explicit TarqLandLineWatch(LandLineSource& source) : m_source(source) {}
    void Refresh();
    const LandLineView& GetView() const { return m_view; }

    // The walk alone: the first override or intercom state met ends it, a
    // monitored controller does not.
    static LandLineView Walk(const LandLineSource& source);

private:
    LandLineSource& m_source;
    LandLineView m_view;
};
