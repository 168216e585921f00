#include "platform/gl_context_resources.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/offscreen_gl.h"

namespace {

// Two displays, each with its own context, fonts and lists; the second is
// closed while the main one's context is current (the main one drew last).
class TwoContexts : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_mainGl.Ok() && m_secondGl.Ok());
        m_main = std::make_unique<GlContextResources>([this] { return m_mainGl.MakeCurrent(); });
        m_second = std::make_unique<GlContextResources>(
            [this] { return m_secondCanBeCurrent && m_secondGl.MakeCurrent(); });
        ASSERT_TRUE(m_main->LoadFont(2, DisplayFontSpec(2)));
        ASSERT_TRUE(m_second->LoadFont(2, DisplayFontSpec(2)));
        m_mainLists = m_main->NewLists(3);
        m_secondLists = m_second->NewLists(3);
        ASSERT_NE(m_mainLists, 0u);
        ASSERT_TRUE(m_main->MakeCurrent());
    }
    // Whether the main display's names are still lists in its own context.
    bool MainIntact() {
        m_main->MakeCurrent();
        return glIsTexture(m_main->Font(2)->AtlasTexture()) && glIsList(m_mainLists);
    }

    OffscreenGl m_mainGl{64, 32};
    OffscreenGl m_secondGl{64, 32};
    bool m_secondCanBeCurrent = true;
    std::unique_ptr<GlContextResources> m_main;
    std::unique_ptr<GlContextResources> m_second;
    unsigned m_mainLists = 0;
    unsigned m_secondLists = 0;
};

TEST_F(TwoContexts, ClosingTheSecondFreesItsNamesInItsOwnContext) {
    EXPECT_EQ(m_main->Font(2)->AtlasTexture(), m_second->Font(2)->AtlasTexture()) << "each context numbers its own";
    unsigned secondFont = m_second->Font(2)->AtlasTexture();
    m_second.reset();
    EXPECT_TRUE(MainIntact());
    m_secondGl.MakeCurrent();
    EXPECT_FALSE(glIsTexture(secondFont));
    EXPECT_FALSE(glIsList(m_secondLists));
}

TEST_F(TwoContexts, AContextThatCannotBeMadeCurrentFreesNothingElsewhere) {
    m_secondCanBeCurrent = false;
    m_second.reset();
    EXPECT_TRUE(MainIntact());
}

TEST_F(TwoContexts, ListsFreedEarlyGoInTheirOwnContextOrWaitForIt) {
    m_secondCanBeCurrent = false;
    m_second->FreeLists(m_secondLists);
    EXPECT_TRUE(MainIntact()) << "nothing freed elsewhere";
    m_secondGl.MakeCurrent();
    EXPECT_TRUE(glIsList(m_secondLists)) << "kept for later";
    m_mainGl.MakeCurrent();
    m_secondCanBeCurrent = true;
    m_second->FreeLists(m_secondLists);
    EXPECT_TRUE(MainIntact());
    m_secondGl.MakeCurrent();
    EXPECT_FALSE(glIsList(m_secondLists));
    EXPECT_TRUE(glIsTexture(m_second->Font(2)->AtlasTexture())) << "the font stays";
}

// A scope's lists freed while the other display drew last, as a display
// closed from the main one's redraw: the same numbers in the main context
// stay, whether or not the owner can still be made current.
TEST_F(TwoContexts, ListsFreedAloneGoInTheirOwnContextOrNowhere) {
    ASSERT_EQ(m_mainLists, m_secondLists) << "each context numbers its own";
    for (bool canBeCurrent : {false, true}) {
        SCOPED_TRACE(canBeCurrent);
        unsigned lists = m_second->NewLists(2);
        ASSERT_NE(lists, 0u);
        ASSERT_EQ(m_main->NewLists(2), lists);
        m_main->MakeCurrent();
        m_secondCanBeCurrent = canBeCurrent;
        m_second->FreeLists(lists);
        EXPECT_TRUE(MainIntact());
        m_main->MakeCurrent();
        EXPECT_TRUE(glIsList(lists));
        m_secondCanBeCurrent = true;
        m_secondGl.MakeCurrent();
        if (canBeCurrent) {
            EXPECT_FALSE(glIsList(lists));
        }
    }
    m_second->FreeLists(m_secondLists);
    m_main->MakeCurrent();
    EXPECT_TRUE(MainIntact());
}

TEST(GlContextResources, NothingIsMadeWithoutTheContext) {
    GlContextResources resources([] { return false; });
    EXPECT_FALSE(resources.LoadFont(1, DisplayFontSpec(1)));
    EXPECT_EQ(resources.Font(1), nullptr);
    EXPECT_EQ(resources.NewLists(2), 0u);
}

}  // namespace
