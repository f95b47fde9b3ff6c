#include "ServiceProcess.h"
#include "TestFiles.h"
#include "app/ImeServiceClient.h"
#include "app/MainController.h"
#include "pinyin/MoHuYinDialog.h"
#include "window/KaiwoPromptDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <memory>

namespace
{

struct Pair {
    const char *text;
    const char *line;
    int row, column;
};

// File order, as the engine lists the pairs.
const Pair kPairs[] = {
    {"z = zh", "zh=z", 0, 0},         {"c = ch", "ch=c", 0, 1},
    {"s = sh", "sh=s", 0, 2},         {"r = l", "l=r", 1, 2},
    {"l = n", "n=l", 1, 0},           {"f = h", "h=f", 1, 1},
    {"an = ang", "ang=an", 2, 0},     {"en = eng", "eng=en", 2, 1},
    {"ian = iang", "iang=ian", 3, 0}, {"uan = uang", "uang=uan", 3, 1},
    {"in = ing", "ing=in", 2, 2},
};

const QByteArray kHead = "[Metadata]\nversion=1\n[Fuzzy]\n";

QString fuzzyPath()
{
    return MainController::localPcPyDirPath() + QStringLiteral("Fuzzy.dat");
}

QString envPath()
{
    return MainController::localPcPyDirPath() + QStringLiteral("env.ini");
}

QByteArray shipped(const char *name)
{
    return readFile(QStringLiteral(KAIWO_SOURCE_DATA_DIR "/KaiwoShell/dict/PCPYDict/") +
                    QLatin1String(name));
}

QCheckBox *box(QDialog *dialog, const QString &text)
{
    for (QCheckBox *box : dialog->findChildren<QCheckBox *>()) {
        if (box->text() == text)
            return box;
    }
    return nullptr;
}

// The texts of the checked pair boxes, in file order.
QStringList checkedPairs(QDialog *dialog)
{
    QStringList texts;
    for (const Pair &pair : kPairs) {
        if (box(dialog, pair.text)->isChecked())
            texts << pair.text;
    }
    return texts;
}

void setPairs(QDialog *dialog, const QStringList &texts)
{
    for (const Pair &pair : kPairs)
        box(dialog, pair.text)->setChecked(texts.contains(pair.text));
}

QCheckBox *smartBox(QDialog *dialog)
{
    return box(dialog, QStringLiteral("开启智能模糊音推荐"));
}

void click(QDialog *dialog, const char *name)
{
    dialog->findChild<QPushButton *>(name)->click();
}

int storedSmart()
{
    QSettings *store = MainController::self()->settings(CON_CURRENT);
    store->sync();
    return store->value(QStringLiteral("Setting/MohuSmart"), -100).toInt();
}

} // namespace

class TestFuzzyDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void layout();
    void okWritesFileAndSmart_data();
    void okWritesFileAndSmart();
    void reading_data();
    void reading();
    void readingNeverClears();
    void smartShown_data();
    void smartShown();
    void restoreThenOkWritesShippedFile();
    void closingWritesAndSendsNothing_data();
    void closingWritesAndSendsNothing();
    void unusableFile_data();
    void unusableFile();

private:
    std::unique_ptr<ServiceProcess> mService;
};

void TestFuzzyDialog::initTestCase()
{
    mService = std::make_unique<ServiceProcess>();
    QVERIFY(mService->waitUntilReady(ImeServiceClient::serviceName()));
    QDir().mkpath(MainController::localPcPyDirPath());
    MainController::self()->openSettings();
}

void TestFuzzyDialog::init()
{
    QDir dir(MainController::localPcPyDirPath());
    dir.removeRecursively();
    QDir().mkpath(dir.path());
    QVERIFY(writeFile(envPath(), shipped("env.ini")));
    QVERIFY(writeFile(fuzzyPath(), kHead + "[Gray]\n"));
    MainController::self()->settings(CON_CURRENT)->sync();
    mService->clearJournal();
}

void TestFuzzyDialog::layout()
{
    MoHuYinDialog dialog(nullptr);
    QCOMPARE(dialog.size(), QSize(500, 325));
    QCOMPARE(dialog.objectName(), QStringLiteral("custom_border_widget"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("凯沃输入法"));
    QCOMPARE(dialog.findChild<QLabel *>("one_title_label")->text(), QStringLiteral("模糊音设置"));
    QCOMPARE(dialog.findChild<QLabel *>("label_2")->text(),
             QStringLiteral("请勾选您想使用的模糊音"));
    QVERIFY(dialog.findChild<QWidget *>("settings_bottom_widget"));
    auto *grid = dialog.findChild<QWidget *>("contentWidget")->findChild<QGridLayout *>();
    QCOMPARE(grid->horizontalSpacing(), 10);
    QCOMPARE(grid->verticalSpacing(), 6);
    for (const Pair &pair : kPairs) {
        int row, column, rows, columns;
        QVERIFY2(box(&dialog, pair.text), pair.text);
        grid->getItemPosition(grid->indexOf(box(&dialog, pair.text)), &row, &column, &rows,
                              &columns);
        QCOMPARE(QPoint(row, column), QPoint(pair.row, pair.column));
    }
}

void TestFuzzyDialog::okWritesFileAndSmart_data()
{
    QTest::addColumn<QStringList>("on");
    QTest::addColumn<bool>("smart");
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray allGray = "zh=z\nch=c\nsh=s\nl=r\nn=l\nh=f\nang=an\neng=en\niang=ian\n"
                               "uang=uan\ning=in\n";
    QTest::newRow("none, smart") << QStringList{} << true << kHead + "[Gray]\n" + allGray;
    QTest::newRow("none") << QStringList{} << false << kHead + "[Gray]\n";
    QTest::newRow("z and an, smart")
        << QStringList{"z = zh", "an = ang"} << true
        << kHead + "zh=z\nang=an\n[Gray]\nch=c\nsh=s\nl=r\nn=l\nh=f\neng=en\niang=ian\n"
                   "uang=uan\ning=in\n";
    QTest::newRow("z and an") << QStringList{"z = zh", "an = ang"} << false
                              << kHead + "zh=z\nang=an\n[Gray]\n";
    QStringList all;
    for (const Pair &pair : kPairs)
        all << pair.text;
    QTest::newRow("all, smart") << all << true << kHead + allGray + "[Gray]\n";
    QTest::newRow("in and r, screen order differs")
        << QStringList{"in = ing", "r = l", "l = n"} << false
        << kHead + "l=r\nn=l\ning=in\n[Gray]\n";
}

void TestFuzzyDialog::okWritesFileAndSmart()
{
    QFETCH(QStringList, on);
    QFETCH(bool, smart);
    QFETCH(QByteArray, bytes);

    MoHuYinDialog dialog(nullptr);
    setPairs(&dialog, on);
    smartBox(&dialog)->setChecked(smart);
    click(&dialog, "ok_pushButton");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(readFile(fuzzyPath()), bytes);
    QCOMPARE(storedSmart(), smart ? 1 : 0);
    QCOMPARE(mService->journal(), (QStringList{"ReloadConfig", "RebuildKeyMap"}));
    // What was written reads back as the same boxes.
    MoHuYinDialog again(nullptr);
    QCOMPARE(checkedPairs(&again), checkedPairs(&dialog));
}

void TestFuzzyDialog::reading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("checked");

    QTest::newRow("only under Gray") << kHead + "[Gray]\nzh=z\n" << QStringList{};
    QTest::newRow("outside any section") << QByteArray("zh=z\n[Fuzzy]\n") << QStringList{};
    QTest::newRow("lower-case header") << QByteArray("[fuzzy]\nzh=z\n") << QStringList{};
    QTest::newRow("header with space") << QByteArray("[Fuzzy] \nzh=z\n") << QStringList{};
    QTest::newRow("any value") << QByteArray("[Fuzzy]\nzh=whatever=x\nh=\n")
                               << QStringList{"z = zh", "f = h"};
    QTest::newRow("space before =") << QByteArray("[Fuzzy]\nzh =z\n ch=c\n") << QStringList{};
    QTest::newRow("comment, blank, no =, unknown")
        << QByteArray("[Fuzzy]\n#zh=z\n\nsh\nzhh=z\nZH=z\nang=an\n") << QStringList{"an = ang"};
    QTest::newRow("CRLF") << QByteArray(
                                 "[Metadata]\r\n[Fuzzy]\r\nzh=z\r\ning=in\r\n[Gray]\r\nch=c\r\n")
                          << QStringList{"z = zh", "in = ing"};
    QTest::newRow("no final line feed") << QByteArray("[Fuzzy]\neng=en") << QStringList{"en = eng"};
    QTest::newRow("section reopened")
        << QByteArray("[Fuzzy]\nzh=z\n[Gray]\nch=c\n[Fuzzy]\nuang=uan\n")
        << QStringList{"z = zh", "uan = uang"};
    QTest::newRow("binary junk") << QByteArray("[Fuzzy]\n\xff\xfe\0\x01zh=z\n\0\nn=\xff\0\n", 24)
                                 << QStringList{"l = n"};
    QTest::newRow("huge line") << QByteArray("[Fuzzy]\n") + QByteArray(300000, 'x') +
                                      "\nsh=" + QByteArray(300000, 's') + "\n" +
                                      QByteArray(300000, '[') + "\nch=c\n"
                               << QStringList{"s = sh"};
    QTest::newRow("empty") << QByteArray() << QStringList{};
}

void TestFuzzyDialog::reading()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, checked);

    QVERIFY(writeFile(fuzzyPath(), file));
    MoHuYinDialog dialog(nullptr);
    QCOMPARE(checkedPairs(&dialog), checked);
}

void TestFuzzyDialog::readingNeverClears()
{
    QVERIFY(writeFile(fuzzyPath(), "[Fuzzy]\nzh=z\n"));
    MoHuYinDialog dialog(nullptr);
    QDir().mkpath(QDir::home().filePath("other"));
    const QString other = QDir::home().filePath("other/");
    QVERIFY(writeFile(other + "Fuzzy.dat", "[Fuzzy]\nch=c\n"));
    QVERIFY(dialog.readMoHuYinIni(other));
    QCOMPARE(checkedPairs(&dialog), (QStringList{"z = zh", "c = ch"}));
    QVERIFY(!dialog.readMoHuYinIni(QDir::home().filePath("nowhere/")));
    QCOMPARE(checkedPairs(&dialog).size(), 2);
}

void TestFuzzyDialog::smartShown_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("checked");
    QTest::newRow("0") << QByteArray("MohuSmart=0\n") << false;
    QTest::newRow("1") << QByteArray("MohuSmart=1\n") << true;
    QTest::newRow("2") << QByteArray("MohuSmart=2\n") << true;
    QTest::newRow("absent") << QByteArray() << true;
}

void TestFuzzyDialog::smartShown()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, checked);
    QVERIFY(writeFile(envPath(), "[Setting]\n" + line));
    MainController::self()->settings(CON_CURRENT)->sync();
    MoHuYinDialog dialog(nullptr);
    QCOMPARE(smartBox(&dialog)->isChecked(), checked);
}

void TestFuzzyDialog::restoreThenOkWritesShippedFile()
{
    QVERIFY(writeFile(fuzzyPath(), "[Fuzzy]\nzh=z\nh=f\n"));
    QVERIFY(writeFile(envPath(), "[Setting]\nMohuSmart=0\n"));
    MainController::self()->settings(CON_CURRENT)->sync();
    const QByteArray oldFuzzy = readFile(fuzzyPath());
    const QByteArray oldEnv = readFile(envPath());
    MoHuYinDialog dialog(nullptr);

    KaiwoPromptDialog::setNextAnswer(0);
    click(&dialog, "restore_default_pushButton");
    QCOMPARE(checkedPairs(&dialog), (QStringList{"z = zh", "f = h"}));
    QVERIFY(!smartBox(&dialog)->isChecked());

    KaiwoPromptDialog::setNextAnswer(1);
    click(&dialog, "restore_default_pushButton");
    QCOMPARE(KaiwoPromptDialog::lastTitle(), QStringLiteral("恢复默认配置"));
    QCOMPARE(KaiwoPromptDialog::lastContent(), QStringLiteral("确定恢复本页默认配置？"));
    QCOMPARE(checkedPairs(&dialog), QStringList{});
    QVERIFY(smartBox(&dialog)->isChecked());
    QCOMPARE(readFile(fuzzyPath()), oldFuzzy);
    QCOMPARE(readFile(envPath()), oldEnv);
    QVERIFY(mService->journal().isEmpty());

    click(&dialog, "ok_pushButton");
    QCOMPARE(readFile(fuzzyPath()), shipped("Fuzzy.dat"));
    QCOMPARE(storedSmart(), 1);
}

void TestFuzzyDialog::closingWritesAndSendsNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("取消") << "cancel_pushButton";
    QTest::newRow("close") << "title_close_button";
}

void TestFuzzyDialog::closingWritesAndSendsNothing()
{
    QFETCH(QString, button);
    QVERIFY(writeFile(fuzzyPath(), "[Fuzzy]\nzh=z\n"));
    const QByteArray oldFuzzy = readFile(fuzzyPath());
    const QByteArray oldEnv = readFile(envPath());
    MoHuYinDialog dialog(nullptr);
    dialog.show();
    KaiwoPromptDialog::setNextAnswer(1);
    click(&dialog, "restore_default_pushButton");
    setPairs(&dialog, {"c = ch"});
    smartBox(&dialog)->setChecked(false);
    click(&dialog, button.toLatin1());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(readFile(fuzzyPath()), oldFuzzy);
    QCOMPARE(readFile(envPath()), oldEnv);
    QVERIFY(mService->journal().isEmpty());
}

void TestFuzzyDialog::unusableFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("file missing") << "missing";
    QTest::newRow("file is a directory") << "directory";
    QTest::newRow("directory missing") << "no directory";
}

void TestFuzzyDialog::unusableFile()
{
    QFETCH(QString, kind);
    QDir dir(MainController::localPcPyDirPath());
    QFile::remove(fuzzyPath());
    if (kind == "directory")
        QVERIFY(QDir().mkpath(fuzzyPath() + "/sub"));
    if (kind == "no directory")
        QVERIFY(dir.removeRecursively());

    MoHuYinDialog dialog(nullptr);
    QCOMPARE(checkedPairs(&dialog), QStringList{});
    QVERIFY(!dialog.writeMoHuYinIni());
    setPairs(&dialog, {"z = zh"});
    smartBox(&dialog)->setChecked(false);
    click(&dialog, "ok_pushButton");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    // No file appears, no temporary is left behind; the service is told.
    QCOMPARE(dir.entryList({"Fuzzy.dat*"}, QDir::AllEntries | QDir::NoDotAndDotDot),
             kind == "directory" ? QStringList{"Fuzzy.dat"} : QStringList{});
    QCOMPARE(QFileInfo(fuzzyPath()).isDir(), kind == "directory");
    QCOMPARE(storedSmart(), 0);
    QCOMPARE(mService->journal(), (QStringList{"ReloadConfig", "RebuildKeyMap"}));
}

QTEST_MAIN(TestFuzzyDialog)
#include "tst_fuzzy_dialog.moc"
