// The aircraft type database: "aircraft_info.dat", its version check and
// its download. Tested by tests/atc/aircraft_types_test.cpp.
#include "atc/aircraft_type_table.h"

#include <string_view>

#include "atc/aircraft_types.h"
#include "foundation/text_helpers.h"
#include "platform/atomic_file.h"

namespace {

constexpr std::string_view kVersionPrefix = "version=";
constexpr int kTypeFields = 9;

// Leading decimal number, 0 when there is none; kept to 16 bits as the file's fields are.
int16_t ShortNumber(const std::string& text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = (value * 10 + (text[i] - '0')) & 0xFFFF;
    if (negative) value = -value;
    return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF));
}

}  // namespace

std::map<std::string, AircraftTypeRecord> ParseAircraftTypes(const std::string& text) {
    std::map<std::string, AircraftTypeRecord> types;
    ForEachLine(text, [&](const std::string& line) {
        if (line.compare(0, kVersionPrefix.size(), kVersionPrefix) == 0) return;
        const std::vector<std::string> f = SplitFields(line, '\t');
        if (static_cast<int>(f.size()) != kTypeFields) return;
        AircraftTypeRecord record;
        record.manufacturer = f[1];
        record.model = f[2];
        record.engineCount = ShortNumber(f[3]);
        record.engineType = f[4];
        record.weightClass = f[5];
        record.climbRate = ShortNumber(f[6]);
        record.descentRate = ShortNumber(f[7]);
        record.srsCategory = f[8];
        types.emplace(f[0], std::move(record));  // the first line of a code wins
    });
    return types;
}

TarqAircraftTypeTable::TarqAircraftTypeTable(const AtcServices& services)
    : m_services(services.Checked("TarqAircraftTypeTable")) {}

TarqAircraftTypeTable::~TarqAircraftTypeTable() { WaitForDownload(); }

std::string TarqAircraftTypeTable::AircraftInfoPath() const {
    return m_startDirectory + "/aircraft_info.dat";
}

void TarqAircraftTypeTable::LoadAircraftInfo(const std::string& serverVersion) {
    AtcMessageSink& out = *m_services.messages;
    const std::string path = AircraftInfoPath();
    std::string contents;
    bool download = false;
    if (!ReadWholeFile(path, contents)) {
        out.ShowError("Aircraft info database open failed! Could not read file.");
        download = true;
    } else if (contents.empty()) {
        out.ShowError("Aircraft info database open failed! File empty.");
        download = true;
    } else {
        std::string first = contents.substr(0, contents.find('\n'));
        if (!first.empty() && first.back() == '\r') first.pop_back();
        if (first.compare(0, kVersionPrefix.size(), kVersionPrefix) == 0) {
            download = first.substr(kVersionPrefix.size()) != serverVersion;
        } else {
            out.ShowError("Aircraft info database open failed! Version not found.");
            download = true;
        }
    }
    if (!download) {
        int count = 0;
        ParseAircraftTypeFile(path, count);
        return;
    }
    std::lock_guard<std::mutex> guard(m_downloadLock);
    if (m_downloadThread.joinable()) m_downloadThread.join();
    m_downloadThread = std::thread([this] { DownloadAircraftInfo(); });
}

bool TarqAircraftTypeTable::ParseAircraftTypeFile(const std::string& path, int& typeCount) {
    std::string contents;
    if (!ReadWholeFile(path, contents)) return false;
    std::map<std::string, AircraftTypeRecord> types = ParseAircraftTypes(contents);
    std::lock_guard<std::mutex> guard(m_typesLock);
    m_aircraftTypes = std::move(types);
    typeCount = static_cast<int>(m_aircraftTypes.size());
    return true;
}

void TarqAircraftTypeTable::DownloadAircraftInfo() {
    const std::string path = AircraftInfoPath();
    if (!m_downloader || !m_downloader(path, m_downloaderUser)) {
        m_services.messages->ShowError("Aircraft info database download failed!");
        return;
    }
    // The downloader replaced the file only after a whole, checked transfer;
    // one that still does not load is a failure all the same.
    int count = 0;
    if (ParseAircraftTypeFile(path, count)) {
        m_services.messages->ShowMessage("Aircraft info database downloaded. " + std::to_string(count) +
                                         " types found.");
    } else {
        m_services.messages->ShowError("Aircraft info database download failed!");
    }
}

bool TarqAircraftTypeTable::GetAircraftType(const std::string& code, AircraftTypeRecord& record) const {
    std::lock_guard<std::mutex> guard(m_typesLock);
    auto it = m_aircraftTypes.find(code);
    if (it == m_aircraftTypes.end()) return false;
    record = it->second;
    return true;
}

void TarqAircraftTypeTable::WaitForDownload() {
    std::lock_guard<std::mutex> guard(m_downloadLock);
    if (m_downloadThread.joinable()) m_downloadThread.join();
}
