// Tested by tests/simbridge/model_matcher_test.cpp.
#include "simbridge/model_matcher.h"

#include <fstream>

#include "simbridge/model_data_text.h"

namespace {

const char* const kBlanks = " \t";

}  // namespace

void ModelMatcher::Report(const std::string& path, int line, const std::string& what, bool fatal) {
    if (!m_callback) return;
    std::string text = path;
    if (line > 0) text += ": line " + std::to_string(line);
    m_callback->Error(text + ": " + what, fatal);
}

bool ModelMatcher::ForEachFileLine(const std::string& path, bool readErrorFatal,
                                   const std::function<void(int, std::string&)>& each) {
    std::ifstream in(path);
    if (!in) {
        Report(path, 0, "cannot open the file", true);
        return false;
    }
    int lineNumber = 0;
    std::string line;
    while (!in.eof()) {
        if (!ReadLine(in, line)) {
            Report(path, lineNumber + 1, "read error", readErrorFatal);
            return false;
        }
        each(++lineNumber, line);
    }
    return true;
}

bool ModelMatcher::LoadTables(const std::string& folder, AircraftDBReadCallback* callback) {
    m_callback = callback;
    const std::string dir = EnsureTrailingSlash(folder);
    // The names match without case; a missing file keeps its plain name for the message.
    auto path = [&dir](const char* name) {
        std::string found = FindFileNoCase(dir, name);
        return found.empty() ? dir + name : found;
    };
    auto progress = [this](const std::string& text) {
        if (m_callback) m_callback->Progress(text);
    };
    progress("Reading related aircraft types...");
    if (!LoadRelated(path("related.txt"))) return false;
    progress("Reading aircraft types...");
    if (!LoadEquipment(path("equipment.txt"))) return false;
    progress("Reading airlines...");
    if (!LoadAirlines(path("airlines.txt"))) return false;
    progress("Reading airlines...");
    if (!LoadAirlines(path("fictional.txt"))) return false;
    progress("Reading liveries...");
    return LoadLiveries(path("liveries.txt"));
}

bool ModelMatcher::LoadRelated(const std::string& path) {
    std::ifstream in(path);
    if (!in) return false;
    int32_t group = 0;
    std::string line;
    while (!in.eof()) {
        if (!ReadLine(in, line)) return false;
        // A read that hit the end without any text is no line.
        if (in.eof() && line.empty()) break;
        const size_t semicolon = line.find(';');
        if (semicolon != std::string::npos) line.resize(semicolon);
        ++group;
        std::vector<std::string> types;
        SplitFields(line, types, kBlanks);
        for (const std::string& type : types) m_related.emplace(type, group);
    }
    return true;
}

bool ModelMatcher::LoadEquipment(const std::string& path) {
    return ForEachFileLine(path, true, [&](int lineNumber, std::string& line) {
        if (line.empty()) return;
        std::vector<std::string> fields;
        const int count = SplitFields(line, fields, ",");
        if (count < 5) {
            Report(path, lineNumber, "fewer than five fields", false);
            return;
        }
        if (count > 5) Report(path, lineNumber, "more than five fields; the first five are used", false);
        std::string type = fields[0];
        std::string description = fields[1] + " " + fields[2];
        TrimBlanks(type);
        TrimBlanks(description);
        int32_t modelClass = kModelClassOther;
        if (fields[3][0] == 'H' || fields[3][0] == 'G')
            modelClass = kModelClassRotor;
        else if (fields[4][0] == 'J')
            modelClass = kModelClassJet;
        if (!type.empty() && type.size() <= 4 && !description.empty())
            AddEquipment(type, description, modelClass);
        else
            Report(path, lineNumber, "bad type code or empty description", false);
    });
}

void ModelMatcher::AddEquipment(const std::string& type, const std::string& description, int32_t modelClass) {
    if (type.empty()) return;
    auto [it, added] = m_equipment.try_emplace(type);
    if (added) it->second.modelClass = modelClass;
    it->second.descriptions.push_back(description);
}

bool ModelMatcher::LoadAirlines(const std::string& path) {
    return ForEachFileLine(path, true, [&](int lineNumber, std::string& line) {
        StripComment(line);
        if (line.empty()) return;
        std::vector<std::string> pieces;
        if (SplitFields(line, pieces, kBlanks) < 2) {
            Report(path, lineNumber, "an airline needs a code and a name", false);
            return;
        }
        const std::string& code = pieces[0];
        // Only the one blank after the code goes: a second one stays in the name.
        m_airlines.emplace(code, line.substr(code.size() + 1));
    });
}

bool ModelMatcher::LoadLiveries(const std::string& path) {
    return ForEachFileLine(path, false, [&](int lineNumber, std::string& line) {
        StripComment(line);
        if (line.empty()) return;
        std::vector<std::string> pieces;
        if (SplitFields(line, pieces, kBlanks) < 3) {
            Report(path, lineNumber, "a livery needs an airline, a livery code and a text", false);
            return;
        }
        std::string text = pieces[2];
        for (size_t i = 3; i < pieces.size(); ++i) text += " " + pieces[i];
        m_liveries.emplace(std::make_pair(pieces[0], pieces[1]), text);
    });
}

int32_t ModelMatcher::GetModelClass(const std::string& type) const {
    auto it = m_equipment.find(type);
    return it == m_equipment.end() ? kModelClassUnknown : it->second.modelClass;
}

std::string ModelMatcher::GetTypeDescription(const std::string& type) const {
    auto it = m_equipment.find(type);
    return it == m_equipment.end() ? std::string() : it->second.descriptions.front();
}

std::string ModelMatcher::GetAirlineName(const std::string& airline) const {
    auto it = m_airlines.find(airline);
    return it == m_airlines.end() ? std::string() : it->second;
}

std::string ModelMatcher::GetLiveryText(const std::string& livery, const std::string& airline) const {
    auto it = m_liveries.find({airline, livery});
    return it == m_liveries.end() ? std::string() : it->second;
}

int32_t ModelMatcher::GetRelatedGroup(const std::string& type) const {
    auto it = m_related.find(type);
    return it == m_related.end() ? -1 : it->second;
}
