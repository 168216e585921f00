// Tests of position-file parsing: fields, comments, the frequency rule and
// lines of any length.
#include "atc/position_file.h"

#include <gtest/gtest.h>

#include "platform/atomic_file.h"

namespace {

std::vector<PofRecord> Load(const std::string& name) {
    std::string text;
    EXPECT_TRUE(ReadWholeFile(std::string(TARQ_TEST_DATA_DIR) + "/pof/" + name, text));
    return ParsePositionFile(text);
}

TEST(PositionFile, Fields) {
    const std::vector<PofRecord> records = Load("facility.pof");
    ASSERT_EQ(records.size(), 5u);
    const PofRecord& ny = records[0];
    EXPECT_EQ(ny.name, "NY CTR");
    EXPECT_EQ(ny.radioCallsign, "New York Center");
    EXPECT_EQ(ny.frequency, 125325);
    EXPECT_EQ(ny.positionId, "4A");
    EXPECT_EQ(ny.symbol, "N");
    EXPECT_EQ(ny.prefix, "NY");
    EXPECT_EQ(ny.suffix, "CTR");
    EXPECT_EQ(ny.spareText1, "-");
    EXPECT_EQ(ny.squawkLow, 101);
    EXPECT_EQ(ny.squawkHigh, 177);
    EXPECT_EQ(records[1].radioCallsign, "JFK TWR") << "'-' takes the name";
    EXPECT_EQ(records[2].squawkLow, 0) << "missing fields read as 0";
    EXPECT_EQ(records[4].name, "Ghost Position");
    EXPECT_TRUE(records[4].radioCallsign.empty());
    EXPECT_EQ(records[4].frequency, 0);
}

TEST(PositionFile, CommentsOnlyAtLineStart) {
    const std::vector<PofRecord> records = ParsePositionFile(";A:B:1\nX;Y:Z:118.1\r\n:\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name, "X;Y");
    EXPECT_EQ(records[0].frequency, 118100);
    EXPECT_TRUE(records[1].name.empty());
}

TEST(PositionFile, Frequencies) {
    struct Row {
        const char* text;
        int kHz;
    };
    const Row rows[] = {{"125.325", 125325}, {"118.1", 118100}, {"121.5", 121500},
                        {"199.998", 199998}, {"", 0},           {"abc", 0},
                        {" 122.8", 122800}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(ParsePofFrequency(row.text), row.kHz);
    }
}

TEST(PositionFile, LinesOfAnyLength) {
    const std::vector<PofRecord> records = Load("long_line.pof");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].name.size(), 3004u);
    EXPECT_EQ(records[0].radioCallsign, "Long Radio");
    EXPECT_EQ(records[0].squawkHigh, 4077);
    EXPECT_EQ(records[1].positionId, "LM");
}

}  // namespace
