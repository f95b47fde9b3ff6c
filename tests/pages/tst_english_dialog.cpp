#include "PageFixture.h"
#include "window/EngImeDialog.h"

#include <QApplication>
#include <QPushButton>
#include <QSettings>
#include <QTimer>

namespace
{

// The keys, and their defaults in the same order.
const QStringList kKeys{
    "DefaultEnglishInput",         "EnglishInput_StarAsWildcard", "EnglishInput_ExactMatches",
    "EnglishInput_AddSpace",       "EnglishInput_LearnFreq",      "EnglishInput_LearnNewWord",
    "EnglishInput_Autofill_Space", "EnglishInput_Autofill_Tab",   "EnglishInput_Autofill_Enter"};
const QString kDefaults = QStringLiteral("011111110");

// The hook answers the question; the notice after it runs a modal loop of
// its own, which this timer ends with "确定".
void acceptNextNotice()
{
    // Owned by the application, so a test that ends within the three
    // seconds does not leave the timer behind.
    auto *timer = new QTimer(QCoreApplication::instance());
    QObject::connect(timer, &QTimer::timeout, timer, [] {
        if (auto *notice = qobject_cast<KaiwoPromptDialog *>(QApplication::activeModalWidget()))
            notice->findChild<QPushButton *>("pushButton_ok")->click();
    });
    timer->start(10);
    QTimer::singleShot(3000, timer, &QObject::deleteLater);
}

} // namespace

class TestEnglishDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServiceProcess> mService;

    static QSettings *store() { return MainController::self()->settings(CON_CURRENT); }

    static void setStored(const QString &key = {}, const QVariant &value = {})
    {
        store()->clear();
        if (!key.isEmpty())
            store()->setValue("Setting/" + key, value);
        store()->sync();
    }

    static QString storedValues()
    {
        QString values;
        for (const QString &key : kKeys)
            values += store()->value("Setting/" + key, "-").toString();
        return values;
    }

    static QCheckBox *box(QDialog *dialog, const QString &name)
    {
        return dialog->findChild<QCheckBox *>(name);
    }

    static QString shown(QDialog *dialog)
    {
        QString states;
        for (const QString &key : kKeys)
            states += box(dialog, key)->isChecked() ? '1' : '0';
        return states;
    }

private slots:
    void initTestCase()
    {
        startService(mService, {"--answer", "true"});
        openUserSettings();
    }

    void init()
    {
        setStored();
        QFile::remove(QDir::home().filePath("service-journal.log"));
    }

    void keysRoundTrip_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("states");
        QTest::newRow("empty store") << -1 << QVariant() << kDefaults;
        for (int i = 0; i < kDefaults.size(); ++i) {
            QString flipped = kDefaults;
            flipped[i] = kDefaults[i] == '1' ? '0' : '1';
            QTest::addRow("%s", qPrintable(kKeys[i]))
                << i << QVariant(flipped.mid(i, 1).toInt()) << flipped;
        }
        QTest::newRow("non-zero is set") << 8 << QVariant(7) << "011111111";
        QTest::newRow("text is 0") << 7 << QVariant("x") << "011111100";
    }

    void keysRoundTrip()
    {
        QFETCH(int, index);
        QFETCH(QVariant, value);
        QFETCH(QString, states);
        setStored(kKeys.value(index), value);
        EngImeDialog dialog(nullptr);
        QCOMPARE(shown(&dialog), states);
        dialog.saveSettings();
        QCOMPARE(storedValues(), states);
    }

    void learnNewWordFollowsLearnFreq()
    {
        EngImeDialog dialog(nullptr);
        QCheckBox *learnFreq = box(&dialog, "EnglishInput_LearnFreq");
        QCheckBox *learnNewWord = box(&dialog, "EnglishInput_LearnNewWord");
        QVERIFY(!learnNewWord->isEnabled());
        learnFreq->click();
        QVERIFY(learnNewWord->isEnabled());
        learnNewWord->click();
        learnFreq->click();
        QVERIFY(!learnNewWord->isEnabled());
        // A disabled box keeps and saves its own state.
        dialog.saveSettings();
        QCOMPARE(storedValues(), QStringLiteral("011110110"));
    }

    void restoreDefaultsThenLeave_data() { addLeaveRows(); }

    void restoreDefaultsThenLeave()
    {
        QFETCH(QString, button);
        setStored("DefaultEnglishInput", 1);
        const QByteArray before = readFile(pyFile("env.ini"));
        EngImeDialog dialog(nullptr);
        dialog.show();
        box(&dialog, "EnglishInput_LearnFreq")->click();
        clickRestore(&dialog, 0);
        QCOMPARE(shown(&dialog), QStringLiteral("111101110"));
        clickRestore(&dialog, 1);
        QCOMPARE(shown(&dialog), kDefaults);
        QVERIFY(!box(&dialog, "EnglishInput_LearnNewWord")->isEnabled());
        QCOMPARE(readFile(pyFile("env.ini")), before);

        leave(&dialog, button);
        if (button == kOkButton) {
            QCOMPARE(storedValues(), kDefaults);
            QCOMPARE(mService->journal(), QStringList{"ReloadConfig"});
        } else {
            QCOMPARE(readFile(pyFile("env.ini")), before);
            QVERIFY(mService->journal().isEmpty());
        }
    }

    void dictionaryRestore_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("notice"); // empty: the question is declined
        const QString failed = QStringLiteral("恢复英文词库失败！");
        QTest::newRow("declined") << "true" << QString();
        QTest::newRow("true") << "true" << QStringLiteral("恢复英文词库成功！");
        QTest::newRow("false") << "false" << failed;
        QTest::newRow("error") << "error" << failed;
        QTest::newRow("no service") << "none" << failed;
    }

    void dictionaryRestore()
    {
        QFETCH(QString, answer);
        QFETCH(QString, notice);
        if (answer == "none")
            stopService(mService);
        else
            startService(mService, {"--answer", answer});
        const QByteArray before = readFile(pyFile("env.ini"));
        EngImeDialog dialog(nullptr);
        box(&dialog, "DefaultEnglishInput")->click();
        const int prompts = KaiwoPromptDialog::promptCount();
        if (notice.endsWith("失败！"))
            QTest::ignoreMessage(QtDebugMsg, "recoveryEnThesaurus In fail!\n");

        KaiwoPromptDialog::setNextAnswer(notice.isEmpty() ? 0 : 1);
        acceptNextNotice();
        click(&dialog, "restoreEngThesaurusButton");
        QCOMPARE(KaiwoPromptDialog::promptCount(), prompts + (notice.isEmpty() ? 1 : 2));
        QCOMPARE(KaiwoPromptDialog::lastTitle(), QStringLiteral("恢复默认词库"));
        QCOMPARE(KaiwoPromptDialog::lastContent(),
                 notice.isEmpty() ? QStringLiteral("确定恢复英文输入法词库？") : notice);
        // The boxes and the settings are left as they are.
        QCOMPARE(shown(&dialog), QStringLiteral("111111110"));
        QCOMPARE(readFile(pyFile("env.ini")), before);
        if (mService)
            QCOMPARE(mService->journal(),
                     notice.isEmpty() ? QStringList() : QStringList{"recoveryEnThesaurus"});
    }
};

QTEST_MAIN(TestEnglishDialog)
#include "tst_english_dialog.moc"
