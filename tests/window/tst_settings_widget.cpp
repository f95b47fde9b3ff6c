#include "ServiceProcess.h"
#include "TestFiles.h"
#include "app/DataRoot.h"
#include "app/ImeServiceClient.h"
#include "app/MainController.h"
#include "window/KaiwoPromptDialog.h"
#include "window/SettingsPage.h"
#include "window/SettingsWidget.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>

#include <memory>

namespace
{

QStringList calls;
std::function<void()> onSave;

const char *const kNames[] = {"General", "Appearance", "Thesaurus", "Advance",
                              "Pinyin",  "Wubi",       "About"};

// Records what the window asks of it, in order, across all pages.
class RecordingPage : public SettingsPage
{
    Q_OBJECT

public:
    RecordingPage(SettingsCategory category, QWidget *parent)
        : SettingsPage(parent), mName(QLatin1String(kNames[categoryIndex(category)]))
    {
        setObjectName(mName);
    }
    void loadSettings(CON_TPYE mode) override
    {
        calls << mName + (mode == CON_CURRENT ? QStringLiteral(":load current")
                                              : QStringLiteral(":load default"));
    }
    void saveSettings() override
    {
        calls << mName + QStringLiteral(":save");
        if (onSave)
            onSave();
    }
    void restoreDefaultSettings() override { calls << mName + QStringLiteral(":restore"); }

signals:
    void SigHideStatus(bool flag);
    void SigFullScreenHideSB(bool flag);

private:
    QString mName;
};

void writeConfigtoolXml(const QByteArray &content)
{
    const QString path = kaiwoDataRoot() + QStringLiteral("/Resources/PC/configtool.xml");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QByteArray configtoolXml(const QList<QPair<const char *, int>> &entries)
{
    QByteArray xml("<?xml version=\"1.0\"?>\n<Configtool>\n");
    for (const auto &entry : entries)
        xml += QByteArray("  <") + entry.first + ">" + QByteArray::number(entry.second) + "</" +
               entry.first + ">\n";
    return xml + "</Configtool>\n";
}

QByteArray allSeven(int wubi = 1)
{
    return configtoolXml({{"General", 1},
                          {"Appearance", 1},
                          {"Thesaurus", 1},
                          {"Advance", 1},
                          {"Pinyin", 1},
                          {"Wubi", wubi},
                          {"About", 1}});
}

} // namespace

// The window against pages that record every call: which categories exist,
// what OK, Apply, Cancel and restore do to pages, to env.ini and to the
// service, and in which order.
class TestSettingsWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void columnAndStackFollowConfigtoolXml();
    void wubiDisabledHidesItsButtonAndPage();
    void opensOnFirstEnabledCategory();
    void nothingEnabledStillWorks();
    void saveThenNotifyService_data();
    void saveThenNotifyService();
    void cancelReloadsAndSendsNothing();
    void restoreAsksThenRestoresShownPage_data();
    void restoreAsksThenRestoresShownPage();
    void reopensOnGeneralAfterHide();
    void generalSignalsAreRelayed();

private:
    std::unique_ptr<SettingsWidget> makeWindow(const QByteArray &xml);
    QPushButton *button(SettingsWidget *window, const QString &text);

    std::unique_ptr<ServiceProcess> mService;
};

void TestSettingsWidget::initTestCase()
{
    // The service creates the per-user folders, as it does on a desktop.
    mService = std::make_unique<ServiceProcess>();
    QVERIFY(mService->waitUntilReady(ImeServiceClient::serviceName()));
    QVERIFY(QFile::copy(MainController::sysEnvPyDirPath() + QStringLiteral("env.ini"),
                        MainController::localPcPyDirPath() + QStringLiteral("env.ini")));
    MainController::self()->openSettings();
    SettingsWidget::setPageFactory(
        [](SettingsCategory category, QWidget *parent) -> SettingsPage * {
            return new RecordingPage(category, parent);
        });
}

void TestSettingsWidget::init()
{
    calls.clear();
    onSave = nullptr;
    mService->clearJournal();
}

void TestSettingsWidget::cleanup()
{
    writeConfigtoolXml(allSeven());
}

std::unique_ptr<SettingsWidget> TestSettingsWidget::makeWindow(const QByteArray &xml)
{
    writeConfigtoolXml(xml);
    auto window = std::make_unique<SettingsWidget>(nullptr);
    window->show();
    calls.clear(); // construction itself loads nothing through the window
    return window;
}

QPushButton *TestSettingsWidget::button(SettingsWidget *window, const QString &text)
{
    for (QPushButton *candidate : window->findChildren<QPushButton *>()) {
        if (candidate->text() == text)
            return candidate;
    }
    return nullptr;
}

void TestSettingsWidget::columnAndStackFollowConfigtoolXml()
{
    auto window = makeWindow(allSeven());
    const QStringList texts{QStringLiteral("  常用"), QStringLiteral("  外观"),
                            QStringLiteral("  词库"), QStringLiteral("  高级"),
                            QStringLiteral("  拼音"), QStringLiteral("  五笔"),
                            QStringLiteral("  关于")};
    const auto buttons = window->findChildren<QPushButton *>(QStringLiteral("category_button"));
    QCOMPARE(buttons.size(), 7);
    for (int i = 0; i < buttons.size(); ++i)
        QCOMPARE(buttons[i]->text(), texts[i]);

    // Only the shown page is built at first; pages built later, in any
    // order, still take their places in the column's order.
    QStackedWidget *stack = window->pageStack();
    QCOMPARE(stack->count(), 1);
    for (int i : {5, 2, 6, 1, 4, 3})
        QTest::mouseClick(buttons[i], Qt::LeftButton);
    QCOMPARE(stack->count(), 7);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(stack->widget(i)->objectName(), QLatin1String(kNames[i]));
    QCOMPARE(stack->currentWidget()->objectName(), QStringLiteral("Advance"));
    QTRY_VERIFY(button(window.get(), QStringLiteral("确定"))->hasFocus());
}

void TestSettingsWidget::wubiDisabledHidesItsButtonAndPage()
{
    auto window = makeWindow(allSeven(0));
    QCOMPARE(window->findChildren<QPushButton *>(QStringLiteral("category_button")).size(), 6);
    QVERIFY(!window->page(SettingsCategory::Wubi));
    QVERIFY(!button(window.get(), QStringLiteral("  五笔")));

    QTest::mouseClick(button(window.get(), QStringLiteral("确定")), Qt::LeftButton);
    QCOMPARE(calls, (QStringList{"General:save", "Thesaurus:save", "Appearance:save",
                                 "Advance:save", "Pinyin:save"}));
    // Saving built every page it saved; About has nothing to save.
    QCOMPARE(window->pageStack()->count(), 5);
}

void TestSettingsWidget::opensOnFirstEnabledCategory()
{
    auto window = makeWindow(configtoolXml({{"General", 0},
                                            {"Appearance", 0},
                                            {"Thesaurus", 0},
                                            {"Advance", 0},
                                            {"Pinyin", 1},
                                            {"Wubi", 1},
                                            {"About", 1}}));
    QCOMPARE(window->pageStack()->currentWidget()->objectName(), QStringLiteral("Pinyin"));
}

void TestSettingsWidget::nothingEnabledStillWorks()
{
    auto window = makeWindow(literalBytes("\x00\x01 not xml"));
    QVERIFY(window->findChildren<QPushButton *>(QStringLiteral("category_button")).isEmpty());
    QCOMPARE(window->pageStack()->count(), 0);
    QVERIFY(window->findChild<QLabel *>(QStringLiteral("settings_logo_label")));

    KaiwoPromptDialog::setNextAnswer(1);
    QTest::mouseClick(button(window.get(), QStringLiteral("恢复本页默认设置")), Qt::LeftButton);
    QTest::mouseClick(button(window.get(), QStringLiteral("应用")), Qt::LeftButton);
    QTest::mouseClick(button(window.get(), QStringLiteral("确定")), Qt::LeftButton);
    QVERIFY(calls.isEmpty());
    QCOMPARE(mService->journal(),
             (QStringList{"ReloadConfig", "RebuildKeyMap", "ReloadConfig", "RebuildKeyMap"}));
}

void TestSettingsWidget::saveThenNotifyService_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("staysOpen");
    QTest::newRow("确定") << "确定" << false;
    QTest::newRow("应用") << "应用" << true;
}

void TestSettingsWidget::saveThenNotifyService()
{
    QFETCH(QString, button);
    QFETCH(bool, staysOpen);
    auto window = makeWindow(allSeven());
    QTest::mouseClick(this->button(window.get(), QStringLiteral("  五笔")), Qt::LeftButton);
    QStringList journalAtSaves;
    onSave = [&] { journalAtSaves += mService->journal(); };

    QTest::mouseClick(this->button(window.get(), button), Qt::LeftButton);

    QCOMPARE(calls, (QStringList{"General:save", "Thesaurus:save", "Appearance:save",
                                 "Advance:save", "Pinyin:save", "Wubi:save"}));
    QVERIFY2(journalAtSaves.isEmpty(), "the service was called before every page was saved");
    QCOMPARE(mService->journal(), (QStringList{"ReloadConfig", "RebuildKeyMap"}));
    QCOMPARE(window->isVisible(), staysOpen);
    if (staysOpen)
        QCOMPARE(window->pageStack()->currentWidget()->objectName(), QStringLiteral("Wubi"));
}

void TestSettingsWidget::cancelReloadsAndSendsNothing()
{
    const QString envIni = MainController::localPcPyDirPath() + QStringLiteral("env.ini");
    const QByteArray before = readFile(envIni);
    auto window = makeWindow(allSeven());

    QTest::mouseClick(button(window.get(), QStringLiteral("取消")), Qt::LeftButton);

    QCOMPARE(calls,
             (QStringList{"General:load current", "Appearance:load current", "Advance:load current",
                          "Pinyin:load current", "Wubi:load current"}));
    QVERIFY(!window->isVisible());
    QVERIFY(mService->journal().isEmpty());
    QCOMPARE(readFile(envIni), before);
}

void TestSettingsWidget::restoreAsksThenRestoresShownPage_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("confirmed") << "  外观" << 1 << QStringList{"Appearance:restore"};
    QTest::newRow("declined") << "  外观" << 0 << QStringList{};
    QTest::newRow("thesaurus") << "  词库" << 1 << QStringList{"Thesaurus:restore"};
    QTest::newRow("about has nothing to restore") << "  关于" << 1 << QStringList{};
}

void TestSettingsWidget::restoreAsksThenRestoresShownPage()
{
    QFETCH(QString, category);
    QFETCH(int, answer);
    QFETCH(QStringList, expected);
    auto window = makeWindow(allSeven());
    QTest::mouseClick(button(window.get(), category), Qt::LeftButton);
    const int prompts = KaiwoPromptDialog::promptCount();

    KaiwoPromptDialog::setNextAnswer(answer);
    QTest::mouseClick(button(window.get(), QStringLiteral("恢复本页默认设置")), Qt::LeftButton);

    QCOMPARE(KaiwoPromptDialog::promptCount(), prompts + 1);
    QCOMPARE(KaiwoPromptDialog::lastTitle(), QStringLiteral("恢复默认配置"));
    QCOMPARE(KaiwoPromptDialog::lastContent(), QStringLiteral("确定恢复本页默认配置？"));
    QCOMPARE(calls, expected);
    QVERIFY(mService->journal().isEmpty());
}

void TestSettingsWidget::reopensOnGeneralAfterHide()
{
    auto window = makeWindow(allSeven());
    QTest::mouseClick(button(window.get(), QStringLiteral("  拼音")), Qt::LeftButton);
    window->show(); // a plain re-show keeps the page
    QCOMPARE(window->pageStack()->currentWidget()->objectName(), QStringLiteral("Pinyin"));

    window->slot_cancel_button_clicked();
    window->show();
    QCOMPARE(window->pageStack()->currentWidget()->objectName(), QStringLiteral("General"));

    // Only once: the flag is consumed.
    QTest::mouseClick(button(window.get(), QStringLiteral("  关于")), Qt::LeftButton);
    window->hide();
    window->show();
    QCOMPARE(window->pageStack()->currentWidget()->objectName(), QStringLiteral("About"));
}

void TestSettingsWidget::generalSignalsAreRelayed()
{
    auto window = makeWindow(allSeven());
    QSignalSpy hide(window.get(), &SettingsWidget::SigHideStatus);
    QSignalSpy fullScreen(window.get(), &SettingsWidget::SigFullScreenHideSB);
    auto *general = static_cast<RecordingPage *>(window->page(SettingsCategory::General));
    emit general->SigHideStatus(true);
    emit general->SigFullScreenHideSB(false);
    QCOMPARE(hide.size(), 1);
    QCOMPARE(hide.first().first().toBool(), true);
    QCOMPARE(fullScreen.size(), 1);
    QCOMPARE(fullScreen.first().first().toBool(), false);

    // The same signals of another page are not relayed.
    emit static_cast<RecordingPage *>(window->page(SettingsCategory::Pinyin))->SigHideStatus(true);
    QCOMPARE(hide.size(), 1);
}

QTEST_MAIN(TestSettingsWidget)
#include "tst_settings_widget.moc"
