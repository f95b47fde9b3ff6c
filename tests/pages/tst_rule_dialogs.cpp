#include "PageFixture.h"
#include "pinyin/CorrectionDialog.h"
#include "pinyin/MoHuYinDialog.h"

#include <functional>

namespace
{

// The two dialogs that edit one rule file each: correction (the rules that
// are on) and fuzzy syllables (on under [Fuzzy], the smart box's
// suggestions under [Gray], the box itself in env.ini).
struct RuleDialog {
    QString file;
    QStringList boxes; // in file order; the screen order differs
    std::function<QDialog *()> make;
    std::function<bool(QDialog *)> write;
};

const QStringList kRules{"gn==>ng", "uen==>un", "iou==>iu", "uei==>ui", "mg==>ng"};
const QStringList kPairs{"z = zh",   "c = ch",   "s = sh",     "r = l",      "l = n",   "f = h",
                         "an = ang", "en = eng", "ian = iang", "uan = uang", "in = ing"};
const QByteArray kFuzzyHead = "[Metadata]\nversion=1\n[Fuzzy]\n";

const RuleDialog &ruleDialog(const QString &kind)
{
    static const RuleDialog correction{
        QStringLiteral("Correction.ini"), kRules, [] { return new CorrectionDialog(nullptr); },
        [](QDialog *d) { return static_cast<CorrectionDialog *>(d)->writeCorrection(); }};
    static const RuleDialog fuzzy{
        QStringLiteral("Fuzzy.dat"), kPairs, [] { return new MoHuYinDialog(nullptr); },
        [](QDialog *d) { return static_cast<MoHuYinDialog *>(d)->writeMoHuYinIni(); }};
    return kind == QLatin1String("fuzzy") ? fuzzy : correction;
}

QStringList checkedBoxes(QDialog *dialog, const RuleDialog &rules)
{
    QStringList texts;
    for (const QString &text : rules.boxes) {
        if (boxWithText(dialog, text)->isChecked())
            texts << text;
    }
    return texts;
}

void setBoxes(QDialog *dialog, const RuleDialog &rules, const QStringList &on)
{
    for (const QString &text : rules.boxes)
        boxWithText(dialog, text)->setChecked(on.contains(text));
}

QCheckBox *smartBox(QDialog *dialog)
{
    return boxWithText(dialog, "开启智能模糊音推荐");
}

int storedSmart()
{
    MainController::self()->settings(CON_CURRENT)->sync();
    return MainController::self()->settings(CON_CURRENT)->value("Setting/MohuSmart", -1).toInt();
}

void setEnv(const QByteArray &bytes)
{
    QVERIFY(writeFile(userEnvIni(), bytes));
    MainController::self()->settings(CON_CURRENT)->sync();
}

QByteArray shipped(const QString &name)
{
    return readFile(KAIWO_SOURCE_DATA_DIR "/KaiwoShell/dict/PCPYDict/" + name);
}

// Rows for both dialogs with a "kind" column first.
void addKindColumn()
{
    QTest::addColumn<QString>("kind");
}

} // namespace

class TestRuleDialogs : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServiceProcess> mService;
    const QStringList kReloaded{"ReloadConfig", "RebuildKeyMap"};

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
        QVERIFY(writeFile(pyFile("Correction.ini"), shipped("Correction.ini")));
        QVERIFY(writeFile(pyFile("Fuzzy.dat"), kFuzzyHead + "[Gray]\n"));
        mService->clearJournal();
    }

    void okWritesFile_data()
    {
        addKindColumn();
        QTest::addColumn<QStringList>("on");
        QTest::addColumn<bool>("smart");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray allGray = "zh=z\nch=c\nsh=s\nl=r\nn=l\nh=f\nang=an\neng=en\niang=ian\n"
                                   "uang=uan\ning=in\n";
        QTest::newRow("correction: none")
            << "correction" << QStringList{} << false << QByteArray("[Correction]\n");
        QTest::newRow("correction: file order")
            << "correction" << QStringList{"mg==>ng", "iou==>iu", "uen==>un"} << false
            << QByteArray("[Correction]\nuen=un\niou=iu\nmg=ng\n");
        QTest::newRow("fuzzy: none, smart")
            << "fuzzy" << QStringList{} << true << kFuzzyHead + "[Gray]\n" + allGray;
        QTest::newRow("fuzzy: z and an, smart")
            << "fuzzy" << QStringList{"z = zh", "an = ang"} << true
            << kFuzzyHead + "zh=z\nang=an\n[Gray]\nch=c\nsh=s\nl=r\nn=l\nh=f\neng=en\n"
                            "iang=ian\nuang=uan\ning=in\n";
        QTest::newRow("fuzzy: all, smart")
            << "fuzzy" << kPairs << true << kFuzzyHead + allGray + "[Gray]\n";
        QTest::newRow("fuzzy: in, r, l: file order")
            << "fuzzy" << QStringList{"in = ing", "r = l", "l = n"} << false
            << kFuzzyHead + "l=r\nn=l\ning=in\n[Gray]\n";
    }

    void okWritesFile()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, on);
        QFETCH(bool, smart);
        QFETCH(QByteArray, bytes);
        const RuleDialog &rules = ruleDialog(kind);
        std::unique_ptr<QDialog> dialog(rules.make());
        dialog->show();
        setBoxes(dialog.get(), rules, on);
        if (kind == "fuzzy")
            smartBox(dialog.get())->setChecked(smart);
        leave(dialog.get(), kOkButton);
        QCOMPARE(readFile(pyFile(rules.file)), bytes);
        if (kind == "fuzzy")
            QCOMPARE(storedSmart(), smart ? 1 : 0);
        QCOMPARE(mService->journal(), kReloaded);
        std::unique_ptr<QDialog> again(rules.make());
        QCOMPARE(checkedBoxes(again.get(), rules), checkedBoxes(dialog.get(), rules));
    }

    void reading_data()
    {
        addKindColumn();
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("checked");
        QTest::newRow("correction: outside the section, other or lower-case header")
            << "correction"
            << QByteArray("gn=ng\n[correction]\nmg=ng\n[Correction]\n[Other]\nuen=un\n")
            << QStringList{};
        QTest::newRow("correction: any value; commented, spaced, unknown keys skipped")
            << "correction"
            << QByteArray("[Correction]\ngn=off\nuei=\n#mg=ng\n\nmg\nuenn=un\nGN=ng\nuen =un\n"
                          "iou=iu\n")
            << QStringList{"gn==>ng", "iou==>iu", "uei==>ui"};
        QTest::newRow("correction: CRLF, no final line feed")
            << "correction" << QByteArray("\r\n[Correction]\r\nmg=ng\r\nuen=un")
            << QStringList{"uen==>un", "mg==>ng"};
        QTest::newRow("correction: binary junk")
            << "correction" << literalBytes("\0[Correction]\n[Correction]\n\xff\0\nmg=\xfe\n")
            << QStringList{"mg==>ng"};
        QTest::newRow("correction: huge line")
            << "correction" << QByteArray("[Correction]\n") + QByteArray(500000, '=') + "\ngn=ng"
            << QStringList{"gn==>ng"};
        QTest::newRow("fuzzy: outside [Fuzzy], under [Gray]")
            << "fuzzy" << QByteArray("zh=z\n[Fuzzy]\n[Gray]\nch=c\n") << QStringList{};
        QTest::newRow("fuzzy: lower-case or spaced header")
            << "fuzzy" << QByteArray("[fuzzy]\nzh=z\n[Fuzzy] \nch=c\n") << QStringList{};
        QTest::newRow("fuzzy: any value; spaced, commented, unknown keys skipped")
            << "fuzzy"
            << QByteArray("[Fuzzy]\nzh=whatever=x\nh=\nch =c\n sh=s\n#n=l\n\neng\nzhh=z\n"
                          "ZH=z\nang=an\n")
            << QStringList{"z = zh", "f = h", "an = ang"};
        QTest::newRow("fuzzy: CRLF, section reopened, no final line feed")
            << "fuzzy"
            << QByteArray("[Metadata]\r\n[Fuzzy]\r\nzh=z\r\n[Gray]\r\nch=c\r\n[Fuzzy]\r\neng=en")
            << QStringList{"z = zh", "en = eng"};
        QTest::newRow("fuzzy: binary junk")
            << "fuzzy" << literalBytes("[Fuzzy]\n\xff\xfe\0\x01zh=z\n\0\nn=\xff\0\n")
            << QStringList{"l = n"};
        QTest::newRow("fuzzy: huge lines")
            << "fuzzy"
            << QByteArray("[Fuzzy]\n") + QByteArray(300000, 'x') +
                   "\nsh=" + QByteArray(300000, 's') + "\n" + QByteArray(300000, '[') + "\nch=c\n"
            << QStringList{"s = sh"};
        for (const char *kind : {"correction", "fuzzy"})
            QTest::addRow("%s: empty", kind) << kind << QByteArray() << QStringList{};
    }

    void reading()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, file);
        QFETCH(QStringList, checked);
        const RuleDialog &rules = ruleDialog(kind);
        QVERIFY(writeFile(pyFile(rules.file), file));
        std::unique_ptr<QDialog> dialog(rules.make());
        QCOMPARE(checkedBoxes(dialog.get(), rules), checked);
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

    // Restore shows the shipped rules and writes nothing; only OK keeps them.
    void restoreThenLeave_data()
    {
        addKindColumn();
        QTest::addColumn<QString>("button");
        for (const char *kind : {"correction", "fuzzy"}) {
            QTest::addRow("%s: 确定", kind) << kind << kOkButton;
            QTest::addRow("%s: 取消", kind) << kind << QStringLiteral("cancel_pushButton");
            QTest::addRow("%s: close", kind) << kind << QStringLiteral("title_close_button");
        }
    }

    void restoreThenLeave()
    {
        QFETCH(QString, kind);
        QFETCH(QString, button);
        const RuleDialog &rules = ruleDialog(kind);
        const bool fuzzy = kind == "fuzzy";
        QVERIFY(writeFile(pyFile(rules.file),
                          fuzzy ? "[Fuzzy]\nzh=z\nh=f\n" : "[Correction]\nmg=ng\n"));
        setEnv("[Setting]\nMohuSmart=0\n");
        const QByteArray oldFile = readFile(pyFile(rules.file));
        const QByteArray oldEnv = readFile(userEnvIni());
        const QStringList mine = fuzzy ? QStringList{"z = zh", "f = h"} : QStringList{"mg==>ng"};
        std::unique_ptr<QDialog> dialog(rules.make());
        dialog->show();
        clickRestore(dialog.get(), 0);
        QCOMPARE(checkedBoxes(dialog.get(), rules), mine);
        if (fuzzy)
            QVERIFY(!smartBox(dialog.get())->isChecked());
        clickRestore(dialog.get(), 1);
        QCOMPARE(checkedBoxes(dialog.get(), rules), fuzzy ? QStringList{} : kRules);
        if (fuzzy)
            QVERIFY(smartBox(dialog.get())->isChecked());
        QCOMPARE(readFile(pyFile(rules.file)), oldFile);
        QCOMPARE(readFile(userEnvIni()), oldEnv);
        QVERIFY(mService->journal().isEmpty());

        leave(dialog.get(), button);
        const bool ok = button == kOkButton;
        QCOMPARE(readFile(pyFile(rules.file)), ok ? shipped(rules.file) : oldFile);
        if (!fuzzy)
            QCOMPARE(shipped(rules.file), "[Correction]\ngn=ng\nuen=un\niou=iu\nuei=ui\nmg=ng\n");
        if (fuzzy)
            QCOMPARE(storedSmart(), ok ? 1 : 0);
        QCOMPARE(mService->journal(), ok ? kReloaded : QStringList{});
    }

    // Missing, a directory in its place, or its folder missing: nothing is
    // checked, no file or temporary appears, and the service is still told.
    void unusableFile_data()
    {
        addKindColumn();
        QTest::addColumn<QString>("how");
        for (const char *kind : {"correction", "fuzzy"})
            for (const char *how : {"missing", "directory", "no directory"})
                QTest::addRow("%s: %s", kind, how) << kind << how;
    }

    void unusableFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, how);
        const RuleDialog &rules = ruleDialog(kind);
        QDir dir(MainController::localPcPyDirPath());
        makeUnusable(pyFile(rules.file), how);
        // The other dialog's file is no business of this one.
        QFile::remove(pyFile(kind == "fuzzy" ? "Correction.ini" : "Fuzzy.dat"));

        std::unique_ptr<QDialog> dialog(rules.make());
        dialog->show();
        QCOMPARE(checkedBoxes(dialog.get(), rules), QStringList{});
        QVERIFY(!rules.write(dialog.get()));
        setBoxes(dialog.get(), rules, {rules.boxes.first()});
        if (kind == "fuzzy")
            smartBox(dialog.get())->setChecked(false);
        leave(dialog.get(), kOkButton);
        QStringList left;
        for (const QString &name : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
            if (!name.startsWith(QLatin1String("env.ini")))
                left << name;
        }
        QCOMPARE(left, how == "directory" ? QStringList{rules.file} : QStringList{});
        QCOMPARE(QFileInfo(pyFile(rules.file)).isDir(), how == "directory");
        if (kind == "fuzzy")
            QCOMPARE(storedSmart(), 0);
        QCOMPARE(mService->journal(), kReloaded);
    }
};

QTEST_MAIN(TestRuleDialogs)
#include "tst_rule_dialogs.moc"
