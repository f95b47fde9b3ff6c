#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// The words of the checked cell dictionaries, as the pinyin engine shell
// rebuilt them, as a Rime dictionary of ours, "kaiwo_cells". Words the
// shell keeps without pinyin take the most common reading of each of their
// characters from luna_pinyin.
class CellWords
{
public:
    struct Outcome {
        bool changed = false; // the dictionary source was rewritten
        qint64 words = 0;
        QString problem; // why the previous words stay, if they do
    };

    static const char *dictionaryName() { return "kaiwo_cells"; }
    // The dictionary with no words, for a schema that always names it.
    static QByteArray dictionary(const QByteArray &entries);

    // shellDir: the pinyin shell's user folder (with "/"); rimeDir: the
    // engine's Rime folder (with "/"); readings: luna_pinyin.dict.yaml.
    // A damaged list or piece leaves the dictionary as it was.
    static Outcome build(const QString &shellDir, const QString &rimeDir, const QString &readings);

    // Character to its most common reading.
    static QHash<uint, QByteArray> readCharacterReadings(const QString &dictionaryFile);
    // "北京" -> "bei jing"; the shell's "bei'jing" -> "bei jing"; empty when
    // some character has no reading or the pinyin is no pinyin.
    static QByteArray code(const QString &word, const QByteArray &pinyin,
                           const QHash<uint, QByteArray> &readings);
};
