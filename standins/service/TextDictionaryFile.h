#pragma once

#include "UserDictionary.h"

#include <QByteArray>
#include <QString>

// The plain-text dictionary format, used for the service's text dictionaries
// and for every import and backup file. UTF-8, lines ending in "\n":
//
//   KaiwoUserDictionary 1 <kind>
//   <code>\t<word>\t<frequency>
//   ...
//
// The first line names the version and the kind, so a file of one dictionary
// is refused by another. Frequencies are unsigned decimal 32-bit numbers;
// entries are written ordered by code, then word. A reader accepts "\r\n"
// and blank lines, and refuses the whole file for any other fault.
class TextDictionaryFile
{
public:
    enum class Kind { Pinyin, English, WebEmail, Wubi, WubiPinyin, WubiEnglish, WubiWebEmail };

    static QString kindName(Kind kind);
    static QByteArray header(Kind kind);

    static QByteArray encode(const UserDictionary &dictionary, Kind kind);
    // False, leaving dictionary untouched, unless bytes are a file of kind.
    static bool decode(const QByteArray &bytes, Kind kind, UserDictionary *dictionary);

    static bool read(const QString &path, Kind kind, UserDictionary *dictionary);
    static bool write(const QString &path, const UserDictionary &dictionary, Kind kind);
};
