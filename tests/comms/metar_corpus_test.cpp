// The parser over a corpus of reports from many countries and in many
// formats (US and ICAO, AUTO, COR, NIL, CAVOK, RVR, runway state groups,
// variable winds, trends, remarks), each with its expected fields.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "comms/metar_parser.h"
#include "tests/comms/metar_format.h"

namespace {

TEST(MetarCorpusTest, EveryReportGivesItsFields) {
    std::ifstream in(std::string(TARQ_TEST_DATA_DIR) + "/metar_corpus.txt");
    ASSERT_TRUE(in) << "metar_corpus.txt missing";
    MetarParser parser;
    std::string line;
    std::string report;
    while (std::getline(in, line)) {
        if (line.rfind("> ", 0) == 0) {
            report = line.substr(2);
        } else if (line.rfind("= ", 0) == 0) {
            SCOPED_TRACE(report);
            const std::string expected = line.substr(2);
            Result<MetarRecord> r = parser.Parse(report);
            EXPECT_EQ(r.Ok() ? FormatMetar(r.Value()) : "none", expected);
            EXPECT_LT(parser.LastSteps(), MetarParser::kStepBudget / 10);
        }
    }
}

}  // namespace
