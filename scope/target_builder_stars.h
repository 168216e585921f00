// TarqTargetBuilderSTARS: radar mode 11. A bar across the track with a
// primary-return line and a character behind the target, at most four fading
// history dots, and three data block forms: full, limited with an alert, and
// limited plain. Alert codes blink their text but hold the block's form.
// Tested by tests/scope/target_builder_stars_test.cpp.
#pragma once

#include <vector>

#include "scope/target_builder.h"

class TarqTargetBuilderSTARS : public TarqTargetBuilder {
public:
    explicit TarqTargetBuilderSTARS(TarqTargetManager* owner) : TarqTargetBuilder(owner) {}
    TagRect Build(TargetSnapshot& target) override;

private:
    // The bar across the track, the history dots, the primary-return line and the mark behind.
    void DrawTrack(TargetSnapshot& target, const std::vector<PixelPoint>& points) const;

    uint32_t m_alertColor = kSepRingColor;
    uint32_t m_ringBlinkColor = kSepRingBlinkColor;
    uint32_t m_shadowColor = 0x000000;
};
