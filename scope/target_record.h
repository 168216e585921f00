// The per-frame record of one target that the target manager fills and hands
// to the builder of the radar mode, and the data block rectangle a builder
// returns. Positions are scope coordinates (degrees, x longitude, sector
// offset applied); colours are 24-bit, red in the low byte. A builder may
// change its copy while it draws (leader length, tag position, blink phase,
// full data block, ...); the manager refills it for every target.
// Tested through tests/scope/target_builder_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "atc/scope_point.h"
#include "scope/anchor_record.h"

// Window pixels, y up: a drawn data block has top > bottom. {1, 0, 0, 1} is
// the empty rectangle: no data block was drawn, and it contains no point.
struct TagRect {
    int32_t left = 1;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 1;

    static constexpr TagRect Empty() { return {1, 0, 0, 1}; }
    bool IsEmpty() const { return left > right || bottom > top; }
    bool Contains(int x, int y) const { return left <= x && x <= right && bottom <= y && y <= top; }

    friend bool operator==(const TagRect&, const TagRect&) = default;
};

// Voice capability as the record holds it; any other value is unknown.
inline constexpr int kVoiceTextOnly = 1;
inline constexpr int kVoiceReceiveOnly = 2;
inline constexpr int kVoiceFull = 3;

struct TargetSnapshot {
    uint32_t dataBlockColor = 0;  // chosen by the manager from the target's state
    uint32_t positionSymbolColor = 0;
    uint32_t targetSymbolColor = 0;
    uint32_t primaryTargetColor = 0;
    uint32_t historyTrailColor = 0;
    uint32_t vectorLineColor = 0;
    std::string callsign;
    uint16_t squawk = 0;  // the code's digits as a number: 7700 for code 7700
    bool duplicateCode = false;
    uint16_t assignedCode = 0;        // 0: none
    int32_t transponderMode = 0;      // a character: 'S' standby, 'Y' ident
    std::vector<ScopePoint> history;  // newest first; an entry with x or y 0 is unused
    ScopePoint position;
    int32_t altitude = 0;           // feet
    int32_t temporaryAltitude = 0;  // feet, 0: none
    int32_t previousAltitude = 0;   // feet, of the previous report
    int32_t groundSpeed = 0;        // knots
    double track = 0.0;             // degrees; the heading the vector line follows
    double reportedHeading = 0.0;
    double pitch = 0.0;
    double bank = 0.0;
    ScopePoint smoothedPosition;  // 3-D view
    int32_t smoothedAltitude = 0;
    double smoothedHeading = 0.0;
    double smoothedPitch = 0.0;
    double smoothedBank = 0.0;
    int32_t cruiseAltitude = 0;  // feet, 0 when the plan has none in digits
    std::string typeCode;        // at most four characters; empty without a plan
    std::string equipmentSuffix;
    std::string departure;
    std::string destination;
    std::string scratchpad;
    std::string ownerSectorText;  // tracking controller's position letter(s); "??" without one
    std::string ownerId;          // tracking controller's identifier; "--" for the user, empty untracked
    std::string handoffTargetId;  // empty when no handoff
    std::string handoffTargetSectorText;  // valid only while handoffTargetId is set
    int32_t tagPosition = 6;              // keypad layout, 1 to 9
    int16_t leaderLength = 0;             // pixels
    uint16_t aircraftNumber = 0;
    int32_t voiceType = 0;    // kVoiceTextOnly, kVoiceReceiveOnly, kVoiceFull, else unknown
    uint16_t blinkPhase = 1;  // 1 to 8, see TargetBlinkPhase
    bool trackedByMe = false;
    bool fullDataBlock = false;
    bool filtered = false;
    bool hideSymbol = false;
    bool hideDataBlock = false;
    bool inConflict = false;
    bool incomingHandoff = false;
    bool coasting = false;
    int32_t vectorLength = 0;  // minutes with "TimeBasedVector", else NM
    bool seeAll = false;
    bool hasAnchor = false;
    AnchorRecord anchor;  // valid only with hasAnchor
    bool isVfr = false;
    bool isRadioSelected = false;
    bool blockToggled = false;  // middle click on the data block: the extended block
    double blockAngle = 45.0;
    double blockFactor = 1.0;
    bool extraFlag = false;
    std::string extraText;
    // The Park Air plot and the weight class of the aircraft type; under
    // realistic tags an uncorrelated target is not shown heavy.
    double plotBearing = 0.0;  // degrees, the scope's rotation included
    double plotExtent = 0.0;
    bool isHeavy = false;
    std::string weightClass;
};

// The blink phase of a frame: 1 to 8, one step every 500 ms over 4 s, from the
// milliseconds since the program's start.
inline uint16_t TargetBlinkPhase(uint64_t elapsedMs) {
    return static_cast<uint16_t>(elapsedMs % 4000 / 500 + 1);
}
