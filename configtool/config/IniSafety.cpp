#include "IniSafety.h"
#include "config/AtomicFile.h"

#include <QFile>

namespace
{

// QSettings' INI reader (Qt 5.15, QConfFileSettingsPrivate::readIniLine and
// QSettingsPrivate::iniUnescapedStringList) followed step by step, keeping
// of each value only what decides whether it is read as an object.

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isSpecial(char c)
{
    return c == '=' || c == '\n' || c == '\r' || c == '\\' || c == '"' || c == ';';
}

// One logical line from dataPos: a key line, a section header or nothing
// (false at the end). Comment lines are skipped; quotes and backslashes
// may carry a line over line ends.
bool readLine(const QByteArray &data, int &dataPos, int &lineStart, int &lineLen, int &equalsPos)
{
    const int dataLen = data.size();
    bool inQuotes = false;
    equalsPos = -1;
    lineStart = dataPos;
    while (lineStart < dataLen && isSpace(data.at(lineStart)))
        ++lineStart;
    int i = lineStart;
    while (i < dataLen) {
        while (i < dataLen && !isSpecial(data.at(i)))
            ++i;
        if (i == dataLen)
            break;
        const char ch = data.at(i++);
        if (ch == '=') {
            if (!inQuotes && equalsPos == -1)
                equalsPos = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == lineStart + 1) {
                ++lineStart;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (ch == '\\') {
            if (i < dataLen) {
                const char escaped = data.at(i++);
                if (i < dataLen) {
                    const char next = data.at(i);
                    if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n'))
                        ++i;
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else { // ';'
            if (i == lineStart + 1) {
                while (i < dataLen && data.at(i) != '\n' && data.at(i) != '\r')
                    ++i;
                while (i < dataLen && isSpace(data.at(i)))
                    ++i;
                lineStart = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    dataPos = i;
    lineLen = i - lineStart;
    return lineLen > 0;
}

bool isObject(const QString &text)
{
    return text.startsWith(QLatin1String("@Variant(")) ||
           text.startsWith(QLatin1String("@DateTime("));
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Decodes the value in [from, to) as QSettings does: escapes, quotes and
// unquoted commas between list elements. Bytes above 127 stand for
// themselves as U+FFFD: no codec turns them into ASCII, though the UTF-8
// one drops a leading byte-order mark.
bool valueHoldsObject(const QByteArray &str, int from, int to)
{
    static const char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                       {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                       {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    QString element;
    bool found = false;
    bool inQuotes = false;
    int i = from;
    const auto skipSpaces = [&] {
        while (i < to && (str.at(i) == ' ' || str.at(i) == '\t'))
            ++i;
    };
    skipSpaces();
    while (i < to) {
        const char ch = str.at(i);
        if (ch == '\\') {
            if (++i >= to)
                break;
            const char escaped = str.at(i++);
            bool simple = false;
            for (const auto &escape : kEscapes) {
                if (escaped == escape[0]) {
                    element += QLatin1Char(escape[1]);
                    simple = true;
                    break;
                }
            }
            if (simple)
                continue;
            if (escaped == 'x') {
                if (i < to && hexValue(str.at(i)) >= 0) {
                    unsigned value = 0;
                    while (i < to && hexValue(str.at(i)) >= 0)
                        value = (value << 4) + unsigned(hexValue(str.at(i++)));
                    element += QChar(ushort(value & 0xffff));
                }
            } else if (escaped >= '0' && escaped <= '7') {
                unsigned value = unsigned(escaped - '0');
                while (i < to && str.at(i) >= '0' && str.at(i) <= '7')
                    value = (value << 3) + unsigned(str.at(i++) - '0');
                element += QChar(ushort(value & 0xffff));
            } else if (escaped == '\n' || escaped == '\r') {
                if (i < to && (str.at(i) == '\n' || str.at(i) == '\r') && str.at(i) != escaped)
                    ++i;
            }
            // Any other escaped character is dropped with its backslash.
        } else if (ch == '"') {
            ++i;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipSpaces();
        } else if (ch == ',' && !inQuotes) {
            ++i;
            found = found || isObject(element);
            element.clear();
            skipSpaces();
        } else {
            int j = i + 1;
            while (j < to && str.at(j) != '\\' && str.at(j) != '"' && str.at(j) != ',')
                ++j;
            // Each run goes through the codec on its own, and the UTF-8
            // codec eats a byte-order mark at the start of its input.
            if (j - i >= 3 && str.mid(i, 3) == "\xef\xbb\xbf")
                i += 3;
            for (; i < j; ++i) {
                const uchar byte = uchar(str.at(i));
                element += byte < 0x80 ? QChar(byte) : QChar(0xFFFD);
            }
        }
    }
    return found || isObject(element);
}

bool readAll(const QString &path, QByteArray *bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    *bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
}

} // namespace

namespace IniSafety
{

QVector<QPair<int, int>> serialisedValueLines(const QByteArray &bytes)
{
    QVector<QPair<int, int>> lines;
    int dataPos = bytes.startsWith("\xef\xbb\xbf") ? 3 : 0;
    int lineStart = 0;
    int lineLen = 0;
    int equalsPos = -1;
    while (readLine(bytes, dataPos, lineStart, lineLen, equalsPos)) {
        if (bytes.at(lineStart) == '[' || equalsPos < 0)
            continue;
        if (valueHoldsObject(bytes, equalsPos + 1, lineStart + lineLen))
            lines.append({lineStart, lineStart + lineLen});
    }
    return lines;
}

bool holdsSerialisedValues(const QString &path)
{
    QByteArray bytes;
    return readAll(path, &bytes) && !serialisedValueLines(bytes).isEmpty();
}

bool removeSerialisedValues(QByteArray *bytes)
{
    // Taking a line out could in theory join its neighbours into another.
    for (int round = 0; round < 8; ++round) {
        const QVector<QPair<int, int>> lines = serialisedValueLines(*bytes);
        if (lines.isEmpty())
            return true;
        QByteArray kept;
        int from = 0;
        for (const QPair<int, int> &line : lines) {
            kept += bytes->mid(from, line.first - from);
            from = line.second;
        }
        *bytes = kept + bytes->mid(from);
    }
    return false;
}

bool makeSafe(const QString &path)
{
    QByteArray bytes;
    if (!readAll(path, &bytes) || serialisedValueLines(bytes).isEmpty())
        return true;
    return removeSerialisedValues(&bytes) &&
           writeFileAtomically(QFile::encodeName(path).constData(), bytes) ==
               AtomicWriteResult::Written;
}

} // namespace IniSafety
