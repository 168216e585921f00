// Tested by tests/simbridge/fs_messages_test.cpp.
#include "simbridge/fs_messages.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double kMetresPerDegreeLatitude = 111130.55555555556;
constexpr double kUnitsPerDegreeLongitude = 11930464.711111112;
constexpr double kFeetPerMetre = 3.2808398950131235;
constexpr double kMetresPerSecondPerKnot = 0.514444;

FixedPoint Split(double scaled) {
    // Garbage from a report must not reach an out-of-range conversion.
    if (!(std::fabs(scaled) < 9.0e18)) return {};
    const double whole = std::trunc(scaled);
    FixedPoint out;
    // Through 64 bits, so that 2^31 wraps to -2^31 instead of overflowing.
    out.whole = static_cast<int32_t>(static_cast<uint32_t>(static_cast<int64_t>(whole)));
    out.fraction = static_cast<uint16_t>(static_cast<uint32_t>(std::fabs(scaled - whole) * 65536.0));
    return out;
}

class Writer {
public:
    explicit Writer(size_t size) : m_bytes(size, 0) {}
    void U32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) m_bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
    void U16(size_t at, uint16_t v) {
        m_bytes[at] = static_cast<uint8_t>(v);
        m_bytes[at + 1] = static_cast<uint8_t>(v >> 8);
    }
    void Text(size_t at, const std::string& text) { std::memcpy(&m_bytes[at], text.data(), text.size()); }
    // latitude, longitude, altitude wholes at at, their fractions at fractionsAt.
    void Coordinates(size_t at, size_t fractionsAt, const PositionFields& p) {
        const FixedPoint parts[3] = {EncodeLatitude(p.latitude), EncodeLongitude(p.longitude),
                                     EncodeAltitude(p.altitude)};
        for (int i = 0; i < 3; ++i) {
            U32(at + 4 * i, static_cast<uint32_t>(parts[i].whole));
            U16(fractionsAt + 2 * i, parts[i].fraction);
        }
    }
    std::vector<uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};

}  // namespace

FixedPoint EncodeLatitude(double degrees) { return Split(degrees * kMetresPerDegreeLatitude); }
FixedPoint EncodeLongitude(double degrees) { return Split(degrees * kUnitsPerDegreeLongitude); }
FixedPoint EncodeAltitude(double feet) { return Split(feet / kFeetPerMetre); }

uint32_t EncodeRate(double value) {
    if (!(value >= -32768.0 && value <= 32767.0)) return 0;
    return static_cast<uint32_t>(static_cast<int32_t>(std::trunc(value * 65536.0)));
}

uint32_t EncodeSpeed(double knots) {
    const double metres = knots * kMetresPerSecondPerKnot;
    if (!(metres >= 0 && metres <= 65536.0)) return 0;
    const double whole = std::trunc(metres);
    const uint64_t fixed = (static_cast<uint64_t>(whole) << 16) +
                           static_cast<uint64_t>((metres - whole) * 65536.0);
    return static_cast<uint32_t>(fixed);
}

uint32_t ModelClassCode(int32_t modelClass) {
    switch (modelClass) {
        case 0: return 1;
        case 1: return 0;
        case 2: return 3;
        default: return 2;
    }
}

std::vector<uint8_t> BuildModelInfoMessage(const std::string& modelName, int32_t modelClass) {
    Writer w(modelName.size() + 13);
    w.U32(0, kMessageModelInfo);
    w.U32(4, static_cast<uint32_t>(modelName.size() + 5));
    w.U32(8, ModelClassCode(modelClass));
    w.Text(12, modelName);
    return w.Take();
}

std::vector<uint8_t> BuildShortPositionMessage(uint32_t sequence, const PositionFields& position) {
    Writer w(44);
    w.U32(0, kMessageShortPosition);
    w.U32(4, 36);
    w.U32(12, sequence);
    w.U32(20, position.attitude);
    w.Coordinates(24, 36, position);
    return w.Take();
}

std::vector<uint8_t> BuildFullPositionMessage(uint32_t sequence, const PositionFields& position) {
    Writer w(60);
    w.U32(0, kMessageFullPosition);
    w.U32(4, 52);
    w.U32(8, sequence);
    w.U32(16, EncodeRate(position.northRate));
    w.U32(20, EncodeRate(position.eastRate));
    w.U32(24, EncodeRate(position.verticalRate));
    w.U32(28, EncodeSpeed(position.speed));
    w.U32(36, position.attitude);
    w.Coordinates(40, 52, position);
    return w.Take();
}

std::vector<uint8_t> BuildTextMessage(const std::string& text) {
    Writer w(text.size() + 13);
    w.U32(0, kMessageText);
    w.U32(4, static_cast<uint32_t>(text.size() + 13));
    w.Text(8, text);
    return w.Take();
}

bool ParseTextMessage(const std::vector<uint8_t>& data, std::string& text) {
    if (data.size() < 8) return false;
    const uint32_t type = data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
    if (type != kMessageText) return false;
    text.clear();
    for (size_t i = 8; i < data.size() && data[i] != 0; ++i) text += static_cast<char>(data[i]);
    return true;
}
