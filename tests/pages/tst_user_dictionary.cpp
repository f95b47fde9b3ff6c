#include "ServiceProcess.h"
#include "TestFiles.h"
#include "app/ImeServiceClient.h"
#include "app/MainController.h"
#include "pinyin/SettingPinyinWidget.h"
#include "pinyin/SettingWubiWidget.h"
#include "pinyin/UserDictionaryActions.h"
#include "window/KaiwoPromptDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDate>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

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
    std::function<void()> beforeNextAnswer;

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
            if (auto before = std::exchange(beforeNextAnswer, nullptr))
                before();
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
                // The dialog keeps accept() protected; QDialogs is public.
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

// Import files the service accepts: its text format, headed by the kind.
void writeDictionaries(const QByteArray &kind)
{
    for (const QString &path : {kPathA, kPathB, kPathC})
        QVERIFY(writeFile(path, "KaiwoUserDictionary 1 " + kind + "\nni\t你\t3\n"));
}

void invoke(QObject *page, const char *slot)
{
    QVERIFY(QMetaObject::invokeMethod(page, slot, Qt::DirectConnection));
}

QList<QAbstractButton *> buttons(QWidget *page, const QString &text)
{
    QList<QAbstractButton *> found;
    for (auto *button : page->findChildren<QAbstractButton *>()) {
        if (button->text() == text)
            found << button;
    }
    return found;
}

} // namespace

// The user-dictionary buttons of both pages against the service stand-in.
class TestUserDictionary : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { mService.reset(); }
    void importSecondOfThreeFails();
    void importOne_data();
    void importOne();
    void importAllFail();
    void cancelledDialogsSendNothing();
    void exportFile_data();
    void exportFile();
    void confirmed_data();
    void confirmed();
    void clearWithoutService();

private:
    void startService(const QStringList &arguments = {});
    QWidget *page(const QString &kind)
    {
        return kind == "wubi" ? static_cast<QWidget *>(mWubi.get()) : mPinyin.get();
    }

    std::unique_ptr<SettingPinyinWidget> mPinyin;
    std::unique_ptr<SettingWubiWidget> mWubi;
    std::unique_ptr<ServiceProcess> mService;
};

void TestUserDictionary::initTestCase()
{
    QVERIFY(QDir().mkpath(MainController::localPcPyDirPath()));
    MainController::self()->openSettings();
    mPinyin = std::make_unique<SettingPinyinWidget>();
    mWubi = std::make_unique<SettingWubiWidget>();
}

void TestUserDictionary::init()
{
    QFile::remove(home() + QStringLiteral("/service-journal.log"));
}

void TestUserDictionary::startService(const QStringList &arguments)
{
    mService = std::make_unique<ServiceProcess>(arguments);
    QVERIFY(mService->waitUntilReady(ImeServiceClient::serviceName()));
}

void TestUserDictionary::importSecondOfThreeFails()
{
    startService({"--fail-on", "say"});
    writeDictionaries("pinyin");
    ModalDriver driver;
    UserDictionaryActions::setNextFileNames({kPathA, kPathB, kPathC});
    invoke(mPinyin.get(), "slot_released_loadThesaurusButton");

    QCOMPARE(driver.prompts,
             QStringList({"导入词库|导入中文用户词库\"" + kPathB + "\"失败！",
                          "导入词库|导入中文用户词库\"" + kPathA + "  " + kPathC + "  \"成功！"}));
    QCOMPARE(mService->journal(),
             QStringList({"UsrDictImport\t" + kPathA, "UsrDictImport\t" + kPathB,
                          "UsrDictImport\t" + kPathC}));
}

void TestUserDictionary::importOne_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QByteArray>("format");
    QTest::newRow("pinyin") << "pinyin"
                            << "slot_released_loadThesaurusButton"
                            << "UsrDictImport"
                            << "导入中文用户词库" << QByteArray("pinyin");
    QTest::newRow("wubi pinyin") << "wubi"
                                 << "slot_released_loadPinYinWuBiThesaurusButton"
                                 << "UsrPinYinWuBiDictImportPinYin"
                                 << "导入用户词库" << QByteArray("wubi-pinyin");
    QTest::newRow("wubi") << "wubi"
                          << "slot_released_loadWuBiCnThesaurusButton"
                          << "UsrWuBiDictImport"
                          << "导入用户词库" << QByteArray("wubi");
}

void TestUserDictionary::importOne()
{
    QFETCH(QString, kind);
    QFETCH(QString, slot);
    QFETCH(QString, method);
    QFETCH(QString, prefix);
    QFETCH(QByteArray, format);
    startService();
    writeDictionaries(format);
    ModalDriver driver;
    UserDictionaryActions::setNextFileNames({kPathB});
    invoke(page(kind), qPrintable(slot));
    QCOMPARE(driver.prompts, QStringList("导入词库|" + prefix + "\"" + kPathB + "\"成功！"));
    QCOMPARE(mService->journal(), QStringList(method + "\t" + kPathB));
}

void TestUserDictionary::importAllFail()
{
    startService({"--answer", "false"});
    writeDictionaries("wubi");
    ModalDriver driver;
    UserDictionaryActions::setNextFileNames({kPathA, kPathC});
    invoke(mWubi.get(), "slot_released_loadWuBiCnThesaurusButton");
    QCOMPARE(driver.prompts, QStringList({"导入词库|导入用户词库\"" + kPathA + "\"失败！",
                                          "导入词库|导入用户词库\"" + kPathC + "\"失败！"}));
}

void TestUserDictionary::cancelledDialogsSendNothing()
{
    startService();
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

void TestUserDictionary::exportFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("defaultName");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("prompt");
    const QString date = QDate::currentDate().toString("yyyy_MM_dd");
    const QString pinyin = "/凯沃词库备份_" + date + ".bin";
    const QString wubiPinyin = "/凯沃拼音五笔词库备份_" + date + ".txt";
    const QString wubi = "/凯沃五笔词库备份_" + date + ".txt";
    QTest::newRow("pinyin ok") << "pinyin"
                               << "slot_released_exportThesaurusButton"
                               << "UsrDictBackup" << pinyin << "加密词库文件(*.bin)"
                               << "true"
                               << "导出中文用户词库\"%1\"成功！";
    QTest::newRow("pinyin error") << "pinyin"
                                  << "slot_released_exportThesaurusButton"
                                  << "UsrDictBackup" << pinyin << "加密词库文件(*.bin)"
                                  << "error"
                                  << "导出中文用户词库\"%1\"失败！";
    QTest::newRow("wubi pinyin ok")
        << "wubi"
        << "slot_released_exportPinYinWuBiThesaurusButton"
        << "UsrWuBiPinYinDictBackupPinYin" << wubiPinyin << "文本词库文件（*.txt)"
        << "true"
        << "导出用户词库\"%1\"成功！";
    // The two prefixes of this one differ.
    QTest::newRow("wubi ok") << "wubi"
                             << "slot_released_exportWuBiCnThesaurusButton"
                             << "UsrWuBiDictBackup" << wubi << "文本词库文件（*.txt）"
                             << "true"
                             << "导出中文用户词库\"%1\"成功！";
    QTest::newRow("wubi false") << "wubi"
                                << "slot_released_exportWuBiCnThesaurusButton"
                                << "UsrWuBiDictBackup" << wubi << "文本词库文件（*.txt）"
                                << "false"
                                << "导出用户词库\"%1\"失败！";
}

void TestUserDictionary::exportFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, slot);
    QFETCH(QString, method);
    QFETCH(QString, defaultName);
    QFETCH(QString, filter);
    QFETCH(QString, answer);
    QFETCH(QString, prompt);
    startService({"--answer", answer});
    // The file dialog reads double quotes as a list of names, so none here.
    const QString path = home() + QStringLiteral("/备份 新.txt");
    QFile::remove(path);
    ModalDriver driver;
    driver.savePath = path;
    invoke(page(kind), qPrintable(slot));
    QCOMPARE(driver.fileDialog, QStringList({"词库另存为", home(), home() + defaultName, filter}));
    QCOMPARE(mService->journal(), QStringList(method + "\t" + path));
    QCOMPARE(driver.prompts, QStringList("导出词库|" + prompt.arg(path)));
}

void TestUserDictionary::confirmed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("done");
    const QString clear = "清空词库|清空用户词库将不可恢复，确定继续吗？";
    const QString cleared = "清空词库|清空用户词库成功！";
    const QString recover = "恢复词库|确定要将所有基础词库恢复到初始状态？\n";
    const QString recovered = "恢复词库|一键恢复初始状态成功！";
    QTest::newRow("cn") << "pinyin"
                        << "清空" << 0 << "clearCnThesaurus" << clear << cleared;
    QTest::newRow("en") << "pinyin"
                        << "清空" << 1 << "clearEnThesaurus" << clear << cleared;
    QTest::newRow("web") << "pinyin"
                         << "清空" << 2 << "clearWebEmailThesaurus" << clear << cleared;
    QTest::newRow("recover") << "pinyin"
                             << "一键恢复初始状态" << 0 << "recoveryDefaultThesaurus"
                             << recover + "将执行:清空中文、英文、网址邮箱用户词库。" << recovered;
    QTest::newRow("wubi pinyin") << "wubi"
                                 << "清空" << 0 << "clearPinYinWuBiCnThesaurusPinYin" << clear
                                 << cleared;
    QTest::newRow("wubi cn") << "wubi"
                             << "清空" << 1 << "clearWuBiCnThesaurus" << clear << cleared;
    QTest::newRow("wubi web") << "wubi"
                              << "清空" << 2 << "clearWuBiWebEmailThesaurus" << clear << cleared;
    QTest::newRow("wubi en (no button)") << "wubi"
                                         << "slot_released_clearWuBiEnThesaurusButton" << -1
                                         << "clearWuBiEnThesaurus" << clear << cleared;
    QTest::newRow("wubi recover") << "wubi"
                                  << "一键恢复初始状态" << 0 << "recoveryWuBiDefaultThesaurus"
                                  << recover + "将执行清空五笔拼音词库、五笔词库、网址邮箱词库。"
                                  << recovered;
}

void TestUserDictionary::confirmed()
{
    QFETCH(QString, kind);
    QFETCH(QString, button);
    QFETCH(int, index);
    QFETCH(QString, method);
    QFETCH(QString, question);
    QFETCH(QString, done);
    startService();
    auto press = [&] {
        if (index < 0)
            invoke(page(kind), qPrintable(button));
        else
            QTest::mouseClick(buttons(page(kind), button).value(index), Qt::LeftButton);
    };
    ModalDriver driver;
    driver.answers = {0};
    press();
    QCOMPARE(driver.prompts, QStringList(question));
    QVERIFY(mService->journal().isEmpty());

    press();
    QCOMPARE(driver.prompts, QStringList({question, question, done}));
    QCOMPARE(mService->journal(), QStringList(method));
}

void TestUserDictionary::clearWithoutService()
{
    ModalDriver driver;
    invoke(mPinyin.get(), "slot_released_clearCnThesaurusButton");
    invoke(mWubi.get(), "slot_released_recoveryWuBiDefaultThesaurusButton");
    QCOMPARE(driver.prompts.value(1), QStringLiteral("清空词库|清空用户词库失败！"));
    QCOMPARE(driver.prompts.value(3), QStringLiteral("恢复词库|一键恢复初始状态失败！"));
}

QTEST_MAIN(TestUserDictionary)
#include "tst_user_dictionary.moc"
