#include "PinyinDictionaryFile.h"

#include <QTextCodec>
#include <QtEndian>

const char PinyinDictionaryFile::kMagic[9] = "KWPYDICT";

namespace
{

constexpr int kMagicSize = 8;
constexpr int kHeaderSize = kMagicSize + 2 + 4 + 2;
// Two one-byte texts with their lengths, and the frequency.
constexpr int kSmallestEntrySize = 2 + 1 + 2 + 1 + 4;

template <typename T> void appendNumber(QByteArray &bytes, T value)
{
    char buffer[sizeof(T)];
    qToLittleEndian(value, buffer);
    bytes.append(buffer, int(sizeof(T)));
}

void appendText(QByteArray &bytes, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    appendNumber(bytes, quint16(utf8.size()));
    bytes += utf8;
}

// Reads forward through bytes; every read fails once the data runs out.
class Cursor
{
public:
    explicit Cursor(const QByteArray &bytes, int position)
        : mData(bytes.constData()), mSize(bytes.size()), mPosition(position)
    {
    }

    bool atEnd() const { return mPosition == mSize; }

    template <typename T> bool readNumber(T *value)
    {
        if (mSize - mPosition < int(sizeof(T)))
            return false;
        *value = qFromLittleEndian<T>(mData + mPosition);
        mPosition += int(sizeof(T));
        return true;
    }

    bool readText(QString *text)
    {
        quint16 length = 0;
        if (!readNumber(&length) || mSize - mPosition < length)
            return false;
        QTextCodec::ConverterState state;
        *text = QTextCodec::codecForMib(106)->toUnicode(mData + mPosition, length, &state);
        mPosition += length;
        return state.invalidChars == 0 && state.remainingChars == 0 &&
               UserDictionary::isValidText(*text);
    }

private:
    const char *mData;
    int mSize;
    int mPosition;
};

} // namespace

QByteArray PinyinDictionaryFile::encode(const UserDictionary &dictionary)
{
    QByteArray body;
    for (const UserDictionary::Entry &entry : dictionary.entries()) {
        appendText(body, entry.word);
        appendText(body, entry.code);
        appendNumber(body, entry.frequency);
    }
    QByteArray bytes(kMagic, kMagicSize);
    appendNumber(bytes, kVersion);
    appendNumber(bytes, quint32(dictionary.size()));
    appendNumber(bytes, quint16(qChecksum(body.constData(), uint(body.size()))));
    return bytes + body;
}

bool PinyinDictionaryFile::decode(const QByteArray &bytes, UserDictionary *dictionary)
{
    if (bytes.size() < kHeaderSize || !bytes.startsWith(QByteArray(kMagic, kMagicSize)))
        return false;
    Cursor header(bytes, kMagicSize);
    quint16 version = 0;
    quint32 count = 0;
    quint16 checksum = 0;
    header.readNumber(&version);
    header.readNumber(&count);
    header.readNumber(&checksum);
    const int bodySize = bytes.size() - kHeaderSize;
    if (version != kVersion || count > quint32(bodySize / kSmallestEntrySize) ||
        qChecksum(bytes.constData() + kHeaderSize, uint(bodySize)) != checksum)
        return false;

    Cursor body(bytes, kHeaderSize);
    QVector<UserDictionary::Entry> entries;
    entries.reserve(int(count));
    for (quint32 i = 0; i < count; ++i) {
        UserDictionary::Entry entry;
        if (!body.readText(&entry.word) || !body.readText(&entry.code) ||
            !body.readNumber(&entry.frequency))
            return false;
        entries.append(entry);
    }
    if (!body.atEnd())
        return false;
    *dictionary = UserDictionary(entries);
    return true;
}

bool PinyinDictionaryFile::read(const QString &path, UserDictionary *dictionary)
{
    QByteArray bytes;
    return UserDictionary::readFile(path, &bytes) && decode(bytes, dictionary);
}

bool PinyinDictionaryFile::write(const QString &path, const UserDictionary &dictionary)
{
    return UserDictionary::writeFileAtomically(path, encode(dictionary));
}
