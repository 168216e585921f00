// Parsed sector files shared between the displays: a file is parsed once and
// every scope that shows it holds the same immutable, scope-relative data
// (shifted by minus its centre). A later load of the same unchanged file
// reuses it; a reload or a changed file parses again.
// Main thread only. Tested by tests/scope/sector_library_test.cpp.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "atc/scope_point.h"
#include "atc/sector_data.h"
#include "atc/sector_parser.h"

struct LoadedSector {
    TarqSectorData data;  // shifted: the centre is (0, 0)
    ScopePoint offset;    // minus the file's centre
    std::string path;
};

struct SectorLoadResult {
    std::shared_ptr<const LoadedSector> sector;  // null on failure
    SectorParseError error;                      // the parser's last error on failure
};

class SectorLibrary {
public:
    // reportPath: where a successful parse writes its report ("" for none).
    // forceParse: parse even when an unchanged copy is already held.
    SectorLoadResult Load(const std::string& path, const std::string& reportPath, bool forceParse);
    // How many parses this library has run (for tests and the bench).
    int ParseCount() const { return m_parses; }

private:
    struct Stamp {
        long long seconds = -1;  // modification time; -1: the file could not be read
        long long nanoseconds = 0;
        long long size = 0;
        friend bool operator==(const Stamp&, const Stamp&) = default;
    };
    struct Entry {
        std::weak_ptr<const LoadedSector> sector;
        Stamp stamp;
    };
    static Stamp FileStamp(const std::string& path);
    std::map<std::string, Entry> m_entries;
    int m_parses = 0;
};

// Shifts every position of the data by (dx, dy), the centre too.
void ShiftSectorData(TarqSectorData& data, double dx, double dy);
