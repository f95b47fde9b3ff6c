#include "AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

bool writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= size_t(written);
    }
    return true;
}

// The file a chain of symbolic links ends at (it need not exist yet), so the
// link itself stays a link and its target gets the new content.
std::string linkTarget(const char *path)
{
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info;
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        char buffer[PATH_MAX];
        const ssize_t length = readlink(current.c_str(), buffer, sizeof(buffer) - 1);
        if (length < 0)
            return current;
        const std::string target(buffer, size_t(length));
        const size_t slash = current.rfind('/');
        current = (!target.empty() && target.front() == '/') || slash == std::string::npos
                      ? target
                      : current.substr(0, slash + 1) + target;
    }
    return current;
}

// Rewrites a file in place, for a writable file in a folder where no
// temporary file can be made.
AtomicWriteResult writeInPlace(const std::string &path, const QByteArray &data)
{
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0)
        return AtomicWriteResult::CannotOpen;
    const bool ok = writeAll(fd, data.constData(), size_t(data.size())) && fsync(fd) == 0;
    return close(fd) == 0 && ok ? AtomicWriteResult::Written : AtomicWriteResult::WriteFailed;
}

} // namespace

AtomicWriteResult writeFileAtomically(const char *path, const QByteArray &data)
{
    const std::string target = linkTarget(path);
    struct stat existing;
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return AtomicWriteResult::CannotOpen;
    // A rename would replace a file the user may not write.
    if (exists && access(target.c_str(), W_OK) != 0)
        return AtomicWriteResult::CannotOpen;

    std::string temporary = target + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        if (exists && (errno == EACCES || errno == EPERM))
            return writeInPlace(target, data);
        return AtomicWriteResult::CannotOpen;
    }

    // Keep the permissions of the file being replaced; new files get the
    // usual 0666 less the umask rather than mkstemp's 0600.
    if (exists) {
        fchmod(fd, existing.st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }

    const bool ok = writeAll(fd, data.constData(), size_t(data.size())) && fsync(fd) == 0;
    if (close(fd) != 0 || !ok || rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        return AtomicWriteResult::WriteFailed;
    }
    return AtomicWriteResult::Written;
}
