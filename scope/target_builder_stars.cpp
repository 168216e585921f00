// Radar mode 11. Tested by tests/scope/target_builder_stars_test.cpp.
#include "scope/target_builder_stars.h"


#include <algorithm>
#include <cmath>
#include <string>

#include "foundation/geo_helpers.h"
#include "foundation/session_services.h"
#include "scope/scope_host.h"
#include "scope/sector_lists.h"
#include "scope/target_builder_arts.h"

namespace {

constexpr size_t kMaxHistoryDots = 4;
constexpr double kBarDepth = 0.975;
constexpr double kPrimaryLineDepth = 0.976;

TagOffsets StarsPlacement(int position, int l) {
    switch (position) {
        case 1:
            return {{-5, -5}, {-5 - l, -5 - l}, {-63 - l, -18 - l}};
        case 2:
            return {{0, -5}, {0, -10 - l}, {1, -25 - l}};
        case 3:
            return {{5, -5}, {5 + l, -5 - l}, {6 + l, -17 - l}};
        case 4:
            return {{-5, 1}, {-5 - l, 1}, {-63 - l, -8}};
        case 6:
            return {{5, 1}, {5 + l, 1}, {6 + l, -8}};
        case 7:
            return {{-5, 5}, {-5 - l, 5 + l}, {-63 - l, l - 3}};
        case 8:
            return {{0, 5}, {0, 16 + l}, {1, l}};
        case 9:
            return {{5, 5}, {5 + l, 5 + l}, {6 + l, l - 4}};
        default:
            return {};
    }
}

struct Vec {
    double x, y;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator*(double k, Vec a) { return {k * a.x, k * a.y}; }

// The screen unit vector of a compass direction.
Vec ScreenUnit(double compass) {
    double angle = 450.0 - compass;
    if (angle >= 360.0) angle -= 360.0;
    double a = DegToRad(angle);
    return {std::cos(a), std::sin(a)};
}

Vec Behind(double distance, double bearing) {
    PlanarOffset o = PolarOffset(distance, ReciprocalHeading(bearing));
    return {o.x, o.y};
}


PixelPoint Rounded(PixelPoint p, Vec v) {
    return {p.x + static_cast<int>(std::lround(v.x)), p.y + static_cast<int>(std::lround(v.y))};
}

bool IsWestSide(int tagPosition) { return tagPosition == 1 || tagPosition == 4 || tagPosition == 7; }

}  // namespace

void TarqTargetBuilderSTARS::DrawTrack(TargetSnapshot& target, const std::vector<PixelPoint>& points) const {
    // A bad report must not turn the symbol into NaN geometry.
    double h = std::isfinite(target.plotBearing) ? target.plotBearing : 0.0;
    Vec back4 = Behind(4, h);
    Vec back2 = Behind(2, h);
    Vec ahead2 = Behind(-2, h);
    Vec u1 = ScreenUnit(NormalizeHeading(h - 90));
    Vec u2 = ScreenUnit(NormalizeHeading(h + 90));
    target.plotExtent = std::isnan(target.plotExtent) ? 0.1 : std::clamp(target.plotExtent, 0.1, 1.0);
    double r = 2.5 + 2.5 * target.plotExtent;
    const PixelPoint p0 = points[0];

    SetColor(target.targetSymbolColor);
    const Vec bar[4] = {back2 + r * u1, back2 + r * u2, ahead2 + r * u2, ahead2 + r * u1};
    double corners[4][2];
    for (int i = 0; i < 4; ++i) {
        corners[i][0] = p0.x + bar[i].x;
        corners[i][1] = p0.y + bar[i].y;
    }
    Batch().Polygon(corners, 4, kBarDepth);

    uint32_t dot = target.historyTrailColor;
    for (size_t i = 1; i < points.size() && i <= kMaxHistoryDots; ++i) {
        SetColor(dot);
        Batch().Point(points[i].x, points[i].y, 0.974 - 0.001 * static_cast<double>(i));
        dot = ScaledColor(dot, 0.6);
    }

    SetColor(target.primaryTargetColor);
    const Vec a = back2 + 3 * r * u1, b = back2 + 3 * r * u2;
    Batch().WideLine(p0.x + a.x, p0.y + a.y, p0.x + b.x, p0.y + b.y, kPrimaryLineDepth, 2);

    PixelPoint mark = Rounded(p0, back4);
    PixelPoint at = mark + PixelPoint{-3, -3};
    SetColor(target.positionSymbolColor);
    if (target.transponderMode == 'S') {
        DrawText(at, kSymbolDepth, "+");
    } else if (IsVfrCode(target.squawk)) {
        DrawText(at, kSymbolDepth, "V");
    } else if (!target.ownerId.empty()) {
        std::string letter = target.ownerSectorText.substr(0, 1);
        SetColor(m_shadowColor);
        DrawText(at + PixelPoint{1, -1}, kSymbolDepth, letter);
        SetColor(target.positionSymbolColor);
        DrawText(at, kSymbolDepth, letter);
    } else {
        DrawText(mark + PixelPoint{-3, -6}, kSymbolDepth, "*");
    }
}

TagRect TarqTargetBuilderSTARS::Build(TargetSnapshot& target) {
    if (IsHidden(target)) return TagRect::Empty();
    std::vector<PixelPoint> points = ScreenPoints(target);
    if (target.seeAll) target.fullDataBlock = true;
    uint32_t dim = ScaledColor(target.dataBlockColor, 0.33);

    DrawSepRing(target, points[0], m_alertColor, m_ringBlinkColor);
    DrawTrack(target, points);

    double z = DataBlockDepth(target);
    bool vfrCode = IsVfrCode(target.squawk);
    if (vfrCode && !target.seeAll) target.fullDataBlock = false;
    if ((target.transponderMode == 'S' || target.hideDataBlock) && !target.seeAll) return TagRect::Empty();
    if (target.scratchpad.size() > 3) target.scratchpad.erase(0, target.scratchpad.size() - 3);
    bool ident = target.transponderMode == 'Y';
    bool even = target.blinkPhase % 2 == 0;
    if (IsHandoffBlinkOff(target)) return TagRect::Empty();

    TagPlacement tag = PlaceTag(target, points[0], &StarsPlacement);
    uint32_t blockColor = ident && !even ? dim : target.dataBlockColor;
    SetColor(blockColor);
    if (tag.leaderLength > 4) DrawLine(tag.leaderStart, tag.leaderEnd, z);

    const char* alertText = "";
    bool alert = false;
    if (target.inConflict) {
        bool alarmPlaying = g_alarmSound && g_alarmSound->IsSoundPlaying();
        alertText = alarmPlaying && !even ? "" : "CA";
    } else {
        static constexpr struct {
            uint16_t code;
            const char* text;
        } kAlertCodes[] = {{7777, "MI"}, {7700, "EM"}, {7600, "RF"}, {7500, "HJ"}, {1236, "SA"}};
        for (const auto& a : kAlertCodes) {
            if (target.squawk != a.code) continue;
            alert = true;
            if (even) alertText = a.text;
        }
    }
    auto drawAlert = [&](PixelPoint origin) {
        if (!*alertText) return;
        SetColor(m_alertColor);
        DrawText(origin + PixelPoint{0, 24}, z, alertText);
        SetColor(blockColor);
    };
    const char* heavy = target.isHeavy ? "H" : "";
    int speed = target.groundSpeed / 10;
    int altitude = target.altitude / 100;

    if (!target.fullDataBlock && (target.inConflict || alert)) {
        PixelPoint o = tag.origin + PixelPoint{IsWestSide(target.tagPosition) ? 10 : 0, 0};
        drawAlert(o);
        DrawText(o + PixelPoint{0, 12}, z, FormatLine("%04d", target.squawk));
        DrawText(o, z,
                 target.coasting ? FormatLine("CST %02d", speed) : FormatLine("%03d %02d", altitude, speed));
        return DataBlockRect(o, 44, 31);
    }
    if (!target.fullDataBlock) {
        PixelPoint o = tag.origin + PixelPoint{IsWestSide(target.tagPosition) ? 30 : 0, 0};
        DrawText(o + PixelPoint{0, 12}, z,
                 target.coasting ? std::string("CST")
                                 : FormatLine("%03d %s%s", altitude, vfrCode ? "V" : "", heavy));
        return {o.x, o.y + 19, o.x + 30, o.y + 8};
    }

    PixelPoint o = tag.origin;
    drawAlert(o);
    DrawText(
        o + PixelPoint{0, 12}, z,
        FormatLine("%s%s %s", target.callsign.c_str(), VoiceSuffix(target.voiceType), ident ? "ID" : ""));
    if (target.destination.empty()) target.blinkPhase = 1;
    if (target.coasting) target.scratchpad = "CST";
    const char* handoff = target.handoffTargetId.empty() ? "" : target.handoffTargetSectorText.c_str();
    const char* type = target.typeCode.c_str();
    std::string line2;
    if (target.blinkPhase <= 4) {
        line2 =
            target.coasting
                ? FormatLine("CST%1s%02d %s%s", handoff, speed, target.isVfr ? "V" : "", heavy)
                : FormatLine("%03d%1s%02d %s%s", altitude, handoff, speed, target.isVfr ? "V" : "", heavy);
    } else if (!target.scratchpad.empty()) {
        line2 = FormatLine("%3s%1s%s", target.scratchpad.c_str(), handoff, type);
    } else {
        line2 = FormatLine("%03d%1s%s", altitude, handoff, type);
    }
    DrawText(o, z, line2);

    std::string line3;
    if (!alert && target.assignedCode != 0 && target.assignedCode != target.squawk) {
        line3 = target.blinkPhase % 2 == 0 ? FormatLine("%04d %04d", target.squawk, target.assignedCode)
                                           : FormatLine("%04d", target.squawk);
    } else if (!alert && target.duplicateCode) {
        line3 = "DB";
    }
    int drop = line3.empty() ? 0 : 12;
    if (drop) DrawText(o + PixelPoint{0, -12}, z, line3);

    std::vector<std::string> anchor = TarqTargetBuilderARTS::AnchorLines(target);
    if (!anchor.empty()) SetColor(static_cast<uint32_t>(Host().GetColor("ColorAnchorLines")));
    for (size_t i = 0; i < anchor.size(); ++i) {
        DrawText(o + PixelPoint{0, -11 - drop - 10 * static_cast<int>(i)}, z, anchor[i], kAnchorFont);
    }
    return {o.x, o.y + 31, o.x + 57, o.y - drop};
}
