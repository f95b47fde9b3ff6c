#include "app/MainController.h"
#include "window/SettingAdvanceWidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QSettings>
#include <QTest>
#include <QTimer>

using Values = QMap<QString, int>;
Q_DECLARE_METATYPE(Values)

namespace
{

const QString kLeftCtrl = QStringLiteral("左Ctrl  在五笔模式下生效，快速以拼音编码输入");
const QStringList kVisible = {"Shift",
                              "Ctrl",
                              "无",
                              "切换到英文时，上屏已输入字符",
                              "Ctrl+句号",
                              "Shift + Space",
                              "减号等号",
                              "左右方括号",
                              "逗号句号",
                              "小键盘保持数字输入",
                              "小键盘保持半角输入",
                              kLeftCtrl};

QSettings *store()
{
    return MainController::self()->settings(CON_CURRENT);
}

void setStored(const Values &values)
{
    store()->clear();
    for (auto it = values.begin(); it != values.end(); ++it)
        store()->setValue("Setting/" + it.key(), it.value());
    store()->sync();
}

Values stored()
{
    Values values;
    for (const QString &key : store()->allKeys())
        values.insert(key.mid(8), store()->value(key).toInt());
    return values;
}

QAbstractButton *button(QWidget *page, const QString &text)
{
    for (QAbstractButton *candidate : page->findChildren<QAbstractButton *>()) {
        if (candidate->text() == text)
            return candidate;
    }
    qFatal("no button %s", qPrintable(text));
}

QStringList checkedOf(QWidget *page)
{
    QStringList checked;
    for (const QString &text : kVisible) {
        if (button(page, text)->isChecked())
            checked << text;
    }
    return checked;
}

const Values kDefaults{{"KeyEnCnSwitch", 0},  {"TruncateInputWhnEnOn", 0}, {"ShortcutPunct", 1},
                       {"ShortCutShape", 0},  {"KeyPageUpDown", 7},        {"HalfSymbolOnPad", 0},
                       {"PadNumAsSelect", 0}, {"ActiveTempPY", 1}};

} // namespace

class TestAdvancePage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(MainController::localPcPyDirPath()));
        MainController::self()->openSettings();
    }
    void loadsAndSavesBack_data();
    void loadsAndSavesBack();
    void ctrlServesOneJobOnly();
    void restoreShowsDefaultsWritesNothing();
    void systemButtonOpensShortcutDialog();
};

void TestAdvancePage::loadsAndSavesBack_data()
{
    QTest::addColumn<Values>("input");
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<Values>("written");

    const QStringList defaultChecked{
        "Shift",    "切换到英文时，上屏已输入字符", "Ctrl+句号", "减号等号", "左右方括号",
        "逗号句号", "小键盘保持数字输入",           kLeftCtrl};
    QTest::newRow("empty store") << Values{} << defaultChecked << kDefaults;

    const Values flipped{{"KeyEnCnSwitch", 1},  {"TruncateInputWhnEnOn", 1}, {"ShortcutPunct", 0},
                         {"ShortCutShape", 1},  {"KeyPageUpDown", 0},        {"HalfSymbolOnPad", 1},
                         {"PadNumAsSelect", 1}, {"ActiveTempPY", 0}};
    const QStringList flippedChecked{"Ctrl", "Shift + Space", "小键盘保持半角输入"};
    QTest::newRow("every key flipped") << flipped << flippedChecked << flipped;

    Values none = flipped;
    none["KeyEnCnSwitch"] = 2;
    Values five = flipped;
    five["KeyEnCnSwitch"] = 5;
    const QStringList noneChecked{"无", "Shift + Space", "小键盘保持半角输入"};
    QTest::newRow("无") << none << noneChecked << none;
    QTest::newRow("5 shows 无, writes 2") << five << noneChecked << none;

    // Bit 8 (Tab) has no visible box but must survive a save.
    Values tab = flipped;
    tab["KeyPageUpDown"] = 9;
    QTest::newRow("page keys 9") << tab
                                 << QStringList{"Ctrl", "Shift + Space", "左右方括号",
                                                "小键盘保持半角输入"}
                                 << tab;
    tab["KeyPageUpDown"] = 14;
    QTest::newRow("page keys 14") << tab
                                  << QStringList{"Ctrl", "Shift + Space", "减号等号", "逗号句号",
                                                 "小键盘保持半角输入"}
                                  << tab;
}

void TestAdvancePage::loadsAndSavesBack()
{
    QFETCH(Values, input);
    QFETCH(QStringList, checked);
    QFETCH(Values, written);

    setStored(input);
    SettingAdvanceWidget page;
    QCOMPARE(checkedOf(&page), checked);
    page.saveSettings();
    QCOMPARE(stored(), written);
}

void TestAdvancePage::ctrlServesOneJobOnly()
{
    setStored({});
    SettingAdvanceWidget page;
    QAbstractButton *ctrl = button(&page, "Ctrl");
    QAbstractButton *leftCtrl = button(&page, kLeftCtrl);

    ctrl->click(); // disabled while left Ctrl starts temporary pinyin
    QVERIFY(!ctrl->isChecked());
    leftCtrl->click();
    QVERIFY(ctrl->isEnabled());
    for (const char *other : {"无", "Shift"}) {
        ctrl->click();
        QVERIFY(!leftCtrl->isEnabled());
        button(&page, other)->click();
        QVERIFY(leftCtrl->isEnabled());
    }
    leftCtrl->click();
    QVERIFY(!ctrl->isEnabled());

    // Values that already hold both are shown checked and disabled.
    setStored({{"KeyEnCnSwitch", 1}, {"ActiveTempPY", 1}});
    SettingAdvanceWidget both;
    QVERIFY(button(&both, "Ctrl")->isChecked() && !button(&both, "Ctrl")->isEnabled());
    QVERIFY(button(&both, kLeftCtrl)->isChecked() && !button(&both, kLeftCtrl)->isEnabled());
}

void TestAdvancePage::restoreShowsDefaultsWritesNothing()
{
    const Values custom{{"KeyEnCnSwitch", 2}, {"KeyPageUpDown", 9}, {"ActiveTempPY", 0}};
    setStored(custom);
    SettingAdvanceWidget page;
    page.restoreDefaultSettings();
    QCOMPARE(checkedOf(&page).first(), QStringLiteral("Shift"));
    QVERIFY(!button(&page, "Ctrl")->isEnabled());
    QCOMPARE(stored(), custom);
    page.saveSettings();
    QCOMPARE(stored(), kDefaults);
}

void TestAdvancePage::systemButtonOpensShortcutDialog()
{
    setStored({});
    SettingAdvanceWidget page;
    QString opened;
    QTimer::singleShot(0, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            opened = QLatin1String(modal->metaObject()->className());
            modal->close();
        }
    });
    button(&page, "系统功能快捷键")->click();
    QCOMPARE(opened, QStringLiteral("SystemShortcutKeysDialog"));
    QVERIFY(stored().isEmpty());
}

QTEST_MAIN(TestAdvancePage)
#include "tst_advance_page.moc"
