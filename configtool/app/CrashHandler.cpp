#include "CrashHandler.h"
#include "SystemHelpers.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

// Everything below runs inside a signal handler, possibly on a thread that
// was interrupted inside malloc: only system calls and our own string code,
// no stdio, no allocation.
namespace
{

constexpr int kBlockSize = 512;
constexpr int kMaxFrames = 20;

char crashLogPath[4096];
char symbolText[64 * 1024];

// Appends text to a fixed buffer, always NUL-terminated, never overflowing.
class FixedText
{
public:
    FixedText(char *buffer, size_t size) : mBuffer(buffer), mSize(size) { mBuffer[0] = '\0'; }
    FixedText &operator<<(const char *text)
    {
        while (text && *text && mLength + 1 < mSize)
            mBuffer[mLength++] = *text++;
        mBuffer[mLength] = '\0';
        return *this;
    }
    FixedText &operator<<(int number)
    {
        char digits[16];
        int count = 0;
        unsigned value = number < 0 ? 0u - unsigned(number) : unsigned(number);
        do {
            digits[count++] = char('0' + value % 10);
            value /= 10;
        } while (value);
        if (number < 0)
            *this << "-";
        char reversed[16];
        for (int i = 0; i < count; ++i)
            reversed[i] = digits[count - 1 - i];
        reversed[count] = '\0';
        return *this << reversed;
    }

private:
    char *mBuffer;
    size_t mSize;
    size_t mLength = 0;
};

const char *logPath()
{
    // HOME is read once, the first time a crash needs it.
    if (!crashLogPath[0])
        FixedText(crashLogPath, sizeof(crashLogPath)) << getenv("HOME") << "/.config/kaiwoimebs"
                                                      << "/config-crash.log";
    return crashLogPath;
}

void writeBlock(int fd, const char *text)
{
    char block[kBlockSize] = {};
    FixedText(block, sizeof(block)) << text;
    const char *data = block;
    size_t left = sizeof(block);
    while (left > 0) {
        const ssize_t written = write(fd, data, left);
        if (written <= 0)
            return;
        data += written;
        left -= size_t(written);
    }
}

// backtrace_symbols() allocates; backtrace_symbols_fd() does not, so the
// symbols go through a pipe and are split into lines here.
int frameSymbols(void *const *frames, int count, const char *lines[])
{
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return 0;
    backtrace_symbols_fd(frames, count, pipeEnds[1]);
    close(pipeEnds[1]);
    size_t length = 0;
    ssize_t got;
    while (length + 1 < sizeof(symbolText) &&
           (got = read(pipeEnds[0], symbolText + length, sizeof(symbolText) - 1 - length)) > 0)
        length += size_t(got);
    close(pipeEnds[0]);
    symbolText[length] = '\0';

    int found = 0;
    char *line = symbolText;
    while (found < count && *line) {
        lines[found++] = line;
        char *end = std::strchr(line, '\n');
        if (!end)
            break;
        *end = '\0';
        line = end + 1;
    }
    return found;
}

void writeTrace(int signalNumber)
{
    const int fd = open(logPath(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        return; // nothing to record into; the tool still ends below
    void *frames[kMaxFrames];
    const int count = backtrace(frames, kMaxFrames);
    const char *symbols[kMaxFrames];
    const int named = frameSymbols(frames, count, symbols);

    char line[kBlockSize];
    const char *description = sigdescr_np(signalNumber);
    FixedText(line, sizeof(line)) << "!!!--- received signal: " << signalNumber << "="
                                  << (description ? description : "Unknown signal")
                                  << "! Stack trace\n";
    writeBlock(fd, line);
    for (int i = 0; i < count; ++i) {
        FixedText(line, sizeof(line)) << i << " " << (i < named ? symbols[i] : "??") << " \n";
        writeBlock(fd, line);
    }
    fsync(fd);
    close(fd);
}

} // namespace

void crashSignalHandler(int signalNumber)
{
    // A second fault inside the handler must not re-enter it.
    signal(signalNumber, SIG_IGN);
    writeTrace(signalNumber);

    char program[] = "/usr/bin/killall";
    char name[] = "kaiwoIme-configtool";
    char force[] = "-9";
    char *arguments[] = {program, name, force, nullptr};
    startChildApp(program, arguments);
    _exit(128 + signalNumber);
}

void installSignalHandlers()
{
    signal(SIGCHLD, SIG_IGN);
    for (int signalNumber : {SIGSEGV, SIGILL, SIGHUP, SIGABRT}) {
        if (signal(signalNumber, crashSignalHandler) == SIG_ERR)
            perror("signal error");
    }
    // The first backtrace() loads its unwinder, which allocates: do it now,
    // not in the middle of a crash.
    void *frame;
    backtrace(&frame, 1);
}
