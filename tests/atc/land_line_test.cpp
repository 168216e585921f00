// Tests of the land-line operations: checks before a call, the messages and
// the controller-list rebuilds.
#include <gtest/gtest.h>

#include "atc/controller_db.h"
#include "atc_fakes.h"

namespace {

TEST(LandLines, Operations) {
    struct Row {
        const char* name;
        std::function<void(AtcWorld&)> act;
        std::vector<std::string> log;
    };
    const Row rows[] = {
        {"intercom",
         [](AtcWorld& w) { w.controllers.OpenIntercom("B_APP"); },
         {"PlaceCall 0 B_APP", "RebuildControllerList"}},
        {"intercom refused by voice",
         [](AtcWorld& w) {
             w.voice.placeOk = false;
             w.controllers.OpenIntercom("B_APP");
         },
         {"PlaceCall 0 B_APP", "error: Could not open land line."}},
        {"override while not a controller",
         [](AtcWorld& w) {
             w.network.validAtc = false;
             w.controllers.OpenOverride("B_APP");
         },
         {"error: You must be an active controller to initiate land line calls."}},
        {"override", [](AtcWorld& w) { w.controllers.OpenOverride("B_APP"); }, {"PlaceCall 1 B_APP"}},
        {"monitor while not a controller",
         [](AtcWorld& w) {
             w.network.validAtc = false;
             w.controllers.StartMonitor("B_APP");
         },
         {"PlaceCall 2 B_APP"}},
        {"second monitor",
         [](AtcWorld& w) {
             w.controllers.StartMonitor("B_APP");
             w.controllers.StartMonitor("B_APP");
         },
         {"PlaceCall 2 B_APP", "error: You can only monitor one controller at a time."}},
        {"accept without a caller",
         [](AtcWorld& w) {
             w.voice.acceptOk = false;
             w.controllers.AcceptLandLine();
         },
         {"AcceptCall ", "error: Could not accept land line call.", "RebuildControllerList"}},
        {"accept",
         [](AtcWorld& w) {
             w.controllers.SetIncomingCaller("B_APP");
             w.controllers.AcceptLandLine();
         },
         {"AcceptCall B_APP", "RebuildControllerList"}},
        {"hold active",
         [](AtcWorld& w) {
             w.voice.intercomState = 4;
             w.controllers.ToggleIntercomHold();
         },
         {"Hold", "RebuildControllerList"}},
        {"resume held",
         [](AtcWorld& w) {
             w.controllers.SetIntercomPartner("B_APP");
             w.voice.intercomState = 7;
             w.controllers.ToggleIntercomHold();
         },
         {"Resume B_APP", "RebuildControllerList"}},
        {"hold while pending",
         [](AtcWorld& w) {
             w.voice.intercomState = 3;
             w.controllers.ToggleIntercomHold();
         },
         {}},
        {"release", [](AtcWorld& w) { w.controllers.StopLandLine(); }, {"HangUp", "RebuildControllerList"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        row.act(w);
        EXPECT_EQ(w.log.lines, row.log);
    }
}

TEST(LandLines, MonitorBlocksUntilCleared) {
    AtcWorld w;
    w.voice.placeOk = false;
    w.controllers.StartMonitor("B_APP");
    EXPECT_TRUE(w.controllers.GetMonitoredController().empty()) << "a failed monitor records nothing";
    w.voice.placeOk = true;
    w.controllers.StartMonitor("B_APP");
    EXPECT_EQ(w.controllers.GetMonitoredController(), "B_APP");
    w.controllers.SetMonitoredController("");
    w.log.Clear();
    w.controllers.StartMonitor("C_APP");
    EXPECT_EQ(w.log.lines, std::vector<std::string>{"PlaceCall 2 C_APP"});
}

}  // namespace
