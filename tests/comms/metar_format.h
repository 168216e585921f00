// One line of text for a parsed METAR, so tables compare whole records.
#pragma once

#include <string>

#include "comms/metar_parser.h"

inline std::string FormatMetar(const MetarRecord& r) {
    return r.station + " " + r.time + " wind=" + r.wind + " " + std::to_string(r.windSpeed) + "/" +
           std::to_string(r.gust) + " dir=" + std::to_string(r.windDirection) +
           " to=" + std::to_string(r.variableTo) + " vis=[" + r.visibility + "] wx=[" + r.weather + "] vv=[" +
           r.verticalVisibility + "] clouds=[" + r.clouds + "] t=" + r.temperature + " d=" + r.dewPoint +
           " alt=" + r.altimeter + " hpa=" + (r.altimeterHpa ? "1" : "0");
}
