#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The cell data an engine shell rebuilds into its user directory: a first
// line "# kaiwo cell data 1", then one line "word<TAB>pinyin<TAB>id" per
// entry. The service reads only the words; it also writes the words it holds
// to a snapshot file, one per line, so that tests can see them.
class CellWordsFile
{
public:
    static const char *fileName() { return "kaiwo_cells.txt"; }
    // Real cell data stays far below this; more is not read at all.
    static constexpr qint64 kMaxBytes = 8 * 1024 * 1024;

    // The words of the cell data in content, in file order. Content that
    // does not start with the header line holds none; malformed lines and
    // an unterminated last line are skipped.
    static QStringList parse(const QByteArray &content);
    // The words of the file at path, of which at most maxBytes are read; a
    // missing or unreadable file holds none.
    static QStringList read(const QString &path, qint64 maxBytes = kMaxBytes);
    // Replaces path atomically with the words, one per line.
    static bool writeSnapshot(const QString &path, const QStringList &words);
};
