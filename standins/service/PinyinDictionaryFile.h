#pragma once

#include "UserDictionary.h"

#include <QByteArray>
#include <QString>

// The compiled form in which the service keeps its Chinese (pinyin) user
// dictionary. All numbers little-endian:
//
//   8 bytes  magic "KWPYDICT"
//   u16      version, 1
//   u32      number of entries
//   u16      CRC-16 (qChecksum, ISO 3309) of the entry bytes that follow
//   entries: u16 length + UTF-8 word, u16 length + UTF-8 pinyin, u32 frequency
//
// A reader refuses anything that is not exactly such a file.
class PinyinDictionaryFile
{
public:
    static const char kMagic[9];
    static constexpr quint16 kVersion = 1;

    static QByteArray encode(const UserDictionary &dictionary);
    // False, leaving dictionary untouched, unless bytes are a whole file.
    static bool decode(const QByteArray &bytes, UserDictionary *dictionary);

    static bool read(const QString &path, UserDictionary *dictionary);
    static bool write(const QString &path, const UserDictionary &dictionary);
};
