#pragma once

// Fixture code shared by the page and dialog tests: the user's settings, the
// service stand-in, buttons, and the "恢复默认" question.

#include "ServiceProcess.h"
#include "TestFiles.h"
#include "app/ImeServiceClient.h"
#include "app/MainController.h"
#include "window/KaiwoPromptDialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDBusConnectionInterface>
#include <QDialog>
#include <QSettings>
#include <QTest>

#include <memory>

const QString kOkButton = QStringLiteral("ok_pushButton");

// A file of the user's pinyin folder.
inline QString pyFile(const QString &name)
{
    return MainController::localPcPyDirPath() + name;
}

inline QString userEnvIni()
{
    return pyFile(QStringLiteral("env.ini"));
}

// Writes the user's env.ini (unless env is null), reopens the stores and
// builds a page on them, shown at the size of the window's page area.
template <class Page> std::unique_ptr<Page> pageOn(const QByteArray &env = QByteArray())
{
    QDir().mkpath(MainController::localPcPyDirPath());
    if (!env.isNull())
        writeFile(userEnvIni(), env);
    MainController::self()->openSettings();
    auto page = std::make_unique<Page>();
    page->resize(554, 488);
    page->show();
    return page;
}

// Columns of a key round trip: the env.ini key, the text stored for it, the
// check box or radio button showing it, its state, and the value saved back.
inline void addKeyRoundTripColumns()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("widget");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<int>("saved");
}

// The button with this text; the test stops when there is none.
inline QAbstractButton *buttonWithText(QWidget *parent, const QString &text)
{
    for (auto *widget : parent->findChildren<QAbstractButton *>()) {
        if (widget->text() == text)
            return widget;
    }
    qFatal("no widget %s", qPrintable(text));
}

// One key round trip row: a page opened on env.ini with PageSize=7 and the
// row's stored text shows the row's state, then saves. Null when the state
// is wrong (the test has failed).
template <class Page> std::unique_ptr<Page> pageSavedFromKeyRow()
{
    QFETCH(QString, key);
    QFETCH(QByteArray, stored);
    QFETCH(QString, widget);
    QFETCH(bool, checked);
    auto page = pageOn<Page>("[Setting]\nPageSize=7\n" + key.toLatin1() + "=" + stored + "\n");
    [&] { QCOMPARE(buttonWithText(page.get(), widget)->isChecked(), checked); }();
    if (QTest::currentTestFailed())
        return nullptr;
    page->saveSettings();
    return page;
}

// A key of group Setting in the user's env.ini as an integer; -1 if absent.
inline int storedInt(const QString &key)
{
    QSettings settings(userEnvIni(), QSettings::IniFormat);
    return settings.value(QLatin1String("Setting/") + key, -1).toInt();
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

inline void openUserSettings()
{
    QDir().mkpath(MainController::localPcPyDirPath());
    MainController::self()->openSettings();
}

// Stops the service and waits until the bus has freed its name.
inline void stopService(std::unique_ptr<ServiceProcess> &service)
{
    service.reset();
    QTRY_VERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(
        ImeServiceClient::serviceName()));
}

// (Re)starts the service stand-in with these arguments.
inline void startService(std::unique_ptr<ServiceProcess> &service,
                         const QStringList &arguments = {})
{
    stopService(service);
    service = std::make_unique<ServiceProcess>(arguments);
    QVERIFY(service->waitUntilReady(ImeServiceClient::serviceName()));
}

inline void click(QWidget *parent, const QString &name)
{
    auto *button = parent->findChild<QAbstractButton *>(name);
    QVERIFY2(button, qPrintable(name));
    button->click();
}

inline QCheckBox *boxWithText(QWidget *parent, const QString &text)
{
    for (QCheckBox *box : parent->findChildren<QCheckBox *>()) {
        if (box->text() == text)
            return box;
    }
    qFatal("no check box %s", qPrintable(text));
    return nullptr;
}

// Clicks "恢复默认" and gives its question this answer.
inline void clickRestore(QWidget *dialog, int answer)
{
    KaiwoPromptDialog::setNextAnswer(answer);
    click(dialog, QStringLiteral("restore_default_pushButton"));
    QCOMPARE(KaiwoPromptDialog::lastTitle(), QStringLiteral("恢复默认配置"));
    QCOMPARE(KaiwoPromptDialog::lastContent(), QStringLiteral("确定恢复本页默认配置？"));
}

// Rows "button" for leaving a dialog by 确定 (if withOk), 取消 and the title bar.
inline void addLeaveRows(bool withOk = true)
{
    QTest::addColumn<QString>("button");
    if (withOk)
        QTest::newRow("确定") << kOkButton;
    QTest::newRow("取消") << QStringLiteral("cancel_pushButton");
    QTest::newRow("close") << QStringLiteral("title_close_button");
}

// Leaves a shown dialog by button; it must close, accepted only by 确定.
inline void leave(QDialog *dialog, const QString &button)
{
    click(dialog, button);
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(button == kOkButton ? QDialog::Accepted : QDialog::Rejected));
}
