#include "ServiceProcess.h"
#include "TestFiles.h"
#include "app/ImeServiceClient.h"
#include "app/MainController.h"
#include "pinyin/CorrectionDialog.h"
#include "window/KaiwoPromptDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace
{

// Rows of the grid: the box and its example.
const char *const kRules[][2] = {
    {"gn==>ng", "如:lign==>ling"}, {"mg==>ng", "如:homg==>hong"}, {"iou==>iu", "如:qiou==>qiu"},
    {"uei==>ui", "如:tuei==>tui"}, {"uen==>un", "如:kuen==>kun"},
};

QString correctionPath()
{
    return MainController::localPcPyDirPath() + QStringLiteral("Correction.ini");
}

QCheckBox *box(QDialog *dialog, const QString &text)
{
    for (QCheckBox *box : dialog->findChildren<QCheckBox *>()) {
        if (box->text() == text)
            return box;
    }
    return nullptr;
}

QStringList checkedRules(QDialog *dialog)
{
    QStringList texts;
    for (const auto &rule : kRules) {
        if (box(dialog, rule[0])->isChecked())
            texts << rule[0];
    }
    return texts;
}

void setRules(QDialog *dialog, const QStringList &texts)
{
    for (const auto &rule : kRules)
        box(dialog, rule[0])->setChecked(texts.contains(rule[0]));
}

void click(QDialog *dialog, const char *name)
{
    dialog->findChild<QPushButton *>(name)->click();
}

} // namespace

class TestCorrectionDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void layout();
    void okWritesFile_data();
    void okWritesFile();
    void reading_data();
    void reading();
    void restoreThenOkWritesShippedFile();
    void closingWritesAndSendsNothing_data();
    void closingWritesAndSendsNothing();
    void unusableFile_data();
    void unusableFile();

private:
    std::unique_ptr<ServiceProcess> mService;
};

void TestCorrectionDialog::initTestCase()
{
    mService = std::make_unique<ServiceProcess>();
    QVERIFY(mService->waitUntilReady(ImeServiceClient::serviceName()));
    MainController::self()->openSettings();
}

void TestCorrectionDialog::init()
{
    QDir dir(MainController::localPcPyDirPath());
    dir.removeRecursively();
    QDir().mkpath(dir.path());
    QVERIFY(writeFile(correctionPath(), "[Correction]\n"));
    mService->clearJournal();
}

void TestCorrectionDialog::layout()
{
    CorrectionDialog dialog(nullptr);
    QCOMPARE(dialog.size(), QSize(500, 325));
    QCOMPARE(dialog.objectName(), QStringLiteral("custom_border_widget"));
    QCOMPARE(dialog.findChild<QLabel *>("one_title_label")->text(), QStringLiteral("拼音纠错设置"));
    QCOMPARE(dialog.findChild<QLabel *>("label_2")->text(),
             QStringLiteral("请勾选您想要启用的纠错规则"));
    QVERIFY(dialog.findChild<QWidget *>("settings_bottom_widget"));
    auto *grid =
        qobject_cast<QGridLayout *>(dialog.findChild<QWidget *>("contentWidget")->layout());
    QCOMPARE(grid->horizontalSpacing(), 100);
    QCOMPARE(grid->verticalSpacing(), 6);
    QCOMPARE(grid->contentsMargins(), QMargins());
    for (int row = 0; row < 5; ++row) {
        QCOMPARE(qobject_cast<QCheckBox *>(grid->itemAtPosition(row, 0)->widget())->text(),
                 QString::fromUtf8(kRules[row][0]));
        QCOMPARE(qobject_cast<QLabel *>(grid->itemAtPosition(row, 1)->widget())->text(),
                 QString::fromUtf8(kRules[row][1]));
    }
}

void TestCorrectionDialog::okWritesFile_data()
{
    QTest::addColumn<QStringList>("on");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("none") << QStringList{} << QByteArray("[Correction]\n");
    QTest::newRow("gn and mg") << QStringList{"gn==>ng", "mg==>ng"}
                               << QByteArray("[Correction]\ngn=ng\nmg=ng\n");
    QTest::newRow("mg, uen, iou") << QStringList{"mg==>ng", "iou==>iu", "uen==>un"}
                                  << QByteArray("[Correction]\nuen=un\niou=iu\nmg=ng\n");
    QTest::newRow("uei") << QStringList{"uei==>ui"} << QByteArray("[Correction]\nuei=ui\n");
}

void TestCorrectionDialog::okWritesFile()
{
    QFETCH(QStringList, on);
    QFETCH(QByteArray, bytes);

    QVERIFY(writeFile(correctionPath(), "[Correction]\ngn=ng\nuen=un\niou=iu\nuei=ui\nmg=ng\n"));
    CorrectionDialog dialog(nullptr);
    setRules(&dialog, on);
    click(&dialog, "ok_pushButton");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(readFile(correctionPath()), bytes);
    QCOMPARE(mService->journal(), (QStringList{"ReloadConfig", "RebuildKeyMap"}));
    CorrectionDialog again(nullptr);
    QCOMPARE(checkedRules(&again), on);
}

void TestCorrectionDialog::reading_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("checked");
    QTest::newRow("outside any section") << QByteArray("gn=ng\n[Correction]\n") << QStringList{};
    QTest::newRow("other header") << QByteArray("[Correction]\n[Other]\ngn=ng\n") << QStringList{};
    QTest::newRow("lower-case header") << QByteArray("[correction]\ngn=ng\n") << QStringList{};
    QTest::newRow("any value") << QByteArray("[Correction]\ngn=off\nuei=\n")
                               << QStringList{"gn==>ng", "uei==>ui"};
    QTest::newRow("comment, blank, no =, unknown, spaced")
        << QByteArray("[Correction]\n#gn=ng\n\nmg\nuenn=un\nGN=ng\niou =iu\niou=iu\n")
        << QStringList{"iou==>iu"};
    QTest::newRow("CRLF") << QByteArray("\r\n[Correction]\r\nmg=ng\r\nuen=un\r\n")
                          << QStringList{"mg==>ng", "uen==>un"};
    QTest::newRow("binary junk") << QByteArray("\0[Correction]\n[Correction]\n\xff\0\nmg=\xfe\n",
                                               35)
                                 << QStringList{"mg==>ng"};
    QTest::newRow("huge line") << QByteArray("[Correction]\n") + QByteArray(500000, '=') + "\ngn=ng"
                               << QStringList{"gn==>ng"};
    QTest::newRow("empty") << QByteArray() << QStringList{};
}

void TestCorrectionDialog::reading()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, checked);
    QVERIFY(writeFile(correctionPath(), file));
    CorrectionDialog dialog(nullptr);
    QCOMPARE(checkedRules(&dialog), checked);
}

void TestCorrectionDialog::restoreThenOkWritesShippedFile()
{
    QVERIFY(writeFile(correctionPath(), "[Correction]\nmg=ng\n"));
    CorrectionDialog dialog(nullptr);
    KaiwoPromptDialog::setNextAnswer(0);
    click(&dialog, "restore_default_pushButton");
    QCOMPARE(checkedRules(&dialog), QStringList{"mg==>ng"});

    KaiwoPromptDialog::setNextAnswer(1);
    click(&dialog, "restore_default_pushButton");
    QCOMPARE(KaiwoPromptDialog::lastTitle(), QStringLiteral("恢复默认配置"));
    QCOMPARE(KaiwoPromptDialog::lastContent(), QStringLiteral("确定恢复本页默认配置？"));
    QCOMPARE(checkedRules(&dialog).size(), 5);
    QCOMPARE(readFile(correctionPath()), QByteArray("[Correction]\nmg=ng\n"));

    click(&dialog, "ok_pushButton");
    QCOMPARE(
        readFile(correctionPath()),
        readFile(QStringLiteral(KAIWO_SOURCE_DATA_DIR "/KaiwoShell/dict/PCPYDict/Correction.ini")));
    QCOMPARE(readFile(correctionPath()),
             QByteArray("[Correction]\ngn=ng\nuen=un\niou=iu\nuei=ui\nmg=ng\n"));
}

void TestCorrectionDialog::closingWritesAndSendsNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("取消") << "cancel_pushButton";
    QTest::newRow("close") << "title_close_button";
}

void TestCorrectionDialog::closingWritesAndSendsNothing()
{
    QFETCH(QString, button);
    QVERIFY(writeFile(correctionPath(), "[Correction]\nuei=ui\n"));
    CorrectionDialog dialog(nullptr);
    dialog.show();
    KaiwoPromptDialog::setNextAnswer(1);
    click(&dialog, "restore_default_pushButton");
    click(&dialog, button.toLatin1());
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(readFile(correctionPath()), QByteArray("[Correction]\nuei=ui\n"));
    QVERIFY(mService->journal().isEmpty());
}

void TestCorrectionDialog::unusableFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("file missing") << "missing";
    QTest::newRow("file is a directory") << "directory";
    QTest::newRow("directory missing") << "no directory";
}

void TestCorrectionDialog::unusableFile()
{
    QFETCH(QString, kind);
    QDir dir(MainController::localPcPyDirPath());
    QFile::remove(correctionPath());
    if (kind == "directory")
        QVERIFY(QDir().mkpath(correctionPath() + "/sub"));
    if (kind == "no directory")
        QVERIFY(dir.removeRecursively());

    CorrectionDialog dialog(nullptr);
    QCOMPARE(checkedRules(&dialog), QStringList{});
    QVERIFY(!dialog.writeCorrection());
    KaiwoPromptDialog::setNextAnswer(1);
    click(&dialog, "restore_default_pushButton");
    click(&dialog, "ok_pushButton");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             kind == "directory" ? QStringList{"Correction.ini"} : QStringList{});
    QCOMPARE(mService->journal(), (QStringList{"ReloadConfig", "RebuildKeyMap"}));
}

QTEST_MAIN(TestCorrectionDialog)
#include "tst_correction_dialog.moc"
