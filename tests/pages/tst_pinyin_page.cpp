#include "PageFixture.h"
#include "app/MainController.h"
#include "pinyin/SettingPinyinWidget.h"
#include "shuangpin/ShuangPinController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <memory>

namespace
{

// Clicks where the indicator is.
void clickText(QWidget *page, const QString &text)
{
    QAbstractButton *box = buttonWithText(page, text);
    box->ensurePolished();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

const QString kZcs = QStringLiteral("首字母简拼(如:z表示zh等,a表示an等)");
const QString kEdit = QStringLiteral("编辑候选项：输入拼音后回退光标，对候选项进行编辑");
const QStringList kDependents = {
    kZcs, "双拼方案设置", "双拼展开提示", "双拼下同时使用全拼", "拼音纠错设置", "按字母选词"};

QStringList checkedOf(QWidget *page)
{
    QStringList checked;
    for (const char *text :
         {"全拼", "双拼", "双拼展开提示", "双拼下同时使用全拼", "拼音纠错", "动态组词", "拆分输入",
          "智能人名", "英文补全", "网址邮箱补全", "按空格出字", "按字母选词"}) {
        if (buttonWithText(page, text)->isChecked())
            checked << text;
    }
    for (const QString &text : {kZcs, kEdit}) {
        if (buttonWithText(page, text)->isChecked())
            checked << text;
    }
    return checked;
}

QStringList enabledOf(QWidget *page)
{
    QStringList enabled;
    for (const QString &text : kDependents) {
        if (buttonWithText(page, text)->isEnabled())
            enabled << text;
    }
    return enabled;
}

const QStringList kDefaultChecked = {"全拼",     "拼音纠错",     "动态组词", "拆分输入", "智能人名",
                                     "英文补全", "网址邮箱补全", kZcs,       kEdit};
const QStringList kDefaultEnabled = {kZcs, "拼音纠错设置"};

} // namespace

// The Pinyin page's fourteen keys, the enabling between them, and its dialogs.
class TestPinyinPage : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(QDir().mkpath(MainController::localPcPyDirPath())); }
    // First: no other test may have made the scheme controller yet.
    void schemeListReadWithPage();
    void defaults_data();
    void defaults();
    void keyRoundTrip_data();
    void keyRoundTrip();
    void enablingFollowsReadValues_data();
    void enablingFollowsReadValues();
    void doublePinyinClick();
    void dependentBoxesKeepTheirMark();
    void restoreThenCancelWritesNothing();
    void dialogButtons_data();
    void dialogButtons();
};

void TestPinyinPage::schemeListReadWithPage()
{
    const QString scheme = ShuangPinController::localShuangPinPath() + QStringLiteral("mine.ini");
    QVERIFY(QDir().mkpath(ShuangPinController::localShuangPinPath()));
    QVERIFY(writeFile(scheme, "[metadata]\ntitle=我的方案\n"));
    auto page = pageOn<SettingPinyinWidget>();
    QVERIFY(QFile::remove(scheme));
    QVERIFY(ShuangPinController::self()->mSchemeTitles.contains(QStringLiteral("我的方案")));
}

void TestPinyinPage::defaults_data()
{
    QTest::addColumn<QByteArray>("env");
    QTest::newRow("empty file") << QByteArray("");
    QTest::newRow("other keys only") << QByteArray("[Setting]\nPageSize=5\n");
}

void TestPinyinPage::defaults()
{
    QFETCH(QByteArray, env);
    auto page = pageOn<SettingPinyinWidget>(env);
    QCOMPARE(checkedOf(page.get()), kDefaultChecked);
    QCOMPARE(enabledOf(page.get()), kDefaultEnabled);
}

void TestPinyinPage::keyRoundTrip_data()
{
    addKeyRoundTripColumns();
    QTest::newRow("no phrase") << "NoPhrase" << QByteArray("1") << "动态组词" << false << 1;
    QTest::newRow("no phrase 2") << "NoPhrase" << QByteArray("2") << "动态组词" << true << 0;
    QTest::newRow("no phrase junk") << "NoPhrase" << QByteArray("x") << "动态组词" << true << 0;
    QTest::newRow("split 2") << "SplitZi" << QByteArray("2") << "拆分输入" << false << 0;
    QTest::newRow("name junk") << "MakeName" << QByteArray("x") << "智能人名" << false << 0;
    QTest::newRow("name 1") << "MakeName" << QByteArray("1") << "智能人名" << true << 1;
    QTest::newRow("eng fill 2") << "EngFill" << QByteArray("2") << "英文补全" << true << 1;
    QTest::newRow("correction 0") << "Correction" << QByteArray("0") << "拼音纠错" << false << 0;
    QTest::newRow("zcs") << "ZCSForZhChSh" << QByteArray("0") << kZcs << false << 0;
    QTest::newRow("convert") << "ConvertStyle" << QByteArray("1") << "按空格出字" << true << 1;
    QTest::newRow("edit") << "EditMode" << QByteArray("0") << kEdit << false << 0;
    QTest::newRow("shuangpin") << "ShuangPin" << QByteArray("1") << "双拼" << true << 1;
}

void TestPinyinPage::keyRoundTrip()
{
    QFETCH(QString, key);
    QFETCH(int, saved);
    if (!pageSavedFromKeyRow<SettingPinyinWidget>())
        return;
    QCOMPARE(storedInt(qPrintable(key)), saved);
    // Every key is written, the others with their defaults.
    QCOMPARE(storedInt("EditMode") == -1, false);
    QCOMPARE(storedInt("QuanPin"), key == "ShuangPin" ? 0 : 1);
    QCOMPARE(storedInt("PageSize"), 7);
}

void TestPinyinPage::enablingFollowsReadValues_data()
{
    QTest::addColumn<QByteArray>("env");
    QTest::addColumn<QStringList>("enabled");
    QTest::newRow("double pinyin")
        << QByteArray("[Setting]\nQuanPin=0\nShuangPin=1\nCorrection=0\n")
        << QStringList({"双拼方案设置", "双拼展开提示", "双拼下同时使用全拼"});
    // Both flags set: the radio shows one, the enabling follows both.
    QTest::newRow("both") << QByteArray("[Setting]\nQuanPin=1\nShuangPin=1\nConvertStyle=1\n")
                          << kDependents;
}

void TestPinyinPage::enablingFollowsReadValues()
{
    QFETCH(QByteArray, env);
    QFETCH(QStringList, enabled);
    auto page = pageOn<SettingPinyinWidget>(env);
    QCOMPARE(enabledOf(page.get()), enabled);
    // Reloading the user's values resets whatever the clicks enabled.
    clickText(page.get(), "全拼");
    clickText(page.get(), "拼音纠错");
    page->loadSettings(CON_CURRENT);
    QCOMPARE(enabledOf(page.get()), enabled);
}

void TestPinyinPage::doublePinyinClick()
{
    auto page = pageOn<SettingPinyinWidget>("[Setting]\n");
    clickText(page.get(), "双拼");
    QCOMPARE(enabledOf(page.get()),
             QStringList({"双拼方案设置", "双拼展开提示", "双拼下同时使用全拼", "拼音纠错设置"}));
    QStringList checked = kDefaultChecked;
    checked.replace(0, "双拼");
    QCOMPARE(checkedOf(page.get()), checked);
    page->saveSettings();
    QCOMPARE(storedInt("QuanPin"), 0);
    QCOMPARE(storedInt("ShuangPin"), 1);
    QCOMPARE(storedInt("ZCSForZhChSh"), 1);

    clickText(page.get(), "全拼");
    QCOMPARE(enabledOf(page.get()), kDefaultEnabled);
}

void TestPinyinPage::dependentBoxesKeepTheirMark()
{
    auto page =
        pageOn<SettingPinyinWidget>("[Setting]\nConvertStyle=1\nSelectStyle=1\nNoPhrase=1\n");
    QVERIFY(buttonWithText(page.get(), "按字母选词")->isEnabled());
    clickText(page.get(), "按空格出字");
    clickText(page.get(), "拼音纠错");
    clickText(page.get(), "动态组词");
    QCOMPARE(enabledOf(page.get()), QStringList(kZcs));
    QVERIFY(buttonWithText(page.get(), "按字母选词")->isChecked());
    page->saveSettings();
    QCOMPARE(storedInt("ConvertStyle"), 0);
    QCOMPARE(storedInt("SelectStyle"), 1);
    QCOMPARE(storedInt("Correction"), 0);
    QCOMPARE(storedInt("NoPhrase"), 0);
}

void TestPinyinPage::restoreThenCancelWritesNothing()
{
    const QByteArray env("; mine\n[Setting]\nQuanPin=0\nShuangPin=1\nNoPhrase=1\nSplitZi=0\n");
    auto page = pageOn<SettingPinyinWidget>(env);
    page->restoreDefaultSettings();
    QCOMPARE(checkedOf(page.get()), kDefaultChecked);
    QCOMPARE(enabledOf(page.get()), kDefaultEnabled);
    page->loadSettings(CON_CURRENT);
    QVERIFY(buttonWithText(page.get(), "双拼")->isChecked());
    page.reset();
    MainController::self()->openSettings();
    QCOMPARE(readFile(userEnvIni()), env);
}

void TestPinyinPage::dialogButtons_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("dialog");
    QTest::newRow("fuzzy") << "模糊音设置"
                           << "MoHuYinDialog";
    QTest::newRow("correction") << "拼音纠错设置"
                                << "CorrectionDialog";
    QTest::newRow("english") << "英文输入法设置"
                             << "EngImeDialog";
}

void TestPinyinPage::dialogButtons()
{
    QFETCH(QString, text);
    QFETCH(QString, dialog);
    auto page = pageOn<SettingPinyinWidget>("[Setting]\n");
    QString opened;
    QWidget *parent = nullptr;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        if (auto *modal = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            opened = modal->metaObject()->className();
            parent = modal->parentWidget();
            modal->reject();
        }
    });
    closer.start(10);
    QTest::mouseClick(buttonWithText(page.get(), text), Qt::LeftButton);
    QCOMPARE(opened, dialog);
    QCOMPARE(parent, page.get());
}

QTEST_MAIN(TestPinyinPage)
#include "tst_pinyin_page.moc"
