// Tested by tests/simbridge/model_set_test.cpp.
#include "simbridge/model_set.h"

#include <fstream>

#include "simbridge/model_data_text.h"
#include "simbridge/model_matcher.h"

ModelIdentifier::ModelIdentifier(std::string type, std::string airline, std::string livery,
                                 const ModelMatcher& tables)
    : type(std::move(type)), airline(std::move(airline)), livery(std::move(livery)) {
    relatedGroup = tables.GetRelatedGroup(this->type);
}

int32_t ModelIdentifier::Score(const ModelIdentifier& wanted) const {
    const bool sameType = type == wanted.type;
    const bool related = relatedGroup != -1 && relatedGroup == wanted.relatedGroup;
    if (!sameType && !related) return 0;
    const bool sameAirline = !wanted.airline.empty() && wanted.airline == airline;
    const bool sameLivery = !wanted.livery.empty() && wanted.livery == livery;
    // Each row of the table: the same type scores one above a related one.
    const int32_t typeBonus = sameType ? 1 : 0;
    if (sameAirline && sameLivery) return 9 + typeBonus;
    if (sameAirline && livery.empty()) return 7 + typeBonus;
    if (sameAirline) return 5 + typeBonus;
    if (airline.empty()) return 3 + typeBonus;
    return 2;
}

void ModelSet::AddModel(const ModelIdentifier& entry, const std::string& modelName) {
    m_entries.push_back(entry);
    m_modelNames.push_back(modelName);
}

bool ModelSet::Before(size_t a, size_t b) const {
    const ModelIdentifier& x = m_entries[a];
    const ModelIdentifier& y = m_entries[b];
    if (x.relatedGroup != y.relatedGroup) return x.relatedGroup < y.relatedGroup;
    return x.type < y.type;
}

void ModelSet::BuildIndex() {
    const size_t n = m_entries.size();
    m_index.resize(n);
    for (size_t i = 0; i < n; ++i) m_index[i] = i;
    // This exchange sort, not a standard sort, decides where entries with equal
    // keys land, and with it which of equal scores comes first.
    for (size_t i = 0; i + 1 < n; ++i)
        for (size_t j = i + 1; j < n; ++j)
            if (Before(m_index[j], m_index[i])) std::swap(m_index[i], m_index[j]);
    m_ungroupedCount = 0;
    for (const ModelIdentifier& entry : m_entries)
        if (entry.relatedGroup == -1) ++m_ungroupedCount;
}

bool ModelSet::Load(const std::string& path, ModelSetReadCallback* callback, const ModelMatcher& tables) {
    auto fatal = [&](const std::string& what) {
        if (callback) callback->Error(path + ": " + what, true);
        return false;
    };
    std::ifstream in(path);
    if (!in) return fatal("cannot open the file");
    std::string header[4];
    for (std::string& line : header) {
        if (!ReadLine(in, line)) return fatal("read error in the header");
        if (in.eof()) return fatal("the file ends within its four header lines");
    }
    if (callback) callback->Progress("Reading model set " + header[1]);
    if (header[0].size() != 3) return fatal("the first line must be a code of exactly 3 characters");
    m_code = header[0];
    m_name = header[1];
    m_text3 = header[2];
    m_text4 = header[3];

    const std::string head = path + " (" + m_name + "): line ";
    int lineNumber = 4;
    std::string line;
    while (!in.eof()) {
        if (!ReadLine(in, line)) return fatal("read error after line " + std::to_string(lineNumber));
        ++lineNumber;
        StripComment(line);
        std::vector<std::string> fields;
        const int count = SplitFields(line, fields, " \t");
        if (count == 0) continue;
        bool reported = false;
        bool goOn = true;
        auto error = [&](const std::string& what) {
            reported = true;
            goOn = callback ? callback->Error(head + std::to_string(lineNumber) + ": " + what, false) : true;
        };
        if (count == 1) error("a model needs at least an aircraft type");
        if (count > 4) error("more than four fields");
        const bool shapeBad = reported;
        if (fields[0].compare(0, 3, m_code) != 0 || fields[0].size() < 3) {
            error("the model name " + fields[0] + " does not begin with the set's code " + m_code);
        } else if (!shapeBad) {
            if (tables.GetTypeDescription(fields[1]).empty()) error("unknown aircraft type (" + fields[1] + ")");
            if (count >= 3 && tables.GetAirlineName(fields[2]).empty())
                error("unknown airline (" + fields[2] + ")");
            if (count == 4 && tables.GetLiveryText(fields[3], fields[2]).empty())
                error("unknown livery (" + fields[3] + ")");
            if (!reported) {
                AddModel(ModelIdentifier(fields[1], count >= 3 ? fields[2] : std::string(),
                                         count == 4 ? fields[3] : std::string(), tables),
                         fields[0]);
            }
        }
        if (reported && !goOn) return false;
    }
    BuildIndex();
    return !m_entries.empty();
}

bool ModelSet::FindBest(const ModelIdentifier& wanted, std::string& modelName, int32_t& score,
                        Random15* random) const {
    const size_t n = m_index.size();
    size_t low, high, regionEnd;
    if (wanted.relatedGroup != -1) {
        low = m_ungroupedCount;
        high = regionEnd = n;
        while (low < high) {
            const size_t middle = (low + high) / 2;
            if (wanted.relatedGroup > m_entries[m_index[middle]].relatedGroup)
                low = middle + 1;
            else
                high = middle;
        }
    } else {
        low = 0;
        high = regionEnd = m_ungroupedCount;
        while (low < high) {
            const size_t middle = (low + high) / 2;
            if (m_entries[m_index[middle]].type < wanted.type)
                low = middle + 1;
            else
                high = middle;
        }
    }
    int32_t best = 0;
    std::vector<size_t> candidates;
    for (size_t i = low; i < regionEnd; ++i) {
        const int32_t s = m_entries[m_index[i]].Score(wanted);
        // Sorted by group, then type: the first miss leaves the wanted group or type.
        if (s == 0) break;
        if (s > best) {
            candidates.clear();
            best = s;
        }
        if (s == best) candidates.push_back(m_index[i]);
    }
    if (candidates.empty()) return false;
    size_t pick = 0;
    if (candidates.size() >= 2 && random) pick = static_cast<size_t>(random->Next()) % candidates.size();
    modelName = m_modelNames[candidates[pick]];
    score = best;
    return true;
}

bool ModelSetList::ScanFolder(const std::string& folder, ModelSetReadCallback* callback,
                              const ModelMatcher& tables) {
    std::vector<std::string> names;
    if (!ListFilesWithExtension(folder, ".sms", names)) return false;
    for (const std::string& name : names) {
        auto set = std::make_unique<ModelSet>();
        if (set->Load(EnsureTrailingSlash(folder) + name, callback, tables)) m_sets.push_back(std::move(set));
    }
    return !m_sets.empty();
}

std::string ModelSetList::FindBestModel(const std::string& type, const std::string& airline,
                                        const std::string& livery, const std::vector<std::string>& preferred,
                                        bool stopAtFirst, bool randomTieBreak, const ModelMatcher& tables) {
    std::vector<const ModelSet*> order;
    std::vector<bool> named(m_sets.size(), false);
    for (const std::string& code : preferred) {
        for (size_t i = 0; i < m_sets.size(); ++i) {
            if (m_sets[i]->GetCode() != code) continue;
            order.push_back(m_sets[i].get());
            named[i] = true;
        }
    }
    for (size_t i = 0; i < m_sets.size(); ++i)
        if (!named[i]) order.push_back(m_sets[i].get());

    const ModelIdentifier wanted(type, airline, livery, tables);
    std::string bestName;
    int32_t bestScore = 0;
    for (const ModelSet* set : order) {
        std::string name;
        int32_t score = 0;
        if (!set->FindBest(wanted, name, score, randomTieBreak ? &m_random : nullptr)) continue;
        if (stopAtFirst) return name;
        if (score > bestScore) {
            bestScore = score;
            bestName = name;
        }
    }
    return bestName;
}
