#pragma once

#include <QByteArray>

enum class AtomicWriteResult {
    Written,
    CannotOpen,  // no temporary file could be made beside the target
    WriteFailed, // writing or renaming failed; the old file is untouched
};

// Replaces the file at path (raw bytes, any encoding) with data, through a
// temporary file in the same directory and a rename, so a crash or a full
// disk never leaves a half-written file.
AtomicWriteResult writeFileAtomically(const char *path, const QByteArray &data);
