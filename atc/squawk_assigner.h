// Squawk assignment: the next free transponder code of a range after the last
// one handed out, or a random free one; codes are four octal digits.
// Tested by tests/atc/squawk_assigner_test.cpp.
#pragma once

#include <cstdint>
#include <vector>

#include "atc/atc_services.h"
#include "foundation/random15.h"

class TarqSquawkAssigner {
public:
    // One flag per code 0 to 9999: whether a pilot squawks it or a controller assigned it.
    using TakenCodes = std::vector<bool>;
    static constexpr uint16_t kBeyondCodes = 10000;

    // random is the database's generator, shared with the aircraft numbers.
    TarqSquawkAssigner(const AtcServices& services, Random15& random);

    // With "AssignSquawksRandomly" a random free code, else the first free
    // code after the last one handed out, wrapping once; 0, with a message,
    // when the range is invalid or full.
    uint16_t Assign(uint16_t low, uint16_t high, const TakenCodes& taken);
    uint16_t PickRandom(uint16_t low, uint16_t high, const TakenCodes& taken);
    uint16_t GetLastAssigned() const { return m_lastAssigned; }

private:
    AtcServices m_services;
    Random15& m_random;
    uint16_t m_lastAssigned = 0;
};
