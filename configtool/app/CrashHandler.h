#pragma once

// Installed for SIGSEGV, SIGILL, SIGHUP and SIGABRT: logs a stack trace to
// ~/.config/kaiwoimebs/config-crash.log, ends every copy of the tool and
// exits with 128 + the signal number.
void crashSignalHandler(int signalNumber);

// Ignores SIGCHLD and installs crashSignalHandler.
void installSignalHandlers();
