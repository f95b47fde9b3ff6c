#pragma once

// Runs the IME service stand-in for a test: its bus name, calls to it, what
// it printed and its call journal.

#include "TestFiles.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

inline bool busNameOwned(const QString &name)
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value();
}

class ServiceProcess
{
public:
    // Without a home the service shares the test's HOME and journals into
    // HOME/service-journal.log; given one, it lives there with its default
    // journal. A display below 0 keeps the test's DISPLAY.
    explicit ServiceProcess(const QStringList &arguments = {}, const QString &home = QString(),
                            int display = -1)
        : mJournal(home.isNull() ? QDir::home().filePath("service-journal.log")
                                 : home + "/.config/kaiwoimebs/service-journal.log")
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (display >= 0)
            env.insert("DISPLAY", QStringLiteral(":%1").arg(display));
        if (!home.isNull())
            env.insert("HOME", home);
        mName = QStringLiteral("com.kaiwoimeservice.hotel_%1")
                    .arg(env.value("DISPLAY").section(':', 1).section('.', 0, 0).toInt());
        // A journal left by an earlier run in the same HOME is no part of this one.
        QFile::remove(mJournal);
        mProcess.setProcessEnvironment(env);
        mProcess.start(qEnvironmentVariable("KAIWO_BUILD_DIR") + "/bin/kaiwoimebs-service",
                       (home.isNull() ? QStringList{"--journal", mJournal} : QStringList()) +
                           arguments);
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

    QDBusMessage call(const QString &method, const QVariantList &arguments = {}) const
    {
        QDBusMessage message =
            QDBusMessage::createMethodCall(mName, "/", "com.kaiwoimebs_service.hotel", method);
        message.setArguments(arguments);
        return QDBusConnection::sessionBus().call(message);
    }

    // The reply's arguments, or the error's name; a null path sends none.
    QVariantList ask(const QString &method, const QString &path = QString()) const
    {
        const QDBusMessage reply =
            call(method, path.isNull() ? QVariantList() : QVariantList{path});
        return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments()
                                                          : QVariantList{reply.errorName()};
    }

    QString errors()
    {
        mErrors += mProcess.readAllStandardError();
        return QString::fromLocal8Bit(mErrors);
    }

    QStringList journal() const
    {
        return QString::fromUtf8(readFile(mJournal)).split('\n', Qt::SkipEmptyParts);
    }
    void clearJournal() { QFile::remove(mJournal); }

    QString mName;
    const QString mJournal;
    QProcess mProcess;

private:
    QByteArray mErrors;
};
