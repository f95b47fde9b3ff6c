#include "PageFixture.h"
#include "pinyin/CorrectionDialog.h"

namespace
{

const QStringList kRules{"gn==>ng", "mg==>ng", "iou==>iu", "uei==>ui", "uen==>un"};
const QByteArray kShipped = "[Correction]\ngn=ng\nuen=un\niou=iu\nuei=ui\nmg=ng\n";

QStringList checkedRules(QDialog *dialog)
{
    QStringList texts;
    for (const QString &rule : kRules) {
        if (boxWithText(dialog, rule)->isChecked())
            texts << rule;
    }
    return texts;
}

} // namespace

class TestCorrectionDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServiceProcess> mService;
    const QStringList kReloaded{"ReloadConfig", "RebuildKeyMap"};

    static QString correctionPath() { return pyFile("Correction.ini"); }

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
        QVERIFY(writeFile(correctionPath(), kShipped));
        mService->clearJournal();
    }

    void okWritesFile_data()
    {
        QTest::addColumn<QStringList>("on");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("none") << QStringList{} << QByteArray("[Correction]\n");
        QTest::newRow("gn and mg")
            << QStringList{"gn==>ng", "mg==>ng"} << QByteArray("[Correction]\ngn=ng\nmg=ng\n");
        QTest::newRow("file order") << QStringList{"mg==>ng", "iou==>iu", "uen==>un"}
                                    << QByteArray("[Correction]\nuen=un\niou=iu\nmg=ng\n");
    }

    void okWritesFile()
    {
        QFETCH(QStringList, on);
        QFETCH(QByteArray, bytes);
        CorrectionDialog dialog(nullptr);
        dialog.show();
        for (const QString &rule : kRules)
            boxWithText(&dialog, rule)->setChecked(on.contains(rule));
        leave(&dialog, kOkButton);
        QCOMPARE(readFile(correctionPath()), bytes);
        QCOMPARE(mService->journal(), kReloaded);
        CorrectionDialog again(nullptr);
        QCOMPARE(checkedRules(&again), on);
    }

    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("checked");
        QTest::newRow("outside the section, other or lower-case header")
            << QByteArray("gn=ng\n[correction]\nmg=ng\n[Correction]\n[Other]\nuen=un\n")
            << QStringList{};
        QTest::newRow("any value; commented, spaced, unknown keys skipped")
            << QByteArray("[Correction]\ngn=off\nuei=\n#mg=ng\n\nmg\nuenn=un\nGN=ng\nuen =un\n"
                          "iou=iu\n")
            << QStringList{"gn==>ng", "iou==>iu", "uei==>ui"};
        QTest::newRow("CRLF, no final line feed")
            << QByteArray("\r\n[Correction]\r\nmg=ng\r\nuen=un")
            << QStringList{"mg==>ng", "uen==>un"};
        QTest::newRow("binary junk")
            << literalBytes("\0[Correction]\n[Correction]\n\xff\0\nmg=\xfe\n")
            << QStringList{"mg==>ng"};
        QTest::newRow("huge line")
            << QByteArray("[Correction]\n") + QByteArray(500000, '=') + "\ngn=ng"
            << QStringList{"gn==>ng"};
        QTest::newRow("empty") << QByteArray() << QStringList{};
    }

    void reading()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, checked);
        QVERIFY(writeFile(correctionPath(), file));
        CorrectionDialog dialog(nullptr);
        QCOMPARE(checkedRules(&dialog), checked);
    }

    void restoreThenLeave_data() { addLeaveRows(); }

    void restoreThenLeave()
    {
        QFETCH(QString, button);
        QVERIFY(writeFile(correctionPath(), "[Correction]\nmg=ng\n"));
        CorrectionDialog dialog(nullptr);
        dialog.show();
        clickRestore(&dialog, 0);
        QCOMPARE(checkedRules(&dialog), QStringList{"mg==>ng"});
        clickRestore(&dialog, 1);
        QCOMPARE(checkedRules(&dialog), kRules);
        QCOMPARE(readFile(correctionPath()), QByteArray("[Correction]\nmg=ng\n"));

        leave(&dialog, button);
        if (button == kOkButton) {
            QCOMPARE(readFile(correctionPath()),
                     readFile(KAIWO_SOURCE_DATA_DIR "/KaiwoShell/dict/PCPYDict/Correction.ini"));
            QCOMPARE(readFile(correctionPath()), kShipped);
            QCOMPARE(mService->journal(), kReloaded);
        } else {
            QCOMPARE(readFile(correctionPath()), QByteArray("[Correction]\nmg=ng\n"));
            QVERIFY(mService->journal().isEmpty());
        }
    }

    void unusableFile_data() { addUnusableFileRows(); }

    void unusableFile()
    {
        QFETCH(QString, kind);
        QDir dir(MainController::localPcPyDirPath());
        makeUnusable(correctionPath(), kind);

        CorrectionDialog dialog(nullptr);
        dialog.show();
        QCOMPARE(checkedRules(&dialog), QStringList{});
        QVERIFY(!dialog.writeCorrection());
        clickRestore(&dialog, 1);
        leave(&dialog, kOkButton);
        QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 kind == "directory" ? QStringList{"Correction.ini"} : QStringList{});
        QCOMPARE(mService->journal(), kReloaded);
    }
};

QTEST_MAIN(TestCorrectionDialog)
#include "tst_correction_dialog.moc"
