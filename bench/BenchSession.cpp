#include "BenchSession.h"
#include "app/ImeServiceClient.h"
#include "app/MainController.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QThread>

#include <algorithm>
#include <cstdio>

namespace
{

// The tool logs per phrase and per dictionary; the lines are formatted as
// usual but not written, so the figures do not depend on the terminal.
void quietDebug(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg && qstrcmp(context.category, "kaiwo.configtool") == 0)
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

BenchSession::BenchSession()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!mHome.isValid())
        return;
    qputenv("HOME", QFile::encodeName(mHome.path()));
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = mHome.filePath(QStringLiteral("runtime"));
        QDir().mkdir(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    if (qEnvironmentVariableIsEmpty("KAIWOIMEBS_DATA_ROOT"))
        qputenv("KAIWOIMEBS_DATA_ROOT", KAIWO_SOURCE_DATA_DIR);
    qInstallMessageHandler(quietDebug);
}

void BenchSession::styleLikeTheTool(QApplication &app)
{
    QFont font;
    font.setPixelSize(14);
    QApplication::setFont(font);
    QFile styleSheet(QStringLiteral(":kaiwoImeService.qss"));
    if (styleSheet.open(QIODevice::ReadOnly))
        app.setStyleSheet(QString::fromUtf8(styleSheet.readAll()));
}

void BenchSession::prepareUserFolders()
{
    QDir().mkpath(MainController::localPcPyDirPath());
    QDir().mkpath(MainController::localPcWbDirPath());
    QFile::copy(MainController::sysEnvPyDirPath() + QStringLiteral("env.ini"),
                MainController::localPath() + QStringLiteral("env.ini"));
}

std::unique_ptr<QProcess> BenchSession::startService()
{
    if (!QDBusConnection::sessionBus().isConnected())
        return nullptr;
    auto service = std::make_unique<QProcess>();
    service->setStandardOutputFile(QProcess::nullDevice());
    service->setStandardErrorFile(QProcess::nullDevice());
    service->start(QStringLiteral(KAIWO_SERVICE_PROGRAM),
                   {QStringLiteral("--journal"), journalPath()});
    for (int i = 0; i < 100; ++i) {
        if (QDBusConnection::sessionBus().interface()->isServiceRegistered(
                ImeServiceClient::serviceName()))
            return service;
        QThread::msleep(50);
    }
    service->kill();
    service->waitForFinished(1000);
    return nullptr;
}

void BenchSession::report(const char *name, std::vector<double> ms, double targetMs)
{
    std::sort(ms.begin(), ms.end());
    const double median =
        ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
    std::printf("median %7.1f ms  min %7.1f  max %7.1f  ", median, ms.front(), ms.back());
    if (targetMs > 0)
        std::printf("target < %.0f ms  %s  %s\n", targetMs, ms.back() < targetMs ? "PASS" : "FAIL",
                    name);
    else
        std::printf("(no target)  %s\n", name);
}
