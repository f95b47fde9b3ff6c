#include "PageFixture.h"
#include "shuangpin/NewSPConfDialog.h"
#include "shuangpin/ShuangPinController.h"
#include "shuangpin/ShuangPinSettingDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QQuickItem>
#include <QQuickWidget>
#include <QSettings>
#include <QSignalSpy>
#include <QTimer>

namespace
{

QStringList qmlWarnings;

void collectQmlWarnings(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg &&
        (message.contains("qml", Qt::CaseInsensitive) || message.contains("Quick")))
        qmlWarnings << message;
}

QString userSchemes()
{
    return ShuangPinController::localShuangPinPath();
}

QComboBox *combo(QWidget *dialog, const char *name)
{
    return dialog->findChild<QComboBox *>(name);
}

// Texts of one drawn key: consonant|vowel1|vowel2.
QString drawnKey(QWidget *dialog, const QString &label)
{
    QQuickItem *root = dialog->findChild<QQuickWidget *>()->rootObject();
    for (QQuickItem *item : root->findChildren<QQuickItem *>()) {
        if (item->property("key").toString() == label)
            return item->property("consonant").toString() + '|' +
                   item->property("vowel1").toString() + '|' + item->property("vowel2").toString();
    }
    return "none";
}

} // namespace

class TestShuangPinDialogs : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServiceProcess> mService;

    static void setSchemeName(const QString &name)
    {
        QSettings settings(ShuangPinController::localPath() + "env.ini", QSettings::IniFormat);
        settings.remove("Setting/ShuangPinName");
        if (!name.isEmpty())
            settings.setValue("Setting/ShuangPinName", name);
    }

    static QString schemeName()
    {
        QSettings settings(ShuangPinController::localPath() + "env.ini", QSettings::IniFormat);
        return settings.value("Setting/ShuangPinName", "-").toString();
    }

private slots:
    void initTestCase()
    {
        startService(mService, {"--answer", "true"});
        openUserSettings();
        QDir().mkpath(userSchemes());
        writeFile(userSchemes() + "4711.ini", "[metadata]\ntitle=我的方案\n");
        ShuangPinController::self()->loadShuangPinConf();
        qInstallMessageHandler(collectQmlWarnings);
    }

    // Every view of every case loads and updates without a QML warning.
    void cleanup() { QVERIFY2(qmlWarnings.isEmpty(), qPrintable(qmlWarnings.join('\n'))); }

    void opensOnStoredScheme_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("deletable");
        QTest::newRow("absent: Kaiwo") << ""
                                       << "凯沃双拼" << false;
        QTest::newRow("system") << "GuoBiao"
                                << "国标双拼" << false;
        QTest::newRow("per-user") << "4711"
                                  << "我的方案" << true;
        QTest::newRow("unknown file") << "nothing"
                                      << "凯沃双拼" << false;
    }

    void opensOnStoredScheme()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(bool, deletable);
        setSchemeName(name);
        ShuangPinSettingDialog dialog(nullptr);
        QCOMPARE(combo(&dialog, "comboBox")->currentText(), title);
        QCOMPARE(dialog.findChild<QPushButton *>("pushButton_delete")->isEnabled(), deletable);
    }

    void viewsLoadAndShowTheScheme()
    {
        setSchemeName("Kaiwo");
        ShuangPinSettingDialog dialog(nullptr);
        QQuickWidget *view = dialog.findChild<QQuickWidget *>();
        QCOMPARE(view->status(), QQuickWidget::Ready);
        QCOMPARE(view->rootObject()->objectName(), QStringLiteral("shuangpinWindowQml"));
        QCOMPARE(drawnKey(&dialog, "V"), QStringLiteral("zh|ui|"));
        QVERIFY(drawnKey(&dialog, "L").contains("ai"));
        combo(&dialog, "comboBox")->setCurrentText("小鹤双拼");
        QVERIFY(!drawnKey(&dialog, "L").contains("ai"));
        QVERIFY(drawnKey(&dialog, "D").contains("ai"));

        NewSPConfDialog editor(&dialog);
        QCOMPARE(editor.findChild<QQuickWidget *>()->status(), QQuickWidget::Ready);
        // Blank base, "zh" selected; its key choice highlights the key.
        QCOMPARE(combo(&editor, "comboBox_syllable")->currentText(), QStringLiteral("zh"));
        combo(&editor, "comboBox_key")->setCurrentText("V");
        QCOMPARE(drawnKey(&editor, "V"), QStringLiteral("zh||"));
        QCOMPARE(ShuangPinController::self()->currentKey(), 'V');
    }

    void restoreDefaultsSelectsKaiwo()
    {
        setSchemeName("GuoBiao");
        ShuangPinSettingDialog dialog(nullptr);
        for (int answer : {0, 1}) {
            KaiwoPromptDialog::setNextAnswer(answer);
            click(&dialog, "pushButton_restoreDefault");
            QCOMPARE(KaiwoPromptDialog::lastTitle(), QStringLiteral("恢复默认配置"));
            QCOMPARE(combo(&dialog, "comboBox")->currentText(),
                     answer ? QStringLiteral("凯沃双拼") : QStringLiteral("国标双拼"));
        }
        QCOMPARE(schemeName(), QStringLiteral("GuoBiao"));
    }

    void okWritesAndNotifies_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("确定") << "pushButton_ok";
        QTest::newRow("取消") << "pushButton_cancel";
        QTest::newRow("close") << "title_close_button";
    }

    void okWritesAndNotifies()
    {
        QFETCH(QString, button);
        const bool ok = button == "pushButton_ok";
        setSchemeName("");
        mService->clearJournal();
        ShuangPinSettingDialog dialog(nullptr);
        dialog.show();
        combo(&dialog, "comboBox")->setCurrentText("我的方案");
        click(&dialog, button);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(schemeName(), ok ? QStringLiteral("4711") : QStringLiteral("-"));
        QCOMPARE(mService->journal().replaceInStrings(QRegExp("\t.*"), ""),
                 ok ? QStringList({"ReloadConfig", "RebuildKeyMap"}) : QStringList());
    }

    void editorRefusesAndSaves()
    {
        setSchemeName("");
        ShuangPinSettingDialog dialog(nullptr);
        // The editor runs modally; leave it at once and drive the hidden child.
        QTimer::singleShot(0, &dialog, [&dialog] {
            dialog.findChild<NewSPConfDialog *>()
                ->findChild<QPushButton *>("pushButton_cancel")
                ->click();
        });
        click(&dialog, "pushButton_new");
        auto *editor = dialog.findChild<NewSPConfDialog *>();
        QVERIFY(editor);
        QSignalSpy refreshed(editor, &NewSPConfDialog::SigRefurbishSpSchemeList);
        const auto save = [editor](const QString &name) {
            editor->findChild<QLineEdit *>()->setText(name);
            KaiwoPromptDialog::setNextAnswer(1);
            const int before = KaiwoPromptDialog::promptCount();
            click(editor, "pushButton_keep");
            return KaiwoPromptDialog::promptCount() > before ? KaiwoPromptDialog::lastContent()
                                                             : QString("saved");
        };
        QCOMPARE(save("   "), QStringLiteral("保存双拼方案失败：\n没有指定双拼方案名称！"));
        QCOMPARE(save("微软双拼"),
                 QStringLiteral("双拼方案\"微软双拼\"\n与系统方案重名，请重新命名！"));
        const QString incomplete =
            QStringLiteral("还有部分音节没有设置，请设置\n完所有音节后再进行保存！");
        QCOMPARE(save("新方案"), incomplete);
        // A complete base; taking one final off its key makes it incomplete again.
        combo(editor, "comboBox_baseOn")->setCurrentText("小鹤双拼");
        combo(editor, "comboBox_syllable")->setCurrentText("ai");
        combo(editor, "comboBox_key")->setCurrentText("-");
        QCOMPARE(save("新方案"), incomplete);
        combo(editor, "comboBox_key")->setCurrentText("D");
        QCOMPARE(save("新方案"), QStringLiteral("saved"));
        QCOMPARE(refreshed.count(), 1);
        QCOMPARE(combo(&dialog, "comboBox")->currentText(), QStringLiteral("新方案"));
        const QString file = ShuangPinController::self()->mSchemeFiles.value("新方案");
        QVERIFY(file.startsWith(userSchemes()));
        QVERIFY(readFile(file).contains("ai"));

        // 删除 takes the user scheme away without asking.
        QVERIFY(dialog.findChild<QPushButton *>("pushButton_delete")->isEnabled());
        click(&dialog, "pushButton_delete");
        QVERIFY(!QFile::exists(file));
        QVERIFY(!ShuangPinController::self()->mSchemeTitles.contains("新方案"));
    }

    void screenshots();

    void editorOverwritesGuoBiao()
    {
        ShuangPinSettingDialog dialog(nullptr);
        NewSPConfDialog editor(&dialog);
        combo(&editor, "comboBox_baseOn")->setCurrentText("小鹤双拼");
        editor.findChild<QLineEdit *>()->setText("国标双拼");
        const QString system = ShuangPinController::self()->mSchemeFiles.value("国标双拼");
        KaiwoPromptDialog::setNextAnswer(0);
        click(&editor, "pushButton_keep");
        QCOMPARE(KaiwoPromptDialog::lastContent(),
                 QStringLiteral("双拼方案\"国标双拼\"\n已经存在,确定要覆盖吗？"));
        QVERIFY(!QFile::exists(userSchemes() + "GuoBiao.ini"));
        editor.show();
        KaiwoPromptDialog::setNextAnswer(1);
        click(&editor, "pushButton_keep");
        QVERIFY(!editor.isVisible());
        QVERIFY(QFile::exists(userSchemes() + QFileInfo(system).fileName()));
        QFile::remove(userSchemes() + QFileInfo(system).fileName());
    }
};

// Pictures of both dialogs for a look by eye, only when asked for.
void TestShuangPinDialogs::screenshots()
{
    const QString folder = qEnvironmentVariable("KAIWO_SCREENSHOTS");
    if (folder.isEmpty())
        QSKIP("KAIWO_SCREENSHOTS not set");
    QFile sheet(":kaiwoImeService.qss");
    QVERIFY(sheet.open(QIODevice::ReadOnly));
    qApp->setStyleSheet(QString::fromUtf8(sheet.readAll()));
    setSchemeName("Kaiwo");
    ShuangPinSettingDialog dialog(nullptr);
    dialog.show();
    NewSPConfDialog editor(&dialog);
    combo(&editor, "comboBox_baseOn")->setCurrentText("小鹤双拼");
    combo(&editor, "comboBox_syllable")->setCurrentText("ing");
    editor.show();
    QTest::qWait(100);
    QVERIFY(dialog.grab().save(folder + "/shuangpin_setting.png"));
    QVERIFY(editor.grab().save(folder + "/shuangpin_new.png"));
    qApp->setStyleSheet({});
}

int main(int argc, char *argv[])
{
    // Offscreen Qt Quick needs the software renderer.
    qputenv("QT_QUICK_BACKEND", "software");
    QApplication app(argc, argv);
    TestShuangPinDialogs test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shuangpin_dialogs.moc"
