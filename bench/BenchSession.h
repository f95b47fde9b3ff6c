#pragma once

// What every in-process benchmark sets up: a scratch HOME, the source data
// root, the tool's font and style sheet, the per-user folders with env.ini,
// and the service stand-in on the session bus when there is one.

#include <QEvent>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <vector>

class QApplication;

class BenchSession
{
public:
    // Call before QApplication exists: it sets the environment Qt reads.
    BenchSession();
    bool isValid() const { return mHome.isValid(); }
    QString homePath(const QString &relative) const { return mHome.filePath(relative); }

    // The tool's look, so the figures include styling as users see it.
    static void styleLikeTheTool(QApplication &app);
    // The per-user pinyin and Wubi folders and the user's env.ini.
    static void prepareUserFolders();
    // Null when there is no session bus or the service does not come up.
    std::unique_ptr<QProcess> startService();
    QString journalPath() const { return homePath(QStringLiteral("service-journal.log")); }

    // Prints median, min and max; with a target, PASS only when the slowest
    // run meets it. The name goes last: printf pads bytes, not the width of
    // Chinese text.
    static void report(const char *name, std::vector<double> ms, double targetMs = 0);

private:
    QTemporaryDir mHome;
};

// Sees a widget's first paint; the paint is finished once the event loop
// pass that delivered it returns.
class PaintWatcher : public QObject
{
public:
    bool painted = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};
