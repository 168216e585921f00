// The target manager through the scope's seam: every aircraft of the
// database drawn by the mode's builder offscreen, the GL state restored, the
// drawn rectangle clickable, nothing taken in the 3-D mode.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "target_builder_fixture.h"
#include "tests/atc/atc_fakes.h"
#include "tests/scope/fake_target_environment.h"

namespace {

class TargetManagerTest : public TargetBuilderFixture {
protected:
    void AddAt(const std::string& callsign, int x, int y) {
        ScopePoint p = PointAt(x, y);
        world.aircraft.UpdatePilotPosition(callsign, AtcWorld::Report(p.y, p.x));
    }
    AtcWorld world;
    FakeTargetEnvironment environment{world};
};

TEST_F(TargetManagerTest, DrawsEveryAircraftThroughTheBuilderAndRestoresTheState) {
    host.colors["ColorTargetSymbol"] = static_cast<int>(PackRgb(kSymbolRgb));
    host.colors["ColorUntracked"] = static_cast<int>(PackRgb(kDataBlockRgb));
    host.ints["LeaderLength"] = 20;
    host.ints["TagPosition"] = 6;
    manager->SetEnvironment(&environment);
    AddAt("AAA1", 100, 100);
    AddAt("BBB1", 300, 200);
    GLint depthBefore = 0;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depthBefore);
    Clear();
    PrepareTargetPass();
    manager->Draw(false);
    glFinish();
    GLint depthAfter = -1;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    EXPECT_TRUE(Near(100, 100, kSymbolRgb, 4));
    EXPECT_TRUE(Near(300, 200, kSymbolRgb, 4));
    TagRect rect = manager->GetState()->GetTagRect("BBB1");
    ASSERT_FALSE(rect.IsEmpty());
    EXPECT_TRUE(AnyIn(kDataBlockRgb, rect));
    // A click inside the drawn block starts its drag; the 3-D mode takes none.
    int x = (rect.left + rect.right) / 2;
    int y = kHeight - (rect.top + rect.bottom) / 2;
    EXPECT_TRUE(manager->OnLeftButtonDown(x, y));
    EXPECT_EQ(manager->GetState()->GetDraggedCallsign(), "BBB1");
    manager->OnLeftButtonUp();
    EXPECT_TRUE(manager->OnLeftButtonDown(100, kHeight - 100));
    EXPECT_EQ(environment.selected, "AAA1");
    manager->SetRadarMode(kRadarMode3D);
    EXPECT_FALSE(manager->OnLeftButtonDown(100, kHeight - 100));
    EXPECT_FALSE(manager->OnMiddleButtonDown(x, y));
}

TEST_F(TargetManagerTest, WithoutAircraftNothingIsDrawn) {
    manager->SetEnvironment(&environment);
    Clear();
    PrepareTargetPass();
    manager->Draw(false);
    glFinish();
    EXPECT_FALSE(AnythingDrawn());
}

}  // namespace

// TAAATS marks a callsign on the aircraft database's request list with a
// white "C" on the block's top line.
TEST_F(TargetManagerTest, TaaatsMarksTheRequestList) {
    manager->SetEnvironment(&environment);
    manager->SetRadarMode(10);
    AddAt("AAA1", 200, 150);
    auto whiteNearTheBlock = [&] {
        Clear();
        PrepareTargetPass();
        manager->Draw(false);
        glFinish();
        TagRect rect = manager->GetState()->GetTagRect("AAA1");
        return CountIn(Rgb{255, 255, 255}, rect.left - 2, rect.bottom, rect.right + 2, rect.top + 16);
    };
    const int without = whiteNearTheBlock();
    world.aircraft.ToggleRequestList("AAA1");
    ASSERT_TRUE(manager->IsOnRequestList("AAA1"));
    EXPECT_GT(whiteNearTheBlock(), without);
}
