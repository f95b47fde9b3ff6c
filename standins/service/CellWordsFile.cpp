#include "CellWordsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace
{

const QByteArray kHeader = QByteArrayLiteral("# kaiwo cell data 1");

// A word must survive a round trip through UTF-8 and fit on one snapshot line.
bool acceptWord(const QByteArray &bytes, QString *word)
{
    if (bytes.isEmpty())
        return false;
    *word = QString::fromUtf8(bytes);
    if (word->toUtf8() != bytes)
        return false;
    for (const QChar c : *word) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return true;
}

} // namespace

QStringList CellWordsFile::parse(const QByteArray &content)
{
    // Everything after the last line feed is a line cut off (or cut by the cap).
    const int end = content.lastIndexOf('\n');
    if (end < 0)
        return {};
    const QList<QByteArray> lines = content.left(end).split('\n');
    if (lines.first() != kHeader && lines.first() != kHeader + '\r')
        return {};

    QStringList words;
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines[i];
        const int tab = line.indexOf('\t');
        if (tab < 0 || line.indexOf('\t', tab + 1) < 0)
            continue;
        QString word;
        if (acceptWord(line.left(tab), &word))
            words << word;
    }
    return words;
}

QStringList CellWordsFile::read(const QString &path, qint64 maxBytes)
{
    // A directory or a FIFO in its place holds no words and must not block.
    if (!QFileInfo(path).isFile())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.read(maxBytes));
}

bool CellWordsFile::writeSnapshot(const QString &path, const QStringList &words)
{
    QByteArray content;
    for (const QString &word : words)
        content += word.toUtf8() + '\n';
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.commit();
}
