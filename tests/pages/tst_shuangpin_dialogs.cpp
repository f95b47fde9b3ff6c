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
        QCOMPARE(drawnKey(&dialog, "R"), QStringLiteral("r|er|uan"));
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

    // The keys are really drawn, whatever OpenGL the display offers.
    void keyboardIsDrawn()
    {
        setSchemeName("Kaiwo");
        ShuangPinSettingDialog dialog(nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QImage image = dialog.findChild<QQuickWidget *>()->grabFramebuffer();
        QVERIFY(image.width() >= 460 && image.height() >= 132);
        int border = 0;
        int vowel = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                border += (pixel.rgb() & 0xffffff) == 0xbec8d0;
                // Antialiased text: count the clearly blue pixels.
                vowel += pixel.blue() > 150 && pixel.blue() > pixel.red() + 100;
            }
        QVERIFY2(border > 27 * 4 * 30, qPrintable(QString::number(border)));
        QVERIFY2(vowel > 100, qPrintable(QString::number(vowel)));
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

    // From the blank base, every offered syllable placed on its first free
    // key, through to the input method being told about the new scheme.
    void blankBaseToSelectedScheme()
    {
        setSchemeName("");
        ShuangPinSettingDialog dialog(nullptr);
        dialog.show();
        NewSPConfDialog editor(&dialog);
        connect(&editor, &NewSPConfDialog::SigRefurbishSpSchemeList, &dialog,
                &ShuangPinSettingDialog::SlotRefurbishSpSchemeList);
        QComboBox *syllables = combo(&editor, "comboBox_syllable");
        QComboBox *keys = combo(&editor, "comboBox_key");
        QCOMPARE(combo(&editor, "comboBox_baseOn")->currentIndex(), 0);
        QCOMPARE(syllables->count(), 32);
        for (int i = 0; i < syllables->count(); ++i) {
            syllables->setCurrentIndex(i);
            QCOMPARE(keys->currentText(), QStringLiteral("-"));
            QVERIFY2(keys->count() > 1, qPrintable(syllables->currentText()));
            keys->setCurrentIndex(1);
        }
        QVERIFY(ShuangPinController::self()->IsFinishSpScheme());
        editor.findChild<QLineEdit *>()->setText(QStringLiteral("从零开始"));
        const int prompts = KaiwoPromptDialog::promptCount();
        click(&editor, "pushButton_keep");
        QCOMPARE(KaiwoPromptDialog::promptCount(), prompts);

        const QString file = ShuangPinController::self()->mSchemeFiles.value("从零开始");
        QVERIFY(QFile::exists(file));
        QCOMPARE(combo(&dialog, "comboBox")->currentText(), QStringLiteral("从零开始"));
        // What was saved shows the same on the selection keyboard, where
        // the zero consonant is back on O.
        for (int i = 0; i < ShuangPinController::KeyCount; ++i) {
            const SpKeyItem &item = ShuangPinController::self()->editItem(i);
            const QString consonant = item.key == 'O' ? " " : item.consonant;
            QCOMPARE(drawnKey(&dialog, QString(QChar(item.key))),
                     QString("%1|%2|%3").arg(consonant, item.vowel1, item.vowel2));
        }
        mService->clearJournal();
        click(&dialog, "pushButton_ok");
        QCOMPARE(schemeName(), QFileInfo(file).completeBaseName());
        QCOMPARE(mService->journal().replaceInStrings(QRegExp("\t.*"), ""),
                 QStringList({"ReloadConfig", "RebuildKeyMap"}));
        QFile::remove(file);
    }

    // Hostile scheme files still list and show what they can.
    void badSchemeFiles()
    {
        const QByteArray longTitle = QString(500, QChar(0x957f)).toUtf8();
        writeFile(userSchemes() + "long.ini", "[metadata]\ntitle=" + longTitle + "\n");
        writeFile(userSchemes() + "quotes.ini",
                  "[metadata]\ntitle=\"引号\" 'x' $(rm -rf ~)\n[韵母]\nai=7\nan=ä\nang=\n"
                  "[声母]\nzh=;\nch=x\nempty=9\n");
        writeFile(userSchemes() + "empty.ini", "");
        writeFile(userSchemes() + "binary.ini", literalBytes("\x00\xff[\x01]\n\x80=\x81"));
        QByteArray huge = "[metadata]\ntitle=大文件\n[韵母]\n";
        while (huge.size() < 8 << 20)
            huge += "ai=L\nfiller" + QByteArray::number(huge.size()) + "=X\n";
        writeFile(userSchemes() + "huge.ini", huge);
        ShuangPinController::self()->loadShuangPinConf();

        ShuangPinSettingDialog dialog(nullptr);
        QComboBox *box = combo(&dialog, "comboBox");
        for (const QString &title :
             {QString::fromUtf8(longTitle), QStringLiteral("大文件"), QStringLiteral("引号")}) {
            const int index = box->findText(title, Qt::MatchContains);
            QVERIFY2(index >= 0, qPrintable(title.left(20)));
            box->setCurrentIndex(index);
        }
        // Entries naming no valid key are ignored; the rest is still drawn.
        QCOMPARE(drawnKey(&dialog, "V"), QStringLiteral("|ui|"));
        QCOMPARE(drawnKey(&dialog, "I"), QStringLiteral("|i|"));
        QCOMPARE(drawnKey(&dialog, "U"), QStringLiteral("sh|u|"));
        QCOMPARE(drawnKey(&dialog, "O"), QStringLiteral("|o|uo"));
        QVERIFY(!drawnKey(&dialog, "L").contains("ai"));
        box->setCurrentText(QStringLiteral("大文件"));
        QVERIFY(drawnKey(&dialog, "L").contains("ai"));
        // Untitled files list with an empty title and select harmlessly.
        box->setCurrentIndex(box->findText(QString()));
        QVERIFY(!drawnKey(&dialog, "V").isEmpty());
        for (const char *name : {"long.ini", "quotes.ini", "empty.ini", "binary.ini", "huge.ini"})
            QFile::remove(userSchemes() + name);
        ShuangPinController::self()->loadShuangPinConf();
    }

    // A scheme folder that is a file: the system schemes still list and a
    // new scheme is refused without a half-written file anywhere.
    void schemeFolderIsAFile()
    {
        const QString folder = QDir::cleanPath(userSchemes());
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(writeFile(folder, "not a folder"));
        ShuangPinController::self()->loadShuangPinConf();
        QCOMPARE(ShuangPinController::self()->mSchemeTitles.size(), 8);

        ShuangPinSettingDialog dialog(nullptr);
        NewSPConfDialog editor(&dialog);
        combo(&editor, "comboBox_baseOn")->setCurrentText("小鹤双拼");
        editor.findChild<QLineEdit *>()->setText(QStringLiteral("无处可存"));
        KaiwoPromptDialog::setNextAnswer(1);
        click(&editor, "pushButton_keep");
        QCOMPARE(readFile(folder), QByteArray("not a folder"));
        QVERIFY(!ShuangPinController::self()->mSchemeTitles.contains("无处可存"));

        QVERIFY(QFile::remove(folder));
        QVERIFY(QDir().mkpath(userSchemes()));
        writeFile(userSchemes() + "4711.ini", "[metadata]\ntitle=我的方案\n");
        ShuangPinController::self()->loadShuangPinConf();
    }

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

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    TestShuangPinDialogs test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shuangpin_dialogs.moc"
