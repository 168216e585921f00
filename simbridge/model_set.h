// Model sets: the ".sms" files of the model data folder, each listing the
// simulator models of one collection with the aircraft type, airline and
// livery each one shows, and the search for the installed model that shows
// an aircraft best. Main thread only.
// Tested by tests/simbridge/model_set_test.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/random15.h"

class ModelMatcher;

// One model entry, or one wanted aircraft.
class ModelIdentifier {
public:
    ModelIdentifier() = default;
    // relatedGroup: the type's group in the related-types table, -1 for none.
    ModelIdentifier(std::string type, std::string airline, std::string livery, int32_t relatedGroup)
        : type(std::move(type)), airline(std::move(airline)), livery(std::move(livery)),
          relatedGroup(relatedGroup) {}
    // Looks the group up in the tables.
    ModelIdentifier(std::string type, std::string airline, std::string livery, const ModelMatcher& tables);
    virtual ~ModelIdentifier() = default;
    ModelIdentifier(const ModelIdentifier&) = default;
    ModelIdentifier& operator=(const ModelIdentifier&) = default;

    // How well this entry shows the wanted aircraft: 0 (not at all) to 10.
    int32_t Score(const ModelIdentifier& wanted) const;

    std::string type;
    std::string airline;
    std::string livery;
    int32_t relatedGroup = -1;
};

// Reports of the model-set loader. Messages name the file and, for a line,
// its number counted from 1.
class ModelSetReadCallback {
public:
    // Once per file, when its header has been read.
    virtual void Progress(const std::string& text) = 0;
    // fatal: the file is skipped whatever the answer. Otherwise true drops
    // the line and reads on, false drops the whole file.
    virtual bool Error(const std::string& text, bool fatal) = 0;
    virtual ~ModelSetReadCallback() = default;
};

class ModelSet {
public:
    // An empty set; Load reads its code and name from the file.
    explicit ModelSet(std::string code = {}, std::string name = {})
        : m_code(std::move(code)), m_name(std::move(name)) {}
    virtual ~ModelSet() = default;

    // Reads one file into this empty set, checking each entry against the
    // tables. True when at least one entry was stored. callback may be null.
    bool Load(const std::string& path, ModelSetReadCallback* callback, const ModelMatcher& tables);
    void AddModel(const ModelIdentifier& entry, const std::string& modelName);
    // Orders the entries for searching; Load does it, so do callers of AddModel.
    void BuildIndex();

    // The best model for wanted; false when the set has none. With a
    // generator, equal best scores are chosen among at random; without one
    // the first in search order wins.
    bool FindBest(const ModelIdentifier& wanted, std::string& modelName, int32_t& score,
                  Random15* random) const;

    std::string GetCode() const { return m_code; }
    std::string GetName() const { return m_name; }
    size_t GetModelCount() const { return m_entries.size(); }

private:
    bool Before(size_t a, size_t b) const;

    std::string m_code;
    std::string m_name;
    std::string m_text3;
    std::string m_text4;
    std::vector<ModelIdentifier> m_entries;
    std::vector<size_t> m_index;  // entry numbers in search order
    size_t m_ungroupedCount = 0;  // entries of group -1: the front of m_index
    std::vector<std::string> m_modelNames;
};

class ModelSetList {
public:
    // Loads every ".sms" file of the folder (extension without case) and
    // appends each good set. True when the list then holds at least one set.
    bool ScanFolder(const std::string& folder, ModelSetReadCallback* callback, const ModelMatcher& tables);
    void Add(std::unique_ptr<ModelSet> set) { m_sets.push_back(std::move(set)); }

    // The chosen model name, empty when no set matches. Sets whose code is in
    // preferred are visited first in that order, the rest in load order.
    // randomTieBreak draws from this list's own generator.
    std::string FindBestModel(const std::string& type, const std::string& airline, const std::string& livery,
                              const std::vector<std::string>& preferred, bool stopAtFirst, bool randomTieBreak,
                              const ModelMatcher& tables);

    void SeedRandom(uint32_t seed) { m_random.Seed(seed); }
    size_t GetSetCount() const { return m_sets.size(); }

private:
    std::vector<std::unique_ptr<ModelSet>> m_sets;
    Random15 m_random;
};
