// Tested by tests/platform/atomic_file_test.cpp.
#include "platform/temp_file.h"

#include <stdlib.h>
#include <unistd.h>

std::string MakeTempFile(const std::string& prefix) {
    const char* dir = getenv("TMPDIR");
    std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/" + prefix + "XXXXXX";
    int fd = mkstemp(pattern.data());
    if (fd < 0) return "";
    close(fd);
    return pattern;
}
