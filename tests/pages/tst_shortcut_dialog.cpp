#include "PageFixture.h"
#include "window/SystemShortcutKeysDialog.h"

#include <QComboBox>
#include <QSettings>

using Values = QMap<QString, int>;
Q_DECLARE_METATYPE(Values)

namespace
{

// Simplified/traditional, English, Wubi/pinyin: keys and combos.
const QStringList kLetterKeys{"KeyFanJianSwitch", "KeyEnglishInputSwitch",
                              "ShortcutWBInputStyleNew"};
const QList<int> kDefaultLetters{5, 4, 22};

} // namespace

class TestShortcutDialog : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServiceProcess> mService;

    static QSettings *store() { return MainController::self()->settings(CON_CURRENT); }

    static void setStored(const Values &values)
    {
        store()->clear();
        for (auto it = values.begin(); it != values.end(); ++it)
            store()->setValue("Setting/" + it.key(), it.value());
        store()->sync();
    }

    // The stored values of the keys, in the keys' order; -100 when absent.
    static QList<int> stored(const QStringList &keys)
    {
        QList<int> values;
        for (const QString &key : keys)
            values << store()->value("Setting/" + key, -100).toInt();
        return values;
    }

    static QComboBox *combo(QDialog *dialog, int which)
    {
        const char *names[] = {"fangjianShortCutCombox", "engIMEShortCutCombox",
                               "wbpyShortCutCombox"};
        return dialog->findChild<QComboBox *>(names[which]);
    }

    // The three current letters, "-" for no selection.
    static QString shown(QDialog *dialog)
    {
        QString letters;
        for (int i = 0; i < 3; ++i)
            letters += combo(dialog, i)->currentIndex() < 0 ? "-" : combo(dialog, i)->currentText();
        return letters;
    }

    static void choose(QDialog *dialog, int which, const char *letter)
    {
        QComboBox *box = combo(dialog, which);
        QVERIFY2(box->findText(letter) >= 0, letter);
        box->setCurrentIndex(box->findText(letter));
    }

    // Each combo offers exactly the letters the other two hold not.
    static void verifyDistinct(QDialog *dialog)
    {
        const QString held = shown(dialog);
        for (int i = 0; i < 3; ++i) {
            QString expected, offered;
            for (char c = 'A'; c <= 'Z'; ++c) {
                if (held.indexOf(QLatin1Char(c)) < 0 || held.at(i) == QLatin1Char(c))
                    expected += QLatin1Char(c);
            }
            for (int item = 0; item < combo(dialog, i)->count(); ++item)
                offered += combo(dialog, i)->itemText(item);
            QCOMPARE(offered, expected);
        }
    }

private slots:
    void initTestCase()
    {
        startService(mService);
        openUserSettings();
    }

    void init()
    {
        setStored({});
        mService->clearJournal();
    }

    void lettersStayDistinctOkWrites()
    {
        SystemShortcutKeysDialog dialog(nullptr);
        dialog.show();
        QCOMPARE(shown(&dialog), QStringLiteral("FEW"));
        verifyDistinct(&dialog);
        choose(&dialog, 2, "K");
        verifyDistinct(&dialog);
        choose(&dialog, 1, "W");
        choose(&dialog, 0, "E");
        choose(&dialog, 2, "A");
        QCOMPARE(shown(&dialog), QStringLiteral("EWA"));
        verifyDistinct(&dialog);
        for (QCheckBox *box : dialog.findChildren<QCheckBox *>())
            box->click();
        leave(&dialog, kOkButton);
        QCOMPARE(stored(kLetterKeys), (QList<int>{4, 22, 0}));
        QCOMPARE(stored({"ShortCutFanJian", "ShortCutEnglishInput", "WBInputStyle"}),
                 (QList<int>{0, 0, 1}));
        QCOMPARE(mService->journal(), QStringList{"ReloadConfig"});
    }

    void fallbacks_data()
    {
        QTest::addColumn<Values>("input");
        QTest::addColumn<QString>("letters");
        QTest::addColumn<QList<int>>("written");
        QTest::newRow("English 30")
            << Values{{"KeyEnglishInputSwitch", 30}} << "F-W" << kDefaultLetters;
        QTest::newRow("F/T and English both E")
            << Values{{"KeyFanJianSwitch", 4}, {"KeyEnglishInputSwitch", 4}} << "--W"
            << kDefaultLetters;
        QTest::newRow("English and Wubi both K")
            << Values{{"KeyEnglishInputSwitch", 10}, {"ShortcutWBInputStyleNew", 10}} << "F--"
            << kDefaultLetters;
        QTest::newRow("Wubi -1") << Values{{"ShortcutWBInputStyleNew", -1}} << "FE-"
                                 << kDefaultLetters;
        QTest::newRow("A Z M") << Values{{"KeyFanJianSwitch", 0},
                                         {"KeyEnglishInputSwitch", 25},
                                         {"ShortcutWBInputStyleNew", 12}}
                               << "AZM" << QList<int>{0, 25, 12};
    }

    void fallbacks()
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

    void restoreThenLeave_data() { addLeaveRows(); }

    void restoreThenLeave()
    {
        QFETCH(QString, button);
        setStored({{"ShortCutEnglishInput", 0}, {"KeyEnglishInputSwitch", 1}});
        const QByteArray before = readFile(pyFile("env.ini"));
        SystemShortcutKeysDialog dialog(nullptr);
        dialog.show();
        clickRestore(&dialog, 0);
        QCOMPARE(shown(&dialog), QStringLiteral("FBW"));
        clickRestore(&dialog, 1);
        QCOMPARE(shown(&dialog), QStringLiteral("FEW"));
        verifyDistinct(&dialog);
        QCOMPARE(readFile(pyFile("env.ini")), before);

        leave(&dialog, button);
        if (button == kOkButton) {
            QCOMPARE(stored({"ShortCutEnglishInput", "KeyEnglishInputSwitch"}), (QList<int>{1, 4}));
            QCOMPARE(mService->journal(), QStringList{"ReloadConfig"});
        } else {
            QCOMPARE(readFile(pyFile("env.ini")), before);
            QVERIFY(mService->journal().isEmpty());
        }
    }
};

QTEST_MAIN(TestShortcutDialog)
#include "tst_shortcut_dialog.moc"
