#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

// The cell data an engine shell rebuilds into its user directory
// (CellDictionaryStore.h): version 2 lists the digests of the dictionaries in
// use, whose lines "word<TAB>pinyin<TAB>id" lie in kaiwo_cells/<md5>.txt after
// a first line; version 1 held the lines itself after its first. The service
// reads only the words; it also writes the words it holds to a snapshot
// file, one per line, so that tests can see them.
class CellWordsFile
{
public:
    static const char *fileName() { return "kaiwo_cells.txt"; }
    // Real cell data stays far below this; more is not read at all.
    static constexpr qint64 kMaxBytes = 8 * 1024 * 1024;

    // The words of pieces read whole, by path, size and time: a shell never
    // rewrites a piece but to repair it, so a reload after one change reads
    // one piece.
    struct Piece {
        qint64 size = -1;
        QDateTime modified;
        QStringList words;
    };
    using Pieces = QHash<QString, Piece>;

    // The words of version-1 cell data in content, in file order. Content
    // that does not start with the header line holds none; malformed lines
    // and an unterminated last line are skipped.
    static QStringList parse(const QByteArray &content);
    // The words of the file at path and of the pieces it lists, of which at
    // most maxBytes are read in all; a missing or unreadable file holds none.
    // Pieces in before are taken from there; every piece read whole goes
    // into after.
    static QStringList read(const QString &path, qint64 maxBytes = kMaxBytes,
                            const Pieces *before = nullptr, Pieces *after = nullptr);
    // Replaces path atomically with the words, one per line.
    static bool writeSnapshot(const QString &path, const QStringList &words);
};
