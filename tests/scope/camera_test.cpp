// The 3-D camera: turning and tilting limits, moves, the height floor, aiming.
#include <gtest/gtest.h>

#include "scope/camera.h"

namespace {

TEST(CameraTest, TurnWrapsAndTiltClamps) {
    struct Case {
        const char* name;
        float turn;
        float tilt;
        float heading;
        float pitch;
    } cases[] = {
        {"turn past 180", 200.0f, 0.0f, -160.0f, 0.0f},
        {"turn past -180", -200.0f, 0.0f, 160.0f, 0.0f},
        {"tilt up", 0.0f, 100.0f, 0.0f, 90.0f},
        {"tilt down", 0.0f, -100.0f, 0.0f, -90.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Camera camera;
        camera.Turn(c.turn);
        camera.Tilt(c.tilt);
        EXPECT_FLOAT_EQ(camera.GetHeading(), c.heading);
        EXPECT_FLOAT_EQ(camera.GetPitch(), c.pitch);
    }
}

TEST(CameraTest, MoveUpNeverGoesBelowGround) {
    Camera camera;
    camera.SetPosition(1.0f, 0.0001f, -2.0f);
    camera.MoveUp(-1.0f);
    EXPECT_EQ(camera.GetPosition(), (CameraVector{1.0f, 0.0f, -2.0f}));
}

TEST(CameraTest, ForwardFollowsHeadingAndKeepsHeight) {
    // Heading 0 looks north (-z); a forward move of -1 (mouse down) goes the other way.
    Camera camera;
    camera.SetPosition(0.0f, 0.5f, 0.0f);
    camera.MoveForward(-1.0f);
    CameraVector p = camera.GetPosition();
    EXPECT_NEAR(p.x, 0.0f, 1e-6);
    EXPECT_NEAR(p.z, -1.0f, 1e-6);
    EXPECT_FLOAT_EQ(p.y, 0.5f);
    // A quarter turn left looks west; strafing moves at right angles.
    camera.SetPosition(0.0f, 0.0f, 0.0f);
    camera.Turn(90.0f);
    camera.Strafe(1.0f);
    p = camera.GetPosition();
    EXPECT_NEAR(p.x, 0.0f, 1e-6);
    EXPECT_NEAR(p.z, -1.0f, 1e-6);
}

TEST(CameraTest, AimAtLooksTowardsAndDownOnTheTarget) {
    Camera camera;
    camera.SetPosition(0.0f, 0.01f, 0.0f);
    // Target due north (scope y up is -z) on the ground.
    camera.AimAt(0.0f, 0.0f, -0.01f);
    EXPECT_NEAR(camera.GetHeading(), 0.0f, 1e-4);
    EXPECT_LT(camera.GetPitch(), 0.0f);
    // Due east: the view's heading turns clockwise, which is negative.
    camera.AimAt(0.01f, 0.01f, 0.0f);
    EXPECT_NEAR(camera.GetHeading(), -90.0f, 1e-4);
    EXPECT_FLOAT_EQ(camera.GetPitch(), 0.0f);
    CameraVector d = camera.GetDirection();
    EXPECT_NEAR(d.x, 1.0f, 1e-5);
}

}  // namespace
