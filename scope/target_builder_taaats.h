// TarqTargetBuilderTAAATS: radar mode 10. Symbol colours by tracking state
// and selection, shapes for the special codes, history and vector ticks as a
// glyph, alert words with their boxes and frames, a short block for targets
// whose code is not theirs and a full block with levels and wake category.
// No separation ring.
// Tested by tests/scope/target_builder_taaats_test.cpp.
#pragma once

#include "scope/target_builder.h"

class TarqTargetBuilderTAAATS : public TarqTargetBuilder {
public:
    explicit TarqTargetBuilderTAAATS(TarqTargetManager* owner) : TarqTargetBuilder(owner) {}
    TagRect Build(TargetSnapshot& target) override;

private:
    // The vector in the symbol colour with a tick at every mile or minute.
    void DrawVector(const TargetSnapshot& target, PixelPoint symbol, uint32_t color) const;

    // Red in the low byte.
    uint32_t m_alertRed = 0x0000FF;
    uint32_t m_alertYellow = 0x00FFFF;
    uint32_t m_selectedUntracked = 0xFFFFFF;
    uint32_t m_mine = 0xC8FFC8;
    uint32_t m_mineSelected = 0x00FF00;
    uint32_t m_other = 0xBC0000;
    uint32_t m_otherSelected = 0xFFFFFF;
    uint32_t m_untracked = 0x000000;
    uint32_t m_handoff = 0x69CDFF;
    uint32_t m_ident = 0xFFFF00;
    uint32_t m_highLevelMarker = 0x00CCFF;
};
