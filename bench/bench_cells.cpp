#include "BenchSession.h"
// Times the cell dictionary page with 500 installed dictionaries of 10,000
// words each: building it (construct, show, first paint of the table) and
// its save (rebuild both engines' cell data, reload the service) after one
// dictionary was switched and after one file was replaced; then building it
// with 5,000 dictionaries of 1,000 words, the same words in ten times the files.
#include "CellDictionaryStore.h"
#include "KcelFile.h"
#include "app/ImeServiceClient.h"
#include "app/MainController.h"
#include "pinyin/KcdListFile.h"
#include "pinyin/SettingThesaurusWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace
{

constexpr int kCellCount = 500;
constexpr int kWordsPerCell = 10000;
constexpr int kManyCellCount = 5000;
constexpr int kRuns = 3;
constexpr double kBuildTargetMs = 500.0;
constexpr double kToggleTargetMs = 500.0;
constexpr double kReplaceTargetMs = 1000.0;
constexpr double kManyBuildTargetMs = 2000.0;

struct Syllable {
    const char *hanzi;
    const char *pinyin;
};

const Syllable kSyllables[] = {
    {"天", "tian"}, {"地", "di"},   {"人", "ren"},  {"和", "he"},    {"山", "shan"}, {"水", "shui"},
    {"风", "feng"}, {"云", "yun"},  {"花", "hua"},  {"草", "cao"},   {"书", "shu"},  {"学", "xue"},
    {"电", "dian"}, {"脑", "nao"},  {"网", "wang"}, {"络", "luo"},   {"数", "shu"},  {"据", "ju"},
    {"系", "xi"},   {"统", "tong"}, {"工", "gong"}, {"程", "cheng"}, {"医", "yi"},   {"药", "yao"},
    {"法", "fa"},   {"律", "lv"},   {"经", "jing"}, {"济", "ji"},    {"金", "jin"},  {"融", "rong"},
    {"物", "wu"},   {"理", "li"}};
constexpr int kSyllableCount = int(sizeof(kSyllables) / sizeof(kSyllables[0]));

// A distinct word of two to five syllables for every number.
KcelFile::Entry word(int n)
{
    KcelFile::Entry entry;
    int syllables = 0;
    do {
        const Syllable &s = kSyllables[n % kSyllableCount];
        entry.word += s.hanzi;
        if (!entry.pinyin.empty())
            entry.pinyin += '\'';
        entry.pinyin += s.pinyin;
        n /= kSyllableCount;
        ++syllables;
    } while (n > 0 || syllables < 2);
    return entry;
}

// One dictionary's file; version 0 is the one installed, a higher version
// has other words under the same id, as an update of it would.
bool writeCell(const QString &path, int index, int words, int version)
{
    KcelFile cell;
    const std::string number = std::to_string(index);
    cell.id = "bench-cell-" + number;
    // Every tenth name is too wide for its column, so elision is timed too.
    cell.name = index % 10 ? "细胞词库 " + number : "计算机网络与数据系统工程专业词汇 " + number;
    cell.category = "基准";
    cell.date = 1700000000 + int64_t(index) * 86400;
    const int first = (index + version * kManyCellCount) * words;
    for (int w = 0; w < words; ++w)
        cell.entries.push_back(word(first + w));
    for (int w = 0; w < 7; ++w)
        cell.examples += (w ? " " : "") + cell.entries[w].word;
    return cell.write(QFile::encodeName(path).toStdString());
}

QString cellPath(const QString &dir, int index)
{
    return dir + QStringLiteral("/cell%1.kcel").arg(index, 4, 10, QLatin1Char('0'));
}

// Writes the dictionaries into the page's directory and lists them all in
// use, as installing them one by one would have left them.
bool installCells(const QString &dir, int count, int words)
{
    if (!QDir(dir).removeRecursively() || !QDir().mkpath(dir))
        return false;
    QList<KcdListFile::Row> rows;
    for (int i = 0; i < count; ++i) {
        const QString path = cellPath(dir, i);
        if (!writeCell(path, i, words, 0))
            return false;
        KcdListFile::Row row;
        row.id = QStringLiteral("bench-cell-%1").arg(i);
        row.md5 = KcdListFile::md5Of(path);
        rows << row;
    }
    KcdListFile(dir + QLatin1Char('/') + KcdListFile::fileName()).rewrite(rows);
    return true;
}

double buildPage(std::unique_ptr<SettingThesaurusWidget> &page, int rows)
{
    QElapsedTimer timer;
    timer.start();
    page = std::make_unique<SettingThesaurusWidget>(nullptr);
    page->resize(554, 488);
    PaintWatcher watcher;
    page->table()->viewport()->installEventFilter(&watcher);
    page->show();
    while (!watcher.painted && timer.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const double ms = timer.nsecsElapsed() / 1e6;
    page->table()->viewport()->removeEventFilter(&watcher);
    if (!watcher.painted || page->table()->rowCount() != rows) {
        std::fprintf(stderr, "the page showed %d rows, painted: %d\n", page->table()->rowCount(),
                     int(watcher.painted));
        return -1;
    }
    return ms;
}

// A list as written leaves nothing to save, so the run switches one
// dictionary off and on again, leaving all 500 in use.
double rebuild(SettingThesaurusWidget &page)
{
    QWidget *cell = page.table()->cellWidget(0, 0);
    auto *box = cell ? cell->findChild<QCheckBox *>(QStringLiteral("checkbox")) : nullptr;
    if (!box)
        return -1;
    box->click();
    box->click();
    if (!page.isChanged() || !box->isChecked())
        return -1;
    QElapsedTimer timer;
    timer.start();
    page.saveThesaurusSettings();
    return timer.nsecsElapsed() / 1e6;
}

// The words of an engine's rebuilt cell data, from its pieces' first lines;
// the digests in use are returned in list order.
qint64 cellWords(const QString &userDir, QStringList &digests)
{
    QFile data(userDir + QLatin1Char('/') + CellDictionaryStore::dataFileName());
    if (!data.open(QIODevice::ReadOnly) || data.readLine() != "# kaiwo cell data 2\n")
        return -1;
    qint64 words = 0;
    digests.clear();
    while (!data.atEnd()) {
        const QString md5 = QString::fromLatin1(data.readLine().trimmed());
        QFile piece(userDir + QLatin1Char('/') + CellDictionaryStore::piecesDirName() +
                    QLatin1Char('/') + md5 + QStringLiteral(".txt"));
        if (!piece.open(QIODevice::ReadOnly))
            return -1;
        words += piece.readLine().split('\t').value(1).toLongLong();
        digests << md5;
    }
    return words;
}

} // namespace

int main(int argc, char **argv)
{
    BenchSession session;
    if (!session.isValid())
        return 1;
    QApplication app(argc, argv);
    BenchSession::styleLikeTheTool(app);
    BenchSession::prepareUserFolders();
    const QString cellDir = session.homePath(QStringLiteral(".config/KaiwoShell/usr/kcd"));
    if (!installCells(cellDir, kCellCount, kWordsPerCell)) {
        std::fprintf(stderr, "could not write the cell dictionaries to %s\n", qPrintable(cellDir));
        return 1;
    }
    MainController::self()->openSettings();
    if (!MainController::self()->InitShell()) {
        std::fprintf(stderr, "the engine shells did not start\n");
        return 1;
    }

    const QString journal = session.journalPath();
    std::unique_ptr<QProcess> service = session.startService();
    std::printf("SettingThesaurusWidget, %d cell dictionaries of %d words, all in use, then %d of "
                "%d; %d runs after 1 warm-up, platform %s, service: %s\n",
                kCellCount, kWordsPerCell, kManyCellCount,
                kCellCount * kWordsPerCell / kManyCellCount, kRuns,
                qgetenv("QT_QPA_PLATFORM").constData(),
                service ? "stand-in on the session bus" : "none (calls fail at once)");

    std::vector<double> buildMs, toggleMs, replaceMs;
    for (int run = 0; run <= kRuns; ++run) {
        std::unique_ptr<SettingThesaurusWidget> page;
        const double build = buildPage(page, kCellCount);
        if (build < 0)
            return 1;
        const double toggle = rebuild(*page);
        // A new version of the first dictionary, as an update of it would be.
        const bool replaced = writeCell(cellPath(cellDir, 0), 0, kWordsPerCell, run + 1);
        const double replace = replaced ? rebuild(*page) : -1;
        if (toggle < 0 || replace < 0) {
            std::fprintf(stderr, "the page had nothing to save\n");
            return 1;
        }
        page.reset();
        QCoreApplication::processEvents();
        if (run == 0)
            continue;
        buildMs.push_back(build);
        toggleMs.push_back(toggle);
        replaceMs.push_back(replace);
    }

    // Both engines hold every word, the first dictionary's from its last version.
    const qint64 expected = qint64(kCellCount) * kWordsPerCell;
    QSettings list(cellDir + QLatin1Char('/') + KcdListFile::fileName(), QSettings::IniFormat);
    const QString firstMd5 = KcdListFile::md5Of(cellPath(cellDir, 0));
    for (const QString &userDir :
         {MainController::localPcPyDirPath(), MainController::localPcWbDirPath()}) {
        QStringList digests;
        const qint64 words = cellWords(userDir, digests);
        if (words != expected || digests.value(0) != firstMd5 ||
            list.value(QStringLiteral("kcd0/md5")).toString() != firstMd5 ||
            list.value(QStringLiteral("kcdlist/kcdNum")).toInt() != kCellCount) {
            std::fprintf(stderr, "after saving: %lld words in %s, kcdNum %s, first digest %s\n",
                         static_cast<long long>(words), qPrintable(userDir),
                         qPrintable(list.value(QStringLiteral("kcdlist/kcdNum")).toString()),
                         qPrintable(digests.value(0)));
            return 1;
        }
    }
    if (service) {
        QFile log(journal);
        log.open(QIODevice::ReadOnly);
        const QByteArray calls = log.readAll();
        if (calls.count("ReloadDictionary\t1\n") != 2 * (kRuns + 1)) {
            std::fprintf(stderr, "the service did not see every reload:\n%s", calls.constData());
            return 1;
        }
        service->terminate();
        service->waitForFinished(3000);
    }

    // The same words in ten times the files: the listing follows the files.
    if (!installCells(cellDir, kManyCellCount, kCellCount * kWordsPerCell / kManyCellCount)) {
        std::fprintf(stderr, "could not write the cell dictionaries to %s\n", qPrintable(cellDir));
        return 1;
    }
    std::vector<double> manyBuildMs;
    for (int run = 0; run <= kRuns; ++run) {
        std::unique_ptr<SettingThesaurusWidget> page;
        const double build = buildPage(page, kManyCellCount);
        if (build < 0)
            return 1;
        page.reset();
        QCoreApplication::processEvents();
        if (run > 0)
            manyBuildMs.push_back(build);
    }

    BenchSession::report("page build: construct, show, first paint", buildMs, kBuildTargetMs);
    BenchSession::report("OK after switching one dictionary: saveThesaurusSettings, both engines, "
                         "ReloadDictionary 1",
                         toggleMs, kToggleTargetMs);
    BenchSession::report("OK after replacing one dictionary's file", replaceMs, kReplaceTargetMs);
    BenchSession::report("page build with 5,000 dictionaries of 1,000 words", manyBuildMs,
                         kManyBuildTargetMs);
    return 0;
}
