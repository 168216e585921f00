#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Temporaries are "<file>.tmp<pid>-XXXXXX": the writer's process id tells a
// live writer's file from one left by a writer that was killed mid-save.
constexpr const char* kTempMark = ".tmp";

bool Fail(std::string* error, const std::string& what) {
    if (error) *error = what + ": " + std::strerror(errno);
    return false;
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a symbolic link finally names, so that the link stays a link and
// its target gets the new contents; the path itself when it is no link.
// Links that loop or cannot be read leave the path as it is.
std::string ResolveLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string target(static_cast<size_t>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
        const ssize_t n = readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<size_t>(n) >= target.size()) return path;
        target.resize(static_cast<size_t>(n));
        path = target[0] == '/' ? target : DirectoryOf(path) + "/" + target;
    }
    return path;
}

// A writer's process id from a temporary's name ("<pid>-XXXXXX" after the
// mark); -1 for a name of the older form without one.
long WriterOf(const std::string& suffix) {
    const size_t dash = suffix.find('-');
    if (dash == std::string::npos || dash == 0 || suffix.size() - dash - 1 != 6) return -1;
    long pid = 0;
    for (size_t i = 0; i < dash; ++i) {
        if (suffix[i] < '0' || suffix[i] > '9' || pid > 100000000) return -1;
        pid = pid * 10 + (suffix[i] - '0');
    }
    return pid;
}

void SyncDirectory(const std::string& directory) {
    int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

void RemoveStaleTemporaries(const std::string& path) {
    const std::string target = ResolveLinks(path);
    const std::string directory = DirectoryOf(target);
    const std::string prefix = NameOf(target) + kTempMark;
    DIR* dir = opendir(directory.c_str());
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string suffix = name.substr(prefix.size());
        const long pid = WriterOf(suffix);
        // The older form: six characters from mkstemp, written by a writer
        // that held the file alone.
        const bool olderForm = pid < 0 && suffix.size() == 6;
        const bool writerGone = pid > 0 && pid != static_cast<long>(getpid()) &&
                                kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
        if (!olderForm && !writerGone) continue;
        const std::string full = directory + "/" + name;
        struct stat info;
        // Only our own regular files: never another user's, never a link.
        if (lstat(full.c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != getuid()) continue;
        unlink(full.c_str());
    }
    closedir(dir);
}

bool WriteFileAtomically(const std::string& path, std::string_view contents, std::string* error) {
    const std::string target = ResolveLinks(path);
    RemoveStaleTemporaries(target);
    std::string temp = target + kTempMark + std::to_string(getpid()) + "-XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return Fail(error, "cannot create a temporary file beside " + target);
    // An existing file keeps its mode; a new one stays as mkstemp made it,
    // readable by its owner only (Tarq.ini holds the user's password).
    struct stat info;
    if (stat(target.c_str(), &info) == 0) fchmod(fd, info.st_mode & 07777);
    size_t done = 0;
    while (done < contents.size()) {
        ssize_t n = write(fd, contents.data() + done, contents.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            int saved = errno;
            close(fd);
            unlink(temp.c_str());
            errno = saved;
            return Fail(error, "cannot write " + target);
        }
        done += static_cast<size_t>(n);
    }
    if (fsync(fd) != 0 || close(fd) != 0) {
        int saved = errno;
        unlink(temp.c_str());
        errno = saved;
        return Fail(error, "cannot write " + target);
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        int saved = errno;
        unlink(temp.c_str());
        errno = saved;
        return Fail(error, "cannot replace " + target);
    }
    // The rename itself lasts only once the directory is on the disk.
    SyncDirectory(DirectoryOf(target));
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
