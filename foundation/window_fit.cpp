// Tested by tests/foundation/window_fit_test.cpp.
#include "foundation/window_fit.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

bool Contains(const ScreenRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool Overlap(const ScreenRect& a, const ScreenRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

ScreenRect At(int x, int y, int width, int height) { return {x, y, x + width, y + height}; }

// The rectangle moved the least distance into the monitor.
ScreenRect Inside(const ScreenRect& r, const ScreenRect& monitor) {
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int x = std::clamp(r.left, monitor.left, monitor.right - width);
    const int y = std::clamp(r.top, monitor.top, monitor.bottom - height);
    return At(x, y, width, height);
}

bool Clear(const ScreenRect& r, const std::vector<ScreenRect>& keepClear) {
    return std::none_of(keepClear.begin(), keepClear.end(),
                        [&](const ScreenRect& k) { return Overlap(r, k); });
}

}  // namespace

ScreenRect FitNewWindow(const ScreenRect& window, const std::vector<ScreenRect>& monitors,
                        const std::vector<ScreenRect>& keepClear) {
    if (monitors.empty()) return window;
    ScreenRect monitor = monitors.front();
    for (const ScreenRect& m : monitors) {
        if (Contains(m, window.left, window.top)) {
            monitor = m;
            break;
        }
    }
    const int width = std::min(window.right - window.left, monitor.right - monitor.left);
    int height = std::min(window.bottom - window.top, monitor.bottom - monitor.top);
    const ScreenRect start = Inside(At(window.left, window.top, width, height), monitor);
    if (Clear(start, keepClear)) return start;

    // Candidates: beside each keep-clear area, on either side, in the window's
    // own row or column; the nearest one that is clear wins.
    std::vector<ScreenRect> candidates;
    for (const ScreenRect& k : keepClear) {
        candidates.push_back(At(start.left, k.bottom, width, height));
        candidates.push_back(At(start.left, k.top - height, width, height));
        candidates.push_back(At(k.right, start.top, width, height));
        candidates.push_back(At(k.left - width, start.top, width, height));
    }
    const ScreenRect* best = nullptr;
    long bestDistance = std::numeric_limits<long>::max();
    for (ScreenRect& c : candidates) {
        c = Inside(c, monitor);
        if (!Clear(c, keepClear)) continue;
        const long distance = std::labs(c.left - start.left) + std::labs(c.top - start.top);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = &c;
        }
    }
    if (best) return *best;

    // Too tall for any gap: the tallest gap of the window's column.
    std::vector<int> edges{monitor.top, monitor.bottom};
    for (const ScreenRect& k : keepClear) {
        if (k.left < start.right && start.left < k.right) {
            edges.push_back(std::clamp(k.top, monitor.top, monitor.bottom));
            edges.push_back(std::clamp(k.bottom, monitor.top, monitor.bottom));
        }
    }
    std::sort(edges.begin(), edges.end());
    ScreenRect fit = start;
    int tallest = 0;
    for (size_t i = 0; i + 1 < edges.size(); ++i) {
        const ScreenRect gap = At(start.left, edges[i], width, edges[i + 1] - edges[i]);
        if (gap.bottom - gap.top > tallest && Clear(gap, keepClear)) {
            tallest = gap.bottom - gap.top;
            fit = gap;
        }
    }
    height = std::min(height, tallest);
    return tallest > 0 ? At(fit.left, fit.top, width, height) : start;
}
