#pragma once

#include <QByteArray>
#include <QMap>
#include <QPair>
#include <QString>
#include <QVector>

// One user dictionary in memory: words under their input codes (pinyin, a
// Wubi code or the typed form of an English word), each with a frequency.
// A word appears once per code; merging keeps the higher frequency.
class UserDictionary
{
public:
    struct Entry {
        QString code;
        QString word;
        quint32 frequency = 0;
        bool operator==(const Entry &other) const
        {
            return code == other.code && word == other.word && frequency == other.frequency;
        }
    };

    // Longest code or word, in UTF-16 units, any of the file formats accepts.
    static constexpr int kMaxTextLength = 256;
    // Largest file a dictionary is read from; anything bigger is refused.
    static constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

    UserDictionary() = default;
    explicit UserDictionary(const QVector<Entry> &entries);

    // True for a code or word the formats can carry: not empty, not too long,
    // no control characters, no unpaired surrogates.
    static bool isValidText(const QString &text);

    void add(const Entry &entry);
    void merge(const UserDictionary &other);
    void clear() { mFrequencies.clear(); }
    // False when the dictionary holds no such word.
    bool remove(const QString &code, const QString &word)
    {
        return mFrequencies.remove(qMakePair(code, word)) > 0;
    }

    // Ordered by code, then word.
    QVector<Entry> entries() const;
    int size() const { return mFrequencies.size(); }
    bool isEmpty() const { return mFrequencies.isEmpty(); }
    bool operator==(const UserDictionary &other) const
    {
        return mFrequencies == other.mFrequencies;
    }

    // The whole of a regular file of at most kMaxFileSize bytes; false for
    // anything else (missing, a directory, a device, too big, unreadable).
    static bool readFile(const QString &path, QByteArray *bytes);
    // Writes through a temporary file in the target's folder renamed over the
    // target, so the path holds either its old content or all of the new.
    static bool writeFileAtomically(const QString &path, const QByteArray &bytes);

private:
    QMap<QPair<QString, QString>, quint32> mFrequencies;
};
