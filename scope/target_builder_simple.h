// TarqTargetBuilderSimple: radar mode 1. A small symbol for the position and
// each history point, and a one-line data block (callsign and voice suffix)
// on a leader; no vector line, no separation ring.
// Tested by tests/scope/target_builder_simple_test.cpp.
#pragma once

#include "scope/target_builder.h"

class TarqTargetBuilderSimple : public TarqTargetBuilder {
public:
    explicit TarqTargetBuilderSimple(TarqTargetManager* owner) : TarqTargetBuilder(owner) {}
    TagRect Build(TargetSnapshot& target) override;
};
