#include "SystemHelpers.h"
#include "Md5.h"

#include <QDir>
#include <QFile>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

void set_active_window(unsigned long window)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return;
    XEvent event;
    std::memset(&event, 0, sizeof(event));
    event.xclient.type = ClientMessage;
    event.xclient.serial = 0;
    event.xclient.send_event = True;
    event.xclient.display = display;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // the request comes from a pager
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureNotifyMask | StructureNotifyMask, &event);
    XCloseDisplay(display);
}

void set_minmize_window(unsigned long window)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display)
        return;
    XIconifyWindow(display, window, DefaultScreen(display));
    XFlush(display);
    XCloseDisplay(display);
}

namespace
{

// fork() runs the atfork handlers and takes malloc's locks; the crash
// handler calls startChildApp from a signal handler that may have
// interrupted malloc, so the raw system call is used instead.
pid_t rawFork()
{
    return pid_t(syscall(SYS_clone, SIGCHLD, 0, 0, 0, 0));
}

} // namespace

void startChildApp(const char *file, char **argv)
{
    pid_t child = rawFork();
    if (child < 0) {
        perror("fork");
        return;
    }
    if (child == 0) {
        // The intermediate child exits at once, so the program is adopted
        // by init and never becomes our zombie.
        pid_t grandchild = rawFork();
        if (grandchild < 0) {
            perror("fork");
            _exit(1);
        }
        if (grandchild > 0)
            _exit(0);
        execvp(file, argv);
        perror("execvp");
        _exit(1);
    }
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

void processDesktopEnv()
{
    const char *pluginPath = getenv("QT_PLUGIN_PATH");
    const char *gnomeSession = getenv("GNOME_DESKTOP_SESSION_ID");
    if ((pluginPath && !*pluginPath) || (gnomeSession && !*gnomeSession))
        return;
    const char *desktop = getenv("XDG_CURRENT_DESKTOP");
    if (desktop && std::strcmp(desktop, "KDE") == 0)
        putenv(const_cast<char *>("QT_PLUGIN_PATH=/usr/lib/kde4/plugins/"));
    else
        putenv(const_cast<char *>("GNOME_DESKTOP_SESSION_ID=this-is-deprecated"));
}

bool copyFileToPath(QString fromDir, QString toDir, QString fileName, bool overwrite)
{
    if (fromDir == toDir)
        return true;
    const QString source = fromDir + fileName;
    if (!QFile::exists(source))
        return false;
    QDir target(toDir);
    if (!target.exists() && !target.mkdir(toDir))
        return false;
    const QString destination = toDir + fileName;
    if (overwrite && QFile::exists(destination))
        QFile::remove(destination);
    return QFile::copy(source, destination);
}

bool getRunCmdOutput(const char *command, char *buffer, int size)
{
    if (!command || !buffer || size <= 0)
        return false;
    FILE *pipe = popen(command, "r");
    if (!pipe)
        return false;
    size_t total = 0;
    while (total < static_cast<size_t>(size)) {
        size_t got = fread(buffer + total, 1, size - total, pipe);
        if (got == 0)
            break;
        total += got;
    }
    pclose(pipe);
    return total > 0;
}

char *MD5_file(const char *path)
{
    const std::string digest = Md5::ofFile(path);
    if (digest.empty()) {
        fprintf(stderr, "fopen %s failed\n", path);
        return nullptr;
    }
    char *text = static_cast<char *>(malloc(33));
    if (!text)
        return nullptr;
    std::memcpy(text, digest.c_str(), 33);
    return text;
}

QString time_2_string(long time)
{
    const time_t seconds = time;
    struct tm utc;
    char text[64] = {};
    if (gmtime_r(&seconds, &utc))
        strftime(text, sizeof(text), "%Y-%m-%d ", &utc);
    return QString::fromLatin1(text);
}

void qstring2char(QString text, char **out, bool utf8)
{
    if (!out)
        return;
    const QByteArray bytes = utf8 ? text.toUtf8() : text.toLocal8Bit();
    *out = new char[bytes.size() + 1];
    std::memcpy(*out, bytes.constData(), bytes.size() + 1);
}

bool deleteDirectory(QFileInfo entry)
{
    if (!entry.isDir())
        return QFile::remove(entry.absoluteFilePath());
    QDir dir(entry.absoluteFilePath());
    // Symlinked folders are unlinked, never followed: removing a link must
    // not empty what it points at.
    if (entry.isSymLink())
        return QFile::remove(entry.absoluteFilePath());
    const QFileInfoList children = dir.entryInfoList(QDir::NoFilter, QDir::NoSort);
    for (const QFileInfo &child : children) {
        if (child.fileName() == QLatin1String(".") || child.fileName() == QLatin1String(".."))
            continue;
        deleteDirectory(child);
    }
    QDir parent = entry.absoluteDir();
    return parent.rmdir(entry.fileName());
}

QByteArray shellQuote(const QByteArray &text)
{
    QByteArray quoted("'");
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    quoted += '\'';
    return quoted;
}
