#pragma once

#include <QMap>
#include <QString>

// The keys of one double-pinyin scheme, as the engine types with them:
// read from the tool's scheme file with the tool's own scheme reader.
struct DoublePinyinLayout {
    QMap<QString, QChar> consonants;       // "zh", "ch", "sh" -> key
    QMap<QString, QChar> finals;           // "ang" -> key
    QMap<QString, QString> zeroConsonants; // "ang" -> "OH"

    // False, with the reason, when the file cannot be read or leaves a
    // syllable without a key: such a scheme cannot type every word.
    static bool load(const QString &path, DoublePinyinLayout *layout, QString *error);
    bool operator==(const DoublePinyinLayout &other) const;
};
