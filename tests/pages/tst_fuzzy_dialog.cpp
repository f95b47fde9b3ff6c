#include "PageFixture.h"
#include "pinyin/MoHuYinDialog.h"

#include <QSettings>

namespace
{

// Box text and file line, in file order (the screen order differs).
const char *const kPairs[][2] = {
    {"z = zh", "zh=z"},         {"c = ch", "ch=c"},     {"s = sh", "sh=s"},
    {"r = l", "l=r"},           {"l = n", "n=l"},       {"f = h", "h=f"},
    {"an = ang", "ang=an"},     {"en = eng", "eng=en"}, {"ian = iang", "iang=ian"},
    {"uan = uang", "uang=uan"}, {"in = ing", "ing=in"},
};

const QByteArray kHead = "[Metadata]\nversion=1\n[Fuzzy]\n";
const QString kFuzzy = QStringLiteral("Fuzzy.dat");

QStringList checkedPairs(QDialog *dialog)
{
    QStringList texts;
    for (const auto &pair : kPairs) {
        if (boxWithText(dialog, pair[0])->isChecked())
            texts << pair[0];
    }
    return texts;
}

void setPairs(QDialog *dialog, const QStringList &texts)
{
    for (const auto &pair : kPairs)
        boxWithText(dialog, pair[0])->setChecked(texts.contains(pair[0]));
}

} // namespace

class TestFuzzyDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServiceProcess> mService;
    const QStringList kReloaded{"ReloadConfig", "RebuildKeyMap"};

    static QByteArray shipped(const QString &name)
    {
        return readFile(KAIWO_SOURCE_DATA_DIR "/KaiwoShell/dict/PCPYDict/" + name);
    }
    static QCheckBox *smartBox(QDialog *dialog)
    {
        return boxWithText(dialog, "开启智能模糊音推荐");
    }
    static int storedSmart()
    {
        MainController::self()->settings(CON_CURRENT)->sync();
        return MainController::self()
            ->settings(CON_CURRENT)
            ->value("Setting/MohuSmart", -1)
            .toInt();
    }
    static void setEnv(const QByteArray &bytes)
    {
        QVERIFY(writeFile(pyFile("env.ini"), bytes));
        MainController::self()->settings(CON_CURRENT)->sync();
    }

private slots:
    void initTestCase()
    {
        startService(mService);
        openUserSettings();
    }

    void init()
    {
        QDir(MainController::localPcPyDirPath()).removeRecursively();
        QDir().mkpath(MainController::localPcPyDirPath());
        setEnv(shipped("env.ini"));
        QVERIFY(writeFile(pyFile(kFuzzy), kHead + "[Gray]\n"));
        mService->clearJournal();
    }

    void okWritesFileAndSmart_data()
    {
        QTest::addColumn<QStringList>("on");
        QTest::addColumn<bool>("smart");
        QTest::addColumn<QByteArray>("bytes");
        QByteArray allGray;
        QStringList all;
        for (const auto &pair : kPairs) {
            allGray += pair[1] + QByteArray("\n");
            all << pair[0];
        }
        QTest::newRow("none, smart") << QStringList{} << true << kHead + "[Gray]\n" + allGray;
        QTest::newRow("z and an, smart")
            << QStringList{"z = zh", "an = ang"} << true
            << kHead + "zh=z\nang=an\n[Gray]\nch=c\nsh=s\nl=r\nn=l\nh=f\neng=en\niang=ian\n"
                       "uang=uan\ning=in\n";
        QTest::newRow("z and an") << QStringList{"z = zh", "an = ang"} << false
                                  << kHead + "zh=z\nang=an\n[Gray]\n";
        QTest::newRow("all, smart") << all << true << kHead + allGray + "[Gray]\n";
        QTest::newRow("in, r, l: file order") << QStringList{"in = ing", "r = l", "l = n"} << false
                                              << kHead + "l=r\nn=l\ning=in\n[Gray]\n";
    }

    void okWritesFileAndSmart()
    {
        QFETCH(QStringList, on);
        QFETCH(bool, smart);
        QFETCH(QByteArray, bytes);
        MoHuYinDialog dialog(nullptr);
        dialog.show();
        setPairs(&dialog, on);
        smartBox(&dialog)->setChecked(smart);
        leave(&dialog, kOkButton);
        QCOMPARE(readFile(pyFile(kFuzzy)), bytes);
        QCOMPARE(storedSmart(), smart ? 1 : 0);
        QCOMPARE(mService->journal(), kReloaded);
        MoHuYinDialog again(nullptr);
        QCOMPARE(checkedPairs(&again), checkedPairs(&dialog));
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("checked");
        QTest::newRow("outside [Fuzzy], under [Gray]")
            << QByteArray("zh=z\n[Fuzzy]\n[Gray]\nch=c\n") << QStringList{};
        QTest::newRow("lower-case or spaced header")
            << QByteArray("[fuzzy]\nzh=z\n[Fuzzy] \nch=c\n") << QStringList{};
        QTest::newRow("any value; spaced, commented, unknown keys skipped")
            << QByteArray("[Fuzzy]\nzh=whatever=x\nh=\nch =c\n sh=s\n#n=l\n\neng\nzhh=z\n"
                          "ZH=z\nang=an\n")
            << QStringList{"z = zh", "f = h", "an = ang"};
        QTest::newRow("CRLF, section reopened, no final line feed")
            << QByteArray("[Metadata]\r\n[Fuzzy]\r\nzh=z\r\n[Gray]\r\nch=c\r\n[Fuzzy]\r\neng=en")
            << QStringList{"z = zh", "en = eng"};
        QTest::newRow("binary junk")
            << literalBytes("[Fuzzy]\n\xff\xfe\0\x01zh=z\n\0\nn=\xff\0\n") << QStringList{"l = n"};
        QTest::newRow("huge lines")
            << QByteArray("[Fuzzy]\n") + QByteArray(300000, 'x') +
                   "\nsh=" + QByteArray(300000, 's') + "\n" + QByteArray(300000, '[') + "\nch=c\n"
            << QStringList{"s = sh"};
        QTest::newRow("empty") << QByteArray() << QStringList{};
    }

    void reading()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, checked);
        QVERIFY(writeFile(pyFile(kFuzzy), file));
        MoHuYinDialog dialog(nullptr);
        QCOMPARE(checkedPairs(&dialog), checked);
    }

    void smartShown_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("checked");
        QTest::newRow("0") << QByteArray("MohuSmart=0\n") << false;
        QTest::newRow("2") << QByteArray("MohuSmart=2\n") << true;
        QTest::newRow("absent") << QByteArray() << true;
    }

    void smartShown()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, checked);
        setEnv("[Setting]\n" + line);
        MoHuYinDialog dialog(nullptr);
        QCOMPARE(smartBox(&dialog)->isChecked(), checked);
    }

    void restoreThenLeave_data() { addLeaveRows(); }

    void restoreThenLeave()
    {
        QFETCH(QString, button);
        QVERIFY(writeFile(pyFile(kFuzzy), "[Fuzzy]\nzh=z\nh=f\n"));
        setEnv("[Setting]\nMohuSmart=0\n");
        const QByteArray oldFuzzy = readFile(pyFile(kFuzzy));
        const QByteArray oldEnv = readFile(pyFile("env.ini"));
        MoHuYinDialog dialog(nullptr);
        dialog.show();
        clickRestore(&dialog, 0);
        QCOMPARE(checkedPairs(&dialog), (QStringList{"z = zh", "f = h"}));
        QVERIFY(!smartBox(&dialog)->isChecked());
        clickRestore(&dialog, 1);
        QCOMPARE(checkedPairs(&dialog), QStringList{});
        QVERIFY(smartBox(&dialog)->isChecked());
        QCOMPARE(readFile(pyFile(kFuzzy)), oldFuzzy);
        QCOMPARE(readFile(pyFile("env.ini")), oldEnv);
        QVERIFY(mService->journal().isEmpty());

        leave(&dialog, button);
        if (button == kOkButton) {
            QCOMPARE(readFile(pyFile(kFuzzy)), shipped("Fuzzy.dat"));
            QCOMPARE(storedSmart(), 1);
            QCOMPARE(mService->journal(), kReloaded);
        } else {
            QCOMPARE(readFile(pyFile(kFuzzy)), oldFuzzy);
            QCOMPARE(readFile(pyFile("env.ini")), oldEnv);
            QVERIFY(mService->journal().isEmpty());
        }
    }

    void unusableFile_data() { addUnusableFileRows(); }

    void unusableFile()
    {
        QFETCH(QString, kind);
        QDir dir(MainController::localPcPyDirPath());
        makeUnusable(pyFile(kFuzzy), kind);

        MoHuYinDialog dialog(nullptr);
        dialog.show();
        QCOMPARE(checkedPairs(&dialog), QStringList{});
        QVERIFY(!dialog.writeMoHuYinIni());
        setPairs(&dialog, {"z = zh"});
        smartBox(&dialog)->setChecked(false);
        leave(&dialog, kOkButton);
        // No file appears, no temporary is left behind; the service is still told.
        QCOMPARE(dir.entryList({"Fuzzy.dat*"}, QDir::AllEntries | QDir::NoDotAndDotDot),
                 kind == "directory" ? QStringList{kFuzzy} : QStringList{});
        QCOMPARE(QFileInfo(pyFile(kFuzzy)).isDir(), kind == "directory");
        QCOMPARE(storedSmart(), 0);
        QCOMPARE(mService->journal(), kReloaded);
    }
};

QTEST_MAIN(TestFuzzyDialog)
#include "tst_fuzzy_dialog.moc"
