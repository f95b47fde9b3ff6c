#include "ServiceProcess.h"
#include "TestFiles.h"
#include "app/ImeServiceClient.h"
#include "app/MainController.h"
#include "window/EngImeDialog.h"
#include "window/KaiwoPromptDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <memory>

namespace
{

struct Key {
    const char *name;
    const char *text;
};

// In the order of kDefaults.
const Key kKeys[] = {
    {"DefaultEnglishInput", "启动时进入英文输入法"},
    {"EnglishInput_StarAsWildcard", "以通配符*代替部分字母"},
    {"EnglishInput_ExactMatches", "完全匹配单词始终在前"},
    {"EnglishInput_AddSpace", "补全后自动补加空格"},
    {"EnglishInput_LearnFreq", "动态调频"},
    {"EnglishInput_LearnNewWord", "记录新词"},
    {"EnglishInput_Autofill_Space", "空格"},
    {"EnglishInput_Autofill_Tab", "Tab"},
    {"EnglishInput_Autofill_Enter", "回车"},
};
const QString kDefaults = QStringLiteral("011111110");

QSettings *store()
{
    return MainController::self()->settings(CON_CURRENT);
}

QByteArray envFile()
{
    return readFile(MainController::localPcPyDirPath() + QStringLiteral("env.ini"));
}

void setStored(const QString &key = {}, const QVariant &value = {})
{
    store()->clear();
    if (!key.isEmpty())
        store()->setValue("Setting/" + key, value);
    store()->sync();
}

QString storedValues()
{
    QString values;
    for (const Key &key : kKeys)
        values += store()->value(QStringLiteral("Setting/") + key.name, "-").toString();
    return values;
}

QCheckBox *box(QDialog *dialog, const char *name)
{
    return dialog->findChild<QCheckBox *>(name);
}

// The boxes' states in the order of kKeys.
QString shown(QDialog *dialog)
{
    QString states;
    for (const Key &key : kKeys)
        states += box(dialog, key.name)->isChecked() ? '1' : '0';
    return states;
}

void click(QDialog *dialog, const QString &name)
{
    dialog->findChild<QPushButton *>(name)->click();
}

// The hook answers the question; the notice after it runs a modal loop of
// its own, which this timer ends with "确定".
void acceptNextNotice()
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer] {
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

private slots:
    void initTestCase();
    void init();
    void emptyStoreShowsDefaults();
    void keysRoundTrip_data();
    void keysRoundTrip();
    void learnNewWordFollowsLearnFreq();
    void restoreDefaultsThenLeave_data();
    void restoreDefaultsThenLeave();
    void dictionaryRestore_data();
    void dictionaryRestore();

private:
    void startService(const QString &answer);
    std::unique_ptr<ServiceProcess> mService;
};

void TestEnglishDialog::startService(const QString &answer)
{
    mService.reset();
    // The bus frees the name a moment after the old service exits.
    QTRY_VERIFY(!QDBusConnection::sessionBus().interface()->isServiceRegistered(
        ImeServiceClient::serviceName()));
    if (answer == "none")
        return;
    mService = std::make_unique<ServiceProcess>(QStringList{"--answer", answer});
    QVERIFY(mService->waitUntilReady(ImeServiceClient::serviceName()));
}

void TestEnglishDialog::initTestCase()
{
    startService("true");
    QDir().mkpath(MainController::localPcPyDirPath());
    MainController::self()->openSettings();
}

void TestEnglishDialog::init()
{
    setStored();
    QFile::remove(QDir::home().filePath("service-journal.log"));
}

void TestEnglishDialog::emptyStoreShowsDefaults()
{
    EngImeDialog dialog(nullptr);
    QCOMPARE(shown(&dialog), kDefaults);
    for (const Key &key : kKeys)
        QCOMPARE(box(&dialog, key.name)->text(), QString::fromUtf8(key.text));
    QVERIFY(!box(&dialog, "EnglishInput_LearnNewWord")->isEnabled());
}

void TestEnglishDialog::keysRoundTrip_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("states");

    for (int i = 0; i < kDefaults.size(); ++i) {
        QString flipped = kDefaults;
        flipped[i] = kDefaults[i] == '1' ? '0' : '1';
        QTest::addRow("%s", kKeys[i].name) << i << QVariant(flipped.mid(i, 1).toInt()) << flipped;
    }
    QTest::newRow("non-zero is set") << 8 << QVariant(7) << "011111111";
    QTest::newRow("text is default") << 7 << QVariant("x") << kDefaults;
}

void TestEnglishDialog::keysRoundTrip()
{
    QFETCH(int, index);
    QFETCH(QVariant, value);
    QFETCH(QString, states);

    setStored(kKeys[index].name, value);
    EngImeDialog dialog(nullptr);
    QCOMPARE(shown(&dialog), states);
    dialog.saveSettings();
    QCOMPARE(storedValues(), states);
}

void TestEnglishDialog::learnNewWordFollowsLearnFreq()
{
    setStored("EnglishInput_LearnFreq", 0);
    EngImeDialog dialog(nullptr);
    QCheckBox *learnFreq = box(&dialog, "EnglishInput_LearnFreq");
    QCheckBox *learnNewWord = box(&dialog, "EnglishInput_LearnNewWord");
    QVERIFY(learnNewWord->isEnabled());
    learnNewWord->click();
    learnFreq->click();
    QVERIFY(!learnNewWord->isEnabled());
    // A disabled box keeps and saves its own state.
    dialog.saveSettings();
    QCOMPARE(storedValues(), QStringLiteral("011110110"));
    learnFreq->click();
    QVERIFY(learnNewWord->isEnabled());
}

void TestEnglishDialog::restoreDefaultsThenLeave_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("确定") << "ok_pushButton";
    QTest::newRow("取消") << "cancel_pushButton";
    QTest::newRow("close") << "title_close_button";
}

void TestEnglishDialog::restoreDefaultsThenLeave()
{
    QFETCH(QString, button);
    setStored("DefaultEnglishInput", 1);
    const QByteArray before = envFile();
    EngImeDialog dialog(nullptr);
    dialog.show();
    box(&dialog, "EnglishInput_LearnFreq")->click();

    KaiwoPromptDialog::setNextAnswer(0);
    click(&dialog, "restore_default_pushButton");
    QCOMPARE(shown(&dialog), QStringLiteral("111101110"));
    KaiwoPromptDialog::setNextAnswer(1);
    click(&dialog, "restore_default_pushButton");
    QCOMPARE(KaiwoPromptDialog::lastTitle(), QStringLiteral("恢复默认配置"));
    QCOMPARE(KaiwoPromptDialog::lastContent(), QStringLiteral("确定恢复本页默认配置？"));
    QCOMPARE(shown(&dialog), kDefaults);
    QVERIFY(!box(&dialog, "EnglishInput_LearnNewWord")->isEnabled());
    QCOMPARE(envFile(), before);

    click(&dialog, button);
    QVERIFY(!dialog.isVisible());
    const bool ok = button == "ok_pushButton";
    QCOMPARE(dialog.result(), int(ok ? QDialog::Accepted : QDialog::Rejected));
    if (ok) {
        QCOMPARE(storedValues(), kDefaults);
        QCOMPARE(mService->journal(), QStringList{"ReloadConfig"});
    } else {
        QCOMPARE(envFile(), before);
        QVERIFY(mService->journal().isEmpty());
    }
}

void TestEnglishDialog::dictionaryRestore_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("notice");
    QTest::newRow("declined") << "true"
                              << "";
    QTest::newRow("true") << "true"
                          << "恢复英文词库成功！";
    QTest::newRow("false") << "false"
                           << "恢复英文词库失败！";
    QTest::newRow("error") << "error"
                           << "恢复英文词库失败！";
    QTest::newRow("no service") << "none"
                                << "恢复英文词库失败！";
}

void TestEnglishDialog::dictionaryRestore()
{
    QFETCH(QString, answer);
    QFETCH(QString, notice);

    startService(answer);
    const QByteArray before = envFile();
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
    QCOMPARE(shown(&dialog), QStringLiteral("111111110"));
    QCOMPARE(envFile(), before);
    if (mService)
        QCOMPARE(mService->journal(),
                 notice.isEmpty() ? QStringList() : QStringList{"recoveryEnThesaurus"});
}

QTEST_MAIN(TestEnglishDialog)
#include "tst_english_dialog.moc"
