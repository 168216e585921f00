// The METAR parser. Tested by tests/comms/metar_parser_test.cpp.
#include "comms/metar_parser.h"

#include <charconv>
#include <vector>

#include "foundation/text_helpers.h"
#include "regex/rpattern.h"

namespace {

// Groups: 1 station, 2 time, 3 wind, 4 variable sector, 5 visibility,
// 6 present weather, 7 vertical visibility, 8 clouds, 9 temperature,
// 10 dew point, 11 altimeter (or RMK, or the 123.4 form).
const char* const kReportPattern =
    R"re(^([A-Z]\w\w\w) (\d{6}Z)(?: (?:AUTO|RTD|COR|CCA))? (\S+(?:KT|MPS|KTS)|/////|/////KT)( \d+V\d+)?)re"
    R"re(( P?M?(?:\d \d/|\d/)?\d+(?:SM|KM|M)?| \d+NDV| CAVOK| 9999(?:NDV)? // CAVOK//| ////|(?: \d{4}[NSEW])+)?)re"
    R"re((?: R\S+FT)?(?: R\d\d\w?/\S+)*)re"
    R"re(((?: ?(?:\+|\-)?(?:VC|TS|DU|GR|FU|GS|DZ|MI|PE|RA|SA|BC|FZ|PI|HZ|VA|SG|SH|FC|PO|BL|FG|SN|IC|BR|SQ|SS|PY|DR|DS|UP|//|/))*))re"
    R"re(( VV\d\d\d| VV///)?((?: (?:NCD|FEW|SCT|BKN|OVC|SKC|CLR|NSC|NSW|//////|///)(?:\d\d\d|///|\d\d\d///)?(?:\w{2,3})?)*))re"
    R"re((?: (M?\d\d|//|XX)/(M?\d\d|//|XX)?)?( (?:(?:Q|A|Q |A )(?:\d+|////|XXXX)|RMK|\d\d\d\.\d)))re";

// Speeds and gusts of one to three digits are read whole (105 knots is a
// real report); the gust of a variable wind is kept.
const char* const kDirectedWindPattern = R"re((\d\d\d)(\d\d\d?)(?:G(\d\d\d?))?)re";
const char* const kVariableWindPattern = R"re(VRB(\d\d\d?)(?:G(\d\d\d?))?)re";
const char* const kSectorPattern = R"re( (\d\d\d)V(\d\d\d))re";

int32_t LeadingNumber(const std::string& digits) {
    int32_t value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

ParseError Error(int code, std::string message, const std::string& text) {
    ParseError error;
    error.code = code;
    error.message = std::move(message);
    error.text = text.substr(0, 80);
    return error;
}

}  // namespace

struct MetarParser::Compiled {
    regex::rpattern report{kReportPattern};
    regex::rpattern directed{kDirectedWindPattern};
    regex::rpattern variable{kVariableWindPattern};
    regex::rpattern sector{kSectorPattern};

    Compiled() {
        for (regex::rpattern* p : {&report, &directed, &variable, &sector}) p->set_step_budget(kStepBudget);
    }
};

MetarParser::MetarParser() : m_compiled(std::make_unique<Compiled>()) {}
MetarParser::~MetarParser() = default;

Result<MetarRecord> MetarParser::Parse(const std::string& text) const {
    m_lastSteps = 0;
    std::vector<std::string> pieces;
    SplitString(text, pieces, 0, "\r\n\t ");
    const std::string joined = JoinStrings(pieces, " ");
    if (joined.size() > kMaxReportLength) {
        return Error(kTooLong, "METAR longer than " + std::to_string(kMaxReportLength) + " characters",
                     joined);
    }

    MetarRecord record;
    regex::match_results groups;
    try {
        const bool found = m_compiled->report.match_text(joined, groups).matched;
        m_lastSteps += groups.steps();
        if (!found) return Error(kNotMetar, "not a METAR", joined);
        record.station = groups[1].str();
        record.time = groups[2].str();
        record.wind = groups[3].str();
        const std::string sectorText = groups[4].str();
        record.visibility = groups[5].str();
        record.weather = groups[6].str();
        record.verticalVisibility = groups[7].str();
        record.clouds = groups[8].str();
        record.temperature = groups[9].str();
        record.dewPoint = groups[10].str();
        record.altimeter = groups[11].str();

        regex::match_results wind;
        if (m_compiled->directed.match_text(record.wind, wind).matched) {
            record.windDirection = LeadingNumber(wind[1].str());
            record.windSpeed = LeadingNumber(wind[2].str());
            record.gust = LeadingNumber(wind[3].str());
        } else if (m_compiled->variable.match_text(record.wind, wind).matched) {
            record.windDirection = -1;
            record.windSpeed = LeadingNumber(wind[1].str());
            record.gust = LeadingNumber(wind[2].str());
        }
        m_lastSteps += wind.steps();
        // A sector overrides the direction, also after VRB.
        if (m_compiled->sector.match_text(sectorText, wind).matched) {
            record.windDirection = LeadingNumber(wind[1].str());
            record.variableTo = LeadingNumber(wind[2].str());
        }
        m_lastSteps += wind.steps();
    } catch (const regex::match_limit_exceeded& e) {
        return Error(kTooComplex, std::string("METAR too complex to read: ") + e.what(), joined);
    }

    std::string& altimeter = record.altimeter;
    if (altimeter.compare(0, 2, " A") == 0 || altimeter.compare(0, 2, " Q") == 0) {
        record.altimeterHpa = altimeter[1] == 'Q';
        altimeter.erase(0, 2);
        if (!altimeter.empty() && altimeter[0] == ' ') altimeter.erase(0, 1);
    } else if (altimeter == " RMK") {
        altimeter = "????";
    }
    return record;
}
