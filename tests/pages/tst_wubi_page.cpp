#include "PageFixture.h"
#include "app/MainController.h"
#include "pinyin/SettingWubiWidget.h"

#include <QAbstractButton>
#include <QDir>
#include <QSettings>
#include <QTest>

#include <memory>

namespace
{

// Key, box, checked with nothing stored.
const struct {
    const char *key;
    const char *box;
    bool checked;
} kKeys[] = {
    {"InputMode", "五笔混输", false},
    {"ActiveGBK", "生僻字", false},
    {"MergeAutoOnScreen", "四码唯一时自动上屏", true},
    {"SubmitForFifth", "第五码将首选上屏", true},
    {"MergeAdjustRate", "动态调频：按近期输入排序", true},
    {"CancelEmptyCode", "空码时取消输入", false},
    {"MergeEnterUsage", "回车键取消输入", false},
    {"AutoLearnNewWord", "智能造词", true},
    {"Mix4CodeHint", "编码时逐键提示", true},
    {"SingleWordMode", "单字输入", false},
    {"PhraseOnlyWhenFull", "仅在全码匹配时显示词组", false},
    {"QuickInputOnOff", "符号表情", true},
};

void expectDefaults(QWidget *page, bool opposite = false)
{
    for (const auto &key : kKeys)
        QVERIFY2(buttonWithText(page, QString::fromUtf8(key.box))->isChecked() ==
                     (key.checked != opposite),
                 key.box);
}

} // namespace

// The Wubi page's twelve keys: defaults, the inverted InputMode, round trips
// and restore.
class TestWubiPage : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(QDir().mkpath(MainController::localPcPyDirPath())); }
    void defaults();
    void keyRoundTrip_data();
    void keyRoundTrip();
    void everyBoxIsSaved();
    void restoreThenCancelWritesNothing();
};

void TestWubiPage::defaults()
{
    expectDefaults(pageOn<SettingWubiWidget>("[Setting]\nPageSize=5\n").get());
}

void TestWubiPage::keyRoundTrip_data()
{
    addKeyRoundTripColumns();
    QTest::newRow("mixed") << "InputMode" << QByteArray("0") << "五笔混输" << true << 0;
    QTest::newRow("mode 2") << "InputMode" << QByteArray("2") << "五笔混输" << false << 1;
    QTest::newRow("mode junk") << "InputMode" << QByteArray("x") << "五笔混输" << true << 0;
    QTest::newRow("gbk 2") << "ActiveGBK" << QByteArray("2") << "生僻字" << true << 1;
    QTest::newRow("emoji junk") << "QuickInputOnOff" << QByteArray("x") << "符号表情" << false << 0;
}

void TestWubiPage::keyRoundTrip()
{
    QFETCH(QString, key);
    QFETCH(int, saved);
    if (!pageSavedFromKeyRow<SettingWubiWidget>())
        return;
    QCOMPARE(storedInt(key), saved);
    QCOMPARE(storedInt("PageSize"), 7);
}

void TestWubiPage::everyBoxIsSaved()
{
    auto page = pageOn<SettingWubiWidget>("[Setting]\n");
    for (const auto &key : kKeys)
        buttonWithText(page.get(), QString::fromUtf8(key.box))->click();
    page->saveSettings();
    for (const auto &key : kKeys) {
        // Checking "五笔混输" stores 0: mixed input.
        const int expected = qstrcmp(key.key, "InputMode") == 0 ? 0 : key.checked ? 0 : 1;
        QVERIFY2(storedInt(key.key) == expected, key.key);
    }
    expectDefaults(pageOn<SettingWubiWidget>(readFile(userEnvIni())).get(), true);
}

void TestWubiPage::restoreThenCancelWritesNothing()
{
    const QByteArray env("; mine\n[Setting]\nInputMode=0\nActiveGBK=1\nQuickInputOnOff=0\n");
    auto page = pageOn<SettingWubiWidget>(env);
    page->restoreDefaultSettings();
    expectDefaults(page.get());
    page->loadSettings(CON_CURRENT);
    QVERIFY(buttonWithText(page.get(), "五笔混输")->isChecked());
    page.reset();
    MainController::self()->openSettings();
    QCOMPARE(readFile(userEnvIni()), env);
}

QTEST_MAIN(TestWubiPage)
#include "tst_wubi_page.moc"
