// Tested by tests/app/button_kinds_test.cpp.
#include "app/land_line_watch.h"

namespace {
constexpr int kIntercom = 0;
constexpr int kOverride = 1;
constexpr int kMonitor = 2;
constexpr int kRinging = 2;
constexpr int kPending = 3;
constexpr int kActive = 4;
constexpr int kOverridden = 5;
constexpr int kOverriding = 6;  // also: monitoring
constexpr int kHeld = 7;
}  // namespace

LandLineView TarqLandLineWatch::Walk(const LandLineSource& source) {
    LandLineView view;
    for (const std::string& callsign : source.GetControllerCallsigns()) {
        int state = source.GetLandLineState(kOverride, callsign);
        if (state == kOverridden || state == kOverriding) {
            (state == kOverridden ? view.overriddenBy : view.overriding) = callsign;
            view.activePartner = callsign;
            break;
        }
        state = source.GetLandLineState(kIntercom, callsign);
        if (state == kRinging) {
            view.incomingCaller = callsign;
            view.intercomPartner = callsign;
            break;
        }
        if (state == kPending || state == kActive || state == kHeld) {
            view.activePartner = callsign;
            view.intercomPartner = callsign;
            view.calling = state == kPending;
            view.onCall = state == kActive || state == kHeld;
            view.onHold = state == kHeld;
            break;
        }
        if (source.GetLandLineState(kMonitor, callsign) == kOverriding) {
            view.monitored = callsign;
            view.activePartner = callsign;
        }
    }
    return view;
}

void TarqLandLineWatch::Refresh() {
    m_view = Walk(m_source);
    m_source.Publish(m_view);
}
