// Radar mode 3. Tested by tests/scope/target_builder_arts_test.cpp.
#include "scope/target_builder_arts.h"

#include "scope/scope_host.h"

namespace {


constexpr int kLimitedLeader = 10;

TagOffsets ArtsPlacement(int position, int l) {
    switch (position) {
        case 1:
            return {{-10, -10}, {-10 - l, -10 - l}, {-70 - l, -35 - l}};
        case 2:
            return {{0, -10}, {0, -10 - l}, {-25, -35 - l}};
        case 3:
            return {{10, -10}, {10 + l, -10 - l}, {17 + l, -35 - l}};
        case 4:
            return {{-10, 1}, {-10 - l, 1}, {-75 - l, -6}};
        case 6:
            return {{10, 1}, {10 + l, 1}, {18 + l, -6}};
        case 7:
            return {{-10, 10}, {-10 - l, 10 + l}, {-70 - l, 12 + l}};
        case 8:
            return {{0, 13}, {0, 13 + l}, {-25, 18 + l}};
        case 9:
            return {{13, 13}, {13 + l, 13 + l}, {16 + l, 12 + l}};
        default:
            return {};
    }
}

bool IsEvenPhase(const TargetSnapshot& target) { return target.blinkPhase % 2 == 0; }

}  // namespace

std::string TarqTargetBuilderARTS::SecondLine(const TargetSnapshot& t, bool vfrCode, const char* ident) {
    const char* vfr = t.isVfr ? "V" : "";
    int speed = t.groundSpeed / 10;
    std::string a;
    std::string b;
    bool alternate = t.blinkPhase == 3 || t.blinkPhase == 4 || t.blinkPhase == 7 || t.blinkPhase == 8;
    if (t.transponderMode == 'Y') {
        b = FormatLine("%02d%s%s", speed, vfr, ident);
    } else if (alternate) {
        b = FormatLine("%s", t.typeCode.c_str());
    } else if (t.assignedCode != 0 && t.assignedCode != t.squawk) {
        b = FormatLine("%04d", t.squawk);
    } else if (t.duplicateCode && !vfrCode) {
        b = "CODE";
    } else {
        b = FormatLine("%02d%s %s", speed, vfr, t.isHeavy ? "H" : "");
    }
    switch (t.blinkPhase) {
        case 3:
        case 4:
            a = FormatLine("%s*", t.scratchpad.c_str());
            break;
        case 7:
        case 8:
            a = FormatLine("%03d*", (t.temporaryAltitude > 0 ? t.temporaryAltitude : t.cruiseAltitude) / 100);
            break;
        default:
            if (t.coasting) {
                a = "CST ";
            } else if (!t.handoffTargetId.empty()) {
                a = FormatLine("%03d%s", t.altitude / 100, t.handoffTargetSectorText.c_str());
            } else {
                a = FormatLine("%03d ", t.altitude / 100);
            }
            break;
    }
    return FormatLine("%s%s", a.c_str(), b.c_str());
}

std::vector<std::string> TarqTargetBuilderARTS::AnchorLines(const TargetSnapshot& t) {
    if (!t.hasAnchor || t.anchor.timeToGo.empty()) return {};
    std::vector<std::string> lines{FormatLine("H: %03d", t.anchor.heading),
                                   FormatLine("D: %.1f", t.anchor.distance),
                                   FormatLine("T: %s", t.anchor.timeToGo.c_str())};
    if (!t.anchor.pointName.empty()) lines.push_back(FormatLine("%s", t.anchor.pointName.c_str()));
    return lines;
}

void TarqTargetBuilderARTS::DrawAnchorLines(const TargetSnapshot& target, PixelPoint at, double z) const {
    std::vector<std::string> lines = AnchorLines(target);
    if (lines.empty()) return;
    SetColor(static_cast<uint32_t>(Host().GetColor("ColorAnchorLines")));
    int dy = -11;
    for (const std::string& line : lines) {
        DrawText(at + PixelPoint{0, dy}, z, line, kAnchorFont);
        dy -= 10;
    }
}

TagRect TarqTargetBuilderARTS::Build(TargetSnapshot& target) {
    if (IsHidden(target)) return TagRect::Empty();
    std::vector<PixelPoint> points = ScreenPoints(target);
    if (target.seeAll) target.fullDataBlock = true;

    DrawSepRing(target, points[0], m_ringColor, m_ringBlinkColor);

    bool vfrCode = IsVfrCode(target.squawk);
    DrawCodeSymbols(target, points, {{-1, 1, 2, 1}, {-2, 0, 3, 0}, {-1, -1, 2, -1}, {0, 3, 0, -2}}, {-3, -3});

    double z = DataBlockDepth(target);
    if (vfrCode && !target.seeAll) target.fullDataBlock = false;
    if ((target.transponderMode == 'S' || target.hideDataBlock) && !target.seeAll) return TagRect::Empty();
    if (target.scratchpad.size() > 4) target.scratchpad.erase(0, target.scratchpad.size() - 4);
    if (IsHandoffBlinkOff(target)) return TagRect::Empty();
    if (!target.fullDataBlock) {
        target.tagPosition = 6;
        target.leaderLength = kLimitedLeader;
    }

    TagPlacement tag = PlaceTag(target, points[0], &ArtsPlacement);
    SetColor(target.dataBlockColor);
    DrawLeader(tag, z);
    if (target.fullDataBlock) {
        const char* alert = !IsEvenPhase(target)    ? ""
                            : target.inConflict     ? "CA"
                            : target.squawk == 7700 ? "EM"
                            : target.squawk == 7600 ? "RF"
                                                    : "";
        if (*alert) DrawText(tag.origin + PixelPoint{0, 24}, z, alert);
        DrawText(tag.origin + PixelPoint{0, 12}, z, CallsignLine(target));
    }

    if (target.destination.empty()) target.blinkPhase = 1;
    if (!target.trackedByMe) target.isHeavy = false;
    const char* ident = target.transponderMode == 'Y' && IsEvenPhase(target) ? "ID" : "";
    // Without a tracker the limited block keeps to altitude and speed.
    if (!target.fullDataBlock && target.ownerId.empty()) target.blinkPhase = 1;
    DrawText(tag.origin, z, SecondLine(target, vfrCode, ident));

    DrawAnchorLines(target, tag.origin, z);
    return DataBlockRect(tag.origin);
}
