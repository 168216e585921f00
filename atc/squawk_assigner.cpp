// Tested by tests/atc/squawk_assigner_test.cpp.
#include "atc/squawk_assigner.h"

namespace {

// Codes above this are never handed out (the emergency codes lie beyond it).
constexpr uint16_t kHighestSquawk = 7477;
constexpr uint16_t kBeyondCodes = TarqSquawkAssigner::kBeyondCodes;

// The smallest valid transponder code (four octal digits) at or above code;
// kBeyondCodes when there is none.
uint16_t NextValidSquawk(int code) {
    while (code < kBeyondCodes) {
        int unit = 1000;
        int bad = -1;
        for (int digit = 0; digit < 4; ++digit, unit /= 10) {
            if ((code / unit) % 10 >= 8) {
                bad = digit;
                break;
            }
        }
        if (bad < 0) return static_cast<uint16_t>(code);
        if (bad == 0) return kBeyondCodes;
        // Carry into the digit before the bad one and zero the rest, so no
        // valid code in between is passed over (1850 goes to 2000, not 2050).
        const int step = unit * 10;
        code = (code / step + 1) * step;
    }
    return kBeyondCodes;
}

}  // namespace

TarqSquawkAssigner::TarqSquawkAssigner(const AtcServices& services, Random15& random)
    : m_services(services.Checked("TarqSquawkAssigner")), m_random(random) {}

uint16_t TarqSquawkAssigner::Assign(uint16_t low, uint16_t high, const TakenCodes& taken) {
    if (high > kHighestSquawk || high == 0) high = kHighestSquawk;
    if (low < 1) low = 1;
    if (high < low) {
        m_services.messages->ShowError("Invalid squawk code range.");
        return 0;
    }
    if (m_services.settings->GetBool("AssignSquawksRandomly")) return PickRandom(low, high, taken);

    const int start =
        (m_lastAssigned > 0 && m_lastAssigned >= low && m_lastAssigned < high) ? m_lastAssigned + 1 : low;
    bool wrapped = false;
    int code = start;
    for (;;) {
        code = NextValidSquawk(code);
        if (code > high) {
            if (wrapped) break;
            wrapped = true;
            code = low;
            continue;
        }
        if (!taken[code]) {
            m_lastAssigned = static_cast<uint16_t>(code);
            return m_lastAssigned;
        }
        ++code;
    }
    m_services.messages->ShowError("All squawk codes in the configured range are taken.");
    return 0;
}

uint16_t TarqSquawkAssigner::PickRandom(uint16_t low, uint16_t high, const TakenCodes& taken) {
    std::vector<uint16_t> free;
    for (int code = NextValidSquawk(low); code <= high; code = NextValidSquawk(code + 1)) {
        if (!taken[code]) free.push_back(static_cast<uint16_t>(code));
    }
    if (free.empty()) {
        m_services.messages->ShowError("All squawk codes in the configured range are taken.");
        return 0;
    }
    if (free.size() == 1) return free[0];
    size_t index = static_cast<size_t>(m_random.Next() / 32767.0 * static_cast<double>(free.size()));
    if (index >= free.size()) index = free.size() - 1;
    return free[index];
}
