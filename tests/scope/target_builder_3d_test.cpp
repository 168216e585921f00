// The 3-D view's targets drawn offscreen through the scene's projection and
// camera: the model turned to its heading, its one-line data block by blink
// phase, the separation cylinder, the drop line to the terrain, and the
// model's list made and freed in the display's own context.
#include "scope/target_builder_3d.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/gl_context_resources.h"
#include "scope/camera.h"
#include "scope/scope_gl.h"
#include "target_builder_fixture.h"
#include "tests/atc/atc_fakes.h"
#include "tests/scope/fake_target_environment.h"

namespace {

// The test fonts, with the context's resources a display gives.
class ResourceFonts : public ScopeFontSource {
public:
    ResourceFonts(const ScopeFontSource& fonts, GlContextResources& gl) : m_fonts(fonts), m_gl(gl) {}
    const GlBitmapFont* GetFont(int id) const override { return m_fonts.GetFont(id); }
    GlContextResources* GetGlResources() const override { return &m_gl; }

private:
    const ScopeFontSource& m_fonts;
    GlContextResources& m_gl;
};

constexpr Rgb kAnchorRgb{0, 0, 255};
constexpr Rgb kWingTopRgb{153, 153, 153};
constexpr Rgb kWingBottomRgb{51, 51, 51};
constexpr Rgb kRimRgb{153, 0, 0};
constexpr double kX = 10.0;
constexpr double kY = 10.0;

class Builder3DTest : public TargetBuilderFixture {
protected:
    void SetUp() override {
        TargetBuilderFixture::SetUp();
        host.colors["ColorAnchorLines"] = static_cast<int>(PackRgb(kAnchorRgb));
        scope->SetRadarMode(kRadarMode3D);
        scopeGl = std::make_unique<ScopeGl>(*scope, fonts, glResources);
        manager3D = std::make_unique<TarqTargetManager>(*scope, resourceFonts, kRadarMode3D, clock);
    }
    TarqTargetBuilder& builder() { return manager3D->GetBuilder(); }

    // A target at (kX, kY), 5000 ft, heading north, with no data block
    // line (blink phase 9) unless a test sets one.
    TargetSnapshot Target3D() const {
        TargetSnapshot t = MakeTarget();
        t.smoothedPosition = {kX, kY};
        t.smoothedAltitude = 5000;
        t.altitude = 5000;
        t.blinkPhase = 9;
        return t;
    }
    // The camera straight above the target's point (north up, east right).
    void LookDown(double degreesAbove, double x = kX) {
        Camera& c = scope->GetCamera();
        c.SetPosition(static_cast<float>(x), static_cast<float>(5000 / kFeetPerDegree + degreesAbove),
                      static_cast<float>(-kY));
        c.SetHeading(0);
        c.SetPitch(-90);
    }
    // The camera level at the target's altitude, south of it, looking north.
    void LookNorth(double degreesSouth) {
        Camera& c = scope->GetCamera();
        c.SetPosition(static_cast<float>(kX), static_cast<float>(5000 / kFeetPerDegree),
                      static_cast<float>(-(kY - degreesSouth)));
        c.SetHeading(0);
        c.SetPitch(0);
    }
    // The scene's projection and camera, depth testing off as the scene
    // leaves it.
    void PrepareScene() {
        scopeGl->SetupProjection();
        glLoadIdentity();
        scope->GetCamera().Apply();
        glDisable(GL_DEPTH_TEST);
    }
    TagRect Draw(TargetSnapshot& t, bool clear = true) {
        if (clear) Clear();
        PrepareScene();
        TagRect r = builder().Build(t);
        glFinish();
        return r;
    }
    void DrawReferenceText3D(const std::string& text, double altitudeFeet) {
        Clear();
        PrepareScene();
        glColor3ub(0, 255, 0);
        glRasterPos3d(kX, altitudeFeet / kFeetPerDegree + 0.0002, -kY);
        DrawBitmaps(*fonts.GetFont(kDataBlockFont), text);
        glFinish();
    }
    PixelSet All(Rgb color) const { return Pixels(color, 0, 0, kWidth - 1, kHeight - 1); }
    int CountWhere(const std::function<bool(Rgb)>& match, int left, int bottom, int right, int top) const {
        int n = 0;
        for (int y = bottom; y <= top; ++y)
            for (int x = left; x <= right; ++x)
                if (match(At(x, y))) ++n;
        return n;
    }

    GlContextResources glResources{[this] { return gl.MakeCurrent(); }};
    ResourceFonts resourceFonts{fonts, glResources};
    std::unique_ptr<ScopeGl> scopeGl;
    std::unique_ptr<TarqTargetManager> manager3D;
};

TEST_F(Builder3DTest, TheManagerDrawsModeSixWithThisBuilder) {
    SetRadarMode(kRadarMode3D);
    auto* fallback = dynamic_cast<TarqTargetBuilder3D*>(&manager->GetBuilder());
    ASSERT_NE(fallback, nullptr);
    EXPECT_EQ(fallback->ModelList(), 0u) << "no context resources: no list";
    auto* withList = dynamic_cast<TarqTargetBuilder3D*>(&builder());
    ASSERT_NE(withList, nullptr);
    EXPECT_NE(withList->ModelList(), 0u);

    // Both draw the same model, returning no rectangle.
    LookDown(0.002);
    TargetSnapshot t = Target3D();
    Clear();
    PrepareScene();
    EXPECT_EQ(manager->GetBuilder().Build(t), TagRect::Empty());
    glFinish();
    PixelSet immediate = All(kWingTopRgb);
    EXPECT_EQ(Draw(t), TagRect::Empty());
    EXPECT_FALSE(immediate.empty());
    EXPECT_EQ(All(kWingTopRgb), immediate);
}

TEST_F(Builder3DTest, TheModelsListIsFreedInItsOwnContext) {
    unsigned list = static_cast<TarqTargetBuilder3D&>(builder()).ModelList();
    ASSERT_TRUE(glIsList(list));
    // Another display drew last and holds a list of the same number.
    OffscreenGl other{64, 32};
    ASSERT_TRUE(other.MakeCurrent());
    unsigned base = glGenLists(static_cast<int>(list));
    ASSERT_EQ(base, 1u);
    unsigned otherList = base + list - 1;
    glNewList(otherList, GL_COMPILE);
    glEndList();

    manager3D->SetRadarMode(1);
    other.MakeCurrent();
    EXPECT_TRUE(glIsList(otherList)) << "the other display's list survives";
    glDeleteLists(base, static_cast<int>(list));
    gl.MakeCurrent();
    EXPECT_FALSE(glIsList(list));
}

TEST_F(Builder3DTest, TheModelPointsAlongItsHeadingWithItsTopUp) {
    LookDown(0.002);
    auto red = [](Rgb c) { return c[0] == 255 && c[1] == 0 && c[2] == 0; };
    auto green = [](Rgb c) { return c[0] == 0 && c[1] > 170 && c[1] < 190 && c[2] == 0; };
    auto grey = [](Rgb c) { return c == kWingTopRgb; };
    struct Case {
        double heading;
        // The half of the screen the nose is in and the halves of the left
        // (red) and right (green) wing tips: {left, bottom, right, top}.
        std::array<int, 4> nose, leftTip, rightTip;
    } cases[] = {
        {0, {0, 151, 399, 299}, {0, 0, 199, 299}, {201, 0, 399, 299}},
        {90, {201, 0, 399, 299}, {0, 151, 399, 299}, {0, 0, 399, 149}},
        {180, {0, 0, 399, 149}, {201, 0, 399, 299}, {0, 0, 199, 299}},
        {270, {0, 0, 199, 299}, {0, 0, 399, 149}, {0, 151, 399, 299}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.heading);
        TargetSnapshot t = Target3D();
        t.smoothedHeading = c.heading;
        Draw(t);
        int all = CountWhere(grey, 0, 0, kWidth - 1, kHeight - 1);
        ASSERT_GT(all, 100);
        auto [l, b, r, tp] = c.nose;
        EXPECT_GT(CountWhere(grey, l, b, r, tp), all * 9 / 10);
        EXPECT_GT(CountWhere(red, c.leftTip[0], c.leftTip[1], c.leftTip[2], c.leftTip[3]), 0);
        EXPECT_EQ(CountWhere(red, 0, 0, kWidth - 1, kHeight - 1),
                  CountWhere(red, c.leftTip[0], c.leftTip[1], c.leftTip[2], c.leftTip[3]));
        EXPECT_GT(CountWhere(green, c.rightTip[0], c.rightTip[1], c.rightTip[2], c.rightTip[3]), 0);
        EXPECT_EQ(CountWhere(green, 0, 0, kWidth - 1, kHeight - 1),
                  CountWhere(green, c.rightTip[0], c.rightTip[1], c.rightTip[2], c.rightTip[3]));
        EXPECT_TRUE(All(kWingBottomRgb).empty())
            << "the underside stays hidden with the scene's depth test off";
    }
}

// The manager scales an aircraft's longitude around the camera as the scene
// scales the map; the builder draws it there, scaled once.
TEST_F(Builder3DTest, TheManagerAndBuilderKeepATargetOverTheMapAtALongitudeScale) {
    LongitudeScale = 0.75;
    LookDown(0.02);
    AtcWorld world;
    FakeTargetEnvironment environment{world};
    world.aircraft.UpdatePilotPosition("ABC123", AtcWorld::Report(kY, kX + 0.01, 5000));
    manager3D->SetEnvironment(&environment);
    Clear();
    PrepareScene();
    manager3D->Draw(true);
    glFinish();
    // 0.01 degree east is 0.0075 around the camera, seen from 0.02 up.
    // The model's greys, whichever side of it faces the camera.
    auto wing = [](Rgb c) { return c == kWingTopRgb || c == kWingBottomRgb; };
    auto column = [](double degrees) { return 200 + static_cast<int>(degrees * 150 / (0.02 * 0.41421356)); };
    const int expected = column(0.0075);
    EXPECT_GT(CountWhere(wing, expected - 6, 144, expected + 6, 156), 3);
    const int unscaled = column(0.01), scaledTwice = column(0.0075 * 0.75);
    EXPECT_EQ(CountWhere(wing, unscaled - 20, 130, unscaled + 20, 170), 0);
    EXPECT_EQ(CountWhere(wing, scaledTwice - 20, 130, scaledTwice + 20, 170), 0);
}

TEST_F(Builder3DTest, TheDataBlockLineCyclesByBlinkPhase) {
    host.vfrCodes = {1200};
    LookDown(0.002);
    struct Case {
        const char* name;
        uint16_t phase;
        void (*setup)(TargetSnapshot&);
        std::string line;
    } cases[] = {
        {"callsign", 1, [](TargetSnapshot&) {}, "*ABC123 "},
        {"callsign, text only, heavy", 5,
         [](TargetSnapshot& t) {
             t.voiceType = kVoiceTextOnly;
             t.isHeavy = true;
         },
         "*ABC123/t H"},
        {"standby", 2, [](TargetSnapshot& t) { t.transponderMode = 'S'; }, ".ABC123 "},
        {"altitude and speed", 3, [](TargetSnapshot&) {}, "*050 25 "},
        {"low and slow, VFR heavy", 7,
         [](TargetSnapshot& t) {
             t.altitude = 900;
             t.groundSpeed = 5;
             t.isVfr = t.isHeavy = true;
         },
         "*009 00 VH"},
        {"no type, no scratchpad", 4, [](TargetSnapshot&) {}, "*ZZZZ NOFP"},
        {"type and last four of the scratchpad", 8,
         [](TargetSnapshot& t) {
             t.typeCode = "B738";
             t.scratchpad = "ABCDEFG";
         },
         "*B738 DEFG"},
        {"coasting before the emergency", 4,
         [](TargetSnapshot& t) {
             t.coasting = true;
             t.squawk = 7700;
         },
         "*ZZZZ CST"},
        {"emergency", 4, [](TargetSnapshot& t) { t.squawk = 7700; }, "*ZZZZ EMRG"},
        {"radio failure", 4, [](TargetSnapshot& t) { t.squawk = 7600; }, "*ZZZZ RDOF"},
        {"hijack before ident", 4,
         [](TargetSnapshot& t) {
             t.squawk = 7500;
             t.transponderMode = 'Y';
         },
         "*ZZZZ HIJK"},
        {"ident", 8, [](TargetSnapshot& t) { t.transponderMode = 'Y'; }, "*ZZZZ IDNT"},
        {"ident shows only with the type", 1, [](TargetSnapshot& t) { t.transponderMode = 'Y'; }, "*ABC123 "},
        {"duplicate before a wrong code", 4,
         [](TargetSnapshot& t) {
             t.duplicateCode = true;
             t.assignedCode = 4521;
         },
         "*ZZZZ CODE"},
        {"duplicate VFR code: the wrong code", 4,
         [](TargetSnapshot& t) {
             t.squawk = 1200;
             t.duplicateCode = true;
             t.assignedCode = 4521;
         },
         "*ZZZZ 1200"},
        {"wrong code, leading zeros", 4,
         [](TargetSnapshot& t) {
             t.squawk = 21;
             t.assignedCode = 4521;
         },
         "*ZZZZ 0021"},
        {"right code: the scratchpad", 4,
         [](TargetSnapshot& t) {
             t.assignedCode = 1234;
             t.scratchpad = "RWY";
         },
         "*ZZZZ RWY"},
        {"cut at fifty characters", 1, [](TargetSnapshot& t) { t.callsign = std::string(60, 'W'); },
         "*" + std::string(49, 'W')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TargetSnapshot t = Target3D();
        t.blinkPhase = c.phase;
        c.setup(t);
        EXPECT_EQ(Draw(t), TagRect::Empty());
        PixelSet drawn = All(kDataBlockRgb);
        DrawReferenceText3D(c.line, t.smoothedAltitude);
        EXPECT_EQ(drawn, All(kDataBlockRgb));
        EXPECT_FALSE(drawn.empty());
    }

    TargetSnapshot t = Target3D();
    t.blinkPhase = 0;
    Draw(t);
    EXPECT_TRUE(All(kDataBlockRgb).empty()) << "no line outside the eight phases";
}

TEST_F(Builder3DTest, TheSeparationCylinderFollowsTheRingRule) {
    LookDown(0.2);
    struct Case {
        const char* name;
        bool rings;
        bool tracked;
        int speed;
        bool conflict;
        bool ringsOnCA;
        bool drawn;
    } cases[] = {
        {"rings off", false, true, 250, false, true, false},
        {"rings on, tracked at 40 kt", true, true, 40, false, false, true},
        {"rings on, tracked at 39 kt", true, true, 39, false, true, false},
        {"rings on, untracked", true, false, 250, true, true, false},
        {"conflict at 39 kt with rings on conflicts", false, true, 39, true, true, true},
        {"conflict without rings on conflicts", false, true, 250, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (manager3D->GetShowSepRings() != c.rings) manager3D->ToggleSepRings();
        host.bools["ShowSepRingsOnCA"] = c.ringsOnCA;
        // Once in each half of a second.
        for (int half = 0; half < 2; ++half) {
            clock.Advance(600);
            TargetSnapshot t = Target3D();
            t.trackedByMe = c.tracked;
            t.groundSpeed = c.speed;
            t.inConflict = c.conflict;
            Draw(t);
            // 3 NM seen from 0.2 degree up: a 90-pixel radius.
            int rim = -1;
            for (int r = 60; r < 120 && rim < 0; ++r)
                if (At(200 + r, 150) == kRimRgb) rim = r;
            Rgb inside = At(245, 150);
            if (c.drawn) {
                EXPECT_NEAR(rim, 90, 3) << "never blinks";
                EXPECT_GT(inside[0], 0);
                EXPECT_LT(inside[0], 153) << "translucent";
                EXPECT_EQ(inside[1], 0);
            } else {
                EXPECT_EQ(rim, -1);
                EXPECT_EQ(inside, (Rgb{0, 0, 0}));
            }
        }
    }
}

TEST_F(Builder3DTest, TheDropLineReachesTheTerrain) {
    LookNorth(0.01);
    struct Case {
        int terrain;
        int pixels;  // 1000 ft seen from 0.01 degree: 99 pixels
    } cases[] = {{4000, 99}, {5000, 0}, {0, 149}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.terrain);
        scope->SetMinCameraAltitude(c.terrain);
        TargetSnapshot t = Target3D();
        Draw(t);
        int lowest = kHeight;
        for (auto [x, y] : All(kAnchorRgb)) {
            EXPECT_NEAR(x, 200, 1);
            lowest = std::min(lowest, y);
        }
        if (c.pixels == 0) {
            EXPECT_TRUE(All(kAnchorRgb).empty());
        } else {
            EXPECT_NEAR(150 - lowest, c.pixels, 2);
            EXPECT_TRUE(AnyIn(kAnchorRgb, 199, 150 - c.pixels / 2, 201, 150 - c.pixels / 2)) << "unbroken";
        }
    }
}

}  // namespace
