#include "UserDictionary.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

UserDictionary::UserDictionary(const QVector<Entry> &entries)
{
    for (const Entry &entry : entries)
        add(entry);
}

bool UserDictionary::isValidText(const QString &text)
{
    if (text.isEmpty() || text.size() > kMaxTextLength)
        return false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x20 || c.unicode() == 0x7f ||
            (c.unicode() >= 0x80 && c.unicode() < 0xa0))
            return false;
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate())
                return false;
            ++i;
        } else if (c.isLowSurrogate()) {
            return false;
        }
    }
    return true;
}

void UserDictionary::add(const Entry &entry)
{
    quint32 &frequency = mFrequencies[qMakePair(entry.code, entry.word)];
    frequency = qMax(frequency, entry.frequency);
}

void UserDictionary::merge(const UserDictionary &other)
{
    for (auto it = other.mFrequencies.cbegin(); it != other.mFrequencies.cend(); ++it) {
        quint32 &frequency = mFrequencies[it.key()];
        frequency = qMax(frequency, it.value());
    }
}

QVector<UserDictionary::Entry> UserDictionary::entries() const
{
    QVector<Entry> result;
    result.reserve(mFrequencies.size());
    for (auto it = mFrequencies.cbegin(); it != mFrequencies.cend(); ++it)
        result.append({it.key().first, it.key().second, it.value()});
    return result;
}

bool UserDictionary::readFile(const QString &path, QByteArray *bytes)
{
    // Only regular files: a FIFO would block and a device never ends.
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || info.size() > kMaxFileSize)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Read in blocks, not with read(kMaxFileSize + 1), which would allocate
    // the whole limit for every file; stop one block past the limit in case
    // the file grew since the check.
    bytes->clear();
    char block[64 * 1024];
    qint64 got = 0;
    while (bytes->size() <= kMaxFileSize && (got = file.read(block, sizeof block)) > 0)
        bytes->append(block, int(got));
    return got >= 0 && file.error() == QFileDevice::NoError && bytes->size() <= kMaxFileSize;
}

bool UserDictionary::writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
