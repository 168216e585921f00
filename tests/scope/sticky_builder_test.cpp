// Sticky notes: keys, text edits, box layout and hit rectangles, Alt-click,
// the ".sticky " click, expansion failures and dragging between scopes.
#include "scope/sticky_builder.h"

#include <gtest/gtest.h>

#include "scope_fixture.h"

namespace {

class StickyTest : public ScopeFixture {
protected:
    void SetUp() override {
        ScopeFixture::SetUp();
        LongitudeScale = 1.0;
        TarqDisplaySettings settings;
        settings.SectorFile = "";
        scope = std::make_unique<TarqDisplayScope>(host, settings, &library);
        scope->SetViewportSize(800, 600);
        scope->SetZoom(0.6);  // 0.01 degree a pixel; the centre (0, 0) at (400, 300)
        host.mainScope = scope.get();
        notes = scope->GetStickyBuilder();
    }
    // A mouse move with no button, so the scope knows where the mouse is.
    void MoveMouse(int x, int y) {
        ScopeMouse m;
        m.x = x;
        m.y = y;
        scope->OnMouseMove(m);
    }
    std::unique_ptr<TarqDisplayScope> scope;
    TarqStickyBuilder* notes = nullptr;
};

TEST_F(StickyTest, NotesMadeInTheSameSecondKeepBothKeys) {
    uint64_t a = notes->AddNote({0, 0}, "ONE");
    uint64_t b = notes->AddNote({0, 0}, "TWO");
    EXPECT_NE(a, b);
    EXPECT_EQ(notes->Notes().size(), 2u);
    EXPECT_EQ(notes->GetNoteText(a), "ONE");
    EXPECT_EQ(notes->GetNoteText(b), "TWO");
}

TEST_F(StickyTest, EditedLineBreaksComeBackAsBars) {
    uint64_t key = notes->AddNote({0, 0}, "X");
    // Windows edit boxes end a line with CR LF, GTK's with LF alone.
    for (const char* typed : {"A\r\nB\r\nC", "A\nB\nC", "A\r\nB\nC"}) {
        SCOPED_TRACE(typed);
        notes->SetNoteText(key, typed);
        EXPECT_EQ(notes->GetNoteText(key), "A|B|C");
    }
    notes->SetNoteText(key + 99, "ignored");
    EXPECT_EQ(notes->GetNoteText(key + 99), "");
    notes->RemoveNote(key + 99);
    EXPECT_EQ(notes->Notes().size(), 1u);
}

TEST_F(StickyTest, BoxHeightFollowsTheLinesAndTheHitRectangleIsOffset) {
    struct Case {
        const char* name;
        const char* text;
        int height;
    } cases[] = {{"one line", "HELLO", 12}, {"two lines", "HELLO|WORLD!", 24}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        notes->ClearNotes();
        uint64_t key = notes->AddNote({0, 0}, c.text);
        std::vector<StickyNoteBox> boxes = notes->Layout();
        ASSERT_EQ(boxes.size(), 1u);
        const StickyNoteBox& box = boxes[0];
        // Anchor (396, 296): top 308, bottom 308 - height.
        EXPECT_EQ(box.loop[1][0], 396);
        EXPECT_EQ(box.loop[1][1], 308);
        EXPECT_EQ(box.loop[2][1], 308 - c.height);
        const StickyNote& note = notes->Notes().at(key);
        EXPECT_EQ(note.left, 399);
        EXPECT_EQ(note.top, 306);
        EXPECT_EQ(note.top - note.bottom, c.height);
        EXPECT_EQ(box.lines.size(), static_cast<size_t>(c.height / 12));
        EXPECT_EQ(box.lines[0].x, 400);
        EXPECT_EQ(box.lines[0].y, 299);
    }
}

TEST_F(StickyTest, AltClickDeletesAndThreeLeftColumnsMiss) {
    uint64_t key = notes->AddNote({0, 0}, "HELLO");
    notes->Layout();
    // The box's leftmost column is 396; the hit rectangle starts at 399.
    EXPECT_FALSE(notes->OnLeftButtonDown(397, 600 - 300, true));
    EXPECT_TRUE(notes->OnLeftButtonDown(400, 600 - 300, true));
    EXPECT_EQ(notes->GetNoteText(key), "");
    EXPECT_TRUE(notes->Notes().empty());
}

TEST_F(StickyTest, OverlappingNotesHitTheOldestAndDragIt) {
    host.now = 100;
    uint64_t older = notes->AddNote({0, 0}, "OLD");
    host.now = 101;
    notes->AddNote({0, 0}, "NEW");
    notes->Layout();
    MoveMouse(401, 300);
    ASSERT_TRUE(notes->OnLeftButtonDown(401, 300, false));
    EXPECT_TRUE(notes->IsDragging());
    EXPECT_EQ(host.capture, scope.get());
    MoveMouse(451, 250);  // 50 px right and up: half a degree each way
    notes->Layout();
    EXPECT_NEAR(notes->Notes().at(older).position.x, 0.5, 1e-9);
    EXPECT_NEAR(notes->Notes().at(older).position.y, 0.5, 1e-9);
    scope->OnLeftButtonUp({});
    EXPECT_FALSE(notes->IsDragging());
    EXPECT_EQ(host.capture, nullptr);
}

TEST_F(StickyTest, StickyCommandClickAddsANoteOrComplains) {
    MoveMouse(500, 300);
    host.commandLine = ".sticky CHECK WX";
    EXPECT_TRUE(notes->OnLeftButtonDown(500, 300, false));
    ASSERT_EQ(notes->Notes().size(), 1u);
    EXPECT_EQ(notes->Notes().begin()->second.text, "CHECK WX");
    EXPECT_NEAR(notes->Notes().begin()->second.position.x, 1.0, 1e-9);
    EXPECT_EQ(host.commandLine, "");
    EXPECT_EQ(host.history, (std::vector<std::string>{".sticky CHECK WX"}));

    host.commandLine = ".sticky ";
    EXPECT_TRUE(notes->OnLeftButtonDown(10, 10, false));
    EXPECT_EQ(host.errors, (std::vector<std::string>{"No text entered."}));
    host.commandLine = "hello";
    EXPECT_FALSE(notes->OnLeftButtonDown(10, 10, false));
}

TEST_F(StickyTest, ThreeDModeNeverReachesTheNotes) {
    notes->AddNote({0, 0}, "HELLO");
    notes->Layout();
    scope->SetRadarMode(kRadarMode3D);
    EXPECT_FALSE(notes->OnLeftButtonDown(400, 300, true));
    EXPECT_FALSE(notes->OnRightButtonDown(400, 300));
    EXPECT_EQ(notes->Notes().size(), 1u);
}

TEST_F(StickyTest, RightClickAsksForTheNoteMenu) {
    uint64_t key = notes->AddNote({0, 0}, "HELLO");
    notes->Layout();
    EXPECT_TRUE(notes->OnRightButtonDown(400, 300));
    ASSERT_EQ(host.noteMenus.size(), 1u);
    EXPECT_EQ(host.noteMenus[0].first, key);
}

TEST_F(StickyTest, ExpansionRunsWithTheSelectedCallsignAndReportsLoops) {
    host.selected = "ABC123";
    uint64_t key = notes->AddNote({0, 0}, "WATCH $cs");
    EXPECT_EQ(notes->Notes().at(key).expandedText, "WATCH ABC123");
    int before = host.expansions;
    notes->Layout();
    EXPECT_EQ(host.expansions, before);  // fresh: no expansion
    host.now += 6;
    notes->AddNote({1, 1}, "LOOP");
    EXPECT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], "Error parsing alias within sticky note. It may contain an alias loop.");
}

TEST_F(StickyTest, ANoteDraggedIntoAnotherScopeMovesThere) {
    TarqDisplayScope other(host, TarqDisplaySettings{}, &library);
    other.SetViewportSize(800, 600);
    other.SetZoom(0.6);
    notes->AddNote({0, 0}, "MOVE ME");
    notes->Layout();
    MoveMouse(400, 300);
    ASSERT_TRUE(notes->OnLeftButtonDown(400, 300, false));
    ScopeMouse m;
    m.x = 200;
    m.y = 300;
    m.left = true;
    other.OnMouseMove(m);
    EXPECT_TRUE(notes->Notes().empty());
    ASSERT_EQ(other.GetStickyBuilder()->Notes().size(), 1u);
    EXPECT_TRUE(other.GetStickyBuilder()->IsDragging());
    EXPECT_EQ(host.capture, &other);
    EXPECT_EQ(other.GetStickyBuilder()->Notes().begin()->second.text, "MOVE ME");
}

}  // namespace
