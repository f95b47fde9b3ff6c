#pragma once

// Runs the IME service stand-in for a test: its bus name, calls to it, what
// it printed and its call journal.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTest>

inline bool busNameOwned(const QString &name)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value();
}

// The lines of a file; a missing or unterminated one reads as one line saying so.
inline QStringList fileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("<missing>")};
    const QString text = QString::fromUtf8(file.readAll());
    if (text.isEmpty())
        return {};
    if (!text.endsWith(QLatin1Char('\n')))
        return {QStringLiteral("<unterminated>")};
    return text.chopped(1).split(QLatin1Char('\n'));
}

class ServiceProcess
{
public:
    // Without a home the service shares the test's HOME and journals into
    // HOME/service-journal.log; given one, it lives there with its default
    // journal. A display below 0 keeps the test's DISPLAY.
    explicit ServiceProcess(const QStringList &arguments = {}, const QString &home = QString(),
                            int display = -1)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (display >= 0)
            env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":%1").arg(display));
        const QString number =
            env.value(QStringLiteral("DISPLAY")).section(QLatin1Char(':'), 1).section('.', 0, 0);
        mName = QStringLiteral("com.kaiwoimeservice.hotel_%1").arg(number.toInt());
        QStringList all = arguments;
        const int journal = arguments.indexOf(QStringLiteral("--journal"));
        if (journal >= 0) {
            mJournal = arguments.value(journal + 1);
        } else if (home.isNull()) {
            mJournal = QDir::home().filePath(QStringLiteral("service-journal.log"));
            all = QStringList{QStringLiteral("--journal"), mJournal} + arguments;
        } else {
            mJournal = home + QStringLiteral("/.config/kaiwoimebs/service-journal.log");
        }
        if (!home.isNull())
            env.insert(QStringLiteral("HOME"), home);
        mProcess.setProcessEnvironment(env);
        // A journal left by an earlier run in the same HOME is no part of this one.
        QFile::remove(mJournal);
        mProcess.start(qEnvironmentVariable("KAIWO_BUILD_DIR") +
                           QStringLiteral("/bin/kaiwoimebs-service"),
                       all);
    }

    ~ServiceProcess()
    {
        if (mProcess.state() == QProcess::NotRunning)
            return;
        mProcess.terminate();
        if (!mProcess.waitForFinished(5000))
            mProcess.kill();
        mProcess.waitForFinished(5000);
        // The next one may claim the same name only once this one let go.
        static_cast<void>(QTest::qWaitFor([this] { return !busNameOwned(mName); }, 5000));
    }

    // True once the service owns its bus name; false if it ended first.
    bool waitUntilReady()
    {
        static_cast<void>(QTest::qWaitFor(
            [this] { return busNameOwned(mName) || mProcess.state() == QProcess::NotRunning; },
            10000));
        return busNameOwned(mName);
    }
    bool waitForExit() { return mProcess.waitForFinished(10000); }

    QDBusMessage message(const QString &method, const QVariantList &arguments = {}) const
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            mName, QStringLiteral("/"), QStringLiteral("com.kaiwoimebs_service.hotel"), method);
        message.setArguments(arguments);
        return message;
    }
    QDBusMessage call(const QString &method, const QVariantList &arguments = {}) const
    {
        return QDBusConnection::sessionBus().call(message(method, arguments));
    }
    // The reply's arguments, or the error's name; a null path sends none.
    QVariantList ask(const QString &method, const QString &path = QString()) const
    {
        const QDBusMessage reply =
            call(method, path.isNull() ? QVariantList() : QVariantList{path});
        return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments()
                                                          : QVariantList{reply.errorName()};
    }

    // Everything the service printed to stderr so far.
    QString errors()
    {
        mErrors += mProcess.readAllStandardError();
        return QString::fromLocal8Bit(mErrors);
    }

    QStringList journal() const
    {
        const QStringList lines = fileLines(mJournal);
        return lines == QStringList{QStringLiteral("<missing>")} ? QStringList() : lines;
    }
    void clearJournal() { QFile::remove(mJournal); }

    QString mName;
    QString mJournal;
    QProcess mProcess;

private:
    QByteArray mErrors;
};
