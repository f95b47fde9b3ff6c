#pragma once

// Runs the IME service stand-in for a test and reads its call journal.

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTest>

class ServiceProcess
{
public:
    explicit ServiceProcess(QStringList extraArguments = {})
        : mJournal(QDir::home().filePath(QStringLiteral("service-journal.log")))
    {
        const QString program =
            qEnvironmentVariable("KAIWO_BUILD_DIR") + QStringLiteral("/bin/kaiwoimebs-service");
        mProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        mProcess.start(program,
                       QStringList{QStringLiteral("--journal"), mJournal} + extraArguments);
    }

    ~ServiceProcess()
    {
        mProcess.terminate();
        if (!mProcess.waitForFinished(3000))
            mProcess.kill();
        mProcess.waitForFinished(1000);
    }

    // True once the service owns its bus name.
    bool waitUntilReady(const QString &busName)
    {
        for (int i = 0; i < 100; ++i) {
            if (QDBusConnection::sessionBus().interface()->isServiceRegistered(busName))
                return true;
            QTest::qWait(50);
        }
        return false;
    }

    QStringList journal() const
    {
        QFile file(mJournal);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty())
            lines.removeLast();
        return lines;
    }

    void clearJournal() { QFile::remove(mJournal); }

private:
    QString mJournal;
    QProcess mProcess;
};
