// The scope's view state: construction from the settings, zoom in 2-D and
// 3-D, the mouse in both, View-menu toggles, radar mode, spot view, the
// frame's deadlines and the settings it hands back.
#include <gtest/gtest.h>

#include "scope_fixture.h"

namespace {

class DisplayScopeTest : public ScopeFixture {
protected:
    ScopeMouse Mouse(int x, int y, bool left = false, bool right = false) {
        ScopeMouse m;
        m.x = x;
        m.y = y;
        m.left = left;
        m.right = right;
        return m;
    }
};

TEST_F(DisplayScopeTest, RangeRingsAndCameraFallBackToTheViewCentre) {
    TarqDisplaySettings settings;
    settings.CenterLon = -73.5;
    settings.CenterLat = 40.5;
    settings.CameraAlt = 3000;
    auto scope = MakeScope(settings);
    EXPECT_NEAR(scope->GetCenter().x, 0.5, 1e-9);
    EXPECT_EQ(scope->GetRangeRingCenter(), scope->GetCenter());
    EXPECT_NEAR(scope->GetCameraPosition().x, 0.5, 1e-6);
    EXPECT_NEAR(scope->GetCameraPosition().y, 0.5, 1e-6);
    EXPECT_NEAR(scope->GetCameraAltitudeFeet(), 3000, 1);
    EXPECT_NEAR(LongitudeScale, 0.75, 1e-12);

    TarqDisplaySettings saved;
    scope->CaptureSettings(saved);
    EXPECT_NEAR(saved.CenterLon, -73.5, 1e-9);
    EXPECT_NEAR(saved.RingLat, 40.5, 1e-9);
    EXPECT_NEAR(saved.CameraLat, 40.5, 1e-5);
    EXPECT_EQ(saved.SectorFile, dir.File("small.sct2"));
}

TEST_F(DisplayScopeTest, BackgroundColourOnlyFromTheDisplaysColourProfile) {
    auto scope = MakeScope();
    EXPECT_EQ(scope->GetBackgroundColor(), 0);
    scope->SetBackgroundColor("Night", 0x102030);
    EXPECT_EQ(scope->GetBackgroundColor(), 0);
    scope->SetBackgroundColor("Default", 0x102030);
    EXPECT_EQ(scope->GetBackgroundColor(), 0x102030);
    host.colorProfile = "Night";
    scope->SetBackgroundColor("Night", 0x405060);
    EXPECT_EQ(scope->GetBackgroundColor(), 0x405060);
}

TEST_F(DisplayScopeTest, CameraAltitudeRoundTripTruncates) {
    auto scope = MakeScope();
    scope->SetCameraAltitudeFeet(100);
    EXPECT_EQ(scope->GetCameraAltitudeFeet(), 99);
}

TEST_F(DisplayScopeTest, ZoomInThreeDChangesTheFieldOfViewWithinLimits) {
    TarqDisplaySettings settings;
    settings.Mode = kRadarMode3D;
    settings.TerrainAlt = 500;
    auto scope = MakeScope(settings);
    for (int i = 0; i < 12; ++i) scope->ZoomIn(false);
    EXPECT_DOUBLE_EQ(scope->GetFieldOfViewFactor(), 0.05);
    for (int i = 0; i < 30; ++i) scope->ZoomOut(false);
    EXPECT_DOUBLE_EQ(scope->GetFieldOfViewFactor(), 1.0);
    // Fast zoom moves the camera by 100 ft, never below the terrain altitude.
    scope->SetCameraAltitudeFeet(650);
    scope->ZoomIn(true);
    EXPECT_NEAR(scope->GetCameraAltitudeFeet(), 550, 1);
    scope->ZoomIn(true);
    EXPECT_NEAR(scope->GetCameraAltitudeFeet(), 500, 1);
    scope->ZoomOut(true);
    EXPECT_NEAR(scope->GetCameraAltitudeFeet(), 600, 1);
    EXPECT_GT(host.redraws, 0);
}

TEST_F(DisplayScopeTest, RightDragPansInTwoDAndTurnsTheCameraInThreeD) {
    auto scope = MakeScope();
    ScopePoint before = scope->GetCenter();
    scope->OnRightButtonDown(Mouse(400, 300, false, true));
    scope->OnMouseMove(Mouse(420, 300, false, true));
    EXPECT_LT(scope->GetCenter().x, before.x);
    EXPECT_NEAR(scope->GetCenter().y, before.y, 1e-12);

    scope->SetRadarMode(kRadarMode3D);
    scope->OnMouseMove(Mouse(440, 310, false, true));
    EXPECT_FLOAT_EQ(scope->GetCamera().GetHeading(), -5.0f);
    EXPECT_FLOAT_EQ(scope->GetCamera().GetPitch(), -2.5f);
    host.bools["InvertMouse3D"] = true;
    scope->OnMouseMove(Mouse(440, 320, false, true));
    EXPECT_FLOAT_EQ(scope->GetCamera().GetPitch(), 0.0f);
    // Both buttons strafe and move; no button does nothing.
    CameraVector p = scope->GetCamera().GetPosition();
    scope->OnMouseMove(Mouse(450, 330));
    EXPECT_EQ(scope->GetCamera().GetPosition(), p);
    scope->OnMouseMove(Mouse(460, 340, true, true));
    EXPECT_NE(scope->GetCamera().GetPosition(), p);
}

TEST_F(DisplayScopeTest, MenuTogglesFlipTheirBitAndRebuildOnlyTheirList) {
    auto scope = MakeScope();
    uint64_t airports = scope->GetListGeneration(SectorListId::Airports);
    uint64_t vors = scope->GetListGeneration(SectorListId::Vors);
    for (uint32_t bit :
         {ShowBit::AirportFreqs, ShowBit::RangeRings, ShowBit::Regions, ShowBit::HighAirwayLabels}) {
        SCOPED_TRACE(bit);
        uint32_t mask = scope->GetShowMask();
        EXPECT_TRUE(scope->ToggleShowBit(bit));
        EXPECT_EQ(scope->GetShowMask(), mask ^ bit);
    }
    EXPECT_EQ(scope->GetListGeneration(SectorListId::Airports), airports + 1);
    EXPECT_EQ(scope->GetListGeneration(SectorListId::Vors), vors);
    int menus = host.menuRebuilds;
    EXPECT_FALSE(scope->ToggleShowBit(ShowBit::MouseLocation << 1));
    EXPECT_EQ(host.menuRebuilds, menus + 1);
    EXPECT_FALSE(scope->ToggleShowBit(ShowBit::Airports | ShowBit::Vors));
    EXPECT_EQ(host.menuRebuilds, menus + 2);
    EXPECT_EQ(scope->GetListGeneration(SectorListId::Vors), vors);
}

TEST_F(DisplayScopeTest, RadarModeChangeRebuildsMenusOnlyWhenItChanges) {
    auto scope = MakeScope();
    int menus = host.menuRebuilds;
    scope->SetRadarMode(0);
    EXPECT_EQ(host.menuRebuilds, menus);
    scope->SetRadarMode(3);
    EXPECT_EQ(host.menuRebuilds, menus + 1);
    EXPECT_EQ(scope->GetRadarMode(), 3);
}

TEST_F(DisplayScopeTest, SpotViewSavesAndRestoresTheCamera) {
    auto scope = MakeScope();
    scope->GetCamera().SetPosition(1.0f, 0.01f, -2.0f);
    host.aircraft["SPOT1"] = {};
    scope->SetSpotView("SPOT1", true);
    EXPECT_EQ(scope->GetSpotViewCallsign(), "SPOT1");
    scope->GetCamera().SetPosition(5.0f, 0.02f, -5.0f);
    scope->SetSpotView("GONE", true);  // unknown: cleared, camera restored
    EXPECT_EQ(scope->GetSpotViewCallsign(), "");
    EXPECT_FALSE(scope->IsSpotViewOrbit());
    EXPECT_EQ(scope->GetCamera().GetPosition(), (CameraVector{1.0f, 0.01f, -2.0f}));
}

TEST_F(DisplayScopeTest, OrbitViewPlacesTheCameraBehindTheAircraftAndFollowsIt) {
    auto scope = MakeScope();
    ScopeAircraft a;
    a.smoothedPosition = {-74.0, 40.0};  // the sector centre: scope (0, 0)
    a.smoothedAltitude = 10000;
    a.smoothedHeading = 90.0;
    host.aircraft["ORB1"] = a;
    scope->SetSpotView("ORB1", true);
    scope->UpdateSpotViewCamera();
    CameraVector p = scope->GetCamera().GetPosition();
    EXPECT_LT(p.x, 0.0f);  // behind an eastbound aircraft: to the west
    EXPECT_GT(p.y, 10000 / kFeetPerDegree);
    EXPECT_NEAR(scope->GetCamera().GetHeading(), -90.0f, 0.5f);
    host.aircraft.clear();
    scope->UpdateSpotViewCamera();
    EXPECT_EQ(scope->GetSpotViewCallsign(), "");
}

// The orbit looks along the aircraft's track at any longitude scale: the
// scene scales longitude around the camera, and so does the aim.
TEST_F(DisplayScopeTest, OrbitViewLooksAtTheTargetWhereItIsDrawn) {
    const double saved = LongitudeScale;
    float headings[2] = {};
    int i = 0;
    for (double scale : {1.0, 0.75}) {
        auto scope = MakeScope();
        LongitudeScale = scale;  // after the sector load sets its own
        ScopeAircraft a;
        a.smoothedPosition = {-74.0, 40.0};
        a.smoothedAltitude = 10000;
        a.smoothedHeading = 45.0;
        host.aircraft["ORB1"] = a;
        scope->SetSpotView("ORB1", true);
        scope->UpdateSpotViewCamera();
        headings[i++] = scope->GetCamera().GetHeading();
    }
    LongitudeScale = saved;
    EXPECT_NEAR(headings[1], headings[0], 0.5f);
}

TEST_F(DisplayScopeTest, TimedMarkersEndOnTheFirstFrameAfterTheirDeadline) {
    auto scope = MakeScope();
    scope->FindPoint("VVV");
    scope->PlotRoute("KAAA VVV", false);
    scope->ShowLocation("HERE", {0.1, 0.1}, 5);
    ASSERT_EQ(scope->GetFindDeadline(), host.now + 5);
    host.now += 5;
    ScopeFrameOverlay overlay = scope->PrepareFrame();
    EXPECT_EQ(overlay.markers.size(), 2u);
    EXPECT_EQ(overlay.markers[1].label, "HERE 5");
    EXPECT_EQ(overlay.route.size(), 2u);
    host.now += 1;
    overlay = scope->PrepareFrame();
    EXPECT_TRUE(overlay.markers.empty());
    EXPECT_TRUE(overlay.route.empty());
    EXPECT_EQ(scope->GetFindDeadline(), 0);
    EXPECT_EQ(scope->GetRouteDeadline(), 0);
    EXPECT_EQ(scope->GetShowLocationDeadline(), 0);
    scope->FindPoint("NOPE");
    EXPECT_EQ(host.errors.back(), "Fix, airport or navaid not found.");
}

TEST_F(DisplayScopeTest, VisibilityMarkersIncludeTheEquatorAndComplainWhenNoneIsDefined) {
    auto scope = MakeScope();
    scope->ShowVisibilityCenters();
    scope->PrepareFrame();
    EXPECT_EQ(host.errors.back(), "No visibility centers defined.");
    EXPECT_EQ(scope->GetVisibilityDeadline(), 0);
    scope->SetVisibilityCenter(3, {0.0, 0.0});
    ScopeFrameOverlay overlay = scope->PrepareFrame();
    ASSERT_EQ(overlay.markers.size(), 1u);
    EXPECT_EQ(overlay.markers[0].label, "4");
    EXPECT_DOUBLE_EQ(overlay.markers[0].radiusNm, 40.0);
}

TEST_F(DisplayScopeTest, ConvergenceFrameShowsTheApproachOrClearsThePairWithAMessage) {
    auto scope = MakeScope();
    ScopeAircraft a;
    a.position = {-74.0, 40.0};
    a.groundSpeed = 300;
    a.heading = 90;
    ScopeAircraft b = a;
    b.position = {-73.0, 40.0};
    b.heading = 270;
    host.aircraft = {{"A", a}, {"B", b}};
    scope->ShowConvergence("A", "B");
    ScopeFrameOverlay overlay = scope->PrepareFrame();
    EXPECT_TRUE(overlay.convergence);
    host.aircraft["B"].heading = 90;  // now flying apart
    scope->PrepareFrame();
    EXPECT_EQ(host.errors.back(), "Targets not converging.");
    EXPECT_EQ(scope->GetConvergenceDeadline(), 0);
}

TEST_F(DisplayScopeTest, RulerMeasuresFromItsAnchorToTheMouse) {
    LongitudeScale = 1.0;
    TarqDisplaySettings settings;
    settings.SectorFile = "";
    settings.Zoom = 0.6;
    settings.CenterLon = 0.0001;
    auto scope = std::make_unique<TarqDisplayScope>(host, settings, &library);
    scope->SetViewportSize(800, 600);
    scope->SetCenter({0, 0});
    scope->OnMouseMove(Mouse(400, 300));
    scope->StartRuler();
    scope->OnMouseMove(Mouse(400, 200));  // one degree north
    ScopeFrameOverlay overlay = scope->PrepareFrame();
    ASSERT_TRUE(overlay.ruler);
    EXPECT_EQ(overlay.rulerText, "D:60.0 H:360-180");
    int heading;
    double distance;
    scope->GetRulerData(heading, distance);
    EXPECT_EQ(heading, 360);
    scope->OnLeftButtonUp(Mouse(400, 200));
    EXPECT_FALSE(scope->PrepareFrame().ruler);
}

}  // namespace
