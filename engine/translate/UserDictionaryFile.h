#pragma once

#include <QByteArray>
#include <QString>

// The text format of an exported user dictionary, which import reads back:
//
//   # Kaiwo user dictionary 1 <kind>
//   <word> TAB <code> TAB <uses>
//   ...
//   # end <number of entries>
//
// UTF-8, LF line ends; <code> is the spelling as Rime stores it (pinyin
// syllables separated by blanks), <uses> a whole number. The closing line
// makes a truncated file recognisable, the kind a file of another
// dictionary.
class UserDictionaryFile
{
public:
    // Rime's own export (word TAB code TAB uses lines, "#" comments) in our
    // format; false when it holds anything else.
    static bool fromRime(const QByteArray &rime, const QByteArray &kind, QByteArray *ours);
    // Our format back in Rime's; false, with the reason, for a file of
    // another kind, empty, binary, truncated or otherwise damaged.
    static bool toRime(const QByteArray &ours, const QByteArray &kind, QByteArray *rime,
                       QString *error);
    // Files larger than this are refused unread.
    static qint64 maxSize() { return 256 * 1024 * 1024; }
};
