// Parses one sector file and writes its report, then a line with this
// process's peak resident size in KiB, the errors kept and the errors found:
// sector_parse_peak <file> <report> <figures>. Run in a process of its own by
// sector_parser_peak_test.
#include <cstdio>
#include <cstring>
#include <string>

#include "atc/sector_parser.h"
#include "platform/atomic_file.h"

namespace {

// VmHWM belongs to the memory of this program alone; getrusage would also
// count the image of the process that forked us before the exec.
long PeakKiB() {
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kib = -1;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::strtol(line + 6, nullptr, 10);
    }
    std::fclose(f);
    return kib;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <sector file> <report> <figures>\n", argv[0]);
        return 2;
    }
    TarqSectorParser parser;
    TarqSectorData data;
    bool ok = parser.Parse(argv[1], data, argv[2]);
    std::string figures = std::to_string(PeakKiB()) + " " + std::to_string(parser.Errors().size()) + " " +
                          std::to_string(parser.ErrorCount()) + "\n";
    if (!WriteFileAtomically(argv[3], figures)) return 3;
    if (!ok) std::printf("%s\n", parser.GetLastError().message.c_str());
    return ok ? 0 : 1;
}
