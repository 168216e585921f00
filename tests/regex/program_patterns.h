// The patterns the program compiles, with texts like those they meet: the
// input validators, the sector file lines, the METAR report and the chat
// searches. Shared by the PCRE2 differential test and the benchmark.
#pragma once

#include <string>
#include <vector>

namespace program_patterns {

struct PatternCase {
    const char* pattern;
    int flags;  // 0, or 1 (ignore case)
    std::vector<std::string> texts;
};

inline const char* const kMetar =
    R"re(^([A-Z]\w\w\w) (\d{6}Z)(?: (?:AUTO|RTD|COR|CCA))? (\S+(?:KT|MPS|KTS)|/////|/////KT)( \d+V\d+)?( P?M?(?:\d \d/|\d/)?\d+(?:SM|KM|M)?| \d+NDV| CAVOK| 9999(?:NDV)? // CAVOK//| ////|(?: \d{4}[NSEW])+)?(?: R\S+FT)?(?: R\d\d\w?/\S+)*((?: ?(?:\+|\-)?(?:VC|TS|DU|GR|FU|GS|DZ|MI|PE|RA|SA|BC|FZ|PI|HZ|VA|SG|SH|FC|PO|BL|FG|SN|IC|BR|SQ|SS|PY|DR|DS|UP|//|/))*)( VV\d\d\d| VV///)?((?: (?:NCD|FEW|SCT|BKN|OVC|SKC|CLR|NSC|NSW|//////|///)(?:\d\d\d|///|\d\d\d///)?(?:\w{2,3})?)*)(?: (M?\d\d|//|XX)/(M?\d\d|//|XX)?)?( (?:(?:Q|A|Q |A )(?:\d+|////|XXXX)|RMK|\d\d\d\.\d)))re";

inline std::vector<PatternCase> Cases() {
    return {
        // Input validators.
        {"^[\\w ]+$", 0, {"London Heathrow Tower", "My.Profile", ""}},
        {"^[\\w\\.\\-]+$", 0, {"voice2.peltan-net.example.org", "voice/x"}},
        {"^1\\d\\d\\.\\d\\d\\d$", 0, {"118.700", "218.300", "118.3001"}},
        {"^[\\w \\-]+$", 0, {"EGLL-TWR", "EGLL_TWR!"}},
        {"^000\\.000$", 0, {"000.000", "121.500"}},
        {"/\\d+", 0, {"/12", "x/", "a/1b"}},
        // Sector file lines.
        {"^#define\\s+(\\S+)\\s+(.+)", 1, {"#define COLOR_Runway 16777215", "#DEFINE x", "#define  a  b c "}},
        {"^\\[(.+)\\]$", 0, {"[VOR]", "[SID]\n", "[]", "[a]b]"}},
        {"^(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)",
         0,
         {"LON  113.600 N051.29.12.000 W000.28.00.000 ; London", "a b c"}},
        {"^(\\S+)\\s+(\\S+)\\s+(\\S+)", 0, {"ABBOT N052.00.55.000 E000.35.59.000", " x y z"}},
        {"^(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)(?:\\s+([A-Z]))?",
         0,
         {"EGLL 118.500 N051.28.39.000 W000.27.41.000 D", "EGLL 118.500 N051.28.39.000 W000.27.41.000 d"}},
        {"^(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)",
         0,
         {"09L 27R 090 270 N051.28.39.000 W000.29.06.000 N051.28.39.000 W000.25.58.000"}},
        {"^(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)",
         0,
         {"EGTT_N N053.00.00.000 W002.00.00.000 N054.00.00.000 W001.00.00.000"}},
        {"^(.{26})\\s*(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)(?:\\s+(\\S+))?",
         0,
         {"BPK7F                     N051.44.59.000 W000.06.24.000 N051.40.00.000 W000.10.00.000 COLOR_Sid",
          "Dover One Alpha Departure N051.44.59.000 W000.06.24.000 N051.40.00.000 W000.10.00.000"}},
        {"^\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)(?:\\s+(\\S+))?",
         0,
         {"                          N051.40.00.000 W000.10.00.000 N051.35.00.000 W000.15.00.000"}},
        {"^(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)(?:\\s+(\\S+))?",
         0,
         {"N051.28.00.000 W000.27.00.000 N051.29.00.000 W000.26.00.000 COLOR_Taxi"}},
        {"^\\s+(\\S+)\\s+(\\S+)", 0, {"  N051.29.00.000 W000.26.00.000", "N051 W000"}},
        {"^\"(.+)\"\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)",
         0,
         {"\"Terminal 5\" N051.28.20.000 W000.29.20.000 COLOR_Label", "\"a\" \"b\" c d e"}},
        // Weather reports.
        {kMetar,
         0,
         {"KJFK 121651Z 31015G25KT 10SM FEW050 SCT250 M02/M17 A3012 RMK AO2 SLP201",
          "EGLL 121650Z AUTO 24012KT 210V280 9999 -RA BKN012 OVC030 08/06 Q1004",
          "LFPG 121700Z 05008KT CAVOK 12/03 Q1021 NOSIG",
          "KSFO 121656Z 28018KT 10SM R28L/2600FT -SHRA BR FEW008 BKN020 13/11 A2998",
          "EDDF 121650Z VRB02KT 0300 R25R/0600N FG VV001 02/02 Q1030",
          "CYYZ 121700Z 36010KT 1 1/2SM -SN BLSN OVC015 M05/M08 A2990 RMK SN8",
          "UUEE 121700Z 00000MPS 9999 NSC M10/M12 Q 1035",
          "ZZZZ 121700Z /////KT //// ///////// ///// Q////"}},
        // Chat searches.
        {"\\WSEL(?:CAL)?[/ -]?(\\w\\w)-?(\\w\\w)\\W",
         1,
         {"BAW123, request selcal check, SELCAL AB-CD please ", " sel/abcd.",
          "hello tower, ready for departure"}},
        {"LT=(\\S+)\\s+LO=(\\S+)\\s+AL",
         0,
         {"Position update LT=51.4775 LO=-0.4614 AL=1200 from the field", "LT=1 LO=2 X"}},
    };
}

}  // namespace program_patterns
