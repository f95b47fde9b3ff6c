#include "BenchSession.h"
// Times the cell dictionary page with 500 installed dictionaries of 10,000
// words each: building it (construct, show, first paint of the table) and
// its save (rebuild both engines' cell data, reload the service).
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
constexpr int kRuns = 3;
constexpr double kBuildTargetMs = 1000.0;

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

// Writes the dictionaries into the page's directory and lists them all in
// use, as installing them one by one would have left them.
bool installCells(const QString &dir)
{
    if (!QDir().mkpath(dir))
        return false;
    QList<KcdListFile::Row> rows;
    for (int i = 0; i < kCellCount; ++i) {
        KcelFile cell;
        const std::string number = std::to_string(i);
        cell.id = "bench-cell-" + number;
        // Every tenth name is too wide for its column, so elision is timed too.
        cell.name = i % 10 ? "细胞词库 " + number : "计算机网络与数据系统工程专业词汇 " + number;
        cell.category = "基准";
        cell.date = 1700000000 + int64_t(i) * 86400;
        for (int w = 0; w < kWordsPerCell; ++w)
            cell.entries.push_back(word(i * kWordsPerCell + w));
        for (int w = 0; w < 7; ++w)
            cell.examples += (w ? " " : "") + cell.entries[w].word;
        const QString path = dir + QStringLiteral("/cell%1.kcel").arg(i, 3, 10, QLatin1Char('0'));
        if (!cell.write(QFile::encodeName(path).toStdString()))
            return false;
        KcdListFile::Row row;
        row.id = QString::fromStdString(cell.id);
        row.name = QString::fromStdString(cell.name);
        row.type = QString::fromStdString(cell.category);
        row.md5 = KcdListFile::md5Of(path);
        row.used = true;
        rows << row;
    }
    KcdListFile(dir + QLatin1Char('/') + KcdListFile::fileName()).rewrite(rows);
    return true;
}

double buildPage(std::unique_ptr<SettingThesaurusWidget> &page)
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
    if (!watcher.painted || page->table()->rowCount() != kCellCount) {
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

// Data lines in an engine's rebuilt cell data: one per word in use.
qint64 cellDataLines(const QString &userDir)
{
    QFile data(userDir + QLatin1Char('/') + QStringLiteral("kaiwo_cells.txt"));
    if (!data.open(QIODevice::ReadOnly))
        return -1;
    return data.readAll().count('\n') - 1;
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
    if (!installCells(cellDir)) {
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
    std::printf("SettingThesaurusWidget, %d cell dictionaries of %d words, all in use, %d runs "
                "after 1 warm-up, platform %s, service: %s\n",
                kCellCount, kWordsPerCell, kRuns, qgetenv("QT_QPA_PLATFORM").constData(),
                service ? "stand-in on the session bus" : "none (calls fail at once)");

    std::vector<double> buildMs, rebuildMs;
    for (int run = 0; run <= kRuns; ++run) {
        std::unique_ptr<SettingThesaurusWidget> page;
        const double build = buildPage(page);
        if (build < 0)
            return 1;
        const double save = rebuild(*page);
        if (save < 0) {
            std::fprintf(stderr, "the page had nothing to save\n");
            return 1;
        }
        page.reset();
        QCoreApplication::processEvents();
        if (run == 0)
            continue;
        buildMs.push_back(build);
        rebuildMs.push_back(save);
    }

    const qint64 expected = qint64(kCellCount) * kWordsPerCell;
    const qint64 pinyin = cellDataLines(MainController::localPcPyDirPath());
    const qint64 wubi = cellDataLines(MainController::localPcWbDirPath());
    QSettings list(cellDir + QLatin1Char('/') + KcdListFile::fileName(), QSettings::IniFormat);
    if (pinyin != expected || wubi != expected ||
        list.value(QStringLiteral("kcdlist/kcdNum")).toInt() != kCellCount) {
        std::fprintf(stderr, "after saving: %lld pinyin and %lld Wubi words, kcdNum %s\n",
                     static_cast<long long>(pinyin), static_cast<long long>(wubi),
                     qPrintable(list.value(QStringLiteral("kcdlist/kcdNum")).toString()));
        return 1;
    }
    if (service) {
        QFile log(journal);
        log.open(QIODevice::ReadOnly);
        const QByteArray calls = log.readAll();
        if (calls.count("ReloadDictionary\t1\n") != kRuns + 1) {
            std::fprintf(stderr, "the service did not see every reload:\n%s", calls.constData());
            return 1;
        }
        service->terminate();
        service->waitForFinished(3000);
    }

    BenchSession::report("page build: construct, show, first paint", buildMs, kBuildTargetMs);
    BenchSession::report("rebuild: saveThesaurusSettings, both engines, ReloadDictionary 1",
                         rebuildMs, 0);
    return 0;
}
