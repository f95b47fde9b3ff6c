#include "PageFixture.h"
#include "app/MainController.h"
#include "window/SettingGeneralWidget.h"

#include <QAbstractButton>
#include <QDir>
#include <QSettings>
#include <QTest>

#include <memory>

namespace
{

const char *const kKeys[] = {"DefaultNative",        "DefaultTradition", "DefaultShape",
                             "DefaultPinyin",        "StatusAppearance", "SymbolCompletion",
                             "SmartSymbolsAfterNum", "UserPhrase"};

QAbstractButton *phraseButton(QWidget *page)
{
    return buttonWithText(page, QStringLiteral("自定义短语设置"));
}

// Clicks where the indicator is: a box's blank right-hand part takes no clicks.
void click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// The widgets' state with nothing stored: which of the named buttons are checked.
const QStringList kDefaultChecked = {
    "简体",      "半角", "中文", "拼音", "标点配对：自动补全成对标点", "智能调整数字后标点",
    "自定义短语"};
const QStringList kDefaultUnchecked = {"繁体", "全角", "英文", "五笔", "隐藏状态栏"};

// Every widget shows the defaults, or with opposite the reverse of each.
void expectDefaults(QWidget *page, bool opposite = false)
{
    for (const QString &text : kDefaultChecked)
        QVERIFY2(buttonWithText(page, text)->isChecked() != opposite, qPrintable(text));
    for (const QString &text : kDefaultUnchecked)
        QVERIFY2(buttonWithText(page, text)->isChecked() == opposite, qPrintable(text));
}

} // namespace

// The General page's keys: defaults, inversion, round trips through env.ini,
// restore and the custom phrase button.
class TestGeneralPage : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(QDir().mkpath(MainController::localPcPyDirPath())); }
    void defaults_data();
    void defaults();
    void keyRoundTrip_data();
    void keyRoundTrip();
    void clicksAreSaved();
    void phraseButtonFollowsBox();
    void restoreWritesNothing();
};

void TestGeneralPage::defaults_data()
{
    QTest::addColumn<QByteArray>("env");
    QTest::addColumn<bool>("zero");
    QTest::newRow("empty file") << QByteArray("") << false;
    QTest::newRow("other keys only") << QByteArray("[Setting]\nPageSize=5\n") << false;
    // Stored text that is no number reads as 0, not as the default.
    for (const char *text : {"abc", "", "true"}) {
        QByteArray garbage("[Setting]\n");
        for (const char *key : kKeys)
            garbage += QByteArray(key) + "=" + text + "\n";
        QTest::addRow("not numbers: \"%s\"", text) << garbage << true;
    }
}

void TestGeneralPage::defaults()
{
    QFETCH(QByteArray, env);
    QFETCH(bool, zero);
    auto page = pageOn<SettingGeneralWidget>(env);
    if (!zero) {
        expectDefaults(page.get());
        QVERIFY(phraseButton(page.get())->isEnabled());
        return;
    }
    const QStringList checked = {"简体", "半角", "英文", "五笔", "隐藏状态栏"};
    for (auto *button : page->findChildren<QAbstractButton *>()) {
        if (button->isCheckable())
            QVERIFY2(button->isChecked() == checked.contains(button->text()),
                     qPrintable(button->text()));
    }
    QVERIFY(!phraseButton(page.get())->isEnabled());
}

void TestGeneralPage::keyRoundTrip_data()
{
    addKeyRoundTripColumns();
    QTest::newRow("english") << "DefaultNative" << QByteArray("0") << "英文" << true << 0;
    QTest::newRow("chinese") << "DefaultNative" << QByteArray("1") << "中文" << true << 1;
    QTest::newRow("traditional") << "DefaultTradition" << QByteArray("1") << "繁体" << true << 1;
    QTest::newRow("tradition 2") << "DefaultTradition" << QByteArray("2") << "繁体" << true << 1;
    QTest::newRow("tradition junk") << "DefaultTradition" << QByteArray("x") << "简体" << true << 0;
    QTest::newRow("full width") << "DefaultShape" << QByteArray("1") << "全角" << true << 1;
    QTest::newRow("wubi") << "DefaultPinyin" << QByteArray("0") << "五笔" << true << 0;
    QTest::newRow("status hidden")
        << "StatusAppearance" << QByteArray("0") << "隐藏状态栏" << true << 0;
    QTest::newRow("status shown") << "StatusAppearance" << QByteArray("1") << "隐藏状态栏" << false
                                  << 1;
    QTest::newRow("no pairing") << "SymbolCompletion" << QByteArray("0")
                                << "标点配对：自动补全成对标点" << false << 0;
    QTest::newRow("no smart") << "SmartSymbolsAfterNum" << QByteArray("0") << "智能调整数字后标点"
                              << false << 0;
    QTest::newRow("no phrases") << "UserPhrase" << QByteArray("0") << "自定义短语" << false << 0;
}

void TestGeneralPage::keyRoundTrip()
{
    QFETCH(QString, key);
    QFETCH(QString, widget);
    QFETCH(bool, checked);
    QFETCH(int, saved);
    if (!pageSavedFromKeyRow<SettingGeneralWidget>())
        return;
    const QByteArray bytes = readFile(userEnvIni());
    QVERIFY2(bytes.contains("\n" + key.toLatin1() + "=" + QByteArray::number(saved) + "\n"),
             bytes.constData());
    QCOMPARE(storedInt(qPrintable(key)), saved);
    for (const char *other : kKeys)
        QVERIFY2(storedInt(other) == 0 || storedInt(other) == 1, other);
    QCOMPARE(storedInt("PageSize"), 7);

    QCOMPARE(buttonWithText(pageOn<SettingGeneralWidget>().get(), widget)->isChecked(), checked);
}

void TestGeneralPage::clicksAreSaved()
{
    auto page = pageOn<SettingGeneralWidget>("[Setting]\n");
    page->resize(554, 488);
    page->show();
    for (const char *text : {"繁体", "全角", "英文", "五笔", "隐藏状态栏",
                             "标点配对：自动补全成对标点", "智能调整数字后标点", "自定义短语"})
        click(buttonWithText(page.get(), QString::fromUtf8(text)));
    // Exclusive pairs: the partner is cleared by the click.
    QVERIFY(!buttonWithText(page.get(), QStringLiteral("简体"))->isChecked());
    page->saveSettings();

    const int expected[] = {0, 1, 1, 0, 0, 0, 0, 0};
    for (int i = 0; i < 8; ++i)
        QVERIFY2(storedInt(kKeys[i]) == expected[i], kKeys[i]);
    expectDefaults(pageOn<SettingGeneralWidget>().get(), true);
}

void TestGeneralPage::phraseButtonFollowsBox()
{
    auto page = pageOn<SettingGeneralWidget>("[Setting]\nUserPhrase=0\n");
    page->show();
    QAbstractButton *box = buttonWithText(page.get(), QStringLiteral("自定义短语"));
    QVERIFY(!box->isChecked());
    QVERIFY(!phraseButton(page.get())->isEnabled());
    click(box);
    QVERIFY(phraseButton(page.get())->isEnabled());
    click(box);
    QVERIFY(!phraseButton(page.get())->isEnabled());
    // Loading a state equal to the box's own must still set the button.
    phraseButton(page.get())->setEnabled(true);
    page->loadSettings(CON_CURRENT);
    QVERIFY(!phraseButton(page.get())->isEnabled());
}

void TestGeneralPage::restoreWritesNothing()
{
    QByteArray env("; user copy\n[Setting]\nDefaultNative=0\nStatusAppearance=0\nUserPhrase=0\n");
    auto page = pageOn<SettingGeneralWidget>(env);
    page->restoreDefaultSettings();
    expectDefaults(page.get());
    QVERIFY(phraseButton(page.get())->isEnabled());

    // Cancel reloads the current values; the file never changes.
    page->loadSettings(CON_CURRENT);
    QVERIFY(buttonWithText(page.get(), QStringLiteral("英文"))->isChecked());
    // Closing the stores would flush anything left pending.
    page.reset();
    MainController::self()->openSettings();
    QCOMPARE(readFile(userEnvIni()), env);
}

QTEST_MAIN(TestGeneralPage)
#include "tst_general_page.moc"
