// Sticky notes of one scope: text pinned to a position, expanded through the
// aliases, drawn as a box over the targets, dragged (also into another
// display's scope), edited and deleted. Layout and hit testing are here; the
// GL side draws the layout (scope_gl.cpp). Notes are never saved.
// Tested by tests/scope/sticky_builder_test.cpp.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "atc/scope_point.h"

class ScopeHost;
class TarqDisplayScope;

struct StickyNote {
    ScopePoint position;
    std::string text;          // lines separated by "|"
    std::string expandedText;  // the same after alias expansion
    // Window pixels, y up, from the last layout.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// One note as the frame draws it, in pixels from the bottom left.
struct StickyNoteBox {
    int loop[4][2] = {};  // border, a closed loop
    struct Line {
        int x = 0;
        int y = 0;
        std::string text;
    };
    std::vector<Line> lines;
};

class TarqStickyBuilder {
public:
    TarqStickyBuilder(TarqDisplayScope& owner, ScopeHost& host);
    virtual ~TarqStickyBuilder() = default;
    TarqStickyBuilder(const TarqStickyBuilder&) = delete;
    TarqStickyBuilder& operator=(const TarqStickyBuilder&) = delete;

    // Returns the note's key: the current second, or the next free one.
    uint64_t AddNote(ScopePoint position, const std::string& text);
    // CR LF pairs become "|"; an unknown key does nothing.
    void SetNoteText(uint64_t key, const std::string& text);
    std::string GetNoteText(uint64_t key) const;
    void RemoveNote(uint64_t key);
    void ClearNotes();
    const std::map<uint64_t, StickyNote>& Notes() const { return m_notes; }

    // Expands the texts when more than 5 s have passed, moves a dragged note
    // to the mouse, works out each note's box and hit rectangle.
    std::vector<StickyNoteBox> Layout();

    // Window pixels (y down); whether the notes took the click.
    bool OnLeftButtonDown(int x, int y, bool alt);
    bool OnRightButtonDown(int x, int y);
    bool IsDragging() const { return m_dragKey != 0; }
    void EndDrag();
    // Hands the dragged note over to another scope's builder.
    bool ReleaseDraggedNote(StickyNote& note, ScopePoint& offset);
    void AdoptDraggedNote(const StickyNote& note, ScopePoint offset);
    void ExpandNoteTexts();

private:
    uint64_t FreeKey() const;
    // First note in key order whose hit rectangle holds the window pixel.
    std::map<uint64_t, StickyNote>::iterator HitTest(int x, int y);

    TarqDisplayScope& m_owner;
    ScopeHost& m_host;
    uint64_t m_dragKey = 0;
    ScopePoint m_dragOffset;
    std::map<uint64_t, StickyNote> m_notes;
    int64_t m_lastExpansion = 0;
};
