#include "ChaiziDictionary.h"

#include "RimeSchema.h"

#include <QString>
#include <QVector>

namespace
{

// Rime fails on a dictionary of no words and on some of one.
const int kFewestEntries = 2;
// A character the dictionary cannot read is typed by its parts alone, so
// it comes before one that could be typed by its own pinyin.
const char kUnreadableWeight[] = "2";
const char kReadableWeight[] = "1";

// "牛 牛 牛" -> "niu niu niu"; empty when a part has no reading.
QByteArray partsCode(const QByteArray &parts, const QHash<uint, QByteArray> &readings)
{
    QByteArray code;
    for (const QByteArray &part : parts.split(' ')) {
        const QVector<uint> chars = QString::fromUtf8(part).toUcs4();
        const QByteArray reading = chars.size() == 1 ? readings.value(chars[0]) : QByteArray();
        if (reading.isEmpty())
            return {};
        code += (code.isEmpty() ? "" : " ") + reading;
    }
    return code;
}

} // namespace

bool ChaiziDictionary::yaml(const QByteArray &table, const QHash<uint, QByteArray> &readings,
                            QByteArray *yaml)
{
    if (!table.startsWith(tableHeader()))
        return false;
    QByteArray entries;
    int count = 0;
    for (const QByteArray &line : table.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        const QVector<uint> character = QString::fromUtf8(fields.first()).toUcs4();
        if (line.startsWith('#') || fields.size() != 2 || character.size() != 1)
            continue;
        const QByteArray code = partsCode(fields[1], readings);
        if (code.isEmpty())
            continue;
        const bool readable = readings.contains(character[0]);
        entries += fields[0] + '\t' + code + '\t' +
                   (readable ? kReadableWeight : kUnreadableWeight) + '\n';
        ++count;
    }
    if (count < kFewestEntries)
        return false;
    *yaml = RimeSchema::dictionaryHeader(name()) + entries;
    return true;
}
