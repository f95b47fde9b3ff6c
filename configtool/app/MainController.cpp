#include "MainController.h"
#include "DataRoot.h"
#include "FlatTransfer.h"
#include "ImeServiceClient.h"
#include "Logging.h"
#include "SystemHelpers.h"
#include "config/IniSafety.h"
#include "config/SettingsStore.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace
{

const wchar_t kProductVersion[] = L"Kaiwo Input Method 1.0.0";
const char kToolInterface[] = "com.kaiwoimeservice_configtool";

std::wstring toWide(const QString &text)
{
    return text.toStdWString();
}

} // namespace

MainController *MainController::mSelf = nullptr;
ShellWrapperInterface *MainController::mShellWrapper = nullptr;
ShellWrapperInterface *MainController::mWubiShellWrapper = nullptr;
std::function<QWidget *()> MainController::mWindowFactory;

MainController *MainController::self()
{
    if (!mSelf)
        mSelf = new MainController();
    return mSelf;
}

MainController::MainController() = default;

MainController::~MainController()
{
    SettingsStore::attach(nullptr, nullptr);
    delete mUserSettings;
    delete mDefaultSettings;
    delete mSettingsWidget;
    releaseDBusService();
    if (mSelf == this)
        mSelf = nullptr;
}

ShellWrapperInterface *MainController::ShellWrapper()
{
    if (!mShellWrapper)
        mShellWrapper = GetKaiwoShellWrapper();
    return mShellWrapper;
}

ShellWrapperInterface *MainController::WuBiShellWrapper()
{
    if (!mWubiShellWrapper)
        mWubiShellWrapper = GetWbKaiwoShellWrapper();
    return mWubiShellWrapper;
}

void MainController::setShellWrappers(ShellWrapperInterface *pinyin, ShellWrapperInterface *wubi)
{
    mShellWrapper = pinyin;
    mWubiShellWrapper = wubi;
}

QString MainController::configtoolBusName()
{
    char name[64];
    std::snprintf(name, sizeof(name), "com.kaiwoimeservice_configtool.hotel_%d",
                  ImeServiceClient::displayNumber());
    return QString::fromLatin1(name);
}

namespace
{

// Nothing is open or written yet. Running static destructors here would tear
// Qt's D-Bus thread down while it is still working, which can abort the
// process instead of ending it with status 1.
[[noreturn]] void leaveAsSecondCopy()
{
    std::fflush(nullptr);
    _exit(1);
}

} // namespace

void MainController::InitDbus()
{
    if (!kaiwoImeServiceConfigtoolIsNotRunning()) {
        notifySettingsWidgetActive();
        leaveAsSecondCopy();
    }
    creatDBusService();
    qCDebug(lcConfigtool) << "--------------creatDBusService";
}

bool MainController::kaiwoImeServiceConfigtoolIsNotRunning()
{
    const QString name = configtoolBusName();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QDBusReply<QString> owner = bus.interface()->serviceOwner(name);
    const QString ownerName = owner.isValid() ? owner.value() : QString();
    return ownerName == QLatin1String("");
}

void MainController::creatDBusService()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerService(configtoolBusName()))
        leaveAsSecondCopy();
    bus.registerObject(QStringLiteral("/"), this, QDBusConnection::ExportAllSlots);
}

void MainController::releaseDBusService()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    if (!bus.unregisterService(configtoolBusName()))
        qCDebug(lcConfigtool) << bus.lastError().message();
}

void MainController::notifySettingsWidgetActive()
{
    QDBusInterface owner(configtoolBusName(), QStringLiteral("/"), QLatin1String(kToolInterface),
                         QDBusConnection::sessionBus());
    if (!owner.isValid())
        qCDebug(lcConfigtool) << QDBusConnection::sessionBus().lastError().message().toLocal8Bit();
    owner.call(QStringLiteral("activeSettingsWidget"));
}

void MainController::activeSettingsWidget()
{
    qCDebug(lcConfigtool) << "activeSettingsWidget";
    if (!mSettingsWidget)
        return;
    mSettingsWidget->showNormal();
    mSettingsWidget->activateWindow();
    set_active_window(mSettingsWidget->winId());
}

void MainController::init()
{
    provisionUserFiles();
    openSettings();
    InitShell();
    if (!mWindowFactory)
        return;
    mSettingsWidget = mWindowFactory();
    mSettingsWidget->activateWindow();
    mSettingsWidget->show();
}

void MainController::setWindowFactory(std::function<QWidget *()> factory)
{
    mWindowFactory = std::move(factory);
}

void MainController::provisionUserFiles()
{
    const QString target = localEnvDirPath();
    const QString source = sysEnvPyDirPath();
    // On a brand-new HOME nothing below it exists yet and no service has made
    // the engine folders: the copies and the engine shells need them.
    QDir().mkpath(target);
    QDir().mkpath(localPcWbDirPath());
    for (const char *file : {"env.ini", "Correction.ini", "Fuzzy.dat"}) {
        const QString name = QLatin1String(file);
        // Never overwrite: the user's own copy always wins.
        if (QFile::exists(target + name))
            continue;
        if (!copyFileToPath(source, target, name, true))
            qCDebug(lcConfigtool).noquote() << name + QStringLiteral(" copy fail");
    }
}

void MainController::openSettings()
{
    SettingsStore::attach(nullptr, nullptr);
    delete mUserSettings;
    delete mDefaultSettings;
    mCleanCopies.reset();
    const auto open = [](const QString &path) {
        auto *settings = new QSettings(path, QSettings::IniFormat);
        settings->setIniCodec("UTF-8");
        return settings;
    };
    // QSettings must never read values it would take as objects (IniSafety).
    // The user's file is read from a copy without them and loses them only
    // when a save writes it; a shipped file holding any reads as missing.
    const QString user = localPcPyDirPath() + QStringLiteral("env.ini");
    const QString shipped = sysEnvPyDirPath() + QStringLiteral("env.ini");
    QString userRead = user;
    QString shippedRead = shipped;
    std::function<void()> beforeFirstWrite;
    for (const QString &path : {user, shipped}) {
        if (!IniSafety::holdsSerialisedValues(path))
            continue;
        qCWarning(lcConfigtool).noquote() << path + QStringLiteral(" holds serialised values");
        if (!mCleanCopies)
            mCleanCopies = std::make_unique<QTemporaryDir>();
        if (path == shipped) {
            shippedRead = mCleanCopies->filePath(QStringLiteral("missing.ini"));
            continue;
        }
        userRead = mCleanCopies->filePath(QStringLiteral("env.ini"));
        QFile file(path);
        QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (!IniSafety::removeSerialisedValues(&bytes))
            bytes.clear();
        QFile copy(userRead);
        if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size())
            userRead = mCleanCopies->filePath(QStringLiteral("missing.ini"));
        beforeFirstWrite = [this, user] {
            if (IniSafety::makeSafe(user))
                openSettings();
        };
    }
    mUserSettings = open(userRead);
    mDefaultSettings = open(shippedRead);
    SettingsStore::attach(mUserSettings, mDefaultSettings, beforeFirstWrite);
}

QSettings *MainController::settings(CON_TPYE mode) const
{
    return SettingsStore::settings(mode);
}

bool MainController::InitShell()
{
    QString userDir = localPcPyDirPath();
    QString userDirNoSlash = userDir;
    if (userDirNoSlash.endsWith(QLatin1Char('/')))
        userDirNoSlash.chop(1);
    const std::wstring user = toWide(userDir);
    const std::wstring userNoSlash = toWide(userDirNoSlash);
    const std::wstring system = toWide(sysEnvPyDirPath());

    bool result =
        ShellWrapper()->Init(kProductVersion, user.c_str(), system.c_str(), userNoSlash.c_str());
    qCDebug(lcConfigtool) << "InitShell:" << result;
    if (!result)
        return result;

    const std::wstring wubiUser = toWide(localPcWbDirPath());
    const std::wstring wubiSystem = toWide(sysEnvWbDirPath());
    result = WuBiShellWrapper()->Init(kProductVersion, wubiUser.c_str(), wubiSystem.c_str(),
                                      wubiUser.c_str());
    qCDebug(lcConfigtool) << "InitWBShell:" << result;
    return result;
}

bool MainController::OperDic(e_dicType type, e_operDicType operation, s_inputOutputDicData &data,
                             SHELL_TYPE shell)
{
    ShellWrapperInterface *target = shell == SHELL_PINYIN ? ShellWrapper()
                                    : shell == SHELL_WUBI ? WuBiShellWrapper()
                                                          : nullptr;
    // A path that does not fit the request's fixed fields would reach the
    // shell cut short and name another file: such a request is refused.
    if (!target || !FlatRequest::fits(data))
        return false;
    FlatRequest request(data);
    if (!request.block())
        return false;
    flat::Result *result = nullptr;
    const bool ok = target->DicOperationFlat(type, operation, request.block(), &result);
    if (result) {
        FlatRequest::readResult(*result, data);
        target->FreeDicResult(&result);
    }
    return ok;
}

void MainController::update_cfg_to_service()
{
    ImeServiceClient::reloadConfig();
}

QString MainController::localPath()
{
    return homeDirectory() + QStringLiteral("/.config/KaiwoShell/usr/PCPYDict/");
}

QString MainController::localEnvDirPath()
{
    return localPath();
}

QString MainController::localPcPyDirPath()
{
    return localPath();
}

QString MainController::localPcWbDirPath()
{
    return homeDirectory() + QStringLiteral("/.config/KaiwoShell/usr/PCWBDict");
}

QString MainController::sysEnvPyDirPath()
{
    return kaiwoDataRoot() + QStringLiteral("/KaiwoShell/dict/PCPYDict/");
}

QString MainController::sysEnvWbDirPath()
{
    return kaiwoDataRoot() + QStringLiteral("/KaiwoShell/dict/PCWBDict/");
}
