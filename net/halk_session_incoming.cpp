// HalkSession's packet parser: the packet table, field decoding, the automatic
// answers and the client-to-client codes on receipt.
// Tested by tests/net/halk_parser_test.cpp and halk_fuzzer.cpp.
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "net/halk_session.h"
#include "platform/clock.h"

namespace {

bool StartsWithNoCase(const char* text, size_t length, std::string_view prefix) {
    if (length < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) !=
            std::toupper(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

bool EqualsNoCase(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (std::toupper(static_cast<unsigned char>(*a)) != std::toupper(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

// Frequencies travel as kHz − 100000; a number near the int32 limit saturates
// instead of overflowing.
int32_t FrequencyFromWire(const char* text) {
    int64_t kHz = int64_t{HalkToInt(text)} + 100000;
    return kHz > INT32_MAX ? INT32_MAX : static_cast<int32_t>(kHz);
}

int32_t FirstCharCode(const char* text) { return static_cast<unsigned char>(text[0]); }

// A frequency list field reads "@22800&@27500"; the list is capped so a
// hostile line cannot make it grow without bound.
constexpr int kMaxFrequencies = 64;

// A wire number: optional blanks and sign, digits, and with decimals allowed
// a point and any number of digits after it.
bool IsNumber(const char* text, bool decimals) {
    while (*text == ' ') ++text;
    if (*text == '-' || *text == '+') ++text;
    bool digits = false;
    for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) digits = true;
    if (decimals && *text == '.') {
        for (++text; std::isdigit(static_cast<unsigned char>(*text)); ++text) digits = true;
    }
    return digits && *text == '\0';
}

// A callsign the databases can key on: 1 to 15 letters, digits, '_' or '-'.
bool IsPlausibleName(const char* callsign) {
    size_t length = 0;
    for (; callsign[length]; ++length) {
        char c = callsign[length];
        if (length == 15 || !(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-')) return false;
    }
    return length > 0;
}

bool OnGlobe(double latitude, double longitude) {
    return std::fabs(latitude) <= 90 && std::fabs(longitude) <= 180;
}

// Altitudes from below the Dead Sea to well above any airliner, speeds up to
// a fast jet's: a report beyond them comes from a broken sender.
bool InRange(const PilotPositionRecord& r) {
    return OnGlobe(r.latitude, r.longitude) && r.altitude >= -2000 && r.altitude <= 200000 &&
           r.groundSpeed >= 0 && r.groundSpeed <= 5000;
}

bool InRange(const ATCPositionRecord& r) {
    return OnGlobe(r.latitude, r.longitude) && r.frequency >= 100000 && r.frequency <= 199999 &&
           r.facility >= 0 && r.facility <= 6 && r.visibilityRange >= 0 && r.visibilityRange <= 10000 &&
           r.rating >= 0 && r.rating <= 12;
}

constexpr const char* kDataCodes[5] = {"SC", "VT", "BC", "FA", "TA"};
constexpr const char* kLandLineCodes[3][4] = {
    {"IC", "IK", "IB", "EC"}, {"OV", "OK", "OB", "EO"}, {"MN", "MK", "MB", "EM"}};

}  // namespace

void HalkSession::ParseLine(const char* text, size_t length) {
    struct Packet {
        std::string_view prefix;
        int minFields;
        int maxFields;
        int split;
        void (HalkSession::*decode)(HalkFields&);
    };
    // Servers written by others may add fields: a line is refused only for
    // missing ones, and a trailing text field keeps whatever follows it.
    static const Packet kPackets[] = {
        {"#TM", 3, -1, 3, &HalkSession::OnTextMessage},
        {"@", 10, -1, -1, &HalkSession::OnPilotPosition},
        {"%", 8, -1, -1, &HalkSession::OnATCPosition},
        {"$!!", 2, -1, 3, &HalkSession::OnKillPacket},
        {"$PI", 3, -1, 3, &HalkSession::OnPing},
        {"$PO", 3, -1, 3, &HalkSession::OnPongPacket},
        {"$FP", 17, -1, 17, &HalkSession::OnFlightPlan},
        {"$HO", 3, -1, -1, &HalkSession::OnHandoffOffer},
        {"$HA", 3, -1, -1, &HalkSession::OnHandoffAccept},
        {"$AR", 3, -1, 4, &HalkSession::OnMETAR},
        {"$AX", 4, 4, 4, &HalkSession::OnIgnored},
        {"$CQ", 3, -1, -1, &HalkSession::OnQuery},
        {"$CR", 3, -1, -1, &HalkSession::OnReply},
        {"$ER", 3, -1, 5, &HalkSession::OnErrorPacket},
        {"#TD", 11, 11, 11, &HalkSession::OnIgnored},
        {"#WD", 26, 26, 26, &HalkSession::OnIgnored},
        {"#CD", 18, 18, 18, &HalkSession::OnIgnored},
        {"#PC", 3, -1, -1, &HalkSession::OnPrivateClientData},
        {"#SB", 3, -1, -1, &HalkSession::OnPilotInfo},
        {"#DA", 1, -1, -1, &HalkSession::OnDeleteATC},
        {"#DP", 1, -1, -1, &HalkSession::OnDeletePilot},
        {"$DI", 4, -1, -1, &HalkSession::OnIdentificationRequest},
        {"$ID", 8, 9, 9, &HalkSession::OnIgnored},
        {"$ZC", 3, -1, -1, &HalkSession::OnServerChallenge},
        {"$ZR", 3, -1, -1, &HalkSession::OnServerAnswer},
    };

    if (length < 3) return;
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) --length;
    for (const Packet& packet : kPackets) {
        if (!StartsWithNoCase(text, length, packet.prefix)) continue;
        m_fields.Split(std::string_view(text + packet.prefix.size(), length - packet.prefix.size()),
                       packet.split);
        int count = m_fields.Count();
        if (count < packet.minFields || (packet.maxFields != -1 && count > packet.maxFields)) return;
        (this->*packet.decode)(m_fields);
        return;
    }
}

void HalkSession::OnTextMessage(HalkFields& f) {
    const char* to = f[1];
    if (to[0] != '@') {
        if (m_privateMessage) m_privateMessage.fn(this, f[0], to, f[2], m_privateMessage.user);
        return;
    }
    int32_t frequencies[kMaxFrequencies];
    int count = 0;
    size_t length = std::strlen(to);
    size_t at = 0;
    while (at < length && to[at] == '@' && count < kMaxFrequencies) {
        ++at;
        frequencies[count++] = FrequencyFromWire(to + at);
        // Skip the number and the one separator after it.
        if (at < length && (to[at] == '-' || to[at] == '+')) ++at;
        while (at < length && std::isdigit(static_cast<unsigned char>(to[at]))) ++at;
        if (at < length) ++at;
    }
    if (m_radioMessage) m_radioMessage.fn(this, f[0], count, frequencies, f[2], m_radioMessage.user);
}

void HalkSession::OnPilotPosition(HalkFields& f) {
    if (!IsNumber(f[2], false) || !IsNumber(f[3], false) || !IsNumber(f[4], true) || !IsNumber(f[5], true) ||
        !IsNumber(f[6], true) || !IsNumber(f[7], true) || !IsNumber(f[8], false) || !IsPlausibleName(f[1])) {
        ++m_malformedLines;
        return;
    }
    PilotPositionRecord r;
    r.transponderMode = FirstCharCode(f[0]);
    r.squawk = static_cast<uint16_t>(HalkToInt(f[2]));
    r.rating = HalkToInt(f[3]);
    r.latitude = HalkToDouble(f[4]);
    r.longitude = HalkToDouble(f[5]);
    r.altitude = HalkToTruncatedInt(f[6]);
    r.groundSpeed = HalkToTruncatedInt(f[7]);
    HalkAttitude attitude = DecodePackedPBH(HalkToUnsigned(f[8]));
    r.pitch = attitude.pitch;
    r.bank = attitude.bank;
    r.heading = attitude.heading;
    r.altitudeDifference = HalkToTruncatedInt(f[9]);
    if (!InRange(r)) {
        ++m_malformedLines;
        return;
    }
    if (m_pilotPosition) m_pilotPosition.fn(this, f[1], r, m_pilotPosition.user);
}

void HalkSession::OnATCPosition(HalkFields& f) {
    for (int i = 1; i <= 7; ++i) {
        if (!IsNumber(f[i], i >= 5) || !IsPlausibleName(f[0])) {
            ++m_malformedLines;
            return;
        }
    }
    ATCPositionRecord r;
    r.frequency = FrequencyFromWire(f[1]);
    r.facility = HalkToInt(f[2]);
    r.visibilityRange = HalkToInt(f[3]);
    r.rating = HalkToInt(f[4]);
    r.latitude = HalkToDouble(f[5]);
    r.longitude = HalkToDouble(f[6]);
    r.altitude = HalkToInt(f[7]);
    if (!InRange(r)) {
        ++m_malformedLines;
        return;
    }
    if (m_atcPosition) m_atcPosition.fn(this, f[0], r, m_atcPosition.user);
}

void HalkSession::OnKillPacket(HalkFields& f) {
    if (m_kill) m_kill.fn(this, f[2], m_kill.user);
}

void HalkSession::OnPing(HalkFields& f) { SendPong(f[0], f[2]); }

void HalkSession::OnPongPacket(HalkFields& f) { OnPong(f[0], HalkToInt(f[2])); }

void HalkSession::OnFlightPlan(HalkFields& f) {
    FlightPlanPacket plan;
    plan.flightRules = FirstCharCode(f[2]);
    plan.aircraftType = f[3];
    plan.trueAirspeed = HalkToInt(f[4]);
    plan.departure = f[5];
    plan.proposedDeparture = HalkToInt(f[6]);
    plan.actualDeparture = HalkToInt(f[7]);
    plan.cruiseAltitude = f[8];
    plan.destination = f[9];
    plan.hoursEnRoute = HalkToInt(f[10]);
    plan.minutesEnRoute = HalkToInt(f[11]);
    plan.hoursFuel = HalkToInt(f[12]);
    plan.minutesFuel = HalkToInt(f[13]);
    plan.alternate = f[14];
    plan.remarks = f[15];
    plan.route = f[16];
    std::string callsign = f[0];
    if (m_flightPlan) m_flightPlan.fn(this, f[0], plan, m_flightPlan.user);
    if (m_clientKind == 2 && m_protocolRevision >= 10) {
        SendLine(Line("#TM").Field("FP").Last(callsign + " GET"));
    }
}

void HalkSession::OnHandoffOffer(HalkFields& f) {
    if (m_handoffOffer) m_handoffOffer.fn(this, f[0], f[2], m_handoffOffer.user);
}

void HalkSession::OnHandoffAccept(HalkFields& f) {
    if (m_handoffAccept) m_handoffAccept.fn(this, f[1], f[0], f[2], m_handoffAccept.user);
}

void HalkSession::OnMETAR(HalkFields& f) {
    if (m_metar) m_metar.fn(this, f[3], m_metar.user);
}

void HalkSession::OnQuery(HalkFields& f) {
    if (std::strcmp(f[1], "@94835") == 0) {
        OnClientToClient(f, 2);
        return;
    }
    const char* what = f[2];
    if (std::strcmp(what, "C?") == 0) {
        if (m_query) m_query.fn(this, f[0], 1, nullptr, m_query.user);
    } else if (std::strcmp(what, "ATIS") == 0) {
        if (m_query) m_query.fn(this, f[0], 3, nullptr, m_query.user);
    } else if (std::strcmp(what, "CAPS") == 0) {
        if (m_query) SendReply(7, f[0], {});
    } else if (std::strcmp(what, "RN") == 0) {
        if (m_query) m_query.fn(this, f[0], 5, nullptr, m_query.user);
    } else if (std::strcmp(what, "INF") == 0) {
        SendInformationLine(f[0]);
    }
}

void HalkSession::SendInformationLine(const char* to) {
    HalkLineBuilder line = Line("#TM");
    line.Field(to);
    std::string text = "CID=" + m_userId + " " + m_clientName + " IP=";
    HalkAddresses addresses;
    if (m_connection) m_connection->GetAddresses(addresses);
    uint32_t a = addresses.localIp;
    text += std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 255) + "." +
            std::to_string((a >> 8) & 255) + "." + std::to_string(a & 255);
    text += " SYS_UID=" + std::to_string(m_machineNumber) + " FSVER=" + m_simulatorVersion + " LT=";
    HalkAppendFixed(text, m_lastLatitude, 6, 0);
    text += " LO=";
    HalkAppendFixed(text, m_lastLongitude, 6, 0);
    text += " AL=" + std::to_string(m_lastAltitude) + " " + m_realName;
    line.Last(text);
    SendLine(line);
}

void HalkSession::OnReply(HalkFields& f) {
    const char* what = f[2];
    const char* from = f[0];
    if (std::strcmp(what, "C?") == 0) {
        if (m_reply) m_reply.fn(this, from, 1, f[3], nullptr, m_reply.user);
    } else if (std::strcmp(what, "SV") == 0) {
        if (m_reply) m_reply.fn(this, from, 4, f[3], nullptr, m_reply.user);
    } else if (std::strcmp(what, "ATC") == 0) {
        if (m_reply) m_reply.fn(this, from, 6, f[3], f.Count() > 4 ? f[4] : nullptr, m_reply.user);
    } else if (std::strcmp(what, "RN") == 0) {
        if (m_reply) m_reply.fn(this, from, 5, f[3], f[4], m_reply.user);
    } else if (std::strcmp(what, "IP") == 0) {
        if (m_reply) {
            m_ownAddress = f[3];
            m_reply.fn(this, from, 8, f[3], nullptr, m_reply.user);
        }
    } else if (std::strcmp(what, "ATIS") == 0) {
        if (m_atisLine) {
            // The ATIS text is the last field and may hold colons (times, QNH).
            std::string text = f.JoinFrom(4);
            m_atisLine.fn(this, from, f[3][0], text.c_str(), m_atisLine.user);
        }
    } else if (std::strcmp(what, "CAPS") == 0) {
        if (!m_capabilitiesAnswer) return;
        std::vector<const char*> list;
        for (int i = 3; i < f.Count(); ++i) {
            char* field = f.Mutable(i);
            char* equals = std::strchr(field, '=');
            if (!equals) continue;
            *equals = '\0';
            list.push_back(field);
            list.push_back(equals + 1);
        }
        list.push_back(nullptr);
        m_capabilitiesAnswer.fn(this, from, list.data(), m_capabilitiesAnswer.user);
    }
}

void HalkSession::OnErrorPacket(HalkFields& f) {
    if (m_error) m_error.fn(this, HalkToInt(f[2]), f[4], f[3], m_error.user);
}

void HalkSession::OnPrivateClientData(HalkFields& f) {
    if (f.Count() > 2 && EqualsNoCase(f[2], "CCP")) {
        OnClientToClient(f, 3);
        return;
    }
    if (m_privateOther) m_privateOther.fn(this, f[0], f[2], m_privateOther.user);
}

void HalkSession::OnPilotInfo(HalkFields& f) {
    const char* what = f[2];
    if (std::strcmp(what, "PIR") == 0) return;
    if (std::strcmp(what, "PI") != 0) {
        if (m_infoOther) m_infoOther.fn(this, f[0], what, m_infoOther.user);
        return;
    }
    std::vector<const char*> list;
    if (f.Count() >= 7 && std::strcmp(f[3], "X") == 0) {
        const char* engine = "J";
        const char* type = "P";
        switch (HalkToInt(f[5])) {
            case 0:
                engine = "P";
                type = "P";
                break;
            case 2:
                engine = "N";
                type = "N";
                break;
            case 3:
                engine = "P";
                type = "H";
                break;
            default:
                break;
        }
        list = {"ENGINETYPE", engine, "TYPE", type, "CSL", f[6]};
    } else if (f.Count() > 4 && std::strcmp(f[3], "GEN") == 0) {
        for (int i = 4; i < f.Count(); ++i) {
            char* field = f.Mutable(i);
            char* equals = std::strchr(field, '=');
            if (!equals) continue;
            *equals = '\0';
            for (char* c = field; *c; ++c)
                *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
            list.push_back(field);
            list.push_back(equals + 1);
        }
    }
    list.push_back(nullptr);
    if (m_planeInfo) m_planeInfo.fn(this, f[0], list.data(), m_planeInfo.user);
}

void HalkSession::OnDeleteATC(HalkFields& f) {
    if (m_deleteATC) m_deleteATC.fn(this, f[0], m_deleteATC.user);
}

void HalkSession::OnDeletePilot(HalkFields& f) {
    if (m_deletePilot) m_deletePilot.fn(this, f[0], m_deletePilot.user);
}

void HalkSession::OnClientToClient(HalkFields& f, int codeIndex) {
    struct Code {
        const char* code;
        int minArguments;
    };
    static const Code kCodes[] = {{"IT", 1}, {"IH", 1},  {"HT", 2},    {"DR", 1}, {"WH", 1}, {"HC", 1},
                                  {"PT", 1}, {"DP", 1},  {"ID", 0},    {"DI", 0}, {"BY", 0}, {"HI", 0},
                                  {"ST", 1}, {"HLP", 1}, {"NOHLP", 0}, {"VER", 0}};
    const char* from = f[0];
    const char* code = f[codeIndex];
    int arguments = f.Count() - codeIndex - 1;
    const char* first = f[codeIndex + 1];
    const char* second = f[codeIndex + 2];
    auto notice = [&](int kind) {
        if (m_atcNotice) m_atcNotice.fn(this, from, first, kind, m_atcNotice.user);
    };

    int match = -1;
    for (int i = 0; i < static_cast<int>(std::size(kCodes)); ++i) {
        if (EqualsNoCase(code, kCodes[i].code) && arguments >= kCodes[i].minArguments) {
            match = i;
            break;
        }
    }
    switch (match) {
        case 0:
            notice(0);
            return;
        case 1:
            notice(2);
            return;
        case 2:
            if (m_handoffAccept) m_handoffAccept.fn(this, second, from, first, m_handoffAccept.user);
            return;
        case 3:
            notice(1);
            return;
        case 4:
            notice(3);
            return;
        case 5:
            if (m_handoffCancel) m_handoffCancel.fn(this, from, first, m_handoffCancel.user);
            return;
        case 6:
            notice(4);
            return;
        case 7:
            notice(5);
            return;
        case 8: {
            std::string sender = from;
            SendLine(Line("#PC").Field(sender).Field("CCP").Field("DI"));
            if (m_identify) m_identify.fn(this, sender.c_str(), m_identify.user);
            return;
        }
        case 9:
            return;
        case 10:
        case 11:
            if (m_break) m_break.fn(this, from, match == 10 ? 1 : 0, m_break.user);
            return;
        case 12: {
            if (!m_stripPush) return;
            int base = codeIndex + 1;  // the aircraft callsign
            int number = f.Count() > base + 1 ? HalkToInt(f[base + 1]) : 0;
            std::vector<const char*> texts;
            for (int i = base + 2; i < f.Count(); ++i) texts.push_back(f[i]);
            texts.push_back(nullptr);
            m_stripPush.fn(this, from, f[base], number, texts.data(), m_stripPush.user);
            return;
        }
        case 13:
            if (m_help) m_help.fn(this, from, 1, first, m_help.user);
            return;
        case 14:
            if (m_help) m_help.fn(this, from, 0, "", m_help.user);
            return;
        case 15:
            SendTextMessage(std::string(from), m_clientName);
            return;
        default:
            break;
    }

    for (int kind = 0; kind < 5; ++kind) {
        if (EqualsNoCase(code, kDataCodes[kind])) {
            if (arguments >= 2 && m_atcData) m_atcData.fn(this, from, first, kind, second, m_atcData.user);
            return;
        }
    }
    for (int lineType = 0; lineType < 3; ++lineType) {
        for (int kind = 0; kind < 4; ++kind) {
            if (!EqualsNoCase(code, kLandLineCodes[lineType][kind])) continue;
            if (!m_landLine) return;
            if (kind <= 1) {
                if (arguments >= 2)
                    m_landLine.fn(this, from, kind, lineType, first, HalkToInt(second), m_landLine.user);
            } else {
                m_landLine.fn(this, from, kind, lineType, nullptr, 0, m_landLine.user);
            }
            return;
        }
    }
}
