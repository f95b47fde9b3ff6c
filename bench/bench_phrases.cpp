#include "BenchSession.h"
// Times the custom-phrase manager with 10,000 phrases in both engine shells:
// opening it (construct, show, first paint of the table) and its "确定"
// (save into both engines, regenerate the text file, reload the service).
#include "app/ImeServiceClient.h"
#include "app/MainController.h"
#include "phrase/DiyPhraseDialog.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace
{

constexpr int kPhraseCount = 10000;
constexpr int kRuns = 7;
constexpr double kTargetMs = 500.0;

std::wstring abbreviation(int i)
{
    std::wstring abbr;
    do {
        abbr.push_back(wchar_t(L'a' + i % 26));
        i /= 26;
    } while (i > 0);
    return abbr;
}

bool fillShells()
{
    s_inputOutputDicData add;
    add.inputPath = MainController::localPath().toStdWString();
    for (int i = 0; i < kPhraseCount; ++i) {
        // Every seventh phrase is switched off, so both check states occur.
        const int position = i % 9 + 1;
        add.phraseList.push_back({abbreviation(i), L"自定义短语 " + std::to_wstring(i),
                                  int16_t(i % 7 == 0 ? -position : position)});
    }
    for (ShellWrapperInterface *shell :
         {MainController::ShellWrapper(), MainController::WuBiShellWrapper()}) {
        s_inputOutputDicData copy = add;
        if (!shell->DicOperation(ed_userPhrase, ec_addUserPhrase, copy))
            return false;
    }
    return true;
}

int storedPhrases(ShellWrapperInterface *shell)
{
    s_inputOutputDicData data;
    data.inputPath = MainController::localPath().toStdWString();
    shell->DicOperation(ed_userPhrase, ec_getUserPhrase, data);
    return int(data.phraseList.size());
}

double openDialog(std::unique_ptr<DiyPhraseDialog> &dialog)
{
    QElapsedTimer timer;
    timer.start();
    dialog = std::make_unique<DiyPhraseDialog>(nullptr);
    auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    PaintWatcher watcher;
    table->viewport()->installEventFilter(&watcher);
    dialog->show();
    while (!watcher.painted && timer.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    const double ms = timer.nsecsElapsed() / 1e6;
    table->viewport()->removeEventFilter(&watcher);
    if (!watcher.painted || table->rowCount() != kPhraseCount) {
        std::fprintf(stderr, "the dialog showed %d rows, painted: %d\n", table->rowCount(),
                     int(watcher.painted));
        return -1;
    }
    return ms;
}

double pressOk(DiyPhraseDialog &dialog)
{
    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("ok_pushButton"));
    QElapsedTimer timer;
    timer.start();
    ok->click();
    return timer.nsecsElapsed() / 1e6;
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
    MainController::self()->openSettings();
    if (!MainController::self()->InitShell() || !fillShells()) {
        std::fprintf(stderr, "the engine shells did not take the phrases\n");
        return 1;
    }

    const QString journal = session.journalPath();
    std::unique_ptr<QProcess> service = session.startService();
    std::printf("DiyPhraseDialog, %d custom phrases in both shells, %d runs after 1 warm-up, "
                "platform %s, service: %s\n",
                kPhraseCount, kRuns, qgetenv("QT_QPA_PLATFORM").constData(),
                service ? "stand-in on the session bus" : "none (calls fail at once)");

    std::vector<double> openMs, okMs;
    for (int run = 0; run <= kRuns; ++run) {
        std::unique_ptr<DiyPhraseDialog> dialog;
        const double open = openDialog(dialog);
        if (open < 0)
            return 1;
        const double ok = pressOk(*dialog);
        dialog.reset();
        QCoreApplication::processEvents();
        if (run == 0)
            continue;
        openMs.push_back(open);
        okMs.push_back(ok);
    }

    const int pinyin = storedPhrases(MainController::ShellWrapper());
    const int wubi = storedPhrases(MainController::WuBiShellWrapper());
    if (pinyin != kPhraseCount || wubi != kPhraseCount) {
        std::fprintf(stderr, "after saving: %d pinyin and %d Wubi phrases\n", pinyin, wubi);
        return 1;
    }
    if (service) {
        QFile log(journal);
        log.open(QIODevice::ReadOnly);
        const QByteArray calls = log.readAll();
        if (calls.count("ReloadDictionary\t7\n") != kRuns + 1 ||
            calls.count("ReloadConfig") != kRuns + 1) {
            std::fprintf(stderr, "the service did not see every reload:\n%s", calls.constData());
            return 1;
        }
        service->terminate();
        service->waitForFinished(3000);
    }

    BenchSession::report("open: construct, show, first paint", openMs, kTargetMs);
    BenchSession::report("\"确定\": both engines, text file, reloads", okMs, kTargetMs);
    return 0;
}
