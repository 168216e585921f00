// Tests of the simulator's messages: every message's bytes and the field encoders.
#include "simbridge/fs_messages.h"

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values) out.push_back(static_cast<uint8_t>(v));
    return out;
}

void AppendU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void AppendU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

TEST(FSMessages, CoordinateEncoders) {
    struct Row {
        const char* name;
        FixedPoint (*encode)(double);
        double value;
        int32_t whole;
        uint16_t fraction;
    };
    const Row rows[] = {
        {"latitude -33.5", EncodeLatitude, -33.5, -3722873, 40049},
        {"latitude 0", EncodeLatitude, 0, 0, 0},
        {"longitude 180 wraps", EncodeLongitude, 180.0, INT32_MIN, 0},
        {"longitude -180", EncodeLongitude, -180.0, INT32_MIN, 0},
        {"longitude 90", EncodeLongitude, 90.0, 1073741824, 0},
        {"altitude 1000 ft", EncodeAltitude, 1000, 304, 52428},
        {"altitude -1.25 m", EncodeAltitude, -1.25 * 3.2808398950131235, -1, 16384},
        {"garbage", EncodeLatitude, 1e300, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const FixedPoint p = row.encode(row.value);
        EXPECT_EQ(p.whole, row.whole);
        EXPECT_EQ(p.fraction, row.fraction);
    }
}

TEST(FSMessages, RateAndSpeedEncoders) {
    const std::pair<double, uint32_t> rates[] = {
        {1.5, 0x00018000},  {-1.25, 0xFFFEC000}, {-0.5, 0xFFFF8000}, {32767.0, 0x7FFF0000},
        {-32768.0, 0x80000000}, {32767.5, 0},    {-32768.5, 0},      {0, 0},
    };
    for (const auto& [value, expected] : rates) {
        SCOPED_TRACE(value);
        EXPECT_EQ(EncodeRate(value), expected);
    }
    const std::pair<double, uint32_t> speeds[] = {
        {130, 0x0042E0B2}, {-1, 0}, {0, 0}, {65536.0 / 0.514444 + 1, 0}, {1.0 / 0.514444, 0x00010000}};
    for (const auto& [knots, expected] : speeds) {
        SCOPED_TRACE(knots);
        EXPECT_EQ(EncodeSpeed(knots), expected);
    }
}

TEST(FSMessages, ModelInformation) {
    const std::pair<int32_t, int> codes[] = {{0, 1}, {1, 0}, {2, 3}, {3, 2}, {-1, 2}};
    for (const auto& [modelClass, code] : codes) {
        SCOPED_TRACE(modelClass);
        EXPECT_EQ(BuildModelInfoMessage("QA", modelClass),
                  Bytes({0x03, 0x10, 0, 0, 7, 0, 0, 0, code, 0, 0, 0, 'Q', 'A', 0}));
    }
}

TEST(FSMessages, Text) {
    EXPECT_EQ(BuildTextMessage("hi"), Bytes({0x17, 0x10, 0, 0, 15, 0, 0, 0, 'h', 'i', 0, 0, 0, 0, 0}));
    std::string text;
    ASSERT_TRUE(ParseTextMessage(BuildTextMessage("hello"), text));
    EXPECT_EQ(text, "hello");
    EXPECT_TRUE(ParseTextMessage(Bytes({0x17, 0x10, 0, 0, 9, 0, 0, 0, 'n', 'o'}), text)) << "no NUL";
    EXPECT_EQ(text, "no");
    EXPECT_FALSE(ParseTextMessage(Bytes({0x17, 0x10, 0}), text));
    EXPECT_FALSE(ParseTextMessage(BuildModelInfoMessage("X", 0), text));
}

TEST(FSMessages, Positions) {
    PositionFields p;
    p.latitude = -33.5;
    p.longitude = 90;
    p.altitude = 1000;
    p.attitude = 0x12345678;
    p.northRate = 1.5;
    p.eastRate = -1.25;
    p.verticalRate = 0;
    p.speed = 130;

    std::vector<uint8_t> coordinates;
    AppendU32(coordinates, static_cast<uint32_t>(-3722873));
    AppendU32(coordinates, 1073741824);
    AppendU32(coordinates, 304);
    std::vector<uint8_t> fractions;
    AppendU16(fractions, 40049);
    AppendU16(fractions, 0);
    AppendU16(fractions, 52428);

    std::vector<uint8_t> shortMessage;
    for (uint32_t v : {0x100Cu, 36u, 0u, 77u, 0u, 0x12345678u}) AppendU32(shortMessage, v);
    shortMessage.insert(shortMessage.end(), coordinates.begin(), coordinates.end());
    shortMessage.insert(shortMessage.end(), fractions.begin(), fractions.end());
    AppendU16(shortMessage, 0);
    EXPECT_EQ(BuildShortPositionMessage(77, p), shortMessage);

    std::vector<uint8_t> fullMessage;
    for (uint32_t v : {0x100Du, 52u, 77u, 0u, 0x00018000u, 0xFFFEC000u, 0u, 0x0042E0B2u, 0u, 0x12345678u})
        AppendU32(fullMessage, v);
    fullMessage.insert(fullMessage.end(), coordinates.begin(), coordinates.end());
    fullMessage.insert(fullMessage.end(), fractions.begin(), fractions.end());
    AppendU16(fullMessage, 0);
    EXPECT_EQ(BuildFullPositionMessage(77, p), fullMessage);
}

}  // namespace
