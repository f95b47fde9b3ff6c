#include "PageFixture.h"
#include "pinyin/SettingPinyinWidget.h"
#include "pinyin/SettingWubiWidget.h"
#include "pinyin/UserDictionaryActions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDate>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

namespace
{

// Answers the modal dialogs a flow opens, in order, and keeps what they showed.
class ModalDriver : public QObject
{
public:
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
        } else {
            // Anything unexpected is closed, so a test fails instead of hanging.
            modal->close();
        }
        mBusy = false;
    }

    QTimer mTimer;
    bool mBusy = false;
};

QString home()
{
    return QDir::homePath();
}

// Paths as a user may have them: spaces, quotes, Chinese.
const QString kPathA = home() + QStringLiteral("/my dict 词库.bin");
const QString kPathB = home() + QStringLiteral("/say \"hi\" 'x'.bin");
const QString kPathC = home() + QStringLiteral("/第三个.bin");

void invoke(QObject *page, const QString &slot)
{
    QVERIFY(QMetaObject::invokeMethod(page, qPrintable(slot), Qt::DirectConnection));
}

} // namespace

// The user-dictionary buttons of both pages against the service stand-in.
class TestUserDictionary : public QObject
{
    Q_OBJECT

    std::unique_ptr<SettingPinyinWidget> mPinyin;
    std::unique_ptr<SettingWubiWidget> mWubi;
    std::unique_ptr<ServiceProcess> mService;

    // The page a slot belongs to: the Wubi page's slots all name it.
    QWidget *page(const QString &slot)
    {
        return slot.contains("WuBi") ? static_cast<QWidget *>(mWubi.get()) : mPinyin.get();
    }

private slots:
    void initTestCase()
    {
        openUserSettings();
        mPinyin = std::make_unique<SettingPinyinWidget>();
        mWubi = std::make_unique<SettingWubiWidget>();
    }

    void init() { QFile::remove(home() + QStringLiteral("/service-journal.log")); }
    void cleanup() { stopService(mService); }

    void import_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QStringList>("how"); // slot, service method, file kind
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("prompts");
        const QStringList pinyin{"slot_released_loadThesaurusButton", "UsrDictImport", "pinyin"};
        const QStringList wubi{"slot_released_loadWuBiCnThesaurusButton", "UsrWuBiDictImport",
                               "wubi"};
        const QString cn = "导入词库|导入中文用户词库\"%1\"%2！";
        const QString user = "导入词库|导入用户词库\"%1\"%2！";
        QTest::newRow("second of three fails")
            << QStringList{"--fail-on", "say"} << pinyin << QStringList{kPathA, kPathB, kPathC}
            << QStringList{cn.arg(kPathB, "失败"), cn.arg(kPathA + "  " + kPathC + "  ", "成功")};
        QTest::newRow("pinyin") << QStringList{} << pinyin << QStringList{kPathB}
                                << QStringList{cn.arg(kPathB, "成功")};
        QTest::newRow("wubi pinyin")
            << QStringList{}
            << QStringList{"slot_released_loadPinYinWuBiThesaurusButton",
                           "UsrPinYinWuBiDictImportPinYin", "wubi-pinyin"}
            << QStringList{kPathB} << QStringList{user.arg(kPathB, "成功")};
        QTest::newRow("wubi") << QStringList{} << wubi << QStringList{kPathB}
                              << QStringList{user.arg(kPathB, "成功")};
        QTest::newRow("wubi, all fail")
            << QStringList{"--answer", "false"} << wubi << QStringList{kPathA, kPathC}
            << QStringList{user.arg(kPathA, "失败"), user.arg(kPathC, "失败")};
    }

    void import()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, how);
        QFETCH(QStringList, files);
        QFETCH(QStringList, prompts);
        startService(mService, arguments);
        // Files the service accepts: its text format, headed by the kind.
        for (const QString &path : {kPathA, kPathB, kPathC})
            QVERIFY(writeFile(path, "KaiwoUserDictionary 1 " + how[2].toUtf8() + "\nni\t你\t3\n"));
        ModalDriver driver;
        UserDictionaryActions::setNextFileNames(files);
        invoke(page(how[0]), how[0]);
        QCOMPARE(driver.prompts, prompts);
        QStringList calls;
        for (const QString &file : files)
            calls << how[1] + '\t' + file;
        QCOMPARE(mService->journal(), calls);
    }

    void cancelledDialogsSendNothing()
    {
        startService(mService);
        ModalDriver driver;
        // The real dialogs, cancelled.
        invoke(mPinyin.get(), "slot_released_loadThesaurusButton");
        QCOMPARE(driver.fileDialog, QStringList({"打开", home(), "", "加密词库文件(*.bin)"}));
        invoke(mWubi.get(), "slot_released_exportWuBiCnThesaurusButton");
        QCOMPARE(driver.fileDialog.value(0), QStringLiteral("词库另存为"));
        UserDictionaryActions::setNextFileNames({});
        invoke(mWubi.get(), "slot_released_loadPinYinWuBiThesaurusButton");
        UserDictionaryActions::setNextSaveFileName(QString());
        invoke(mPinyin.get(), "slot_released_exportThesaurusButton");
        QVERIFY(driver.prompts.isEmpty());
        QVERIFY(mService->journal().isEmpty());
    }

    void exportFile_data()
    {
        QTest::addColumn<QString>("answer");
        // slot, service method, default file name, filter, prompt
        QTest::addColumn<QStringList>("expected");
        const QString date = QDate::currentDate().toString("yyyy_MM_dd");
        const QStringList pinyin{"slot_released_exportThesaurusButton", "UsrDictBackup",
                                 "/凯沃词库备份_" + date + ".bin", "加密词库文件(*.bin)"};
        const QStringList wubi{"slot_released_exportWuBiCnThesaurusButton", "UsrWuBiDictBackup",
                               "/凯沃五笔词库备份_" + date + ".txt", "文本词库文件（*.txt）"};
        QTest::newRow("pinyin ok")
            << "true" << pinyin + QStringList{"导出中文用户词库\"%1\"成功！"};
        QTest::newRow("pinyin error")
            << "error" << pinyin + QStringList{"导出中文用户词库\"%1\"失败！"};
        QTest::newRow("wubi pinyin ok")
            << "true"
            << QStringList{"slot_released_exportPinYinWuBiThesaurusButton",
                           "UsrWuBiPinYinDictBackupPinYin",
                           "/凯沃拼音五笔词库备份_" + date + ".txt", "文本词库文件（*.txt)",
                           "导出用户词库\"%1\"成功！"};
        // The two prefixes of this one differ.
        QTest::newRow("wubi ok") << "true" << wubi + QStringList{"导出中文用户词库\"%1\"成功！"};
        QTest::newRow("wubi false") << "false" << wubi + QStringList{"导出用户词库\"%1\"失败！"};
    }

    void exportFile()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, expected);
        startService(mService, {"--answer", answer});
        // The file dialog reads double quotes as a list of names, so none here.
        const QString path = home() + QStringLiteral("/备份 新.txt");
        QFile::remove(path);
        ModalDriver driver;
        driver.savePath = path;
        invoke(page(expected[0]), expected[0]);
        QCOMPARE(driver.fileDialog,
                 QStringList({"词库另存为", home(), home() + expected[2], expected[3]}));
        QCOMPARE(mService->journal(), QStringList(expected[1] + "\t" + path));
        QCOMPARE(driver.prompts, QStringList("导出词库|" + expected[4].arg(path)));
    }

    void confirmed_data()
    {
        // Page, button text (or the slot when there is no button), service method.
        QTest::addColumn<QStringList>("how");
        QTest::addColumn<int>("index"); // of the buttons with that text
        QTest::addColumn<QString>("question");
        const QString clear = "清空词库|清空用户词库将不可恢复，确定继续吗？";
        const QString recover = "恢复词库|确定要将所有基础词库恢复到初始状态？\n";
        QTest::newRow("cn") << QStringList{"pinyin", "清空", "clearCnThesaurus"} << 0 << clear;
        QTest::newRow("en") << QStringList{"pinyin", "清空", "clearEnThesaurus"} << 1 << clear;
        QTest::newRow("web") << QStringList{"pinyin", "清空", "clearWebEmailThesaurus"} << 2
                             << clear;
        QTest::newRow("recover") << QStringList{"pinyin", "一键恢复初始状态",
                                                "recoveryDefaultThesaurus"}
                                 << 0 << recover + "将执行:清空中文、英文、网址邮箱用户词库。";
        QTest::newRow("wubi pinyin")
            << QStringList{"wubi", "清空", "clearPinYinWuBiCnThesaurusPinYin"} << 0 << clear;
        QTest::newRow("wubi cn") << QStringList{"wubi", "清空", "clearWuBiCnThesaurus"} << 1
                                 << clear;
        QTest::newRow("wubi web") << QStringList{"wubi", "清空", "clearWuBiWebEmailThesaurus"} << 2
                                  << clear;
        QTest::newRow("wubi en, no button")
            << QStringList{"wubi", "slot_released_clearWuBiEnThesaurusButton",
                           "clearWuBiEnThesaurus"}
            << -1 << clear;
        QTest::newRow("wubi recover")
            << QStringList{"wubi", "一键恢复初始状态", "recoveryWuBiDefaultThesaurus"} << 0
            << recover + "将执行清空五笔拼音词库、五笔词库、网址邮箱词库。";
    }

    void confirmed()
    {
        QFETCH(QStringList, how);
        QFETCH(int, index);
        QFETCH(QString, question);
        startService(mService);
        QWidget *target = how[0] == "wubi" ? static_cast<QWidget *>(mWubi.get()) : mPinyin.get();
        QList<QAbstractButton *> buttons;
        for (auto *candidate : target->findChildren<QAbstractButton *>()) {
            if (candidate->text() == how[1])
                buttons << candidate;
        }
        const auto press = [&] {
            if (index < 0)
                invoke(target, how[1]);
            else
                QTest::mouseClick(buttons.value(index), Qt::LeftButton);
        };
        const QString done = how[2].startsWith("clear") ? "清空词库|清空用户词库成功！"
                                                        : "恢复词库|一键恢复初始状态成功！";
        ModalDriver driver;
        driver.answers = {0};
        press();
        QCOMPARE(driver.prompts, QStringList{question});
        QVERIFY(mService->journal().isEmpty());
        press();
        QCOMPARE(driver.prompts, QStringList({question, question, done}));
        QCOMPARE(mService->journal(), QStringList{how[2]});
    }

    void clearWithoutService()
    {
        ModalDriver driver;
        invoke(mPinyin.get(), "slot_released_clearCnThesaurusButton");
        invoke(mWubi.get(), "slot_released_recoveryWuBiDefaultThesaurusButton");
        QCOMPARE(driver.prompts.value(1), QStringLiteral("清空词库|清空用户词库失败！"));
        QCOMPARE(driver.prompts.value(3), QStringLiteral("恢复词库|一键恢复初始状态失败！"));
    }
};

QTEST_MAIN(TestUserDictionary)
#include "tst_user_dictionary.moc"
