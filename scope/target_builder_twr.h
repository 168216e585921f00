// TarqTargetBuilderTWR: radar mode 2. The ARTS presentation made simpler for
// a tower: every shown target carries the same two-line data block whatever
// its tracking, with no separation ring and no conflict text; a primary-only
// target keeps its block, and without a leader the block sits close by.
// Tested by tests/scope/target_builder_twr_test.cpp.
#pragma once

#include "scope/target_builder.h"

class TarqTargetBuilderTWR : public TarqTargetBuilder {
public:
    explicit TarqTargetBuilderTWR(TarqTargetManager* owner) : TarqTargetBuilder(owner) {}
    TagRect Build(TargetSnapshot& target) override;
};
