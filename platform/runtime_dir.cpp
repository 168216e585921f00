// Tested by tests/platform/local_sockets_test.cpp.
#include "platform/runtime_dir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

std::string UserRuntimeDirectory() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    if (dir && *dir) return dir;
    std::string own = "/tmp/tarq-" + std::to_string(getuid());
    mkdir(own.c_str(), 0700);
    struct stat info {};
    // A folder someone else made under our name is not used.
    if (lstat(own.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid()) return own;
    return "/tmp";
}
