#include "CrashHandler.h"
#include "SystemHelpers.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <execinfo.h>
#include <unistd.h>

namespace {

constexpr int kBlockSize = 512;
constexpr int kMaxFrames = 20;

char crashLogPath[4096];

const char *logPath()
{
    // HOME is read once, the first time a crash needs it.
    if (!crashLogPath[0]) {
        const char *home = getenv("HOME");
        std::snprintf(crashLogPath, sizeof(crashLogPath), "%s/.config/kaiwoimebs",
                      home ? home : "");
        std::strncat(crashLogPath, "/config-crash.log",
                     sizeof(crashLogPath) - std::strlen(crashLogPath) - 1);
    }
    return crashLogPath;
}

void writeBlock(FILE *log, const char *text)
{
    char block[kBlockSize] = {};
    std::strncpy(block, text, kBlockSize - 1);
    fwrite(block, 1, kBlockSize, log);
}

void writeTrace(int signalNumber)
{
    FILE *log = fopen(logPath(), "a+");
    if (!log)
        return; // nothing to record into; still end the tool below
    void *frames[kMaxFrames];
    const int count = backtrace(frames, kMaxFrames);
    char **symbols = backtrace_symbols(frames, count);

    char line[kBlockSize];
    std::snprintf(line, sizeof(line), "!!!--- received signal: %d=%s! Stack trace\n", signalNumber,
                  strsignal(signalNumber));
    writeBlock(log, line);
    for (int i = 0; i < count; ++i) {
        std::snprintf(line, sizeof(line), "%d %s \n", i, symbols ? symbols[i] : "??");
        writeBlock(log, line);
    }
    fflush(log);
    fclose(log);
    free(symbols);
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
    // The first backtrace() loads its unwinder; do it now, not mid-crash.
    void *frame;
    backtrace(&frame, 1);
}
