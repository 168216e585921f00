// Tested by tests/foundation/window_snap_test.cpp.
#include "foundation/window_snap.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool g_snappingEnabled = true;

int OppositeSide(int side) { return (side + 2) % 4; }

bool Within(int value, int low, int high) { return value >= low && value <= high; }

void ApplySnap(ScreenRect& n, const ScreenRect& current, int side, int value) {
    int delta = value - RectSide(n, side);
    RectSide(n, side) = value;
    int opposite = OppositeSide(side);
    // When the opposite side moves too the window is dragged, not sized:
    // keep its size.
    if (RectSide(n, opposite) != RectSide(current, opposite)) RectSide(n, opposite) += delta;
}

}  // namespace

int& RectSide(ScreenRect& rect, int side) {
    switch (side & 3) {
        case 0:
            return rect.left;
        case 1:
            return rect.top;
        case 2:
            return rect.right;
        default:
            return rect.bottom;
    }
}

int RectSide(const ScreenRect& rect, int side) { return RectSide(const_cast<ScreenRect&>(rect), side); }

std::optional<int> TrySnapSide(const ScreenRect& n, const ScreenRect& o, int side, bool sameSide) {
    int target = sameSide ? side : OppositeSide(side);
    int p1 = (side + 1) % 4;
    int p2 = (side + 3) % 4;
    if (std::abs(RectSide(n, side) - RectSide(o, target)) < kSnapDistance) {
        int a1 = std::min(RectSide(n, p1), RectSide(n, p2));
        int b1 = std::max(RectSide(n, p1), RectSide(n, p2));
        int a2 = std::min(RectSide(o, p1), RectSide(o, p2));
        int b2 = std::max(RectSide(o, p1), RectSide(o, p2));
        if (Within(a1, a2, b2) || Within(b1, a2, b2)) return RectSide(o, target);
    }
    if (std::abs(RectSide(n, side) - RectSide(o, side)) >= kSnapDistance) return std::nullopt;
    if (std::abs(RectSide(n, p1) - RectSide(o, p2)) < kSnapDistance ||
        std::abs(RectSide(o, p1) - RectSide(n, p2)) < kSnapDistance)
        return RectSide(o, side);
    return std::nullopt;
}

void SnapPlacement(WindowPlacement* pos, const ScreenRect& current, const std::vector<ScreenRect>& targets,
                   const ScreenRect& workArea) {
    ScreenRect n{pos->x, pos->y, pos->x + pos->cx, pos->y + pos->cy};
    for (int side = 0; side < 4; ++side) {
        if (RectSide(n, side) == RectSide(current, side)) continue;
        // Every hit is applied in turn, each seeing the rectangle as snapped
        // so far, so the work area has the last word.
        for (const ScreenRect& target : targets) {
            if (std::optional<int> v = TrySnapSide(n, target, side, false)) ApplySnap(n, current, side, *v);
        }
        if (std::optional<int> v = TrySnapSide(n, workArea, side, true)) ApplySnap(n, current, side, *v);
    }
    pos->x = n.left;
    pos->y = n.top;
    pos->cx = n.right - n.left;
    pos->cy = n.bottom - n.top;
}

WindowSnapManager* WindowSnapManager::GetInstance() {
    static WindowSnapManager* instance = new WindowSnapManager;
    return instance;
}

void WindowSnapManager::RegisterWindow(WindowHandle window) {
    if (window) m_windows.insert(window);
}

void WindowSnapManager::UnregisterWindow(WindowHandle window) { m_windows.erase(window); }

void WindowSnapManager::SnapWindow(WindowPlacement* pos) {
    if (!m_system || !pos) return;
    ScreenRect workArea = m_system->WorkArea();
    if (!g_snappingEnabled || m_system->IsControlDown()) return;
    ScreenRect current;
    if (!m_system->GetWindowRect(pos->window, &current)) return;
    std::vector<ScreenRect> targets;
    for (WindowHandle other : m_windows) {
        if (other == pos->window || !m_system->IsWindowVisible(other)) continue;
        ScreenRect rect;
        if (m_system->GetWindowRect(other, &rect)) targets.push_back(rect);
    }
    SnapPlacement(pos, current, targets, workArea);
}

void WindowSnapManager::EnableSnapping() { g_snappingEnabled = true; }
void WindowSnapManager::DisableSnapping() { g_snappingEnabled = false; }
bool WindowSnapManager::IsSnappingEnabled() { return g_snappingEnabled; }
