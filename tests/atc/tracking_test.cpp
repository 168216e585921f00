// Tests of tracking, handoffs and pointouts: every row of the state table
// with the lines sent, the messages shown, the counters and the strip actions.
#include <gtest/gtest.h>

#include <functional>

#include "atc/aircraft_db.h"
#include "atc_fakes.h"

namespace {

using Step = std::function<void(AtcWorld&)>;

struct State {
    std::string tracking;
    std::string handoffTarget;
    std::string incoming;
};

struct Row {
    const char* name;
    Step setup;
    Step event;
    std::vector<std::string> log;  // everything the event did outside the database, in order
    State after;
    int initiated = 0, accepted = 0, refused = 0;
};

// XY_APP holds position identifier AA; the aircraft N1 is on the scope.
void Base(AtcWorld& w) {
    w.AddController("XY_APP");
    w.AddController("ZZ_APP");
    w.See("N1");
}
void TrackedByMe(AtcWorld& w) {
    Base(w);
    w.aircraft.AcceptHandoff("N1");
}
void TrackedByOther(AtcWorld& w) {
    Base(w);
    w.aircraft.SetTrackingController("N1", "XY_APP");
}
void OfferFromOther(AtcWorld& w) {
    TrackedByOther(w);
    w.aircraft.OnHandoffRequest("N1", "XY_APP");
}
void MyOfferPending(AtcWorld& w) {
    TrackedByMe(w);
    w.aircraft.InitiateHandoff("N1", "AA");
}

TEST(Tracking, StateTable) {
    const Row rows[] = {
        {"untracked, track",
         Base,
         [](AtcWorld& w) { w.aircraft.AcceptHandoff("N1"); },
         {"InitiateTrack N1"},
         {"ME_CTR", "", ""}},
        {"untracked, other starts tracking",
         Base,
         [](AtcWorld& w) { w.aircraft.SetTrackingController("N1", "XY_APP"); },
         {},
         {"XY_APP", "", ""}},
        {"tracked by other, track refused",
         TrackedByOther,
         [](AtcWorld& w) { w.aircraft.AcceptHandoff("N1"); },
         {"error: Not your control."},
         {"XY_APP", "", ""}},
        {"tracked by other, offer arrives",
         TrackedByOther,
         [](AtcWorld& w) { w.aircraft.OnHandoffRequest("N1", "XY_APP"); },
         {"sound: req.wav interrupt"},
         {"XY_APP", "", "XY_APP"}},
        {"offer pending, accept",
         OfferFromOther,
         [](AtcWorld& w) { w.aircraft.AcceptHandoff("N1"); },
         {"SendHandoffAccept XY_APP N1"},
         {"ME_CTR", "", ""},
         0,
         1,
         0},
        {"offer pending, refuse",
         OfferFromOther,
         [](AtcWorld& w) { w.aircraft.DropTrack("N1", "ME_CTR"); },
         {"SendHandoffCancel XY_APP N1"},
         {"XY_APP", "", ""},
         0,
         0,
         1},
        {"offer pending, withdrawn",
         OfferFromOther,
         [](AtcWorld& w) { w.aircraft.OnHandoffRefused("N1", "XY_APP"); },
         {},
         {"XY_APP", "", ""}},
        {"offer pending, offering controller drops",
         OfferFromOther,
         [](AtcWorld& w) { w.aircraft.DropTrack("N1", "XY_APP"); },
         {},
         {"", "", ""}},
        {"tracked by me, hand off",
         TrackedByMe,
         [](AtcWorld& w) { w.aircraft.InitiateHandoff("N1", "aa"); },
         {"SendHandoffOffer XY_APP N1"},
         {"ME_CTR", "aa", ""},
         1},
        {"tracked by me, hand all off",
         TrackedByMe,
         [](AtcWorld& w) { w.aircraft.HandoffToPositionId("AA"); },
         {"SendHandoffOffer XY_APP N1"},
         {"ME_CTR", "AA", ""}},
        {"my offer pending, take back",
         MyOfferPending,
         [](AtcWorld& w) { w.aircraft.AcceptHandoff("N1"); },
         {"SendHandoffCancel XY_APP N1"},
         {"ME_CTR", "", ""},
         1},
        {"my offer pending, accepted",
         MyOfferPending,
         [](AtcWorld& w) { w.aircraft.OnHandoffAccepted("N1", "XY_APP"); },
         {"sound: acc.wav"},
         {"XY_APP", "", ""},
         1},
        {"my offer pending, refused",
         MyOfferPending,
         [](AtcWorld& w) { w.aircraft.OnHandoffRefused("N1", "XY_APP"); },
         {"error: Handoff of N1 refused."},
         {"ME_CTR", "", ""},
         1},
        {"tracked by me, drop",
         TrackedByMe,
         [](AtcWorld& w) { w.aircraft.DropTrack("N1", "ME_CTR"); },
         {"DropTrack N1", "SendTextMessage FP N1 release"},
         {"", "", ""}},
        {"tracked by other, controller leaves",
         TrackedByOther,
         [](AtcWorld& w) { w.controllers.RemoveController("XY_APP", false); },
         {"RebuildChatGroups"},
         {"", "", ""}},
        {"tracked by other, I drop",
         TrackedByOther,
         [](AtcWorld& w) { w.aircraft.DropTrack("N1", "ME_CTR"); },
         {},
         {"XY_APP", "", ""}},
        // A drop notice from a controller who does not track the aircraft changes nothing.
        {"tracked by other, third controller drops",
         TrackedByOther,
         [](AtcWorld& w) { w.aircraft.DropTrack("N1", "ZZ_APP"); },
         {},
         {"XY_APP", "", ""}},
        {"tracked by me, stray drop notice",
         TrackedByMe,
         [](AtcWorld& w) { w.aircraft.DropTrack("N1", "ZZ_APP"); },
         {},
         {"ME_CTR", "", ""}},
        // A handoff to an identifier nobody holds is refused before anything goes out.
        {"tracked by me, hand off to nobody",
         TrackedByMe,
         [](AtcWorld& w) { w.aircraft.InitiateHandoff("N1", "QQ"); },
         {"error: No controller with position ID QQ."},
         {"ME_CTR", "", ""}},
        {"untracked, hand off",
         Base,
         [](AtcWorld& w) { w.aircraft.InitiateHandoff("N1", "AA"); },
         {"error: Not your control."},
         {"", "", ""}},
        {"unknown aircraft, hand off",
         Base,
         [](AtcWorld& w) { w.aircraft.InitiateHandoff("GHOST", "AA"); },
         {"error: Aircraft not found."},
         {"", "", ""}},
        {"not a valid controller, track",
         Base,
         [](AtcWorld& w) {
             w.network.validAtc = false;
             w.aircraft.AcceptHandoff("N1");
         },
         {"error: Invalid control."},
         {"", "", ""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        w.settings.strings["SoundHandoffReq"] = "req.wav";
        w.settings.strings["SoundHandoffAcc"] = "acc.wav";
        row.setup(w);
        const int initiatedBefore = w.aircraft.GetHandoffsInitiated();
        w.log.Clear();
        row.event(w);
        EXPECT_EQ(w.log.lines, row.log);
        EXPECT_EQ(w.aircraft.GetTrackingController("N1"), row.after.tracking);
        EXPECT_EQ(w.aircraft.GetHandoffTarget("N1"), row.after.handoffTarget);
        EXPECT_EQ(w.aircraft.GetIncomingHandoff("N1"), row.after.incoming);
        EXPECT_EQ(w.aircraft.GetHandoffsInitiated(), row.initiated)
            << "before the event: " << initiatedBefore;
        EXPECT_EQ(w.aircraft.GetHandoffsAccepted(), row.accepted);
        EXPECT_EQ(w.aircraft.GetHandoffsRefused(), row.refused);
    }
}

TEST(Tracking, TakingBackAnOfferWhoseReceiverLeftSendsNothing) {
    AtcWorld w;
    MyOfferPending(w);
    w.controllers.RemoveController("XY_APP", false);
    w.log.Clear();
    w.aircraft.AcceptHandoff("N1");
    EXPECT_TRUE(w.log.lines.empty());
    EXPECT_TRUE(w.aircraft.GetHandoffTarget("N1").empty());
    EXPECT_EQ(w.aircraft.GetTrackingController("N1"), "ME_CTR");
}

TEST(Tracking, HandAllOffSkipsPendingAndOthers) {
    AtcWorld w;
    Base(w);
    w.See("N2");
    w.See("N3");
    w.aircraft.AcceptHandoff("N1");
    w.aircraft.AcceptHandoff("N2");
    w.aircraft.InitiateHandoff("N2", "AB");
    w.aircraft.SetTrackingController("N3", "ZZ_APP");
    w.log.Clear();
    w.aircraft.HandoffToPositionId("AA");
    EXPECT_EQ(w.log.lines, std::vector<std::string>{"SendHandoffOffer XY_APP N1"});
    w.log.Clear();
    w.aircraft.HandoffToPositionId("QQ");
    EXPECT_TRUE(w.log.lines.empty());
}

TEST(Tracking, StripOptions) {
    struct StripRow {
        const char* name;
        bool onHandoff, onInit;
        std::vector<std::string> atOffer, atAccept;
    };
    // The accept cue of an unset sound key goes to the player, which ignores it.
    const StripRow rows[] = {
        {"push at offer",
         true,
         true,
         {"SendHandoffOffer XY_APP N1", "PushStrip N1 XY_APP 0",
          "info: Flight strip for N1 pushed to XY_APP."},
         {"RemoveStrip N1", "sound: "}},
        {"push at accept",
         true,
         false,
         {"SendHandoffOffer XY_APP N1"},
         {"PushStrip N1 XY_APP 0", "info: Flight strip for N1 pushed to XY_APP.", "RemoveStrip N1",
          "sound: "}},
        {"no push", false, true, {"SendHandoffOffer XY_APP N1"}, {"RemoveStrip N1", "sound: "}},
    };
    for (const StripRow& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        w.settings.bools["PushStripOnHandoff"] = row.onHandoff;
        w.settings.bools["PushStripOnInitHandoff"] = row.onInit;
        w.settings.bools["DeleteStripOnAccept"] = true;
        TrackedByMe(w);
        w.log.Clear();
        w.aircraft.InitiateHandoff("N1", "AA");
        EXPECT_EQ(w.log.lines, row.atOffer);
        w.log.Clear();
        w.aircraft.OnHandoffAccepted("N1", "XY_APP");
        EXPECT_EQ(w.log.lines, row.atAccept);
    }
}

TEST(Tracking, StripAddedOnTrackAndAcceptOnce) {
    AtcWorld w;
    w.settings.bools["AddStripOnTrack"] = true;
    w.settings.bools["AddStripOnAccept"] = true;
    w.settings.strings["SoundStripReceived"] = "strip.wav";
    Base(w);
    w.aircraft.OnPointoutReceived("N1", "XY_APP");
    w.log.Clear();
    w.aircraft.AcceptHandoff("N1");
    const std::vector<std::string> expected = {"InitiateTrack N1", "AddStrip N1", "sound: strip.wav"};
    EXPECT_EQ(w.log.lines, expected);
    EXPECT_FALSE(w.aircraft.IsPointedOut("N1")) << "tracking clears the pointout";
    EXPECT_EQ(w.aircraft.GetTrackedCount(), 1u);
    w.aircraft.OnHandoffAccepted("N1", "XY_APP");
    w.aircraft.OnHandoffRequest("N1", "XY_APP");
    w.log.Clear();
    w.aircraft.AcceptHandoff("N1");
    EXPECT_EQ(w.log.lines, std::vector<std::string>{"SendHandoffAccept XY_APP N1"}) << "strip already there";
}

TEST(Tracking, DropDeletesStripWhenSet) {
    AtcWorld w;
    w.settings.bools["DeleteStripOnDrop"] = true;
    TrackedByMe(w);
    w.log.Clear();
    w.aircraft.DropTrack("N1", "ME_CTR");
    EXPECT_EQ(w.log.lines.back(), "RemoveStrip N1");
}

TEST(Tracking, AcceptSoundOnlyWhenItWasMine) {
    AtcWorld w;
    w.settings.strings["SoundHandoffAcc"] = "acc.wav";
    TrackedByOther(w);
    w.log.Clear();
    w.aircraft.OnHandoffAccepted("N1", "ZZ_APP");
    EXPECT_TRUE(w.log.lines.empty());
    EXPECT_EQ(w.aircraft.GetTrackingController("N1"), "ZZ_APP");
}

TEST(Tracking, OfferForUnseenAircraft) {
    AtcWorld w;
    w.aircraft.OnHandoffRequest("GHOST", "XY_APP");
    EXPECT_EQ(w.log.lines,
              std::vector<std::string>{
                  "error: XY_APP attempted to hand you an aircraft (GHOST) from outside your range."});
    EXPECT_FALSE(w.aircraft.AnyIncomingHandoff());
}

TEST(Tracking, WhoHasAndPointouts) {
    AtcWorld w;
    w.settings.strings["SoundPointout"] = "po.wav";
    TrackedByMe(w);
    w.See("N2");
    w.log.Clear();
    w.aircraft.OnWhoHas("N1", "XY_APP");
    w.aircraft.OnWhoHas("N2", "XY_APP");
    w.aircraft.OnPointoutReceived("N2", "XY_APP");
    const std::vector<std::string> expected = {"SendTrackData XY_APP N1", "RefreshTarget N2",
                                               "info: Pointout from XY_APP for N2.",
                                               "sound: po.wav interrupt"};
    EXPECT_EQ(w.log.lines, expected);
    EXPECT_TRUE(w.aircraft.IsPointedOut("N2"));
    w.aircraft.ClearPointedOut("N2");
    EXPECT_FALSE(w.aircraft.IsPointedOut("N2"));
}

TEST(Tracking, CheckControl) {
    struct CheckRow {
        const char* name;
        Step setup;
        const char* callsign;
        bool allowed;
        std::vector<std::string> log;
    };
    const CheckRow rows[] = {
        {"untracked", Base, "N1", true, {}},
        {"mine", TrackedByMe, "N1", true, {}},
        {"other's", TrackedByOther, "N1", false, {"error: Not your control."}},
        {"unknown", Base, "GHOST", false, {"error: Aircraft not found."}},
        {"not valid",
         [](AtcWorld& w) {
             Base(w);
             w.network.validAtc = false;
         },
         "N1",
         false,
         {"error: Invalid control."}},
    };
    for (const CheckRow& row : rows) {
        SCOPED_TRACE(row.name);
        AtcWorld w;
        row.setup(w);
        w.log.Clear();
        EXPECT_EQ(w.aircraft.CheckControl(row.callsign), row.allowed);
        EXPECT_EQ(w.log.lines, row.log);
    }
}

TEST(Tracking, IncomingOfferLightAndRefreshOfTracks) {
    AtcWorld w;
    OfferFromOther(w);
    EXPECT_TRUE(w.aircraft.AnyIncomingHandoff());
    w.log.Clear();
    w.aircraft.RefreshTracksOf("XY_APP");
    EXPECT_EQ(w.log.lines, std::vector<std::string>{"RefreshTarget N1"});
    w.controllers.RemoveController("XY_APP", false);
    EXPECT_FALSE(w.aircraft.AnyIncomingHandoff()) << "a departed controller's offer goes with it";
}

}  // namespace
