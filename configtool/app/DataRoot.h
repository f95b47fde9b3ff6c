#pragma once

#include <QString>

// The system data root ("/usr/share/kaiwoimebs" when installed). The
// environment variable KAIWOIMEBS_DATA_ROOT overrides it so tests and the
// demo can run against a private copy. No trailing slash.
QString kaiwoDataRoot();

// HOME as the file system spells it, read afresh at every call.
QString homeDirectory();
