#include "ServiceProcess.h"
#include "TestFiles.h"
#include "app/ImeServiceClient.h"
#include "app/MainController.h"
#include "window/KaiwoPromptDialog.h"
#include "window/SystemShortcutKeysDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <memory>

using Values = QMap<QString, int>;
Q_DECLARE_METATYPE(Values)

namespace
{

QSettings *store()
{
    return MainController::self()->settings(CON_CURRENT);
}

QString envPath()
{
    return MainController::localPcPyDirPath() + QStringLiteral("env.ini");
}

void setStored(const Values &values)
{
    store()->clear();
    for (auto it = values.begin(); it != values.end(); ++it)
        store()->setValue("Setting/" + it.key(), it.value());
    store()->sync();
}

// The stored values of the keys, in the keys' order; -100 when absent.
QList<int> stored(const QStringList &keys)
{
    QList<int> values;
    for (const QString &key : keys)
        values << store()->value("Setting/" + key, -100).toInt();
    return values;
}

const QStringList kLetterKeys{"KeyFanJianSwitch", "KeyEnglishInputSwitch",
                              "ShortcutWBInputStyleNew"};

// The simplified/traditional, English and Wubi/pinyin combos.
QList<QComboBox *> combos(QDialog *dialog)
{
    return {dialog->findChild<QComboBox *>("fangjianShortCutCombox"),
            dialog->findChild<QComboBox *>("engIMEShortCutCombox"),
            dialog->findChild<QComboBox *>("wbpyShortCutCombox")};
}

// The three current letters, "-" for no selection.
QString shown(QDialog *dialog)
{
    QString letters;
    for (QComboBox *box : combos(dialog))
        letters += box->currentIndex() < 0 ? QStringLiteral("-") : box->currentText();
    return letters;
}

// Each combo offers exactly the letters the other two hold not.
void verifyDistinct(QDialog *dialog)
{
    const QString held = shown(dialog);
    for (int i = 0; i < 3; ++i) {
        QString expected;
        for (char c = 'A'; c <= 'Z'; ++c) {
            if (held.indexOf(QLatin1Char(c)) < 0 || held.at(i) == QLatin1Char(c))
                expected += QLatin1Char(c);
        }
        QString offered;
        for (int item = 0; item < combos(dialog)[i]->count(); ++item)
            offered += combos(dialog)[i]->itemText(item);
        QCOMPARE(offered, expected);
    }
}

void choose(QDialog *dialog, int which, const char *letter)
{
    QComboBox *box = combos(dialog)[which];
    QVERIFY2(box->findText(letter) >= 0, letter);
    box->setCurrentIndex(box->findText(letter));
}

void click(QDialog *dialog, const QString &name)
{
    dialog->findChild<QPushButton *>(name)->click();
}

} // namespace

class TestShortcutDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void lettersStayDistinct();
    void fallbacks_data();
    void fallbacks();
    void restoreWritesNothingUntilOk();
    void okWritesKeysAndReloads();
    void closingWritesAndSendsNothing_data();
    void closingWritesAndSendsNothing();

private:
    std::unique_ptr<ServiceProcess> mService;
};

void TestShortcutDialog::initTestCase()
{
    mService = std::make_unique<ServiceProcess>();
    QVERIFY(mService->waitUntilReady(ImeServiceClient::serviceName()));
    QDir().mkpath(MainController::localPcPyDirPath());
    MainController::self()->openSettings();
}

void TestShortcutDialog::init()
{
    setStored({});
    mService->clearJournal();
}

void TestShortcutDialog::lettersStayDistinct()
{
    SystemShortcutKeysDialog dialog(nullptr);
    QCOMPARE(shown(&dialog), QStringLiteral("FEW"));
    verifyDistinct(&dialog);
    choose(&dialog, 2, "K");
    verifyDistinct(&dialog);
    choose(&dialog, 1, "W");
    choose(&dialog, 0, "E");
    choose(&dialog, 2, "A");
    QCOMPARE(shown(&dialog), QStringLiteral("EWA"));
    verifyDistinct(&dialog);
    dialog.saveSettings();
    QCOMPARE(stored(kLetterKeys), (QList<int>{4, 22, 0}));
}

void TestShortcutDialog::fallbacks_data()
{
    QTest::addColumn<Values>("input");
    QTest::addColumn<QString>("letters");
    QTest::addColumn<QList<int>>("written");

    QTest::newRow("English 30") << Values{{"KeyEnglishInputSwitch", 30}} << "F-W"
                                << QList<int>{5, 4, 22};
    QTest::newRow("F/T and English both E")
        << Values{{"KeyFanJianSwitch", 4}, {"KeyEnglishInputSwitch", 4}} << "--W"
        << QList<int>{5, 4, 22};
    QTest::newRow("English and Wubi both K")
        << Values{{"KeyEnglishInputSwitch", 10}, {"ShortcutWBInputStyleNew", 10}} << "F--"
        << QList<int>{5, 4, 22};
    QTest::newRow("Wubi -1") << Values{{"ShortcutWBInputStyleNew", -1}} << "FE-"
                             << QList<int>{5, 4, 22};
    QTest::newRow("A Z M") << Values{{"KeyFanJianSwitch", 0},
                                     {"KeyEnglishInputSwitch", 25},
                                     {"ShortcutWBInputStyleNew", 12}}
                           << "AZM" << QList<int>{0, 25, 12};
}

void TestShortcutDialog::fallbacks()
{
    QFETCH(Values, input);
    QFETCH(QString, letters);
    QFETCH(QList<int>, written);

    setStored(input);
    SystemShortcutKeysDialog dialog(nullptr);
    QCOMPARE(shown(&dialog), letters);
    dialog.saveSettings();
    QCOMPARE(stored(kLetterKeys), written);
}

void TestShortcutDialog::restoreWritesNothingUntilOk()
{
    setStored({{"ShortCutEnglishInput", 0}, {"KeyEnglishInputSwitch", 1}});
    const QByteArray before = readFile(envPath());
    SystemShortcutKeysDialog dialog(nullptr);

    KaiwoPromptDialog::setNextAnswer(0);
    click(&dialog, "restore_default_pushButton");
    QCOMPARE(shown(&dialog), QStringLiteral("FBW"));

    KaiwoPromptDialog::setNextAnswer(1);
    click(&dialog, "restore_default_pushButton");
    QCOMPARE(KaiwoPromptDialog::lastTitle(), QStringLiteral("恢复默认配置"));
    QCOMPARE(KaiwoPromptDialog::lastContent(), QStringLiteral("确定恢复本页默认配置？"));
    QCOMPARE(shown(&dialog), QStringLiteral("FEW"));
    verifyDistinct(&dialog);
    QCOMPARE(readFile(envPath()), before);

    click(&dialog, "ok_pushButton");
    QCOMPARE(stored({"ShortCutEnglishInput", "KeyEnglishInputSwitch"}), (QList<int>{1, 4}));
}

void TestShortcutDialog::okWritesKeysAndReloads()
{
    SystemShortcutKeysDialog dialog(nullptr);
    for (QCheckBox *box : dialog.findChildren<QCheckBox *>())
        box->click();
    choose(&dialog, 1, "Q");
    click(&dialog, "ok_pushButton");
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(stored({"ShortCutFanJian", "ShortCutEnglishInput", "WBInputStyle"}),
             (QList<int>{0, 0, 1}));
    QCOMPARE(stored(kLetterKeys), (QList<int>{5, 16, 22}));
    QCOMPARE(mService->journal(), QStringList{"ReloadConfig"});
}

void TestShortcutDialog::closingWritesAndSendsNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("取消") << "cancel_pushButton";
    QTest::newRow("close") << "title_close_button";
}

void TestShortcutDialog::closingWritesAndSendsNothing()
{
    QFETCH(QString, button);
    const QByteArray before = readFile(envPath());
    SystemShortcutKeysDialog dialog(nullptr);
    dialog.show();
    for (QCheckBox *box : dialog.findChildren<QCheckBox *>())
        box->click();
    choose(&dialog, 2, "Z");
    KaiwoPromptDialog::setNextAnswer(1);
    click(&dialog, "restore_default_pushButton");
    click(&dialog, button);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(readFile(envPath()), before);
    QVERIFY(mService->journal().isEmpty());
}

QTEST_MAIN(TestShortcutDialog)
#include "tst_shortcut_dialog.moc"
