// Tested by tests/platform/machine_number_test.cpp.
#include "platform/machine_number.h"

#include "platform/atomic_file.h"

uint32_t MachineNumber(const std::string& machineIdPath) {
    std::string contents;
    if (!ReadWholeFile(machineIdPath, contents)) return 0;
    size_t begin = contents.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return 0;
    size_t end = contents.find_last_not_of(" \t\r\n");
    uint32_t hash = 2166136261u;
    for (size_t i = begin; i <= end; ++i) {
        hash ^= static_cast<unsigned char>(contents[i]);
        hash *= 16777619u;
    }
    return hash;
}
