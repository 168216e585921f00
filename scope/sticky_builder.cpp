// Sticky notes. Tested by tests/scope/sticky_builder_test.cpp.
#include "scope/sticky_builder.h"

#include <algorithm>

#include "foundation/text_helpers.h"
#include "scope/display_scope.h"
#include "scope/scope_host.h"

namespace {

constexpr int kLineHeight = 12;
constexpr int kTextFont = 1;
const std::string kStickyCommand = ".sticky ";

}  // namespace

TarqStickyBuilder::TarqStickyBuilder(TarqDisplayScope& owner, ScopeHost& host)
    : m_owner(owner), m_host(host) {}

uint64_t TarqStickyBuilder::FreeKey() const {
    // Keys are creation seconds; a second already taken moves on to the next
    // free one so two notes made at once both survive.
    uint64_t key = static_cast<uint64_t>(std::max<int64_t>(m_host.NowSeconds(), 1));
    while (m_notes.count(key)) ++key;
    return key;
}

uint64_t TarqStickyBuilder::AddNote(ScopePoint position, const std::string& text) {
    uint64_t key = FreeKey();
    StickyNote& note = m_notes[key];
    note.position = position;
    note.text = text;
    ExpandNoteTexts();
    return key;
}

void TarqStickyBuilder::SetNoteText(uint64_t key, const std::string& text) {
    auto it = m_notes.find(key);
    if (it == m_notes.end()) return;
    // The editor ends a line with "\r\n" or, on GTK, a bare "\n"; a note keeps "|".
    it->second.text = ReplaceAll(ReplaceAll(ReplaceAll(text, "\r\n", "|"), "\n", "|"), "\r", "|");
    ExpandNoteTexts();
}

std::string TarqStickyBuilder::GetNoteText(uint64_t key) const {
    auto it = m_notes.find(key);
    return it == m_notes.end() ? std::string() : it->second.text;
}

void TarqStickyBuilder::RemoveNote(uint64_t key) {
    if (key == m_dragKey) m_dragKey = 0;
    m_notes.erase(key);
}

void TarqStickyBuilder::ClearNotes() {
    m_dragKey = 0;
    m_notes.clear();
}

void TarqStickyBuilder::ExpandNoteTexts() {
    std::string context = m_host.GetSelectedCallsign();
    for (auto& [key, note] : m_notes) {
        if (!m_host.ExpandAliases(note.text, note.expandedText, context))
            m_host.ShowError("Error parsing alias within sticky note. It may contain an alias loop.");
    }
    m_lastExpansion = m_host.NowSeconds();
}

std::vector<StickyNoteBox> TarqStickyBuilder::Layout() {
    if (m_host.NowSeconds() - m_lastExpansion > 5) ExpandNoteTexts();
    if (m_dragKey != 0) {
        auto it = m_notes.find(m_dragKey);
        if (it != m_notes.end()) {
            ScopePoint mouse = m_owner.GetMousePosition();
            it->second.position = {mouse.x + m_dragOffset.x, mouse.y + m_dragOffset.y};
        }
    }
    std::vector<StickyNoteBox> boxes;
    boxes.reserve(m_notes.size());
    for (auto& [key, note] : m_notes) {
        PixelPoint p = m_owner.ProjectToScreen(note.position);
        int ax = p.x - 4;
        int ay = p.y - 4;
        std::vector<std::string> lines = SplitFields(note.expandedText, '|');
        int widest = 0;
        for (const std::string& line : lines) widest = std::max(widest, m_host.MeasureText(line, kTextFont));
        int w = widest + 6;
        int h = kLineHeight * static_cast<int>(lines.size());
        StickyNoteBox box;
        int loop[4][2] = {{ax + w + 1, ay + 12}, {ax, ay + 12}, {ax, ay + 12 - h}, {ax + w, ay + 12 - h}};
        std::copy(&loop[0][0], &loop[0][0] + 8, &box.loop[0][0]);
        note.left = ax + 3;
        note.right = ax + w + 3;
        note.top = ay + 10;
        note.bottom = ay + 10 - h;
        for (size_t i = 0; i < lines.size(); ++i)
            box.lines.push_back({ax + 4, ay + 3 - kLineHeight * static_cast<int>(i), lines[i]});
        boxes.push_back(std::move(box));
    }
    return boxes;
}

std::map<uint64_t, StickyNote>::iterator TarqStickyBuilder::HitTest(int x, int y) {
    int yUp = m_owner.GetViewportSize().y - y;
    for (auto it = m_notes.begin(); it != m_notes.end(); ++it) {
        const StickyNote& n = it->second;
        if (x >= n.left && x <= n.right && yUp <= n.top && yUp >= n.bottom) return it;
    }
    return m_notes.end();
}

bool TarqStickyBuilder::OnLeftButtonDown(int x, int y, bool alt) {
    if (m_owner.GetRadarMode() == kRadarMode3D) return false;
    auto hit = HitTest(x, y);
    if (hit != m_notes.end()) {
        if (alt) {
            RemoveNote(hit->first);
            return true;
        }
        ScopePoint mouse = m_owner.GetMousePosition();
        m_dragOffset = {hit->second.position.x - mouse.x, hit->second.position.y - mouse.y};
        m_dragKey = hit->first;
        m_host.SetCaptureScope(&m_owner);
        return true;
    }
    std::string command = m_host.GetCommandLine();
    if (command.compare(0, kStickyCommand.size(), kStickyCommand) != 0) return false;
    if (command.size() > kStickyCommand.size()) {
        uint64_t key = FreeKey();
        StickyNote& note = m_notes[key];
        note.position = m_owner.GetMousePosition();
        note.text = command.substr(kStickyCommand.size());
        ExpandNoteTexts();
        m_host.SetCommandLine("");
        m_host.AddToCommandHistory(command);
    } else {
        m_host.ShowError("No text entered.");
    }
    return true;
}

bool TarqStickyBuilder::OnRightButtonDown(int x, int y) {
    if (m_owner.GetRadarMode() == kRadarMode3D) return false;
    auto hit = HitTest(x, y);
    if (hit == m_notes.end()) return false;
    m_host.RequestNoteMenu(hit->first, x, y);
    return true;
}

void TarqStickyBuilder::EndDrag() {
    m_dragKey = 0;
    if (m_host.GetCaptureScope() == &m_owner) m_host.SetCaptureScope(nullptr);
}

bool TarqStickyBuilder::ReleaseDraggedNote(StickyNote& note, ScopePoint& offset) {
    if (m_dragKey == 0) return false;
    auto it = m_notes.find(m_dragKey);
    m_dragKey = 0;
    if (it == m_notes.end()) return false;
    note = it->second;
    offset = m_dragOffset;
    m_notes.erase(it);
    return true;
}

void TarqStickyBuilder::AdoptDraggedNote(const StickyNote& note, ScopePoint offset) {
    uint64_t key = FreeKey();
    m_notes[key] = note;
    m_dragKey = key;
    m_dragOffset = offset;
    m_host.SetCaptureScope(&m_owner);
}
