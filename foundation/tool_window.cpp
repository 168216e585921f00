// Tested by tests/foundation/tool_window_test.cpp.
#include "foundation/tool_window.h"

bool IsPointOnAnyMonitor(const ToolWindowFrame& frame, int x, int y) {
    return frame.IsPointOnMonitor(x + 15, y + 15);
}

void TarqToolWindow::Show() {
    if (!m_frame) return;
    ScreenRect rect = m_frame->GetWindowRect();
    if (!IsPointOnAnyMonitor(*m_frame, rect.left, rect.top)) Move(15, 15);
    m_frame->ShowAndRaise();
    if (m_collapsed) ToggleCollapse();
}

void TarqToolWindow::Hide() {
    if (m_frame) m_frame->HideWindow();
}

void TarqToolWindow::ToggleVisible() {
    if (IsVisible())
        Hide();
    else
        Show();
}

bool TarqToolWindow::IsVisible() const { return m_frame && m_frame->IsShown(); }

void TarqToolWindow::Activate() {
    if (m_frame) m_frame->Activate();
}

void TarqToolWindow::Move(int x, int y) {
    if (m_frame) m_frame->Place(x, y, -1, -1, false);
}

void TarqToolWindow::SetPosition(int x, int y, int height) {
    if (!m_frame) return;
    if (height < 1) {
        m_frame->Place(x, y, -1, -1, true);
        return;
    }
    m_frame->Place(x, y, m_width > 0 ? m_width : -1, height, true);
    const ScreenRect placed = m_frame->GetWindowRect();
    m_heldWidth = placed.right - placed.left;
    m_heldHeight = placed.bottom - placed.top;
    m_heldFrameHeight = m_heldHeight - m_frame->GetClientHeight();
    m_holdingSize = true;
}

void TarqToolWindow::FrameSized() {
    if (!m_frame || !m_holdingSize || m_collapsed) return;
    const ScreenRect now = m_frame->GetWindowRect();
    const int width = now.right - now.left;
    const int height = now.bottom - now.top;
    const int frameHeight = height - m_frame->GetClientHeight();
    if (frameHeight == m_heldFrameHeight) {
        // Sized with the frame unchanged: by the user, who now owns the size.
        if (width != m_heldWidth || height != m_heldHeight) m_holdingSize = false;
        return;
    }
    m_heldFrameHeight = frameHeight;
    if (width != m_heldWidth || height != m_heldHeight)
        m_frame->Place(now.left, now.top, m_heldWidth, m_heldHeight, false);
}

void TarqToolWindow::GetRect(ScreenRect* rect) const {
    if (!rect) return;
    *rect = m_frame ? m_frame->GetWindowRect() : ScreenRect{};
    if (m_collapsed) rect->bottom = rect->top + m_savedHeight;
}

void TarqToolWindow::ToggleCollapse() {
    if (!m_frame) return;
    ScreenRect rect = m_frame->GetWindowRect();
    int width = rect.right - rect.left;
    m_holdingSize = false;
    if (!m_collapsed) {
        m_savedHeight = rect.bottom - rect.top;
        m_hadSizingFrame = m_frame->HasSizingFrame();
        m_frame->Place(rect.left, rect.top, width, m_savedHeight - m_frame->GetClientHeight(), false);
        // A rolled-up window is not to be sized by its frame.
        if (m_hadSizingFrame) m_frame->SetSizingFrame(false);
        m_collapsed = true;
        m_frame->ActivateMainDisplay();
    } else {
        m_frame->Place(rect.left, rect.top, width, m_savedHeight, false);
        if (m_hadSizingFrame) m_frame->SetSizingFrame(true);
        // The window's size event arranges its controls for the new height.
        m_collapsed = false;
    }
}
