#include "UnixSignalQuitter.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace
{

int gSignalPipe[2] = {-1, -1};

void writeSignalByte(int signalNumber)
{
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    const ssize_t written = ::write(gSignalPipe[1], &byte, 1);
    (void)written;
    errno = savedErrno;
}

} // namespace

UnixSignalQuitter::UnixSignalQuitter(QObject *parent) : QObject(parent) {}

UnixSignalQuitter::~UnixSignalQuitter()
{
    if (!mNotifier)
        return;
    std::signal(SIGTERM, SIG_DFL);
    std::signal(SIGINT, SIG_DFL);
    ::close(gSignalPipe[0]);
    ::close(gSignalPipe[1]);
    gSignalPipe[0] = gSignalPipe[1] = -1;
}

bool UnixSignalQuitter::install(QString *error)
{
    if (gSignalPipe[0] != -1) {
        *error = QStringLiteral("signal handlers are already installed");
        return false;
    }
    if (::pipe2(gSignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        *error = QStringLiteral("cannot create the signal pipe: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }

    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = writeSignalByte;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : {SIGTERM, SIGINT}) {
        if (::sigaction(signalNumber, &action, nullptr) != 0) {
            *error = QStringLiteral("cannot install the handler for signal %1: %2")
                         .arg(signalNumber)
                         .arg(QString::fromLocal8Bit(std::strerror(errno)));
            std::signal(SIGTERM, SIG_DFL);
            ::close(gSignalPipe[0]);
            ::close(gSignalPipe[1]);
            gSignalPipe[0] = gSignalPipe[1] = -1;
            return false;
        }
    }

    mNotifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, &UnixSignalQuitter::onSignal);
    return true;
}

void UnixSignalQuitter::onSignal()
{
    char bytes[16];
    while (::read(gSignalPipe[0], bytes, sizeof bytes) > 0) {
    }
    QCoreApplication::quit();
}
