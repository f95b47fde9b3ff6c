#pragma once

#include "SpKeyItem.h"

#include <QMap>
#include <QString>

#include <vector>

// Reads double-pinyin scheme files into key tables. Shared by the scheme
// model of the settings tool and the engine, which types with the tables;
// QtCore only, so the engine can use it without widgets or a GUI.
class ShuangPinScheme
{
public:
    static const int KeyCount = 27; // A to Z and ';'

    // Rows 0-2 are the compound consonants, the finals follow.
    static int syllableCount();
    static int firstFinalRow() { return 3; }
    static const char *syllable(int row);
    static char defaultKey(int row);

    static int keyIndex(char key);
    static char keyOfIndex(int index);
    static void setText(char (&field)[10], const char *text);
    static void resetItems(SpKeyItem *items);
    // Puts a final into the first free slot of a key; false when both are
    // taken.
    static bool addFinal(SpKeyItem &item, const char *final);
    // Consonant letters type themselves; a e i o u (and the letters of keys
    // already holding a consonant) are finals; V gets nothing.
    static void applyLetterRule(SpKeyItem *items, std::vector<QString> *assigned);

    // Fills items from a scheme file. With assigned (the editor), a final
    // the file does not list keeps its own first letter; without it (the
    // display), it takes its default key. Values naming no key are ignored.
    static bool loadKeyTable(const QString &path, SpKeyItem *items, std::vector<QString> *assigned);
    // The codes of the syllables that have no consonant ("ai" -> "OD").
    static QMap<QString, QString> zeroConsonantCodes(const QString &path);
    // Finals and compound consonants the file leaves without a key.
    static QStringList missingSyllables(const QString &path);
};
