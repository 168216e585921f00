// The 2-D projection. Tested by tests/scope/scope_projection_test.cpp.
#include "scope/scope_projection.h"

#include <algorithm>

#include "foundation/geo_helpers.h"

void ScopeProjection::SetViewport(int width, int height) {
    m_width = std::max(width, 0);
    m_height = height <= 0 ? 1 : height;
    UpdateExtents();
}

void ScopeProjection::SetCenter(ScopePoint center) {
    m_center = center;
    UpdateExtents();
}

void ScopeProjection::SetZoom(double zoom) {
    m_zoom = zoom;
    UpdateExtents();
}

void ScopeProjection::UpdateExtents() {
    double degreesPerPixel = m_zoom / 60.0;
    double hx = m_width * 0.5 * degreesPerPixel;
    double hy = m_height * 0.5 * degreesPerPixel;
    m_left = m_center.x - hx;
    m_right = m_center.x + hx;
    m_bottom = m_center.y - hy;
    m_top = m_center.y + hy;
}

PixelPoint ScopeProjection::ProjectToScreen(ScopePoint point) const {
    double cx = m_center.x;
    double cy = m_center.y;
    double x = cx + (point.x - cx) * LongitudeScale;
    double y = point.y;
    double bearing = NormalizeHeading(BearingBetween(cx, cy, x, y, false) + m_rotation);
    double distance = ScaledDistance(cx, cy, x, y, 1.0);
    PlanarOffset offset = PolarOffset(distance, bearing);
    double spanX = SpanX();
    double spanY = SpanY();
    if (spanX <= 0.0 || spanY <= 0.0) return {};
    return {static_cast<int>((cx + offset.x - m_left) / spanX * m_width),
            static_cast<int>((cy + offset.y - m_bottom) / spanY * m_height)};
}

PixelPoint ScopeProjection::ProjectToWindow(ScopePoint point) const {
    PixelPoint p = ProjectToScreen(point);
    return {p.x, m_height - p.y};
}

ScopePoint ScopeProjection::WindowToPoint(int x, int y) const {
    double w = m_width > 0 ? m_width : 1;
    double mx = x / w * SpanX() + m_left;
    double my = static_cast<double>(m_height - y) / m_height * SpanY() + m_bottom;
    double cx = m_center.x;
    double cy = m_center.y;
    double bearing = NormalizeHeading(BearingBetween(cx, cy, mx, my, false) - m_rotation);
    double distance = ScaledDistance(cx, cy, mx, my, 1.0);
    PlanarOffset offset = PolarOffset(distance, bearing);
    return {cx + offset.x / LongitudeScale, cy + offset.y};
}

void ScopeProjection::Pan(int dx, int dy) {
    double w = m_width > 0 ? m_width : 1;
    double cx = m_center.x;
    double cy = m_center.y;
    double qx = cx - SpanX() / w * dx;
    double qy = cy - SpanY() / m_height * dy;
    double bearing = NormalizeHeading(BearingBetween(cx, cy, qx, qy, false) + m_rotation);
    double distance = ScaledDistance(cx, cy, qx, qy, 1.0);
    PlanarOffset offset = PolarOffset(distance, bearing);
    m_center.x = std::clamp(cx + offset.x / LongitudeScale, -360.0, 360.0);
    m_center.y = std::clamp(cy - offset.y, -180.0, 180.0);
    UpdateExtents();
}

void ScopeProjection::ZoomIn(bool fast) {
    double zoom = m_zoom * (fast ? 0.7 : 0.9);
    if (!(zoom > kMinZoom)) zoom = kMinZoom;
    SetZoom(zoom);
}

void ScopeProjection::ZoomOut(bool fast) {
    double ceiling = kZoomCeilingWidth / (m_width > 0 ? m_width : 1);
    double zoom = m_zoom * (fast ? 1.3 : 1.1);
    if (!(zoom < ceiling)) zoom = ceiling;
    SetZoom(zoom);
}
