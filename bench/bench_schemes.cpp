#include "BenchSession.h"
// Times the double-pinyin schemes at scale: loading the scheme list with
// 1,000 per-user scheme files beside the built-in ones, opening the scheme
// selection dialog on that list (construct, show, first frame of the
// keyboard), and the INI document parsing a 1 MB scheme file.
#include "config/IniParser.h"
#include "shuangpin/ShuangPinController.h"
#include "shuangpin/ShuangPinSettingDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QQuickWidget>

#include <cstdio>
#include <memory>
#include <vector>

namespace
{

constexpr int kSchemeCount = 1000;
constexpr int kRuns = 7;
constexpr double kListTargetMs = 100.0;
constexpr int kBigFileBytes = 1 << 20;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Copies of the built-in schemes under titles of their own.
bool writeUserSchemes()
{
    const QDir system(ShuangPinController::ShuangPinInstallPath());
    const QStringList builtIns = system.entryList({QStringLiteral("*.ini")}, QDir::Files);
    if (builtIns.isEmpty() || !QDir().mkpath(ShuangPinController::localShuangPinPath()))
        return false;
    for (int i = 0; i < kSchemeCount; ++i) {
        QFile source(system.filePath(builtIns.at(i % builtIns.size())));
        if (!source.open(QIODevice::ReadOnly))
            return false;
        QByteArray scheme = source.readAll();
        const int title = scheme.indexOf("title=");
        scheme.insert(scheme.indexOf('\n', title), " " + QByteArray::number(i));
        if (!writeFile(ShuangPinController::localShuangPinPath() + QString::number(100000 + i) +
                           QStringLiteral(".ini"),
                       scheme))
            return false;
    }
    return true;
}

// QSettings keeps parsed files while their time stamps stay put; a new time
// stamp makes every run read and parse all files, as the first load does.
void touchUserSchemes(int run)
{
    const QDir dir(ShuangPinController::localShuangPinPath());
    const QDateTime stamp = QDateTime::currentDateTime().addSecs(-100 * (run + 1));
    for (const QString &name : dir.entryList(QDir::Files)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadWrite))
            file.setFileTime(stamp, QFileDevice::FileModificationTime);
    }
}

// A scheme file of 1 MB: the usual sections followed by many more.
QString writeBigScheme()
{
    QByteArray bytes = "[metadata]\ntitle=大方案\n\n[声母]\nzh=V\nch=I\nsh=U\n\n[韵母]\nai=L\n";
    for (int section = 0; bytes.size() < kBigFileBytes; ++section) {
        bytes += "\n[extra" + QByteArray::number(section) + "]\n";
        for (int key = 0; key < 40; ++key)
            bytes += "key" + QByteArray::number(key) + " = value " + QByteArray::number(key) +
                     " ; comment\n";
    }
    const QString path = ShuangPinController::localPath() + QStringLiteral("big-scheme.txt");
    return writeFile(path, bytes) ? path : QString();
}

double openDialog()
{
    QElapsedTimer timer;
    timer.start();
    ShuangPinSettingDialog dialog(nullptr);
    auto *view = dialog.findChild<QQuickWidget *>();
    PaintWatcher watcher;
    view->installEventFilter(&watcher);
    dialog.show();
    while (!watcher.painted && timer.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const bool framed = watcher.painted && view->status() == QQuickWidget::Ready;
    const double ms = timer.nsecsElapsed() / 1e6;
    const int titles = dialog.findChild<QComboBox *>(QStringLiteral("comboBox"))->count();
    if (!framed || titles != kSchemeCount + 8) {
        std::fprintf(stderr, "the dialog listed %d schemes, drawn: %d\n", titles, int(framed));
        return -1;
    }
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    BenchSession session;
    if (!session.isValid())
        return 1;
    // The tool's own set-up on X11 (no OpenGL) where there is a display.
    if (qgetenv("QT_QPA_PLATFORM") != "offscreen" &&
        !qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    QApplication app(argc, argv);
    BenchSession::styleLikeTheTool(app);
    BenchSession::prepareUserFolders();
    if (!writeUserSchemes()) {
        std::fprintf(stderr, "could not write the scheme files\n");
        return 1;
    }
    const QString big = writeBigScheme();
    std::printf("Double-pinyin schemes: %d per-user scheme files and 8 built-in, %d runs after "
                "1 warm-up, platform %s\n",
                kSchemeCount, kRuns, qgetenv("QT_QPA_PLATFORM").constData());

    ShuangPinController *model = ShuangPinController::self();
    std::vector<double> listMs;
    for (int run = 0; run <= kRuns; ++run) {
        touchUserSchemes(run);
        QElapsedTimer timer;
        timer.start();
        model->loadShuangPinConf();
        if (run > 0)
            listMs.push_back(timer.nsecsElapsed() / 1e6);
    }
    if (model->mSchemeTitles.size() != kSchemeCount + 8) {
        std::fprintf(stderr, "the list holds %d titles\n", int(model->mSchemeTitles.size()));
        return 1;
    }

    // The first dialog of a process also starts the QML engine.
    const double firstOpen = openDialog();
    std::vector<double> openMs;
    for (int run = 0; run < kRuns && firstOpen >= 0; ++run) {
        const double ms = openDialog();
        if (ms < 0)
            return 1;
        openMs.push_back(ms);
    }
    if (firstOpen < 0)
        return 1;

    std::vector<double> parseMs;
    for (int run = 0; run <= kRuns && !big.isEmpty(); ++run) {
        QElapsedTimer timer;
        timer.start();
        n_kwxx::t_iniParser document;
        const bool parsed = document.Parser(QFile::encodeName(big).toStdString());
        const double ms = timer.nsecsElapsed() / 1e6;
        if (!parsed || document.Sections().size() < 500) {
            std::fprintf(stderr, "the 1 MB scheme did not parse\n");
            return 1;
        }
        if (run > 0)
            parseMs.push_back(ms);
    }

    BenchSession::report("scheme list: read and parse 1,008 scheme files", listMs, kListTargetMs);
    BenchSession::report("selection dialog: first open in the process", {firstOpen}, kListTargetMs);
    BenchSession::report("selection dialog: open on 1,008 schemes", openMs, kListTargetMs);
    BenchSession::report("INI document: parse a 1 MB scheme file", parseMs);
    return 0;
}
