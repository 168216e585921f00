// HalkSession's packet writers, the client-to-client ones included. Every
// argument goes through HalkLineBuilder, so user text cannot add lines or
// shift fields. Tested by tests/net/halk_writer_test.cpp.
#include "net/halk_session.h"
#include "platform/clock.h"

namespace {

constexpr std::string_view kAllControllers = "@94835";
constexpr const char* kDataCodes[5] = {"SC", "VT", "BC", "FA", "TA"};
constexpr const char* kNoticeCodes[6] = {"IT", "DR", "IH", "WH", "PT", "DP"};
constexpr const char* kLandLineCodes[3][4] = {
    {"IC", "IK", "IB", "EC"}, {"OV", "OK", "OB", "EO"}, {"MN", "MK", "MB", "EM"}};

std::string_view OrEmpty(const char* text) { return text ? std::string_view(text) : std::string_view(); }

}  // namespace

int HalkSession::SendTextMessage(std::string_view to, std::string_view text) {
    return SendLine(Line("#TM").Field(to).Last(text));
}

int HalkSession::SendRadioMessage(std::span<const int32_t> frequencies, std::string_view text) {
    if (frequencies.empty()) return 0;
    HalkLineBuilder line = Line("#TM");
    line.Field("");
    for (size_t i = 0; i < frequencies.size(); ++i) {
        line.Append(i == 0 ? "@" : "&@").Append(static_cast<long long>(frequencies[i]) - 100000);
    }
    return SendLine(line.Last(text));
}

int HalkSession::SendATCPosition(const ATCPositionRecord& record) {
    m_lastLatitude = record.latitude;
    m_lastLongitude = record.longitude;
    m_lastAltitude = record.altitude;
    return SendLine(Line("%")
                        .Field(static_cast<long long>(record.frequency) - 100000)
                        .Field(record.facility)
                        .Field(record.visibilityRange)
                        .Field(m_rating)
                        .Fixed(record.latitude, 8)
                        .Fixed(record.longitude, 8)
                        .Field(record.altitude));
}

int HalkSession::SendSecondaryPosition(int index, double latitude, double longitude) {
    return SendLine(Line("'").Field(index).Fixed(latitude).Fixed(longitude));
}

int HalkSession::SendKill(std::string_view callsign, std::string_view reason) {
    return SendLine(Line("$!!").Field(callsign).Last(reason));
}

int HalkSession::SendPing(std::string_view to) {
    return SendLine(Line("$PI").Field(to).Field(static_cast<long long>(m_clock->WallSeconds())));
}

int HalkSession::SendPong(std::string_view to, std::string_view text) {
    return SendLine(Line("$PO").Field(to).Last(text));
}

int HalkSession::SendHandoffOffer(std::string_view to, std::string_view aircraft) {
    return SendLine(Line("$HO").Field(to).Field(aircraft));
}

int HalkSession::SendHandoffAccept(std::string_view to, std::string_view aircraft) {
    int sent = SendLine(Line("$HA").Field(to).Field(aircraft));
    return sent + SendLine(Line("$CQ").Field(kAllControllers).Field("HT").Field(aircraft).Field(to));
}

int HalkSession::SendHandoffCancel(std::string_view to, std::string_view aircraft) {
    return SendLine(Line("#PC").Field(to).Field("CCP").Field("HC").Field(aircraft));
}

int HalkSession::RequestMETAR(std::string_view station) {
    return SendLine(Line("$AX").Field("SERVER").Field("METAR").Field(station));
}

int HalkSession::SendQuery(int kind, std::string_view argument) {
    switch (kind) {
        case 0:
            return SendLine(Line("$CQ").Field("SERVER").Field("FP").Field(argument));
        case 1:
            return SendLine(Line("$CQ").Field(argument).Field("C?"));
        case 2:
            return SendLine(Line("$CQ").Field(argument).Field("INF"));
        case 3:
            return SendLine(Line("$CQ").Field(argument).Field("ATIS"));
        case 4:
            return SendLine(Line("$CQ").Field(argument).Field("SV"));
        case 5:
            return SendLine(Line("$CQ").Field(argument).Field("RN"));
        case 6:
            if (argument.empty()) return SendLine(Line("$CQ").Field("SERVER").Field("ATC"));
            return SendLine(Line("$CQ").Field("SERVER").Field("ATC").Field(argument));
        case 7:
            return SendLine(Line("$CQ").Field(argument).Field("CAPS"));
        case 8:
            return SendLine(Line("$CQ").Field("SERVER").Field("IP"));
        default:
            return 0;
    }
}

int HalkSession::SendReply(int kind, std::string_view to, std::string_view argument) {
    switch (kind) {
        case 1:
            return SendLine(Line("$CR").Field(to).Field("C?").Field(argument));
        case 3:
            return SendLine(Line("#TM").Field(to).Last(argument));
        case 5:
            return SendLine(
                Line("$CR").Field(to).Field("RN").Field(m_realName).Field(argument).Field(m_rating));
        case 7:
            return SendLine(Line("$CR").Field(to).Field("CAPS").Last(m_capabilitiesText));
        default:
            return 0;
    }
}

int HalkSession::SendATISLine(std::string_view to, char lineType, std::string_view text) {
    return SendLine(Line("$CR").Field(to).Field("ATIS").Field(std::string_view(&lineType, 1)).Last(text));
}

int HalkSession::RequestPlaneInfo(std::string_view to) {
    return SendLine(Line("#SB").Field(to).Field("PIR"));
}

int HalkSession::SendFlightPlanAmend(std::string_view callsign, const FlightPlanPacket& plan) {
    char rules = static_cast<char>(plan.flightRules);
    return SendLine(Line("$AM")
                        .Field("SERVER")
                        .Field(callsign)
                        .Field(std::string_view(&rules, rules ? 1 : 0))
                        .Field(OrEmpty(plan.aircraftType))
                        .Field(plan.trueAirspeed)
                        .Field(OrEmpty(plan.departure))
                        .Field(plan.proposedDeparture)
                        .Field(plan.actualDeparture)
                        .Field(OrEmpty(plan.cruiseAltitude))
                        .Field(OrEmpty(plan.destination))
                        .Field(plan.hoursEnRoute)
                        .Field(plan.minutesEnRoute)
                        .Field(plan.hoursFuel)
                        .Field(plan.minutesFuel)
                        .Field(OrEmpty(plan.alternate))
                        .Field(OrEmpty(plan.remarks))
                        .Last(OrEmpty(plan.route)));
}

int HalkSession::SendATCData(std::string_view to, int kind, std::string_view aircraft,
                             std::string_view value) {
    if (kind < 0 || kind > 4) return 0;
    if (to.empty()) {
        return SendLine(
            Line("$CQ").Field(kAllControllers).Field(kDataCodes[kind]).Field(aircraft).Field(value));
    }
    return SendLine(Line("#PC").Field(to).Field("CCP").Field(kDataCodes[kind]).Field(aircraft).Field(value));
}

int HalkSession::SendATCNotice(std::string_view to, std::string_view aircraft, int kind) {
    switch (kind) {
        case 0:
        case 1:
        case 3:
            return SendLine(Line("$CQ").Field(kAllControllers).Field(kNoticeCodes[kind]).Field(aircraft));
        case 2:
        case 4:
        case 5:
            if (to.empty()) return 0;
            return SendLine(Line("#PC").Field(to).Field("CCP").Field(kNoticeCodes[kind]).Field(aircraft));
        default:
            return 0;
    }
}

int HalkSession::SendIdentify(std::string_view to) {
    if (to.empty()) return 0;
    return SendLine(Line("#PC").Field(to).Field("CCP").Field("ID"));
}

int HalkSession::SendLandLine(std::string_view to, int kind, int lineType, std::string_view address,
                              int port) {
    if (lineType < 0 || lineType > 2 || kind < 0 || kind > 3) return 0;
    const char* code = kLandLineCodes[lineType][kind];
    if (kind <= 1) {
        return SendLine(
            Line("#PC").Field(to).Field("CCP").Field(code).Field(address).Field(static_cast<uint16_t>(port)));
    }
    return SendLine(Line("#PC").Field(to).Field("CCP").Field(code));
}

int HalkSession::SendBreak(bool on) {
    return SendLine(Line("$CQ").Field(kAllControllers).Field(on ? "BY" : "HI"));
}

int HalkSession::SendHelpRequest(bool on, std::string_view text) {
    return SendLine(Line("$CQ").Field(kAllControllers).Field(on ? "HLP" : "NOHLP").Field(text));
}

int HalkSession::SendVersionRequest(std::string_view to) {
    if (to.empty()) return SendLine(Line("$CQ").Field(kAllControllers).Field("VER"));
    return SendLine(Line("#PC").Field(to).Field("CCP").Field("VER"));
}

int HalkSession::SendStripPush(std::string_view to, std::string_view callsign, int number,
                               std::span<const std::string> texts) {
    HalkLineBuilder line = Line("#PC");
    line.Field(to).Field("CCP").Field("ST").Field(callsign).Field(number);
    // Every strip text is a field of its own on receipt, the last one too.
    for (const std::string& text : texts) line.Field(text);
    return SendLine(line);
}
