#include "FuzzSupport.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

int removeEntry(const char *path, const struct stat *, int, struct FTW *)
{
    return std::remove(path) == 0 ? 0 : -1;
}

void removeTempDir()
{
    nftw(fuzz::tempDir().c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
}

void dropMessage(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "qFatal: %s\n", message.toLocal8Bit().constData());
        std::abort();
    }
}

} // namespace

namespace fuzz
{

const std::string &tempDir()
{
    static const std::string dir = [] {
        const char *base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/kaiwo-fuzz-XXXXXX";
        if (!mkdtemp(&pattern[0]))
            fail("cannot make the temporary folder");
        std::atexit(removeTempDir);
        return pattern;
    }();
    return dir;
}

void writeFile(const std::string &path, const uint8_t *data, size_t size)
{
    FILE *file = std::fopen(path.c_str(), "wb");
    if (!file || (size && std::fwrite(data, 1, size, file) != size) || std::fclose(file) != 0)
        fail("cannot write the input file");
    stamp(path);
}

void stamp(const std::string &path)
{
    static time_t seconds = 1000000000;
    ++seconds;
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
        fail("cannot set a file's time");
}

void makePath(const std::string &folder)
{
    for (std::string::size_type slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST)
            fail("cannot create a folder");
        if (slash == std::string::npos)
            return;
    }
}

void useTempHomeAndDataRoot()
{
    const std::string home = tempDir() + "/home";
    const std::string data = tempDir() + "/data";
    makePath(home);
    makePath(data);
    setenv("HOME", home.c_str(), 1);
    setenv("KAIWOIMEBS_DATA_ROOT", data.c_str(), 1);
}

void startQt(int *argc, char ***argv, App app)
{
    qInstallMessageHandler(dropMessage);
    static QCoreApplication *application = nullptr;
    if (application)
        return;
    if (app == App::Gui) {
        setenv("QT_QPA_PLATFORM", "minimal", 1);
        application = new QGuiApplication(*argc, *argv);
    } else {
        application = new QCoreApplication(*argc, *argv);
    }
}

void fail(const char *what)
{
    std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
    std::abort();
}

} // namespace fuzz
