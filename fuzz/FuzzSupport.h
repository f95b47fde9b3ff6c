#pragma once

// What the fuzz targets share: a private temporary folder per process, the
// fuzz input written to a file in it, HOME and the data root pointed there,
// and a quiet QCoreApplication.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz
{

// A fresh folder under $TMPDIR (or /tmp), made on first use and removed at
// a normal exit.
const std::string &tempDir();

// Replaces the file with the bytes. Every call gives the file a newer
// modification time, so caches keyed on size and time (QSettings) always
// see the new content. Aborts when the file cannot be written.
void writeFile(const std::string &path, const uint8_t *data, size_t size);

// Gives the file a newer modification time than any before, as writeFile
// does; for files a reader under test has replaced.
void stamp(const std::string &path);

// Creates folder and its parents; aborts on failure.
void makePath(const std::string &folder);

// Points HOME at tempDir()/home and KAIWOIMEBS_DATA_ROOT at tempDir()/data,
// both created and empty.
void useTempHomeAndDataRoot();

// The application object for the whole run, with every message except
// fatal ones dropped (the readers log freely and the fuzzer runs them
// often). Code of the settings tool runs inside its QApplication, so its
// readers get a QGuiApplication (platform "minimal"): settings files may
// hold serialised GUI values such as pixmaps. The service's get a
// QCoreApplication, as in the service.
enum class App { Core, Gui };
void startQt(int *argc, char ***argv, App app);

// Aborts with the message: a broken invariant is a finding like a crash.
[[noreturn]] void fail(const char *what);

} // namespace fuzz
