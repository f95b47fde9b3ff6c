#include "SectionKeyFile.h"

#include <QFile>
#include <QFileInfo>

namespace
{

// Longer than any header or key the files use: a line is judged by this
// much of its start, and a longer remainder only ever makes it unknown.
constexpr qint64 kKeptPrefix = 256;

void judgeLine(const QByteArray &line, bool complete, const QByteArray &section, bool *inside,
               const std::function<void(const QByteArray &)> &found)
{
    if (line.isEmpty() || line.startsWith('#'))
        return;
    if (line.startsWith('[')) {
        *inside = complete && line == section;
        return;
    }
    const int equals = line.indexOf('=');
    if (equals < 0 || !*inside)
        return;
    found(line.left(equals));
}

} // namespace

bool SectionKeyFile::readKeys(const QString &path, const QByteArray &section,
                              const std::function<void(const QByteArray &key)> &found)
{
    // A directory or device would open but is no file of ours.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;

    bool inside = false;
    while (!file.atEnd()) {
        QByteArray line = file.readLine(kKeptPrefix + 1);
        if (line.isEmpty())
            break;
        bool complete = true;
        if (line.endsWith('\n')) {
            line.chop(1);
            if (line.endsWith('\r'))
                line.chop(1);
        } else if (!file.atEnd()) {
            // An overlong line: skip its rest, judging only its start.
            complete = false;
            QByteArray rest;
            do {
                rest = file.readLine(64 * 1024);
            } while (!rest.isEmpty() && !rest.endsWith('\n'));
        }
        judgeLine(line, complete, section, &inside, found);
    }
    return true;
}
