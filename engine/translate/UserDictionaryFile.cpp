#include "UserDictionaryFile.h"

#include <QList>
#include <QTextCodec>

namespace
{

const QByteArray kHeader = "# Kaiwo user dictionary 1 ";
const QByteArray kEnd = "# end ";
const int kMaxLine = 4096;

bool isEntry(const QByteArray &line)
{
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != 3 || fields[0].isEmpty() || fields[1].isEmpty() || line.size() > kMaxLine)
        return false;
    bool number = false;
    fields[2].toLongLong(&number);
    return number;
}

bool isUtf8(const QByteArray &bytes)
{
    QTextCodec::ConverterState state;
    QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 && !bytes.contains('\0');
}

} // namespace

bool UserDictionaryFile::fromRime(const QByteArray &rime, const QByteArray &kind, QByteArray *ours)
{
    QByteArray out = kHeader + kind + '\n';
    int count = 0;
    for (const QByteArray &line : rime.split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (!isEntry(line))
            return false;
        out += line + '\n';
        ++count;
    }
    *ours = out + kEnd + QByteArray::number(count) + '\n';
    return true;
}

bool UserDictionaryFile::toRime(const QByteArray &ours, const QByteArray &kind, QByteArray *rime,
                                QString *error)
{
    if (ours.isEmpty() || !isUtf8(ours)) {
        *error = QStringLiteral("empty or not UTF-8 text");
        return false;
    }
    if (!ours.endsWith('\n')) {
        *error = QStringLiteral("truncated");
        return false;
    }
    QList<QByteArray> lines = ours.split('\n');
    lines.removeLast(); // after the final line end
    if (lines.first() != kHeader + kind) {
        *error = QStringLiteral("not a Kaiwo %1 user dictionary").arg(QString::fromUtf8(kind));
        return false;
    }
    if (lines.size() < 2 || !lines.last().startsWith(kEnd) ||
        lines.last().mid(kEnd.size()).toInt() != lines.size() - 2) {
        *error = QStringLiteral("truncated");
        return false;
    }
    QByteArray out;
    for (int i = 1; i < lines.size() - 1; ++i) {
        if (!isEntry(lines.at(i))) {
            *error = QStringLiteral("line %1 is damaged").arg(i + 1);
            return false;
        }
        out += lines.at(i) + '\n';
    }
    *rime = out;
    return true;
}
