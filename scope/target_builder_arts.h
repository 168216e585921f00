// TarqTargetBuilderARTS: radar mode 3. A letter for tracked targets, "*"
// for untracked ones, a box for VFR codes and a cross for primary-only
// returns; a separation ring and no vector line. The data block's second
// line cycles through speed, scratchpad and cleared altitude every four
// seconds; the Tower mode borrows that line and the anchor lines.
// Tested by tests/scope/target_builder_arts_test.cpp.
#pragma once

#include <string>
#include <vector>

#include "scope/target_builder.h"

class TarqTargetBuilderARTS : public TarqTargetBuilder {
public:
    explicit TarqTargetBuilderARTS(TarqTargetManager* owner) : TarqTargetBuilder(owner) {}
    TagRect Build(TargetSnapshot& target) override;

    // The second line for the record's blink phase; ident is "ID" or empty.
    static std::string SecondLine(const TargetSnapshot& target, bool vfrCode, const char* ident);
    // Heading, distance, time to go and the point's name, one a line from
    // 11 pixels below the data block down in steps of 10; none without an
    // anchor that has a time to go.
    static std::vector<std::string> AnchorLines(const TargetSnapshot& target);
    // The anchor lines in font 1 and the profile's anchor colour below at.
    void DrawAnchorLines(const TargetSnapshot& target, PixelPoint at, double z) const;

private:
    uint32_t m_ringColor = kSepRingColor;
    uint32_t m_ringBlinkColor = kSepRingBlinkColor;
};
