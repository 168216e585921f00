// The program's own radar mode. Tested by tests/scope/target_builder_tarq_test.cpp.
#include "scope/target_builder_tarq.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "scope/scope_host.h"

namespace {

enum class Symbol { Standby, Vfr, Letter, Star };

TagOffsets TarqPlacement(int position, int l) {
    switch (position) {
        case 1:
            return {{-10, -10}, {-10 - l, -10 - l}, {-70 - l, -50 - l}};
        case 2:
            return {{0, -10}, {0, -10 - l}, {-25, -50 - l}};
        case 3:
            return {{10, -10}, {10 + l, -10 - l}, {17 + l, -50 - l}};
        case 4:
            return {{-10, 1}, {-10 - l, 1}, {-75 - l, -14}};
        case 6:
            return {{10, 1}, {10 + l, 1}, {18 + l, -14}};
        case 7:
            return {{-10, 10}, {-10 - l, 10 + l}, {-70 - l, 17 + l}};
        case 8:
            return {{0, 13}, {0, 13 + l}, {-25, 23 + l}};
        case 9:
            return {{13, 13}, {13 + l, 13 + l}, {20 + l, 20 + l}};
        default:
            return {};
    }
}

// Up to the next multiple of 10, 1 to 9 knots shown as 10. In 64 bits and
// capped, so that a wild report cannot overflow.
int32_t RoundedSpeed(int32_t speed) {
    if (speed < 1) return 0;
    int64_t rounded = (static_cast<int64_t>(speed) + 9) / 10 * 10;
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max() / 10 * 10;
    return static_cast<int32_t>(rounded > kMax ? kMax : rounded);
}

int64_t Distance(int32_t a, int32_t b) { return std::llabs(static_cast<int64_t>(a) - b); }

}  // namespace

TagRect TarqTargetBuilderTarq::Build(TargetSnapshot& target) {
    if (IsHidden(target)) return TagRect::Empty();
    std::vector<PixelPoint> points = ScreenPoints(target);
    if (target.seeAll) target.fullDataBlock = true;
    const PixelPoint p = points[0];

    DrawSepRing(target, p, m_ringColor, m_ringBlinkColor);
    DrawVectorLine(target, p);

    const bool vfr = IsVfrCode(target.squawk);
    Symbol symbol = target.transponderMode == 'S' ? Symbol::Standby
                    : vfr                         ? Symbol::Vfr
                    : !target.ownerId.empty()     ? Symbol::Letter
                                                  : Symbol::Star;
    std::string letter = target.ownerSectorText.substr(0, 1);
    DrawSymbols(points, target.targetSymbolColor, target.historyTrailColor, [&](PixelPoint at, double z) {
        switch (symbol) {
            case Symbol::Standby:
                DrawSegments(at, z, {{-1, 1, 2, 1}, {-2, 0, 3, 0}, {-1, -1, 2, -1}, {0, 3, 0, -2}});
                break;
            case Symbol::Vfr:
                DrawLoop(at, z, {{-2, 2}, {2, 3}, {2, -2}, {-2, -2}});
                break;
            case Symbol::Letter:
                DrawText(at + PixelPoint{-3, -3}, z, letter);
                break;
            case Symbol::Star:
                DrawText(at + PixelPoint{-3, -3}, z, "*");
                break;
        }
    });

    // The depth is taken before a VFR target loses its full data block.
    const double z = DataBlockDepth(target);
    target.groundSpeed = RoundedSpeed(target.groundSpeed);
    if (vfr && !target.seeAll) target.fullDataBlock = false;
    if ((target.transponderMode == 'S' || target.hideDataBlock) && !target.seeAll) return TagRect::Empty();

    SetColor(target.dataBlockColor);
    if (!target.fullDataBlock) {
        if (!vfr) DrawText(p + PixelPoint{7, 4}, z, FormatLine("%04d", target.squawk));
        long long hundreds = (static_cast<long long>(target.altitude) + 99) / 100;
        DrawText(p + PixelPoint{7, -9}, z, FormatLine("%03lld", hundreds));
        return TagRect::Empty();
    }

    if (target.scratchpad.size() > 4)
        target.scratchpad = target.scratchpad.substr(target.scratchpad.size() - 4);
    if (IsHandoffBlinkOff(target)) return TagRect::Empty();

    TagPlacement tag = PlaceTag(target, p, &TarqPlacement);
    DrawLine(tag.leaderStart, tag.leaderEnd, z);
    const PixelPoint o = tag.origin;
    DrawText(o + PixelPoint{0, 24}, z, CallsignLine(target));

    // A climb or descent is never at cruise: the trend is tested first.
    const char* trend = "?";
    bool atCruise = false;
    int64_t change = static_cast<int64_t>(target.altitude) - target.previousAltitude;
    if (change > 30) {
        trend = "{";
    } else if (change < -30) {
        trend = "}";
    } else if (Distance(target.cruiseAltitude, target.altitude) < 400) {
        trend = "C";
        atCruise = true;
    } else if (target.temporaryAltitude > 0 && Distance(target.temporaryAltitude, target.altitude) < 400) {
        trend = "T";
    }
    int32_t shown = atCruise ? target.cruiseAltitude : target.altitude;

    std::string field;
    if ((target.blinkPhase - 1) / 2 % 2 == 0) {
        if (target.coasting) {
            field = "CSTG";
        } else if (target.squawk == 7700) {
            field = "EMRG";
        } else if (target.squawk == 7600) {
            field = "RDOF";
        } else if (target.squawk == 7500) {
            field = "HIJK";
        } else if (target.duplicateCode && !vfr) {
            field = "CODE";
        } else if (target.assignedCode != 0 && target.assignedCode != target.squawk) {
            field = FormatLine("%04d", target.squawk);
        } else {
            field = target.scratchpad.empty() ? "---" : target.scratchpad;
        }
    } else {
        if (target.temporaryAltitude > 0) {
            field = FormatLine("%03dT", target.temporaryAltitude / 100);
        } else if (!target.handoffTargetId.empty()) {
            field = "HO-" + target.handoffTargetSectorText;
        } else if (!atCruise) {
            field = target.cruiseAltitude != 0 ? FormatLine("%03dC", target.cruiseAltitude / 100) : "000";
        } else {
            field = target.scratchpad.empty() ? "---" : target.scratchpad;
        }
    }
    DrawText(o + PixelPoint{0, 12}, z, FormatLine("%03d%s %s", shown / 100, trend, field.c_str()));

    if (target.typeCode.empty()) target.typeCode = "UNKN";
    bool ident = target.transponderMode == 'Y' && target.blinkPhase % 2 == 0;
    DrawText(o, z,
             FormatLine("%4s %03d%s%s%s", target.typeCode.c_str(), target.groundSpeed,
                        target.isVfr ? "V" : "", target.isHeavy ? " H" : "", ident ? " ID" : ""));

    if (target.hasAnchor && !target.anchor.timeToGo.empty()) {
        SetColor(static_cast<uint32_t>(Host().GetColor("ColorAnchorLines")));
        const AnchorRecord& a = target.anchor;
        DrawText(o + PixelPoint{0, -11}, z, FormatLine("H: %03d", a.heading), kAnchorFont);
        DrawText(o + PixelPoint{0, -21}, z, FormatLine("D: %.1f", a.distance), kAnchorFont);
        DrawText(o + PixelPoint{0, -31}, z, FormatLine("T: %s", a.timeToGo.c_str()), kAnchorFont);
        if (!a.pointName.empty())
            DrawText(o + PixelPoint{0, -41}, z, FormatLine("%s", a.pointName.c_str()), kAnchorFont);
    }
    return DataBlockRect(o, 54, 33);
}
