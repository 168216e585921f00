// How a scope point becomes a pixel and back in the 2-D radar modes: view
// centre, zoom (NM per pixel), rotation and viewport give the visible
// extents; zoom and pan keep within their limits. Reads LongitudeScale at
// each call. Tested by tests/scope/scope_projection_test.cpp.
#pragma once

#include "atc/scope_point.h"

struct PixelPoint {
    int x = 0;
    int y = 0;

    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
    friend PixelPoint operator+(PixelPoint a, PixelPoint b) { return {a.x + b.x, a.y + b.y}; }
};

// Zoom limits in NM per pixel; the ceiling shows at most 16000 pixels' worth
// of NM across the scope whatever its width.
inline constexpr double kMinZoom = 0.00001;
inline constexpr double kZoomCeilingWidth = 16000.0;

class ScopeProjection {
public:
    // Client size in pixels; a height of 0 is kept as 1.
    void SetViewport(int width, int height);
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    ScopePoint GetCenter() const { return m_center; }
    void SetCenter(ScopePoint center);
    double GetZoom() const { return m_zoom; }
    void SetZoom(double zoom);
    // Degrees added to every bearing before projection (magnetic variation).
    double GetRotation() const { return m_rotation; }
    void SetRotation(double rotation) { m_rotation = rotation; }

    // Pixel from the bottom left, y up; truncated toward zero.
    PixelPoint ProjectToScreen(ScopePoint point) const;
    // The same with y counted from the top.
    PixelPoint ProjectToWindow(ScopePoint point) const;
    // A window pixel (y down) back to a scope point: the inverse of ProjectToWindow.
    ScopePoint WindowToPoint(int x, int y) const;

    // The mouse moved by (dx, dy) window pixels with the pan button held: the
    // map follows the mouse; the centre stays within +-360 by +-180 degrees.
    void Pan(int dx, int dy);
    void ZoomIn(bool fast);
    void ZoomOut(bool fast);

    // The visible area in scaled degrees: what the orthographic box spans.
    double Left() const { return m_left; }
    double Right() const { return m_right; }
    double Bottom() const { return m_bottom; }
    double Top() const { return m_top; }
    double SpanX() const { return m_right - m_left; }
    double SpanY() const { return m_top - m_bottom; }

private:
    void UpdateExtents();

    int m_width = 1;
    int m_height = 1;
    ScopePoint m_center;
    double m_zoom = 1.0;
    double m_rotation = 0.0;
    double m_left = 0.0;
    double m_right = 0.0;
    double m_bottom = 0.0;
    double m_top = 0.0;
};
