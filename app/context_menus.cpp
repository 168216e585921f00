// Tested by tests/app/aircraft_actions_test.cpp.
#include "app/context_menus.h"

void TarqContextMenus::Schedule(const std::string& title, int x, int y, uint64_t noteKey) {
    m_title = title;
    m_x = x;
    m_y = y;
    m_noteKey = noteKey;
    m_pending = true;
    if (m_startTimer) m_startTimer(kDelayMs);
}

TarqContextMenus::Opening TarqContextMenus::OnTimer() {
    Opening opening;
    if (!m_pending) return opening;
    m_pending = false;
    if (m_state != 0) {
        // Dragged or double-clicked since the press.
        m_state = 0;
        m_title.clear();
        return opening;
    }
    opening.kind = m_title == kStickyNoteTitle ? Opening::Kind::StickyNote : Opening::Kind::Aircraft;
    opening.title = m_title;
    opening.x = m_x;
    opening.y = m_y;
    opening.noteKey = m_noteKey;
    return opening;
}
