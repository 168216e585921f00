// Radar mode 9. Tested by tests/scope/target_builder_parkair_test.cpp.
#include "scope/target_builder_parkair.h"


#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "scope/display_scope.h"
#include "scope/scope_host.h"
#include "scope/target_manager.h"

namespace {

constexpr double kPlotDepth = 0.97;
constexpr double kTrailDepth = 0.965;
constexpr double kLaterDepth = 0.975;
constexpr double kRingDepth = 0.965;
constexpr double kConflictBoxDepth = 0.99;

TagOffsets ParkAirPlacement(int position, int l) {
    switch (position) {
        case 1:
            return {
                {-10, -10}, {-10 - l, -10 - l}, l == 0 ? PixelPoint{-57, -35} : PixelPoint{-70 - l, -35 - l}};
        case 2:
            return {{0, -10}, {0, -10 - l}, {-25, -35 - l}};
        case 3:
            return {{10, -10}, {10 + l, -10 - l}, l == 0 ? PixelPoint{10, -35} : PixelPoint{17 + l, -35 - l}};
        case 4:
            return {{-10, 1}, {-10 - l, 1}, l == 0 ? PixelPoint{-62, -6} : PixelPoint{-75 - l, -6}};
        case 6:
            return {{10, 1}, {10 + l, 1}, l == 0 ? PixelPoint{11, -6} : PixelPoint{18 + l, -6}};
        case 7:
            return {{-10, 10}, {-10 - l, 10 + l}, l == 0 ? PixelPoint{-57, 12} : PixelPoint{-70 - l, 12 + l}};
        case 8:
            return {{0, 13}, {0, 13 + l}, {-25, 18 + l}};
        case 9:
            return {{13, 13}, {13 + l, 13 + l}, l == 0 ? PixelPoint{6, 12} : PixelPoint{16 + l, 12 + l}};
        default:
            return {};
    }
}

// A finite compass heading into 1 to 360 whatever its size.
double NormaliseHeading(double h) {
    h = std::fmod(h, 360.0);
    return h <= 0.0 ? h + 360.0 : h;
}

// Radians, counter-clockwise from east, of a compass heading.
double MathAngle(double heading) {
    double a = 450.0 - heading;
    if (a >= 360.0) a -= 360.0;
    return a * 2.0 * M_PI / 360.0;
}

// Each channel times 0.8, truncated.
uint32_t Faded(uint32_t c) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t channel = static_cast<uint32_t>(((c >> shift) & 0xFF) * 0.8);
        out |= std::min<uint32_t>(channel, 255) << shift;
    }
    return out;
}

bool IsEmergencyCode(uint16_t squawk) { return squawk == 7700 || squawk == 7600 || squawk == 7500; }

}  // namespace

TagRect TarqTargetBuilderParkAir::Build(TargetSnapshot& target) {
    if (IsHidden(target)) return TagRect::Empty();
    std::vector<PixelPoint> points = ScreenPoints(target);
    const PixelPoint p = points[0];

    // Plot bars across the bearing, older ones fading.
    // A bearing that is no number counts as north.
    double bearing = std::isfinite(target.plotBearing) ? target.plotBearing : 0.0;
    double across1 = MathAngle(NormaliseHeading(bearing - 90.0));
    double across2 = MathAngle(NormaliseHeading(bearing + 90.0));
    target.plotExtent = std::isnan(target.plotExtent) ? 0.1 : std::clamp(target.plotExtent, 0.1, 1.0);
    double r = 10.0 * target.plotExtent + 3.0;
    const double x1 = r * std::cos(across1), y1 = r * std::sin(across1);
    const double x2 = r * std::cos(across2), y2 = r * std::sin(across2);
    uint32_t barColor = m_plotColor;
    for (size_t i = 0; i < points.size(); ++i) {
        if (i == 1) barColor = m_trailColor;
        if (i > 1) barColor = Faded(barColor);
        SetColor(barColor);
        double z = i == 0 ? kPlotDepth : kTrailDepth;
        Batch().WideLine(points[i].x + x1, points[i].y + y1, points[i].x + x2, points[i].y + y2, z, 3);
    }

    const double d = DataBlockDepth(target);
    if ((target.transponderMode == 'S' || target.hideDataBlock) && !target.seeAll) return TagRect::Empty();

    SetColor(m_symbolColor);
    if (target.coasting) {
        DrawText(p + PixelPoint{-3, -2}, d, "#");
    } else if (target.trackedByMe) {
        DrawLoop(p, d, {{-4, 0}, {0, -4}, {4, 0}, {0, 4}});
    } else if (!target.ownerId.empty()) {
        FillConvex(p, d, {{-4, 0}, {0, -4}, {4, 0}, {0, 4}});
    } else {
        DrawSegments(p, d, {{-4, 0, 5, 0}, {0, -4, 0, 5}});
    }
    // The trail's dots go to the batch together, a handful at a time.
    constexpr size_t kDots = 16;
    double dots[kDots][2];
    for (size_t i = 1; i < points.size(); i += kDots) {
        const size_t count = std::min(kDots, points.size() - i);
        for (size_t k = 0; k < count; ++k) {
            dots[k][0] = points[i + k].x + 1;
            dots[k][1] = points[i + k].y;
        }
        Batch().Points(dots, static_cast<int>(count), kLaterDepth);
    }

    // A conflict alone does not show the ring.
    if (Owner()->GetShowSepRings() && target.trackedByMe && target.groundSpeed >= 40) {
        double radius = Host().GetInt("CALateralMin") / Scope().GetZoom();
        SetColor(m_alertColor);
        double ring[30][2];
        for (int i = 0; i < 30; ++i) {
            double a = i * 2.0 * M_PI / 30;
            ring[i][0] = p.x + radius * std::cos(a);
            ring[i][1] = p.y + radius * std::sin(a);
        }
        DrawOutline(ring, 30, kRingDepth, true);
    }

    const bool handoff = !target.handoffTargetId.empty() || target.incomingHandoff;
    const bool blink =
        (target.inConflict || handoff || IsEmergencyCode(target.squawk) || target.transponderMode == 'Y') &&
        target.blinkPhase % 2 == 0;

    if (target.seeAll) target.fullDataBlock = true;
    if (!target.fullDataBlock) target.tagPosition = 6;
    TagPlacement tag = PlaceTag(target, p, &ParkAirPlacement);
    if (target.scratchpad.size() > 2)
        target.scratchpad = target.scratchpad.substr(target.scratchpad.size() - 2);
    SetColor(target.squawk == 7700 || target.squawk == 7500 ? m_alertColor : m_symbolColor);
    DrawLeader(tag, kLaterDepth);
    const PixelPoint o = tag.origin;

    const int64_t altitude = target.altitude;
    const char* letter = altitude >= Host().GetInt("TransLevel") ? "F" : "A";
    const long long level = (altitude + 99) / 100;
    const char* trend = target.fullDataBlock ? "-" : "";
    if (altitude - target.previousAltitude > 30) {
        trend = "{";
    } else if (altitude - target.previousAltitude < -30) {
        trend = "}";
    }
    const char* ident = target.transponderMode == 'Y' && blink ? " ID" : "";
    const bool emergency = IsEmergencyCode(target.squawk);

    int lines = 2;
    size_t width = 0;
    TagRect result = TagRect::Empty();
    if (target.fullDataBlock) {
        if (emergency && blink) {
            DrawText(o + PixelPoint{0, 24}, kLaterDepth, FormatLine("%04d", target.squawk));
            lines = 3;
        }
        std::string callsignLine = CallsignLine(target);
        if (!handoff || blink) DrawText(o + PixelPoint{0, 12}, kLaterDepth, callsignLine);
        std::string levelLine =
            FormatLine("%s%03lld %s %s%s", letter, level, trend, target.scratchpad.c_str(), ident);
        DrawText(o, kLaterDepth, levelLine);
        width = std::max(callsignLine.size(), levelLine.size());

        if (target.hasAnchor && !target.anchor.timeToGo.empty()) {
            SetColor(static_cast<uint32_t>(Host().GetColor("ColorAnchorLines")));
            const AnchorRecord& a = target.anchor;
            DrawText(o + PixelPoint{0, -11}, kLaterDepth, FormatLine("H: %03d", a.heading), kAnchorFont);
            DrawText(o + PixelPoint{0, -21}, kLaterDepth, FormatLine("D: %.1f", a.distance), kAnchorFont);
            DrawText(o + PixelPoint{0, -31}, kLaterDepth, FormatLine("T: %s", a.timeToGo.c_str()),
                     kAnchorFont);
            if (!a.pointName.empty())
                DrawText(o + PixelPoint{0, -41}, kLaterDepth, FormatLine("%s", a.pointName.c_str()),
                         kAnchorFont);
        }
        int w = static_cast<int>(width);
        result = {o.x, o.y + 8 * lines, o.x + 7 * w, o.y};
    } else {
        std::string codeLine = FormatLine("%04d%s", target.squawk, ident);
        if (!emergency || blink) DrawText(o + PixelPoint{0, 12}, kLaterDepth, codeLine);
        std::string levelLine = FormatLine("%s%03lld %s", letter, level, trend);
        DrawText(o, kLaterDepth, levelLine);
        width = std::max(codeLine.size(), levelLine.size());
    }

    if (target.inConflict && blink) {
        int w = static_cast<int>(width);
        SetColor(m_alertColor);
        DrawLoop(o, kConflictBoxDepth,
                 {{7 * w + 2, 12 * lines - 1}, {-3, 12 * lines - 1}, {-3, -4}, {7 * w + 1, -4}});
    }
    return result;
}
