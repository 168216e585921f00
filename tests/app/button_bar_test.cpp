// The button bar's layout and click routing with buttons that only report
// their widths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/display_button_bar.h"

namespace {

struct FakeButton : TarqDisplayButton {
    FakeButton(TarqDisplayButtonBar* bar, std::string name, int width, std::vector<std::string>* log)
        : TarqDisplayButton(bar, width), name(std::move(name)), log(log) {}
    int Draw(int x, int y) override {
        m_x = x;
        m_y = y;
        return shown ? m_width : 0;
    }
    int Compose(int x, int y, ButtonPicture&) override { return Draw(x, y); }
    void OnClick(int x, int y) override {
        log->push_back(name + " " + std::to_string(x) + "," + std::to_string(y));
    }
    std::string name;
    std::vector<std::string>* log;
    bool shown = true;
};

struct FakeKinds : TarqButtonKinds {
    struct Spec {
        std::string name;
        int width;
        bool shown;
    };
    std::vector<std::unique_ptr<TarqDisplayButton>> Make(TarqDisplayButtonBar& bar,
                                                         const std::vector<Spec>& specs,
                                                         std::vector<FakeButton*>& made) {
        std::vector<std::unique_ptr<TarqDisplayButton>> buttons;
        made.clear();
        for (const Spec& spec : specs) {
            auto button = std::make_unique<FakeButton>(&bar, spec.name, spec.width, &clicks);
            button->shown = spec.shown;
            made.push_back(button.get());
            buttons.push_back(std::move(button));
        }
        return buttons;
    }
    std::vector<std::unique_ptr<TarqDisplayButton>> CreateFixedButtons(TarqDisplayButtonBar& bar) override {
        return Make(bar, fixedSpecs, fixed);
    }
    std::vector<std::unique_ptr<TarqDisplayButton>> CreateDynamicButtons(TarqDisplayButtonBar& bar) override {
        return Make(bar, dynamicSpecs, dynamic);
    }
    std::vector<Spec> fixedSpecs;
    std::vector<Spec> dynamicSpecs;
    std::vector<FakeButton*> fixed;
    std::vector<FakeButton*> dynamic;
    std::vector<std::string> clicks;
};

// Fixed: A 50 wide, B hidden, C 60 wide; dynamic: D 30 wide. In an 800 x 600
// area the boxes hang from y 553 to 596: A at x 4, C at 62, D at 130.
class ButtonBarTest : public ::testing::Test {
protected:
    ButtonBarTest() {
        kinds.fixedSpecs = {{"A", 50, true}, {"B", 40, false}, {"C", 60, true}};
        kinds.dynamicSpecs = {{"D", 30, true}};
        bar = std::make_unique<TarqDisplayButtonBar>(nullptr, kinds, nullptr);
        bar->Rebuild();
    }
    FakeKinds kinds;
    std::unique_ptr<TarqDisplayButtonBar> bar;
};

TEST_F(ButtonBarTest, LaysOutShownButtonsLeftToRight) {
    bar->LayOut(0, 0, 800, 600);
    EXPECT_EQ(kinds.fixed[0]->GetX(), 4);
    EXPECT_EQ(kinds.fixed[2]->GetX(), 62);  // B took no room
    EXPECT_EQ(kinds.dynamic[0]->GetX(), 130);
    EXPECT_EQ(kinds.fixed[0]->GetY(), 553);
    EXPECT_EQ(bar->GetFixedWidths(), (std::vector<int>{51, 0, 61}));
    EXPECT_EQ(bar->GetDynamicWidths(), (std::vector<int>{31}));
    EXPECT_EQ(bar->GetLeft(), 4);
    EXPECT_EQ(bar->GetRight(), 161);
    EXPECT_EQ(bar->GetBottom(), 553);
    EXPECT_EQ(bar->GetTop(), 596);
}

TEST_F(ButtonBarTest, HitTestAtTheExactBoundaries) {
    bar->LayOut(0, 0, 800, 600);
    struct Case {
        const char* name;
        int x;
        int y;
        const char* taker;  // empty: not taken
    };
    const Case cases[] = {
        {"A's left edge", 4, 560, "A"},
        {"the margin left of A", 3, 560, ""},
        {"A's outline column", 54, 560, "A"},
        {"first gap pixel after A", 55, 560, ""},
        {"last gap pixel before C", 61, 560, ""},
        {"C's left edge", 62, 560, "C"},
        {"C's outline column", 122, 560, "C"},
        {"gap after C", 123, 560, ""},
        {"D's left edge", 130, 560, "D"},
        {"D's outline column", 160, 560, "D"},
        {"right of the last button", 161, 560, ""},
        {"the box bottom", 10, 553, "A"},
        {"below the boxes", 10, 552, ""},
        {"the box top", 10, 596, "A"},
        {"the top margin", 10, 597, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        kinds.clicks.clear();
        bool taken = bar->HitTest(c.x, c.y);
        EXPECT_EQ(taken, *c.taker != 0);
        if (*c.taker) {
            ASSERT_EQ(kinds.clicks.size(), 1u);
            EXPECT_EQ(kinds.clicks[0],
                      std::string(c.taker) + " " + std::to_string(c.x) + "," + std::to_string(c.y));
        } else {
            EXPECT_TRUE(kinds.clicks.empty());
        }
    }
}

TEST_F(ButtonBarTest, NothingIsClickableBeforeTheFirstFrame) {
    EXPECT_FALSE(bar->HitTest(10, 560));
    EXPECT_FALSE(bar->HitTest(0, 0));
    EXPECT_TRUE(kinds.clicks.empty());
}

TEST_F(ButtonBarTest, WithEveryButtonHiddenNoClickIsTaken) {
    for (FakeButton* b : kinds.fixed) b->shown = false;
    kinds.dynamic[0]->shown = false;
    bar->LayOut(0, 0, 800, 600);
    EXPECT_EQ(bar->GetRight(), bar->GetLeft() - 7);
    EXPECT_FALSE(bar->HitTest(4, 560));
}

TEST_F(ButtonBarTest, AButtonThatShowsItselfAgainIsClickableFromTheNextFrame) {
    bar->LayOut(0, 0, 800, 600);
    ASSERT_TRUE(bar->HitTest(70, 560));
    EXPECT_EQ(kinds.clicks.back(), "C 70,560");
    kinds.fixed[1]->shown = true;
    ASSERT_TRUE(bar->HitTest(70, 560));
    EXPECT_EQ(kinds.clicks.back(), "C 70,560") << "B takes no click before it is drawn";
    bar->LayOut(0, 0, 800, 600);
    EXPECT_EQ(kinds.fixed[2]->GetX(), 110);
    ASSERT_TRUE(bar->HitTest(70, 560));
    EXPECT_EQ(kinds.clicks.back(), "B 70,560");
}

TEST_F(ButtonBarTest, RebuiltButtonsTakeClicksOnlyOnceDrawn) {
    bar->LayOut(0, 0, 800, 600);
    kinds.dynamicSpecs = {{"E", 20, true}, {"F", 20, true}};
    bar->Rebuild();
    EXPECT_EQ(bar->GetDynamicWidths(), (std::vector<int>{0, 0}));
    EXPECT_FALSE(bar->HitTest(135, 560));
    bar->LayOut(0, 0, 800, 600);
    ASSERT_TRUE(bar->HitTest(135, 560));
    EXPECT_EQ(kinds.clicks.back(), "E 135,560");
    EXPECT_TRUE(bar->HitTest(158, 560));
    EXPECT_EQ(kinds.clicks.back(), "F 158,560");

    kinds.dynamicSpecs.clear();
    bar->Rebuild();
    bar->LayOut(0, 0, 800, 600);
    EXPECT_TRUE(bar->GetDynamicWidths().empty());
    EXPECT_EQ(bar->GetRight(), 123);
}

TEST_F(ButtonBarTest, ViewportOriginShiftsTheBar) {
    bar->LayOut(100, 0, 800, 600);
    EXPECT_EQ(bar->GetLeft(), 104);
    EXPECT_EQ(kinds.fixed[0]->GetX(), 104);
}

}  // namespace
