// Radar mode 4. Tested by tests/scope/target_builder_dsr_test.cpp.
#include "scope/target_builder_dsr.h"

#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/geo_helpers.h"
#include "scope/scope_host.h"
#include "scope/sector_lists.h"
#include "scope/target_builder_arts.h"

namespace {

enum class Symbol { Primary, Vfr, Coasting, Tracked, Untracked };

TagOffsets DsrPlacement(int position, int l) {
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

// Hundreds of feet rounded up; wide so that no report overflows.
long long HundredsUp(int32_t feet) { return (static_cast<long long>(feet) + 99) / 100; }

}  // namespace

std::string TarqTargetBuilderDSR::AltitudeLine(const TargetSnapshot& t) {
    if (t.coasting) return "CST/XXX";
    long long c = HundredsUp(t.altitude);
    if (t.temporaryAltitude > 0) return FormatLine("%03dT%03lld", t.temporaryAltitude / 100, c);
    int64_t altitude = t.altitude;
    if (std::llabs(t.cruiseAltitude - altitude) < 400) return FormatLine("%03dC", t.cruiseAltitude / 100);
    int64_t previous = t.previousAltitude;
    const char* trend = altitude > previous + 30 ? "{" : altitude < previous - 30 ? "}" : " ";
    return FormatLine("%03d%s%03lld", t.cruiseAltitude / 100, trend, c);
}

std::string TarqTargetBuilderDSR::RotatingField(const TargetSnapshot& t) {
    switch (t.squawk) {
        case 7700:
            return " EMRG";
        case 7600:
            return " RDOF";
        case 7500:
            return " HIJK";
        default:
            break;
    }
    bool trackedByOther = !t.ownerId.empty() && !t.trackedByMe;
    switch (t.blinkPhase) {
        case 2:
        case 6:
            if (trackedByOther) return FormatLine("%s-%s", t.incomingHandoff ? "H" : "O", t.ownerId.c_str());
            if (!t.handoffTargetId.empty()) return FormatLine("H-%s", t.handoffTargetId.c_str());
            break;
        case 3:
        case 8:
            if (t.assignedCode != 0 && t.assignedCode != t.squawk) return FormatLine(" %04d", t.squawk);
            if (t.duplicateCode) return " CODE";
            return FormatLine(" %s", t.scratchpad.c_str());
        case 4:
        case 7:
            return FormatLine(" %s", t.typeCode.c_str());
        default:
            break;
    }
    return FormatLine(" %03d%s", t.groundSpeed, t.isVfr ? "V" : "");
}

TagRect TarqTargetBuilderDSR::Build(TargetSnapshot& target) {
    if (IsHidden(target)) return TagRect::Empty();
    std::vector<PixelPoint> points = ScreenPoints(target);
    if (target.seeAll) target.fullDataBlock = true;
    bool alert =
        (target.inConflict && !target.fullDataBlock) || target.squawk == 7700 || target.squawk == 7500;

    DrawSepRing(target, points[0], m_ringColor, m_ringBlinkColor);
    target.groundSpeed = RoundUpTo10(target.groundSpeed);

    bool vfrCode = IsVfrCode(target.squawk);
    Symbol symbol = target.transponderMode == 'S' ? Symbol::Primary
                    : vfrCode                     ? Symbol::Vfr
                    : target.coasting             ? Symbol::Coasting
                    : !target.ownerId.empty()     ? Symbol::Tracked
                                                  : Symbol::Untracked;
    DrawSymbols(points, target.primaryTargetColor, target.historyTrailColor, [&](PixelPoint p, double z) {
        switch (symbol) {
            case Symbol::Primary:
                DrawSegments(p, z, {{-2, 0, 3, 0}, {0, 3, 0, -2}});
                break;
            case Symbol::Vfr:
                DrawText(p + PixelPoint{-3, -2}, z, "V");
                break;
            case Symbol::Coasting:
                DrawText(p + PixelPoint{-3, -2}, z, "#");
                break;
            case Symbol::Tracked:
                DrawText(p + PixelPoint{-3, -3}, z, "\\");
                break;
            case Symbol::Untracked:
                DrawSegments(p, z, {{-1, 5, 2, 5}, {0, 5, 0, -2}, {-1, -2, 2, -2}});
                break;
        }
    });
    if (symbol == Symbol::Tracked && target.trackedByMe) {
        SetColor(target.targetSymbolColor);
        DrawLoop(points[0], kSymbolDepth, {{-4, 0}, {0, -4}, {4, 0}, {0, 4}});
        DrawVectorLine(target, points[0]);
    }
    if (target.transponderMode == 'Y') {
        SetColor(ScaledColor(target.targetSymbolColor, 1.9));
        DrawSegments(points[0], kHistoryDepth, {{-3, 4, 3, 4}, {-3, 1, 3, 1}, {-3, -2, 3, -2}});
    }

    bool even = target.blinkPhase % 2 == 0;
    uint32_t blockColor = alert && even ? ScaledColor(target.dataBlockColor, 0.33) : target.dataBlockColor;
    double z = DataBlockDepth(target);
    if (alert) target.fullDataBlock = true;
    if (vfrCode && !target.seeAll) target.fullDataBlock = false;
    if ((target.transponderMode == 'S' || target.hideDataBlock) && !target.seeAll) return TagRect::Empty();

    SetColor(blockColor);
    if (!target.fullDataBlock) {
        if (!vfrCode) DrawText(points[0] + PixelPoint{7, 4}, z, FormatLine("%04d", target.squawk));
        DrawText(points[0] + PixelPoint{7, -9}, z, FormatLine("%03lld", HundredsUp(target.altitude)));
        return TagRect::Empty();
    }

    if (target.scratchpad.size() > 4) target.scratchpad.erase(0, target.scratchpad.size() - 4);
    if (target.incomingHandoff && (target.blinkPhase == 1 || target.blinkPhase == 5)) return TagRect::Empty();
    TagPlacement tag = PlaceTag(target, points[0], &DsrPlacement);
    DrawLeader(tag, z);
    DrawText(tag.origin + PixelPoint{0, 24}, z, CallsignLine(target));
    DrawText(tag.origin + PixelPoint{0, 12}, z, AltitudeLine(target));
    if (target.destination.empty()) target.blinkPhase = 1;
    bool trackedByOther = !target.ownerId.empty() && !target.trackedByMe;
    DrawText(tag.origin + PixelPoint{-7, 0}, z,
             FormatLine("%s%03d%s", trackedByOther ? "R" : " ", target.aircraftNumber,
                        RotatingField(target).c_str()));

    std::vector<std::string> anchor = TarqTargetBuilderARTS::AnchorLines(target);
    if (!anchor.empty()) SetColor(static_cast<uint32_t>(Host().GetColor("ColorAnchorLines")));
    for (size_t i = 0; i < anchor.size(); ++i) {
        DrawText(tag.origin + PixelPoint{0, -11 - 10 * static_cast<int>(i)}, z, anchor[i], kAnchorFont);
    }
    return DataBlockRect(tag.origin);
}
