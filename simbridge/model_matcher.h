// ModelMatcher: the reference tables of model matching, read from the model
// data folder: related types ("related.txt"), known aircraft types with
// their model class ("equipment.txt"), airlines ("airlines.txt", then
// "fictional.txt") and liveries ("liveries.txt"). The model sets check their
// entries against these tables and take each type's related group from them.
// Main thread only. Tested by tests/simbridge/model_matcher_test.cpp.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

// The model class handed to the simulator session.
enum ModelClass : int32_t {
    kModelClassJet = 0,     // engine field begins with "J"
    kModelClassOther = 1,   // any other known type
    kModelClassRotor = 2,   // kind field begins with "H" or "G"
    kModelClassUnknown = 3  // not in the equipment table
};

// Reports of the table loaders. Messages name the file and, for a line, its
// number counted from 1.
class AircraftDBReadCallback {
public:
    // Before each file is read.
    virtual void Progress(const std::string& text) = 0;
    // fatal: the file could not be read (to its end). The loaders ignore the answer.
    virtual bool Error(const std::string& text, bool fatal) = 0;
    virtual ~AircraftDBReadCallback() = default;
};

struct EquipmentEntry {
    std::vector<std::string> descriptions;  // file order
    int32_t modelClass = kModelClassOther;  // from the type's first line
};

class ModelMatcher {
public:
    // Reads the five files from folder in their order; a file that fails ends
    // the sequence and what was read before stays. True when all five were read.
    bool LoadTables(const std::string& folder, AircraftDBReadCallback* callback);

    bool LoadRelated(const std::string& path);
    bool LoadEquipment(const std::string& path);
    bool LoadAirlines(const std::string& path);
    bool LoadLiveries(const std::string& path);
    // An empty type is ignored; a known type only gains a description.
    void AddEquipment(const std::string& type, const std::string& description, int32_t modelClass);

    int32_t GetModelClass(const std::string& type) const;
    // The first description; empty for an unknown type.
    std::string GetTypeDescription(const std::string& type) const;
    // Empty for an unknown or empty code.
    std::string GetAirlineName(const std::string& airline) const;
    std::string GetLiveryText(const std::string& livery, const std::string& airline) const;
    // The line (from 1) of "related.txt" that first names the type; -1 for none.
    int32_t GetRelatedGroup(const std::string& type) const;

private:
    void Report(const std::string& path, int line, const std::string& what, bool fatal);
    // Calls each(line number, line) for every line; a file that cannot be
    // opened is reported as fatal, a read error as readErrorFatal says.
    bool ForEachFileLine(const std::string& path, bool readErrorFatal,
                         const std::function<void(int, std::string&)>& each);

    std::map<std::string, EquipmentEntry> m_equipment;
    std::map<std::string, std::string> m_airlines;
    // (airline, livery): kept apart so that XA + LC2 and XAL + C2 are two keys.
    std::map<std::pair<std::string, std::string>, std::string> m_liveries;
    std::map<std::string, int32_t> m_related;
    AircraftDBReadCallback* m_callback = nullptr;
};
