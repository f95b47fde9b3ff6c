#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The line grammar the engine's small pinyin files share: "[Section]"
// headers and "key=value" entries, "#" comments, LF or CRLF line ends.
class SectionKeyFile
{
public:
    // Calls found with the key of every entry inside the section whose
    // header equals section exactly; the value is never looked at. False
    // when path is not a readable regular file. Memory stays bounded for
    // files of any size or line length.
    static bool readKeys(const QString &path, const QByteArray &section,
                         const std::function<void(const QByteArray &key)> &found);
};
