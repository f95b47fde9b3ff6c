#include "CellWordsFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

namespace
{

const QByteArray kHeader = QByteArrayLiteral("# kaiwo cell data 1");
const QByteArray kListHeader = QByteArrayLiteral("# kaiwo cell data 2");
const QByteArray kPieceHeader = QByteArrayLiteral("# kaiwo cell words 1\t");

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

// The words of the lines after the first; everything after the last line
// feed is a line cut off (or cut by the cap).
QStringList wordsAfterFirstLine(const QByteArray &content, const QByteArray &header)
{
    const int end = content.lastIndexOf('\n');
    if (end < 0)
        return {};
    const QList<QByteArray> lines = content.left(end).split('\n');
    if (!lines.first().startsWith(header))
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

QByteArray readCapped(const QString &path, qint64 maxBytes)
{
    // A directory or a FIFO in its place holds no words and must not block.
    QFile file(path);
    if (maxBytes <= 0 || !QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.read(maxBytes);
}

} // namespace

QStringList CellWordsFile::parse(const QByteArray &content)
{
    const int firstEnd = content.indexOf('\n');
    const QByteArray first = content.left(firstEnd);
    if (first != kHeader && first != kHeader + '\r')
        return {};
    return wordsAfterFirstLine(content, kHeader);
}

QStringList CellWordsFile::read(const QString &path, qint64 maxBytes, const Pieces *before,
                                Pieces *after)
{
    const QByteArray content = readCapped(path, maxBytes);
    if (!content.startsWith(kListHeader + '\n'))
        return parse(content);
    static const QRegularExpression kDigest(QStringLiteral("^[0-9a-f]{32}$"));
    const QString pieces = QFileInfo(path).path() + QStringLiteral("/kaiwo_cells/");
    qint64 budget = maxBytes - content.size();
    QStringList words;
    const QList<QByteArray> lines = content.split('\n');
    for (int i = 1; i + 1 < lines.size() && budget > 0; ++i) {
        const QString md5 = QString::fromLatin1(lines[i]);
        if (!kDigest.match(md5).hasMatch())
            continue;
        const QString piecePath = pieces + md5 + QStringLiteral(".txt");
        const QFileInfo info(piecePath);
        const auto known = before ? before->constFind(piecePath) : Pieces::const_iterator();
        if (before && known != before->constEnd() && known->size == info.size() &&
            known->size <= budget && known->modified == info.lastModified()) {
            budget -= known->size;
            words += known->words;
            if (after)
                after->insert(piecePath, *known);
            continue;
        }
        const QByteArray piece = readCapped(piecePath, budget);
        budget -= piece.size();
        const QStringList pieceWords = wordsAfterFirstLine(piece, kPieceHeader);
        words += pieceWords;
        if (after && piece.size() == info.size())
            after->insert(piecePath, {info.size(), info.lastModified(), pieceWords});
    }
    return words;
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
