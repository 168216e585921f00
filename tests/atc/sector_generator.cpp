// Large sector file generator. See sector_generator.h.
#include "tests/atc/sector_generator.h"

#include <cstdio>
#include <string>
#include <vector>

#include "foundation/random15.h"

namespace {

class Writer {
public:
    explicit Writer(uint32_t seed) : m_random(seed) {}

    std::string& Text() { return m_text; }
    void Line(const std::string& line) {
        m_text += line;
        m_text += '\n';
    }
    int Below(int n) { return static_cast<int>((static_cast<int64_t>(m_random.Next()) * n) >> 15); }

    // Somewhere over the north-east of the United States: N38..N44, W70..W78.
    std::string Lat() { return Coordinate('N', 38 + Below(6)); }
    std::string Lon() { return Coordinate('W', 70 + Below(8)); }
    std::string LatLon() { return Lat() + " " + Lon(); }

private:
    std::string Coordinate(char hemisphere, int degrees) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%c%03d.%02d.%02d.%03d", hemisphere, degrees, Below(60),
                      Below(60), Below(1000));
        return buffer;
    }

    Random15 m_random;
    std::string m_text;
};

// A letter and then the number in base 26: FAAAA, FAAAB, ...
std::string PointName(int index, char first, int length = 5) {
    std::string name(length, 'A');
    name[0] = first;
    for (int i = length - 1; i >= 1; --i) {
        name[i] = static_cast<char>('A' + index % 26);
        index /= 26;
    }
    return name;
}

// A procedure name in its 26 columns: blanks, or tabs to column 32.
std::string ProcedureName(std::string name, bool tabs) {
    if (!tabs) {
        name.resize(26, ' ');
        return name;
    }
    for (size_t column = name.size(); column < 26; column = (column / 8 + 1) * 8) name += '\t';
    return name;
}

}  // namespace

std::string GenerateLargeSector(uint32_t seed, const LargeSectorShape& shape) {
    Writer w(seed);
    w.Text().reserve(
        static_cast<size_t>(shape.geoLines + shape.segmentLines + shape.fixes + shape.regionPoints) * 64);
    const int vorCount = 300;
    const int ndbCount = 200;
    const int airportCount = 150;
    std::vector<std::string> points;  // every named point, for the segments
    for (int i = 0; i < shape.fixes; ++i) points.push_back(PointName(i, 'F'));
    for (int i = 0; i < vorCount; ++i) points.push_back(PointName(i, 'V', 3));
    const std::string indent = shape.facilityStyle ? "\t" : "";
    const std::string continuation = shape.facilityStyle ? "\t\t\t\t" : std::string(26, ' ');
    auto namedPoint = [&] {
        const std::string& p = points[w.Below(static_cast<int>(points.size()))];
        return p + " " + p;
    };

    w.Line("; Generated sector for the parser benchmark. Not for navigation.");
    w.Line("#define COAST 16744448");
    w.Line("#define RIVER 9849600");
    w.Line("#define TAXIWAY 8421504");
    w.Line("");
    w.Line("[INFO]");
    w.Line("Generated Centre");
    w.Line("GEN_CTR");
    w.Line("KGEN");
    w.Line("N041.00.00.000");
    w.Line("W074.00.00.000");
    w.Line("60");
    w.Line("45.3");
    w.Line("13.0");
    w.Line("1");
    w.Line("");

    w.Line("[VOR]");
    for (int i = 0; i < vorCount; ++i)
        w.Line(indent + points[shape.fixes + i] + " 11" + std::to_string(i % 8) + ".400 " + w.LatLon());
    w.Line("[NDB]");
    for (int i = 0; i < ndbCount; ++i)
        w.Line(indent + PointName(i, 'N', 4) + " 3" + std::to_string(10 + i % 80) + " " + w.LatLon());
    w.Line("[AIRPORT]");
    for (int i = 0; i < airportCount; ++i)
        w.Line(indent + PointName(i, 'K', 4) + " 118.700 " + w.LatLon() + " D");
    w.Line("[RUNWAY]");
    for (int i = 0; i < airportCount * 2; ++i) {
        int heading = 10 + w.Below(170);
        w.Line("09 27 " + std::to_string(heading) + " " + std::to_string(heading + 180) + " " + w.LatLon() +
               " " + w.LatLon());
    }

    // Segments come before the fixes they name: the second pass resolves them.
    const char* segmentSections[] = {"[ARTCC]", "[ARTCC HIGH]", "[ARTCC LOW]", "[LOW AIRWAY]",
                                     "[HIGH AIRWAY]"};
    for (int s = 0; s < 5; ++s) {
        w.Line("");
        w.Line(segmentSections[s]);
        int count = shape.segmentLines / 5 + (s == 0 ? shape.segmentLines % 5 : 0);
        for (int i = 0; i < count; ++i) {
            std::string name = (s < 3 ? "ZB" : s == 3 ? "V" : "J") + std::to_string(i / 20);
            // One segment in eight is written out, as real files mix both forms.
            std::string from = i % 8 == 0 ? w.LatLon() : namedPoint();
            w.Line(name + " " + from + " " + namedPoint());
        }
    }

    w.Line("");
    w.Line("[SID]");
    for (int i = 0; i < 1000; ++i) {
        if (i % 5 == 0) {
            std::string name = ProcedureName("KGEN DEP" + std::to_string(i / 5), shape.facilityStyle);
            w.Line(name + namedPoint() + " " + namedPoint());
        } else {
            w.Line(continuation + namedPoint() + " " + namedPoint() + (i % 2 ? " 255" : ""));
        }
    }
    w.Line("[STAR]");
    for (int i = 0; i < 1000; ++i) {
        if (i % 5 == 0) {
            std::string name = ProcedureName("KGEN ARR" + std::to_string(i / 5), shape.facilityStyle);
            w.Line(name + namedPoint() + " " + namedPoint());
        } else {
            w.Line(continuation + namedPoint() + " " + namedPoint());
        }
    }

    w.Line("");
    w.Line("[GEO]");
    const char* colors[] = {"COAST", "RIVER", "TAXIWAY", "255", "65280", ""};
    for (int i = 0; i < shape.geoLines; ++i) {
        if (i % 1000 == 0) w.Line("; coastline part " + std::to_string(i / 1000));
        std::string color = colors[w.Below(6)];
        w.Line(indent + w.LatLon() + " " + w.LatLon() + (color.empty() ? "" : " " + color));
    }

    w.Line("");
    w.Line("[REGIONS]");
    for (int i = 0; i < shape.regionPoints; ++i) {
        if (i % 10 == 0) {
            w.Line(std::string(i % 20 ? "TAXIWAY " : "4227072 ") + w.LatLon());
        } else {
            w.Line("    " + w.LatLon());
        }
    }
    w.Line("");
    w.Line("[LABELS]");
    for (int i = 0; i < 1000; ++i) w.Line("\"GATE " + std::to_string(i) + "\" " + w.LatLon() + " 16777215");

    w.Line("");
    w.Line("[FIXES]");
    for (int i = 0; i < shape.fixes; ++i) w.Line(indent + points[i] + " " + w.LatLon());
    return std::move(w.Text());
}
