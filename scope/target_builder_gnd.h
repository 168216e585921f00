// TarqTargetBuilderGND: radar mode 7, a surface-movement picture. The
// Simple mode's symbols and trail, and a two-line data block: the callsign,
// then the aircraft type with one status field (an alert, a code problem,
// the scratchpad or the ground speed) that alternates every second. No
// vector line, no separation ring.
// Tested by tests/scope/target_builder_gnd_test.cpp.
#pragma once

#include <string>

#include "scope/target_builder.h"

class TarqTargetBuilderGND : public TarqTargetBuilder {
public:
    explicit TarqTargetBuilderGND(TarqTargetManager* owner) : TarqTargetBuilder(owner) {}
    // Writes back the scratchpad cut to its last four characters and "NOFP"
    // for an empty aircraft type, besides the diagonal leader length.
    TagRect Build(TargetSnapshot& target) override;

protected:
    // The field after the aircraft type on the second line.
    std::string StatusField(const TargetSnapshot& target) const;
};
