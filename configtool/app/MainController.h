#pragma once

#include "ShellWrapperInterface.h"
#include "config/ConfigType.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QSettings;
class QTemporaryDir;
class QWidget;

// The process-wide controller: directories, the two settings objects, the
// engine shells, the tool's own bus name and the settings window.
class MainController : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.kaiwoimeservice_configtool")

public:
    static MainController *self();
    ~MainController() override;

    static ShellWrapperInterface *ShellWrapper();
    static ShellWrapperInterface *WuBiShellWrapper();
    // Test hook: shells to use instead of the libraries' factories.
    static void setShellWrappers(ShellWrapperInterface *pinyin, ShellWrapperInterface *wubi);
    // The settings window init() creates; the widget layer provides it, so
    // the controller never includes the window it owns.
    static void setWindowFactory(std::function<QWidget *()> factory);

    void InitDbus();
    void init();
    bool InitShell();

    bool kaiwoImeServiceConfigtoolIsNotRunning();
    void creatDBusService();
    void releaseDBusService();
    void notifySettingsWidgetActive();

    void update_cfg_to_service();

    // Hands a dictionary request to a shell through the flat transfer
    // blocks; the record is updated in place. False for an unknown shell.
    bool OperDic(e_dicType type, e_operDicType operation, s_inputOutputDicData &data,
                 SHELL_TYPE shell);

    // Opens the two settings objects; init() does this, tests call it alone.
    void openSettings();
    // The settings object of a load mode; null before openSettings().
    QSettings *settings(CON_TPYE mode) const;
    QSettings *userSettings() const { return mUserSettings; }
    QSettings *defaultSettings() const { return mDefaultSettings; }
    QWidget *settingsWidget() const { return mSettingsWidget; }

    static QString localPath();
    static QString localEnvDirPath();
    static QString localPcPyDirPath();
    static QString localPcWbDirPath();
    static QString sysEnvPyDirPath();
    static QString sysEnvWbDirPath();

    static QString configtoolBusName();

public slots:
    void activeSettingsWidget();

private:
    MainController();
    void provisionUserFiles();

    QWidget *mSettingsWidget = nullptr;
    QSettings *mUserSettings = nullptr;
    QSettings *mDefaultSettings = nullptr;
    // Copies of env.ini files without serialised values, read in their place.
    std::unique_ptr<QTemporaryDir> mCleanCopies;

    static MainController *mSelf;
    static ShellWrapperInterface *mShellWrapper;
    static ShellWrapperInterface *mWubiShellWrapper;
    static std::function<QWidget *()> mWindowFactory;
};
