#include "TextDictionaryFile.h"

#include <QTextCodec>

#include <algorithm>

QString TextDictionaryFile::kindName(Kind kind)
{
    switch (kind) {
    case Kind::Pinyin:
        return QStringLiteral("pinyin");
    case Kind::English:
        return QStringLiteral("english");
    case Kind::WebEmail:
        return QStringLiteral("web-email");
    case Kind::Wubi:
        return QStringLiteral("wubi");
    case Kind::WubiPinyin:
        return QStringLiteral("wubi-pinyin");
    case Kind::WubiEnglish:
        return QStringLiteral("wubi-english");
    case Kind::WubiWebEmail:
        return QStringLiteral("wubi-web-email");
    }
    return QString();
}

QByteArray TextDictionaryFile::header(Kind kind)
{
    return "KaiwoUserDictionary 1 " + kindName(kind).toLatin1();
}

QByteArray TextDictionaryFile::encode(const UserDictionary &dictionary, Kind kind)
{
    QByteArray bytes = header(kind) + '\n';
    for (const UserDictionary::Entry &entry : dictionary.entries())
        bytes += entry.code.toUtf8() + '\t' + entry.word.toUtf8() + '\t' +
                 QByteArray::number(entry.frequency) + '\n';
    return bytes;
}

bool TextDictionaryFile::decode(const QByteArray &bytes, Kind kind, UserDictionary *dictionary)
{
    if (bytes.isEmpty() || bytes.contains('\0'))
        return false;
    QTextCodec::ConverterState state;
    const QString text =
        QTextCodec::codecForMib(106)->toUnicode(bytes.constData(), bytes.size(), &state);
    if (state.invalidChars != 0 || state.remainingChars != 0)
        return false;

    QVector<QStringRef> lines = text.splitRef(QLatin1Char('\n'));
    for (QStringRef &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    if (lines.first() != QLatin1String(header(kind)))
        return false;

    UserDictionary read;
    for (int i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QVector<QStringRef> fields = lines[i].split(QLatin1Char('\t'));
        if (fields.size() != 3)
            return false;
        const QString code = fields[0].toString();
        const QString word = fields[1].toString();
        bool isNumber = false;
        const uint frequency = fields[2].toUInt(&isNumber);
        // toUInt also takes signs and spaces; a frequency is digits only.
        const bool digitsOnly = std::all_of(fields[2].cbegin(), fields[2].cend(), [](QChar c) {
            return c >= QLatin1Char('0') && c <= QLatin1Char('9');
        });
        if (!UserDictionary::isValidText(code) || !UserDictionary::isValidText(word) || !isNumber ||
            !digitsOnly)
            return false;
        read.add({code, word, frequency});
    }
    *dictionary = read;
    return true;
}

bool TextDictionaryFile::read(const QString &path, Kind kind, UserDictionary *dictionary)
{
    QByteArray bytes;
    return UserDictionary::readFile(path, &bytes) && decode(bytes, kind, dictionary);
}

bool TextDictionaryFile::write(const QString &path, const UserDictionary &dictionary, Kind kind)
{
    return UserDictionary::writeFileAtomically(path, encode(dictionary, kind));
}
