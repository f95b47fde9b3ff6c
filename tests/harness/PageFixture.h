#pragma once

// Fixture code shared by the page and dialog tests: the user's settings, the
// service stand-in, the widgets' state, buttons, the "恢复默认" question and
// the modal dialogs a click opens.

#include "ServiceProcess.h"
#include "TestFiles.h"
#include "app/ImeServiceClient.h"
#include "app/MainController.h"
#include "window/KaiwoPromptDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <memory>

const QString kOkButton = QStringLiteral("ok_pushButton");

inline QString pyFile(const QString &name)
{
    return MainController::localPcPyDirPath() + name;
}

inline QString userEnvIni()
{
    return pyFile(QStringLiteral("env.ini"));
}

// Writes the user's env.ini (unless env is null) and reopens the stores.
inline void setEnv(const QByteArray &env)
{
    QDir().mkpath(MainController::localPcPyDirPath());
    if (!env.isNull())
        writeFile(userEnvIni(), env);
    MainController::self()->openSettings();
}

// A key of group Setting in the user's env.ini as text; "-" when absent.
inline QString stored(const QString &key)
{
    return QSettings(userEnvIni(), QSettings::IniFormat)
        .value(QLatin1String("Setting/") + key, QStringLiteral("-"))
        .toString();
}

// The button or combo box with this text or object name; the test stops
// when there is none.
inline QWidget *widgetNamed(QWidget *parent, const QString &name)
{
    for (auto *widget : parent->findChildren<QWidget *>()) {
        auto *button = qobject_cast<QAbstractButton *>(widget);
        if ((button && button->text() == name) ||
            ((button || qobject_cast<QComboBox *>(widget)) && widget->objectName() == name))
            return widget;
    }
    qFatal("no widget %s", qPrintable(name));
}

inline QAbstractButton *buttonWithText(QWidget *parent, const QString &text)
{
    return qobject_cast<QAbstractButton *>(widgetNamed(parent, text));
}

// What a widget shows: "1" or "0" for a check box or radio button, the
// current text of a combo box; "-" marks a disabled one.
inline QString shown(QWidget *parent, const QString &name)
{
    QWidget *widget = widgetNamed(parent, name);
    const QString state = qobject_cast<QAbstractButton *>(widget)
                              ? QString::number(int(buttonWithText(parent, name)->isChecked()))
                              : qobject_cast<QComboBox *>(widget)->currentText();
    return widget->isEnabled() ? state : state + QLatin1Char('-');
}

inline QString shown(QWidget *parent, const QStringList &names)
{
    QStringList states;
    for (const QString &name : names)
        states << shown(parent, name);
    return states.join(QLatin1Char(' '));
}

inline void click(QWidget *parent, const QString &name)
{
    auto *button = parent->findChild<QAbstractButton *>(name);
    QVERIFY2(button, qPrintable(name));
    button->click();
}

inline void stopService(std::unique_ptr<ServiceProcess> &service)
{
    service.reset();
    QTRY_VERIFY(!busNameOwned(ImeServiceClient::serviceName()));
}

inline void startService(std::unique_ptr<ServiceProcess> &service,
                         const QStringList &arguments = {})
{
    stopService(service);
    service = std::make_unique<ServiceProcess>(arguments);
    QVERIFY(service->waitUntilReady());
}

// The user's folders and shipped env.ini, both engine shells and the
// service stand-in: what the phrase and cell dictionary tests stand on.
inline void startShellsAndService(std::unique_ptr<ServiceProcess> &service)
{
    QVERIFY(QDir().mkpath(MainController::localPcWbDirPath()));
    setEnv(readFile(MainController::sysEnvPyDirPath() + "env.ini"));
    QVERIFY(MainController::self()->InitShell());
    startService(service);
}

// Makes the file at path unusable: "missing", a "directory" in its place, or
// its whole folder missing ("no directory").
inline void makeUnusable(const QString &path, const QString &kind)
{
    QFile::remove(path);
    if (kind == QLatin1String("directory"))
        QVERIFY(QDir().mkpath(path + QStringLiteral("/sub")));
    if (kind == QLatin1String("no directory"))
        QVERIFY(QDir(MainController::localPcPyDirPath()).removeRecursively());
}

inline void clickRestore(QWidget *dialog, int answer,
                         const QString &name = "restore_default_pushButton")
{
    KaiwoPromptDialog::setNextAnswer(answer);
    click(dialog, name);
    QCOMPARE(KaiwoPromptDialog::lastTitle(), QStringLiteral("恢复默认配置"));
}

// Answers the modal dialogs a click opens, in order, and keeps what they
// showed.
class ModalDriver : public QObject
{
public:
    QStringList opened; // class names of every modal dialog seen
    QList<QWidget *> parents;
    QStringList prompts;    // title|content
    QList<int> answers;     // prompt answers; none left: OK
    QStringList fileDialog; // caption, directory, selected path, filters
    QString savePath;       // what the save dialog returns; null: cancel

    ModalDriver()
    {
        connect(&mTimer, &QTimer::timeout, this, &ModalDriver::poll);
        mTimer.start(10);
    }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (mBusy || !modal || !modal->isVisible())
            return;
        mBusy = true;
        opened << QLatin1String(modal->metaObject()->className());
        parents << modal->parentWidget();
        if (auto *prompt = qobject_cast<KaiwoPromptDialog *>(modal)) {
            prompts << KaiwoPromptDialog::lastTitle() + '|' + KaiwoPromptDialog::lastContent();
            (answers.isEmpty() || answers.takeFirst()) ? prompt->accept() : prompt->reject();
        } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            fileDialog =
                QStringList{files->windowTitle(), files->directory().absolutePath(),
                            files->selectedFiles().value(0), files->nameFilters().join(';')};
            if (savePath.isNull()) {
                files->reject();
            } else {
                // selectFile() waits for the directory listing; typing does not.
                files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                    ->setText(QFileInfo(savePath).fileName());
                // QFileDialog::accept() is protected; QDialog's is public.
                static_cast<QDialog *>(files)->accept();
            }
        } else if (auto *question = qobject_cast<QMessageBox *>(modal)) {
            // The save dialog's own "replace the existing file?" question.
            question->done(QMessageBox::Yes);
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            dialog->reject();
        } else {
            modal->close();
        }
        mBusy = false;
    }

    QTimer mTimer;
    bool mBusy = false;
};
