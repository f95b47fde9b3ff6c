#include "AtomicFile.h"

#include <cerrno>
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

} // namespace

AtomicWriteResult writeFileAtomically(const char *path, const QByteArray &data)
{
    struct stat existing;
    const bool exists = stat(path, &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return AtomicWriteResult::CannotOpen;

    std::string temporary = std::string(path) + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0)
        return AtomicWriteResult::CannotOpen;

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
    if (close(fd) != 0 || !ok || rename(temporary.c_str(), path) != 0) {
        unlink(temporary.c_str());
        return AtomicWriteResult::WriteFailed;
    }
    return AtomicWriteResult::Written;
}
