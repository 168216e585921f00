// The 2-D projection: centre, edges, rotation, longitude scale, round trips,
// zoom and pan limits.
#include <gtest/gtest.h>

#include <cmath>

#include "foundation/geo_helpers.h"
#include "scope/scope_projection.h"
#include "scope_fixture.h"

namespace {

ScopeProjection Make(double zoom, double rotation = 0.0, ScopePoint center = {}) {
    ScopeProjection p;
    p.SetViewport(800, 600);
    p.SetZoom(zoom);
    p.SetCenter(center);
    p.SetRotation(rotation);
    return p;
}

TEST(ScopeProjectionTest, ProjectsTheTableOfPoints) {
    LongitudeScaleGuard guard;
    // zoom 0.6 NM/px: 0.01 degree a pixel, 8 by 6 degrees on screen.
    struct Case {
        const char* name;
        double scale;
        double rotation;
        ScopePoint point;
        PixelPoint expected;
    } cases[] = {
        {"centre", 1.0, 0.0, {0.0, 0.0}, {400, 300}},
        {"right edge", 1.0, 0.0, {4.0, 0.0}, {800, 300}},
        {"top edge", 1.0, 0.0, {0.0, 3.0}, {400, 600}},
        {"bottom left", 1.0, 0.0, {-3.99, -2.99}, {1, 1}},
        {"rotated 90: north goes east", 1.0, 90.0, {0.0, 1.0}, {500, 300}},
        {"scale halves longitude", 0.5, 0.0, {2.0, 0.0}, {500, 300}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LongitudeScale = c.scale;
        ScopeProjection p = Make(0.6, c.rotation);
        PixelPoint got = p.ProjectToScreen(c.point);
        EXPECT_NEAR(got.x, c.expected.x, 1);
        EXPECT_NEAR(got.y, c.expected.y, 1);
        PixelPoint window = p.ProjectToWindow(c.point);
        EXPECT_EQ(window.y, 600 - got.y);
    }
}

TEST(ScopeProjectionTest, RotationTurnsNorthClockwiseAndTheMouseComesBack) {
    LongitudeScaleGuard guard;
    LongitudeScale = 1.0;
    ScopeProjection p = Make(0.6, 10.0);
    PixelPoint north = p.ProjectToScreen({0.0, 1.0});
    // 100 px north turned 10 degrees clockwise.
    EXPECT_NEAR(north.x, 400 + 100 * std::sin(DegToRad(10.0)), 1);
    EXPECT_NEAR(north.y, 300 + 100 * std::cos(DegToRad(10.0)), 1);
    ScopePoint back = p.WindowToPoint(north.x, 600 - north.y);
    EXPECT_NEAR(back.x, 0.0, 0.01);
    EXPECT_NEAR(back.y, 1.0, 0.01);
}

TEST(ScopeProjectionTest, RoundTripsStayWithinOnePixel) {
    LongitudeScaleGuard guard;
    for (double scale : {1.0, 0.75, 0.3}) {
        for (double rotation : {0.0, -13.0, 170.0}) {
            SCOPED_TRACE(testing::Message() << "scale " << scale << " rotation " << rotation);
            LongitudeScale = scale;
            ScopeProjection p = Make(0.37, rotation, {-1.5, 2.25});
            for (int x = 0; x <= 800; x += 97) {
                for (int y = 0; y <= 600; y += 83) {
                    ScopePoint point = p.WindowToPoint(x, y);
                    PixelPoint again = p.ProjectToWindow(point);
                    EXPECT_NEAR(again.x, x, 1);
                    EXPECT_NEAR(again.y, y, 1);
                }
            }
        }
    }
}

TEST(ScopeProjectionTest, ZoomStopsAtItsLimits) {
    ScopeProjection p = Make(0.0000105);
    p.ZoomIn(false);
    EXPECT_DOUBLE_EQ(p.GetZoom(), kMinZoom);
    p.SetZoom(19.0);
    for (int i = 0; i < 20; ++i) p.ZoomOut(true);
    EXPECT_DOUBLE_EQ(p.GetZoom(), 20.0);  // 16000 / 800 px
    p.SetViewport(0, 0);
    p.SetZoom(15000.0);
    p.ZoomOut(false);
    EXPECT_DOUBLE_EQ(p.GetZoom(), 16000.0);
    EXPECT_EQ(p.Height(), 1);
}

TEST(ScopeProjectionTest, PanFollowsTheMouseAndStopsAtTheLimits) {
    LongitudeScaleGuard guard;
    LongitudeScale = 1.0;
    ScopeProjection p = Make(0.6);
    // Dragging right and down by 100 px moves the map with the mouse.
    p.Pan(100, 100);
    EXPECT_NEAR(p.GetCenter().x, -1.0, 1e-9);
    EXPECT_NEAR(p.GetCenter().y, 1.0, 1e-9);
    for (int i = 0; i < 1000; ++i) p.Pan(-1000, 0);
    EXPECT_DOUBLE_EQ(p.GetCenter().x, 360.0);
    for (int i = 0; i < 1000; ++i) p.Pan(0, -1000);
    EXPECT_DOUBLE_EQ(p.GetCenter().y, -180.0);
}

TEST(ScopeProjectionTest, PanUnderRotationStillFollowsTheMouse) {
    LongitudeScaleGuard guard;
    LongitudeScale = 0.75;
    ScopeProjection p = Make(0.6, 30.0, {0.5, 0.5});
    ScopePoint grabbed = p.WindowToPoint(300, 200);
    p.Pan(40, -25);
    ScopePoint under = p.WindowToPoint(340, 175);
    EXPECT_NEAR(under.x, grabbed.x, 0.02);
    EXPECT_NEAR(under.y, grabbed.y, 0.02);
}

}  // namespace
