#pragma once

#include <QByteArray>
#include <QHash>

// The characters of the data root's Rime/kaiwo_chaizi.txt (a character and
// the characters it is written with) as a Rime dictionary, each typed by
// its parts' pinyin: 犇 by "niu niu niu". For SplitZi.
class ChaiziDictionary
{
public:
    static const char *name() { return "kaiwo_chaizi"; }
    static const char *tableFileName() { return "kaiwo_chaizi.txt"; }
    static QByteArray tableHeader() { return "# Kaiwo chaizi 1"; }

    // readings: each character's most common reading (CellWords). False,
    // and no dictionary, for a table that is none or types no character.
    static bool yaml(const QByteArray &table, const QHash<uint, QByteArray> &readings,
                     QByteArray *yaml);
};
