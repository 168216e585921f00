// The controller record. Tested by tests/atc/controller_db_test.cpp.
#include "atc/controller.h"

void TarqController::Init(const std::string& callsign) {
    m_callsign = callsign;
    m_frequency = kNoFrequency;
    m_facility = 0;
    m_visRange = 0;
    m_rating = 1;
    m_breakRequest = false;
}

void TarqController::UpdateFromReport(const ControllerReport& report, std::time_t now) {
    m_lastReportTime = now;
    m_longitude = report.longitude;
    m_latitude = report.latitude;
    m_frequency = report.frequency;
    m_facility = report.facility;
    m_visRange = report.visRange;
    m_rating = report.rating;
}
