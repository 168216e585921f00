// The messages the simulator multiplayer host exchanges with the simulator,
// and the encoders of their fields. All integers little-endian; bytes the
// format leaves unused are zero. Any thread may call these.
// Tested by tests/simbridge/fs_messages_test.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr uint32_t kMessageModelInfo = 0x1003;
constexpr uint32_t kMessageShortPosition = 0x100C;
constexpr uint32_t kMessageFullPosition = 0x100D;
constexpr uint32_t kMessageText = 0x1017;

// A coordinate as the simulator takes it: the scaled value truncated toward
// zero, and the magnitude of what is left in 1/65536ths.
struct FixedPoint {
    int32_t whole = 0;
    uint16_t fraction = 0;
};

// Metres north of the equator.
FixedPoint EncodeLatitude(double degrees);
// 2^32 / 360 units per degree; 180 wraps to the value of -180.
FixedPoint EncodeLongitude(double degrees);
// Metres.
FixedPoint EncodeAltitude(double feet);
// Signed 16.16 in two's complement; 0 outside -32768 to 32767.
uint32_t EncodeRate(double value);
// Knots to metres per second as unsigned 16.16; 0 below 0 or above 65536.
uint32_t EncodeSpeed(double knots);

// The simulator's code for a model class (0 jet, 1 other, 2 rotorcraft, 3 unknown).
uint32_t ModelClassCode(int32_t modelClass);

struct PositionFields {
    double latitude = 0;   // degrees
    double longitude = 0;  // degrees
    double altitude = 0;   // feet
    uint32_t attitude = 0;
    double northRate = 0;  // feet per second, as the full message sends them
    double eastRate = 0;
    double verticalRate = 0;
    double speed = 0;  // knots
};

std::vector<uint8_t> BuildModelInfoMessage(const std::string& modelName, int32_t modelClass);
std::vector<uint8_t> BuildShortPositionMessage(uint32_t sequence, const PositionFields& position);
std::vector<uint8_t> BuildFullPositionMessage(uint32_t sequence, const PositionFields& position);
std::vector<uint8_t> BuildTextMessage(const std::string& text);

// The text of a 0x1017 message: from byte 8 to its first NUL or its end.
// False when the data is not a text message.
bool ParseTextMessage(const std::vector<uint8_t>& data, std::string& text);
