// Scope tools: named-point lookups and their precedence, visibility centres
// and their messages, the right double-click variants, separation links,
// anchors, convergence.
#include <gtest/gtest.h>

#include "scope/convergence.h"
#include "scope_fixture.h"

namespace {

class ScopeToolsTest : public ScopeFixture {
protected:
    void SetUp() override {
        ScopeFixture::SetUp();
        scope = MakeScope();
    }
    ScopeMouse At(int x, int y, bool ctrl = false, bool alt = false, bool shift = false) {
        ScopeMouse m;
        m.x = x;
        m.y = y;
        m.ctrl = ctrl;
        m.alt = alt;
        m.shift = shift;
        return m;
    }
    std::unique_ptr<TarqDisplayScope> scope;
};

TEST_F(ScopeToolsTest, LookupPrefersAirportsThenVorsThenFixesThenNdbs) {
    // "X" in up to four classes, each a minute further east; the sections
    // stand in the reverse of the precedence, so file order cannot decide.
    const std::string header =
        "[INFO]\nX sector\nX_CTR\nKAAA\nN040.00.00.000\nW074.00.00.000\n60\n45\n0\n1\n";
    const std::string ndb = "[NDB]\nX 300 N040.00.00.000 W073.56.00.000\n";
    const std::string fix = "[FIXES]\nX N040.00.00.000 W073.57.00.000\n";
    const std::string vor = "[VOR]\nX 115.000 N040.00.00.000 W073.58.00.000\n";
    const std::string airport = "[AIRPORT]\nX 118.100 N040.00.00.000 W073.59.00.000 C\n";
    struct Case {
        const char* file;
        std::string sections;
        ElementKind kind;
        double minutesEast;
    } cases[] = {
        {"all.sct2", ndb + fix + vor + airport, ElementKind::Airport, 1.0},
        {"no_airport.sct2", ndb + fix + vor, ElementKind::Vor, 2.0},
        {"fix_ndb.sct2", ndb + fix, ElementKind::Fix, 3.0},
        {"ndb.sct2", ndb, ElementKind::Ndb, 4.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        dir.Write(c.file, header + c.sections);
        ASSERT_TRUE(scope->LoadSectorFile(dir.File(c.file), false));
        ScopePoint p;
        ElementKind kind;
        ASSERT_TRUE(scope->LookupNamedPoint("X", p, kind));
        EXPECT_EQ(kind, c.kind);
        EXPECT_NEAR(p.x, c.minutesEast / 60.0, 1e-9);
        EXPECT_NEAR(p.y, 0.0, 1e-9);
    }
}

TEST_F(ScopeToolsTest, LookupFindsEachClassByExactName) {
    // The scope's own sector: VVV is a VOR, FFF a fix, NNN an NDB, KAAA an airport.
    struct Case {
        const char* name;
        ElementKind kind;
    } cases[] = {{"KAAA", ElementKind::Airport}, {"VVV", ElementKind::Vor}, {"FFF", ElementKind::Fix},
                 {"NNN", ElementKind::Ndb}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScopePoint p;
        ElementKind kind;
        ASSERT_TRUE(scope->LookupNamedPoint(c.name, p, kind));
        EXPECT_EQ(kind, c.kind);
    }
    ScopePoint p;
    ElementKind kind;
    EXPECT_FALSE(scope->LookupNamedPoint("vvv", p, kind));  // exact case only
    ASSERT_TRUE(scope->LookupNamedPoint("FFF", p, kind));
    EXPECT_NEAR(p.x, 10.0 / 60.0, 1e-9);  // scope-relative: 10' east of the centre
    EXPECT_NEAR(p.y, 0.0, 1e-9);
}

TEST_F(ScopeToolsTest, VisibilityCentresAndTheirMessages) {
    scope->SetVisibilityCenterToPoint(2, "VVV");
    EXPECT_EQ(host.infos.back(), "Visibility center 3 reset.");
    EXPECT_NEAR(scope->GetVisibilityCenter(2).y, 40.0 + 10.0 / 60.0, 1e-9);
    EXPECT_FALSE(scope->HasPrimaryVisibilityCenter());
    EXPECT_EQ(host.visibilityUpdates, 1);

    scope->SetVisibilityCenterToPoint(0, "NOPE");
    EXPECT_EQ(host.errors.back(), "Fix, airport or navaid not found: NOPE");
    EXPECT_FALSE(scope->HasPrimaryVisibilityCenter());
    scope->SetVisibilityCenterToPoint(4, "VVV");
    scope->SetVisibilityCenterToPoint(-1, "VVV");
    EXPECT_EQ(host.infos.size(), 1u);

    // Index 0 without a primary centre follows the view centre, in absolute degrees.
    scope->SetCenter({0.5, 0.25});
    EXPECT_NEAR(scope->GetVisibilityCenter(0).x, -73.5, 1e-9);
    EXPECT_NEAR(scope->GetVisibilityCenter(0).y, 40.25, 1e-9);
    EXPECT_EQ(scope->GetVisibilityCenter(7), (ScopePoint{}));

    // A centre on the equator and the prime meridian is a centre.
    scope->SetVisibilityCenterToPoint(1, "EQTR");
    EXPECT_TRUE(scope->IsVisibilityCenterSet(1));
    EXPECT_EQ(scope->GetVisibilityCenter(1), (ScopePoint{0.0, 0.0}));

    scope->ClearVisibilityCenters(true);
    EXPECT_EQ(host.infos.back(), "Visibility center(s) cleared.");
    EXPECT_FALSE(scope->IsVisibilityCenterSet(1));
    EXPECT_FALSE(scope->IsVisibilityCenterSet(2));
}

TEST_F(ScopeToolsTest, SecondaryDisplayForwardsVisibilityCentres) {
    FakeScopeHost secondaryHost;
    secondaryHost.isMain = false;
    secondaryHost.mainScope = scope.get();
    secondaryHost.startDirectory = dir.Path();
    TarqDisplaySettings settings;
    settings.SectorFile = dir.File("small.sct2");
    TarqDisplayScope secondary(secondaryHost, settings, &library);
    secondary.SetVisibilityCenter(1, {1.0, 2.0});
    EXPECT_TRUE(scope->IsVisibilityCenterSet(1));
    EXPECT_EQ(secondary.GetVisibilityCenter(1), (ScopePoint{1.0, 2.0}));
}

TEST_F(ScopeToolsTest, RightDoubleClickVariants) {
    ScopePoint center = scope->GetCenter();
    struct Case {
        const char* name;
        bool ctrl, alt, shift;
    } cases[] = {{"plain", false, false, false},
                 {"ctrl", true, false, false},
                 {"ctrl alt", true, true, false},
                 {"ctrl alt shift", true, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        scope->SetCenter(center);
        scope->OnRightDoubleClick(At(500, 300, c.ctrl, c.alt, c.shift));
    }
    // Plain moved the view; the others did not move it again.
    ASSERT_EQ(host.infos.size(), 2u);
    EXPECT_EQ(host.infos[0], "Visibility center reset.");
    EXPECT_EQ(host.infos[1], "Mouse coordinates copied to clipboard.");
    EXPECT_TRUE(scope->HasPrimaryVisibilityCenter());
    EXPECT_EQ(scope->GetCenter(), center);
    EXPECT_GT(scope->GetRangeRingCenter().x, center.x);
    // 100 px right at 0.1 NM/px: 10 NM; at a scale of 0.75 that is 0.2222 degrees of longitude.
    EXPECT_EQ(host.clipboard, "40.00000 -73.77778");
    host.bools["FormatMouseCoordsDMS"] = true;
    scope->OnRightDoubleClick(At(400, 300, true, true, true));
    EXPECT_EQ(host.clipboard, "N40.00.00.000 W74.00.00.000");
}

TEST_F(ScopeToolsTest, SeparationLinksToggleAndGoWithTheirAircraft) {
    host.aircraft["A"] = {};
    host.aircraft["B"] = {};
    host.aircraft["C"] = {};
    scope->AddSeparationLink("A", "A");
    EXPECT_EQ(host.errors.back(), "Must select two different aircraft.");
    scope->AddSeparationLink("A", "ZZZ");
    EXPECT_TRUE(scope->GetSeparationLinks().empty());
    scope->AddSeparationLink("A", "B");
    scope->AddSeparationLink("B", "A");  // either order removes it
    EXPECT_TRUE(scope->GetSeparationLinks().empty());
    scope->AddSeparationLink("A", "B");
    scope->AddSeparationLink("C", "B");
    scope->AddSeparationLink("B", "C");
    EXPECT_EQ(scope->GetSeparationLinks().size(), 1u);  // C's link went; A's stays
    scope->AddSeparationLink("C", "B");
    scope->RemoveSeparationLinks("B");
    EXPECT_TRUE(scope->GetSeparationLinks().empty());
}

TEST_F(ScopeToolsTest, AnchorsReplaceAndRemove) {
    scope->AddAnchor("A", "VVV", {1, 1});
    scope->AddAnchor("A", "FFF", {2, 2});
    scope->AddAnchor("B", "", {3, 3});
    AnchorRecord r;
    ASSERT_TRUE(scope->GetAnchor("A", r));
    EXPECT_EQ(r.pointName, "FFF");
    scope->RemoveAnchors("A");
    EXPECT_FALSE(scope->GetAnchor("A", r));
    EXPECT_TRUE(scope->GetAnchor("B", r));
    scope->RemoveAnchors("");
    EXPECT_FALSE(scope->GetAnchor("B", r));
}

TEST_F(ScopeToolsTest, ShiftRightClickAnchorsTheSelectedAircraft) {
    host.selected = "SEL1";
    scope->OnRightButtonDown(At(400, 300, false, false, true));
    AnchorRecord r;
    ASSERT_TRUE(scope->GetAnchor("SEL1", r));
    EXPECT_EQ(r.pointName, "");
}

TEST_F(ScopeToolsTest, ConvergenceMessagesForTheSamePairAndTheCommands) {
    scope->ShowConvergence("A", "A");
    EXPECT_EQ(host.errors.back(), "You must select two different aircraft.");
    scope->ShowConvergence("", "B");
    EXPECT_EQ(scope->GetConvergenceDeadline(), 0);
    scope->ShowConvergence("A", "B");
    EXPECT_EQ(scope->GetConvergenceDeadline(), host.now + 7);
}

TEST(ConvergenceTest, TheThreeOutcomesAndTheClosestApproach) {
    LongitudeScaleGuard guard;
    LongitudeScale = 1.0;
    // Head-on along the equator, 1 degree (60 NM) apart at 360 kt each:
    // they meet after 5 minutes.
    ConvergenceResult meet = ComputeConvergence({0, 0}, 360, 90, {1, 0}, 360, 270);
    ASSERT_EQ(meet.status, ConvergenceStatus::Converging);
    EXPECT_NEAR(meet.minutes, 5.0, 1e-9);
    EXPECT_NEAR(meet.distanceNm, 0.0, 1e-6);
    EXPECT_NEAR(meet.closestA.x, 0.5, 1e-9);

    struct Case {
        const char* name;
        ConvergenceResult result;
        ConvergenceStatus status;
        const char* message;
    } cases[] = {
        {"flying apart", ComputeConvergence({0, 0}, 300, 270, {1, 0}, 300, 90), ConvergenceStatus::NotConverging,
         "Targets not converging."},
        {"slowly closing for hours", ComputeConvergence({0, 0}, 10, 90, {10, 0}, 10, 270),
         ConvergenceStatus::TooLong, "Targets will not converge within one hour."},
        {"no speed", ComputeConvergence({0, 0}, 0, 90, {1, 0}, 300, 270), ConvergenceStatus::InvalidInput,
         "Invalid speed and/or heading detected on one of the selected targets."},
        {"heading out of range", ComputeConvergence({0, 0}, 300, 361, {1, 0}, 300, 270),
         ConvergenceStatus::InvalidInput,
         "Invalid speed and/or heading detected on one of the selected targets."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.result.status, c.status);
        EXPECT_STREQ(ConvergenceMessage(c.result.status), c.message);
    }
}

}  // namespace
