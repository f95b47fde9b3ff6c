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
    void categorySelectionStyles();
    void wubiDisabledHidesItsButtonAndPage();
    void opensOnFirstEnabledCategory();
    void nothingEnabledStillWorks();
    void okSavesInOrderThenNotifiesService();
    void applyKeepsWindowAndPage();
    void cancelReloadsAndSendsNothing();
    void restoreAsksThenRestoresShownPage_data();
    void restoreAsksThenRestoresShownPage();
    void reopensOnGeneralAfterHide();
    void generalSignalsAreRelayed();
    void minimiseThroughQtByDefault();

private:
    std::unique_ptr<SettingsWidget> makeWindow(const QByteArray &xml);
    QPushButton *button(SettingsWidget *window, const QString &text);
    QStringList pageCalls() const;

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
    QCOMPARE(window->size(), QSize(700, 540));
    QCOMPARE(window->windowTitle(), QStringLiteral("凯沃输入法"));
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));

    auto *column = window->findChild<QWidget *>(QStringLiteral("category_widget"));
    QVERIFY(column);
    QCOMPARE(column->size(), QSize(146, 540));
    auto *logo = column->findChild<QLabel *>(QStringLiteral("settings_logo_label"));
    QVERIFY(logo);
    QCOMPARE(logo->geometry(), QRect(0, 0, 146, 60));

    const QStringList texts{QStringLiteral("  常用"), QStringLiteral("  外观"),
                            QStringLiteral("  词库"), QStringLiteral("  高级"),
                            QStringLiteral("  拼音"), QStringLiteral("  五笔"),
                            QStringLiteral("  关于")};
    const auto buttons = column->findChildren<QPushButton *>(QStringLiteral("category_button"));
    QCOMPARE(buttons.size(), 7);
    for (int i = 0; i < buttons.size(); ++i) {
        QCOMPARE(buttons[i]->text(), texts[i]);
        QCOMPARE(buttons[i]->geometry(), QRect(0, 60 + 50 * i, 146, 50));
        QCOMPARE(buttons[i]->iconSize(), QSize(146, 42));
        QCOMPARE(buttons[i]->focusPolicy(), Qt::NoFocus);
    }

    // Only the shown page is built at first; pages built later, in any
    // order, still take their places in the column's order.
    QStackedWidget *stack = window->pageStack();
    QCOMPARE(stack->objectName(), QStringLiteral("stacked_widget"));
    QCOMPARE(stack->count(), 1);
    for (int i : {5, 2, 6, 1, 4, 3})
        QTest::mouseClick(buttons[i], Qt::LeftButton);
    QCOMPARE(stack->count(), 7);
    for (int i = 0; i < 7; ++i)
        QCOMPARE(stack->widget(i)->objectName(), QLatin1String(kNames[i]));

    auto *restore = button(window.get(), QStringLiteral("恢复本页默认设置"));
    QCOMPARE(restore->parentWidget(), column);
    QCOMPARE(restore->geometry(), QRect(3, 493, 140, 36));
    auto *bar = window->findChild<QWidget *>(QStringLiteral("settings_bottom_widget"));
    QCOMPARE(button(window.get(), QStringLiteral("确定"))->parentWidget(), bar);
    QCOMPARE(button(window.get(), QStringLiteral("确定"))->geometry(), QRect(250, 7, 90, 36));
    QCOMPARE(button(window.get(), QStringLiteral("取消"))->geometry(), QRect(350, 7, 90, 36));
    QCOMPARE(button(window.get(), QStringLiteral("应用"))->geometry(), QRect(450, 7, 90, 36));
    QVERIFY(bar->height() >= 51);
    QVERIFY(stack->height() > 400);
    QTRY_VERIFY(button(window.get(), QStringLiteral("确定"))->hasFocus());
}

void TestSettingsWidget::categorySelectionStyles()
{
    auto window = makeWindow(allSeven());
    const auto buttons = window->findChildren<QPushButton *>(QStringLiteral("category_button"));
    QTest::mouseClick(buttons[3], Qt::LeftButton);
    QCOMPARE(window->pageStack()->currentWidget()->objectName(), QStringLiteral("Advance"));

    const QString selected =
        QStringLiteral("QPushButton{background-color:rgb(255,120,70);border:0px;color:white}");
    const QString unselected =
        QStringLiteral("QPushButton{background-color:rgb(238,243,246);border:0px}");
    for (int i = 0; i < buttons.size(); ++i)
        QCOMPARE(buttons[i]->styleSheet(), i == 3 ? selected : unselected);
    // The icon follows the state: the selected variant differs in pixels.
    const QImage advance = buttons[3]->icon().pixmap(24).toImage();
    const QImage advanceIdle =
        QIcon(QStringLiteral(":/picture/AttributeSetting/advance-123.png")).pixmap(24).toImage();
    QCOMPARE(
        advance,
        QIcon(QStringLiteral(":/picture/AttributeSetting/advance-4.png")).pixmap(24).toImage());
    QVERIFY(advance != advanceIdle);
    QCOMPARE(
        buttons[0]->icon().pixmap(24).toImage(),
        QIcon(QStringLiteral(":/picture/AttributeSetting/general-123.png")).pixmap(24).toImage());
}

void TestSettingsWidget::wubiDisabledHidesItsButtonAndPage()
{
    auto window = makeWindow(allSeven(0));
    QCOMPARE(window->findChildren<QPushButton *>(QStringLiteral("category_button")).size(), 6);
    QVERIFY(!window->page(SettingsCategory::Wubi));
    QVERIFY(!button(window.get(), QStringLiteral("  五笔")));

    QTest::mouseClick(button(window.get(), QStringLiteral("确定")), Qt::LeftButton);
    QCOMPARE(pageCalls(), (QStringList{"General:save", "Thesaurus:save", "Appearance:save",
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
    QCOMPARE(
        button(window.get(), QStringLiteral("  拼音"))->styleSheet(),
        QStringLiteral("QPushButton{background-color:rgb(255,120,70);border:0px;color:white}"));
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
    QVERIFY(pageCalls().isEmpty());
    QCOMPARE(mService->journal(),
             (QStringList{"ReloadConfig", "RebuildKeyMap", "ReloadConfig", "RebuildKeyMap"}));
}

void TestSettingsWidget::okSavesInOrderThenNotifiesService()
{
    auto window = makeWindow(allSeven());
    QStringList journalAtSaves;
    onSave = [&] { journalAtSaves += mService->journal(); };
    QSignalSpy quit(qApp, &QCoreApplication::aboutToQuit);

    QTest::mouseClick(button(window.get(), QStringLiteral("确定")), Qt::LeftButton);

    QCOMPARE(pageCalls(), (QStringList{"General:save", "Thesaurus:save", "Appearance:save",
                                       "Advance:save", "Pinyin:save", "Wubi:save"}));
    QVERIFY2(journalAtSaves.isEmpty(), "the service was called before every page was saved");
    QCOMPARE(mService->journal(), (QStringList{"ReloadConfig", "RebuildKeyMap"}));
    QVERIFY(!window->isVisible());
}

void TestSettingsWidget::applyKeepsWindowAndPage()
{
    auto window = makeWindow(allSeven());
    QTest::mouseClick(button(window.get(), QStringLiteral("  五笔")), Qt::LeftButton);
    QTest::mouseClick(button(window.get(), QStringLiteral("应用")), Qt::LeftButton);

    QCOMPARE(pageCalls(), (QStringList{"General:save", "Thesaurus:save", "Appearance:save",
                                       "Advance:save", "Pinyin:save", "Wubi:save"}));
    QCOMPARE(mService->journal(), (QStringList{"ReloadConfig", "RebuildKeyMap"}));
    QVERIFY(window->isVisible());
    QCOMPARE(window->pageStack()->currentWidget()->objectName(), QStringLiteral("Wubi"));
}

void TestSettingsWidget::cancelReloadsAndSendsNothing()
{
    const QString envIni = MainController::localPcPyDirPath() + QStringLiteral("env.ini");
    const QByteArray before = readFile(envIni);
    auto window = makeWindow(allSeven());

    QTest::mouseClick(button(window.get(), QStringLiteral("取消")), Qt::LeftButton);

    QCOMPARE(pageCalls(),
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
    QCOMPARE(pageCalls(), expected);
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

void TestSettingsWidget::minimiseThroughQtByDefault()
{
    auto window = makeWindow(allSeven());
    window->slot_showMinimized();
    QTRY_VERIFY(window->isMinimized());
}

QStringList TestSettingsWidget::pageCalls() const
{
    return calls;
}

QTEST_MAIN(TestSettingsWidget)
#include "tst_settings_widget.moc"
