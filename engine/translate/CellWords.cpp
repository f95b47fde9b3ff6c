#include "CellWords.h"
#include "CellDictionaryStore.h"
#include "config/AtomicFile.h"

#include <QFile>
#include <QVector>

namespace
{

const QByteArray kListHeader = CellDictionaryStore::dataHeader();
const QByteArray kPieceHeader = QByteArray(CellDictionaryStore::pieceHeader()) + '\t';
const int kMaxWordLength = 32;

double weight(const QByteArray &text)
{
    if (text.isEmpty())
        return 100; // Rime's own default for a reading without weight
    bool ok = false;
    const double value = (text.endsWith('%') ? text.chopped(1) : text).toDouble(&ok);
    return ok ? value : 0;
}

bool isPinyinLetter(char c)
{
    return (c >= 'a' && c <= 'z');
}

// A piece, checked against the byte count of its header so a cut file is
// noticed; its "word<TAB>pinyin<TAB>id" lines.
bool readPiece(const QString &path, QList<QByteArray> *lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.readLine(8192);
    if (!header.startsWith(kPieceHeader) || !header.endsWith('\n'))
        return false;
    const QList<QByteArray> fields = header.mid(kPieceHeader.size()).split('\t');
    bool ok = false;
    const qint64 bytes = fields.value(1).toLongLong(&ok);
    if (!ok || file.size() != header.size() + bytes)
        return false;
    *lines = file.readAll().split('\n');
    return true;
}

} // namespace

QByteArray CellWords::dictionary(const QByteArray &entries)
{
    // Rime fails on a dictionary of no words, and on some of one: two words
    // under codes nobody types keep it building whatever the cells hold.
    return "# The words of the checked cell dictionaries, made by the input method\n"
           "# from the engine shell's cell data.\n---\nname: " +
           QByteArray(dictionaryName()) +
           "\nversion: \"1\"\nsort: by_weight\n...\n〇\tzzkaiwoq\n〇\tzzkaiwox\n" + entries;
}

QHash<uint, QByteArray> CellWords::readCharacterReadings(const QString &dictionaryFile)
{
    QHash<uint, QByteArray> readings;
    QHash<uint, double> best;
    QFile file(dictionaryFile);
    if (!file.open(QIODevice::ReadOnly))
        return readings;
    bool body = false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        if (!body) {
            body = line == "...";
            continue;
        }
        const QList<QByteArray> fields = line.split('\t');
        const QString text = QString::fromUtf8(fields.first());
        const QVector<uint> chars = text.toUcs4();
        if (fields.size() < 2 || chars.size() != 1 || fields[1].contains(' '))
            continue;
        const double w = weight(fields.value(2));
        if (!readings.contains(chars[0]) || w > best.value(chars[0])) {
            readings.insert(chars[0], fields[1]);
            best.insert(chars[0], w);
        }
    }
    return readings;
}

QByteArray CellWords::code(const QString &word, const QByteArray &pinyin,
                           const QHash<uint, QByteArray> &readings)
{
    const QVector<uint> chars = word.toUcs4();
    if (chars.isEmpty() || chars.size() > kMaxWordLength)
        return {};
    QByteArray given = pinyin.toLower();
    given.replace('\'', ' ');
    given = given.simplified();
    const QList<QByteArray> syllables = given.split(' ');
    const bool usable = !given.isEmpty() && syllables.size() == chars.size() &&
                        std::all_of(given.begin(), given.end(),
                                    [](char c) { return isPinyinLetter(c) || c == ' '; });
    if (usable)
        return given;
    QByteArray derived;
    for (const uint c : chars) {
        const QByteArray reading = readings.value(c);
        if (reading.isEmpty())
            return {};
        derived += (derived.isEmpty() ? "" : " ") + reading;
    }
    return derived;
}

CellWords::Outcome CellWords::build(const QString &shellDir, const QString &rimeDir,
                                    const QString &readingsFile)
{
    Outcome outcome;
    QFile list(shellDir + QLatin1String(CellDictionaryStore::dataFileName()));
    QList<QByteArray> digests;
    if (list.open(QIODevice::ReadOnly)) {
        if (list.size() > 1024 * 1024 || list.readLine().trimmed() != kListHeader) {
            outcome.problem = list.fileName() + QStringLiteral(": not the shell's cell data");
            return outcome;
        }
        for (const QByteArray &line : list.readAll().split('\n')) {
            if (!line.isEmpty())
                digests << line;
        }
    } // No list: no cell dictionary is checked.

    const QHash<uint, QByteArray> readings = readCharacterReadings(readingsFile);
    QByteArray entries;
    const QString pieces =
        shellDir + QLatin1String(CellDictionaryStore::piecesDirName()) + QLatin1Char('/');
    for (const QByteArray &digest : digests) {
        QList<QByteArray> lines;
        if (digest.size() != 32 ||
            !readPiece(pieces + digest + CellDictionaryStore::pieceSuffix(), &lines)) {
            outcome.problem = pieces + digest + QStringLiteral(": missing or cut short");
            return outcome;
        }
        for (const QByteArray &line : lines) {
            const QList<QByteArray> fields = line.split('\t');
            const QString word = QString::fromUtf8(fields.first());
            const QByteArray code =
                fields.size() >= 2 ? CellWords::code(word, fields[1], readings) : QByteArray();
            if (code.isEmpty())
                continue;
            entries += fields.first() + '\t' + code + '\n';
            ++outcome.words;
        }
    }
    const QString target = rimeDir + QLatin1String(dictionaryName()) + ".dict.yaml";
    const QByteArray text = dictionary(entries);
    QFile current(target);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == text)
        return outcome;
    outcome.changed = writeFileAtomically(QFile::encodeName(target).constData(), text) ==
                      AtomicWriteResult::Written;
    if (!outcome.changed)
        outcome.problem = target + QStringLiteral(": cannot be written");
    return outcome;
}
