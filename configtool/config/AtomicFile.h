#pragma once

#include <QByteArray>

enum class AtomicWriteResult {
    Written,
    CannotOpen,  // no temporary file could be made beside the target
    WriteFailed, // writing or renaming failed; the old file is untouched
};

// Replaces the file at path (raw bytes, any encoding) with data, through a
// temporary file in the same directory and a rename, so a crash or a full
// disk never leaves a half-written file. A file the user may not write is
// left alone, a symbolic link is written through to its target, and a
// writable file in a folder that takes no new files is rewritten in place.
AtomicWriteResult writeFileAtomically(const char *path, const QByteArray &data);
