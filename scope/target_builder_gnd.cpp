// Radar mode 7. Tested by tests/scope/target_builder_gnd_test.cpp.
#include "scope/target_builder_gnd.h"

namespace {


// The Simple mode's table with every data block 5 pixels higher, clear of
// the taxiway the symbol sits on.
TagOffsets GroundPlacement(int position, int l) {
    switch (position) {
        case 1:
            return {
                {-10, -10}, {-10 - l, -10 - l}, l == 0 ? PixelPoint{-57, -40} : PixelPoint{-70 - l, -40 - l}};
        case 2:
            return {{0, -10}, {0, -10 - l}, {-25, -40 - l}};
        case 3:
            return {{10, -10}, {10 + l, -10 - l}, l == 0 ? PixelPoint{10, -40} : PixelPoint{17 + l, -40 - l}};
        case 4:
            return {{-10, 1}, {-10 - l, 1}, l == 0 ? PixelPoint{-62, -11} : PixelPoint{-75 - l, -11}};
        case 6:
            return {{10, 1}, {10 + l, 1}, l == 0 ? PixelPoint{11, -11} : PixelPoint{18 + l, -11}};
        case 7:
            return {{-10, 10}, {-10 - l, 10 + l}, l == 0 ? PixelPoint{-57, 7} : PixelPoint{-70 - l, 7 + l}};
        case 8:
            return {{0, 13}, {0, 13 + l}, {-25, 13 + l}};
        case 9:
            return {{13, 13}, {13 + l, 13 + l}, l == 0 ? PixelPoint{6, 7} : PixelPoint{16 + l, 7 + l}};
        default:
            return {};
    }
}

}  // namespace

std::string TarqTargetBuilderGND::StatusField(const TargetSnapshot& target) const {
    auto speed = [&] {
        return FormatLine("%02d%s %s", target.groundSpeed, target.isVfr ? "V" : "",
                          target.isHeavy ? "H" : "");
    };
    switch (target.blinkPhase) {
        case 3:
        case 4:
        case 7:
        case 8:
            return speed();
        case 1:
        case 2:
        case 5:
        case 6:
            break;
        default:
            return {};
    }
    if (target.coasting) return "CST";
    if (target.squawk == 7700) return "EMER";
    if (target.squawk == 7600) return "RDOF";
    if (target.squawk == 7500) return "HIJK";
    if (target.assignedCode != 0 && target.assignedCode != target.squawk)
        return FormatLine("%04d", target.squawk);
    if (target.duplicateCode && !IsVfrCode(target.squawk)) return "CODE";
    if (target.scratchpad != target.destination) return FormatLine("%s", target.scratchpad.c_str());
    return speed();
}

TagRect TarqTargetBuilderGND::Build(TargetSnapshot& target) {
    if (IsHidden(target)) return TagRect::Empty();
    std::vector<PixelPoint> points = ScreenPoints(target);

    DrawCodeSymbols(target, points, {{-1, 0, 2, 0}, {-1, -1, 2, -1}, {0, 2, 0, -2}}, {-3, -5});

    if (IsDataBlockHidden(target) || IsHandoffBlinkOff(target)) return TagRect::Empty();
    double z = DataBlockDepth(target);
    if (target.scratchpad.size() > 4) target.scratchpad.erase(0, target.scratchpad.size() - 4);
    TagPlacement tag = PlaceTag(target, points[0], &GroundPlacement);
    SetColor(target.dataBlockColor);
    DrawLeader(tag, z);
    DrawText(tag.origin + PixelPoint{0, 12}, z, CallsignLine(target));
    if (target.typeCode.empty()) target.typeCode = "NOFP";
    std::string status = StatusField(target);
    DrawText(tag.origin, z, FormatLine("%-4s %s", target.typeCode.c_str(), status.c_str()));
    return DataBlockRect(tag.origin);
}
