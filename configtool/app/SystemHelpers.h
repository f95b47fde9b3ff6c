#pragma once

// Small stateless helpers for the X server, child processes, files and a few
// conversions. Each X11 helper opens and closes its own display connection.

#include <QFileInfo>
#include <QString>

void set_active_window(unsigned long window);
void set_minmize_window(unsigned long window);

void startChildApp(const char *file, char **argv);
void processDesktopEnv();

bool copyFileToPath(QString fromDir, QString toDir, QString fileName, bool overwrite);
bool getRunCmdOutput(const char *command, char *buffer, int size);

// Returns a malloc'ed 33-byte lower-case hex digest the caller frees, or null.
char *MD5_file(const char *path);
QString time_2_string(long time);

// Hands back a NUL-terminated copy the caller releases with delete[].
void qstring2char(QString text, char **out, bool utf8);

bool deleteDirectory(QFileInfo entry);

// Quotes a string for /bin/sh so that no path can become a command.
QByteArray shellQuote(const QByteArray &text);
