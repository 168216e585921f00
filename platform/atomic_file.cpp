#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what + ": " + std::strerror(errno);
    return false;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string* error) {
    std::string temp = path + ".tmpXXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return Fail(error, "cannot create a temporary file beside " + path);
    // mkstemp creates the file 0600; a settings file is as readable as any other.
    fchmod(fd, 0644);
    size_t done = 0;
    while (done < contents.size()) {
        ssize_t n = write(fd, contents.data() + done, contents.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            int saved = errno;
            close(fd);
            unlink(temp.c_str());
            errno = saved;
            return Fail(error, "cannot write " + path);
        }
        done += static_cast<size_t>(n);
    }
    if (fsync(fd) != 0 || close(fd) != 0) {
        int saved = errno;
        unlink(temp.c_str());
        errno = saved;
        return Fail(error, "cannot write " + path);
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        int saved = errno;
        unlink(temp.c_str());
        errno = saved;
        return Fail(error, "cannot replace " + path);
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    contents.clear();
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) contents.append(buffer, n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}
