// The window against pages that record every call: which categories
// configtool.xml enables, what OK, Apply, Cancel and restore do to the
// pages, to env.ini and to the service, and in which order.
#include "PageFixture.h"
#include "app/DataRoot.h"
#include "window/SettingsPage.h"
#include "window/SettingsWidget.h"

#include <QPushButton>
#include <QStackedWidget>

using Flags = QVector<bool>;
Q_DECLARE_METATYPE(Flags)

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
        calls << mName + (mode == CON_CURRENT ? ":load current" : ":load default");
    }
    void saveSettings() override
    {
        calls << mName + ":save";
        if (onSave)
            onSave();
    }
    void restoreDefaultSettings() override { calls << mName + ":restore"; }

private:
    QString mName;
};

} // namespace

class TestSettingsWidget : public QObject
{
    Q_OBJECT

    // configtool.xml with these flags, in the order of kNames.
    static QByteArray configtoolXml(const QString &flags)
    {
        QByteArray xml("<?xml version=\"1.0\"?>\n<Configtool>\n");
        for (int i = 0; i < flags.size(); ++i)
            xml += QByteArray("  <") + kNames[i] + ">" + flags.at(i).toLatin1() + "</" + kNames[i] +
                   ">\n";
        return xml + "</Configtool>\n";
    }

    static QString xmlPath()
    {
        return kaiwoDataRoot() + QStringLiteral("/Resources/PC/configtool.xml");
    }

    static QString currentPage(SettingsWidget *window)
    {
        QWidget *page = window->pageStack()->currentWidget();
        return page ? page->objectName() : QString();
    }

    std::unique_ptr<ServiceProcess> mService;

    std::unique_ptr<SettingsWidget> makeWindow(const QByteArray &xml = configtoolXml("1111111"))
    {
        writeFile(xmlPath(), xml);
        auto window = std::make_unique<SettingsWidget>(nullptr);
        window->show();
        calls.clear(); // construction itself loads nothing through the window
        return window;
    }

private slots:
    void initTestCase()
    {
        // The service creates the per-user folders, as it does on a desktop.
        startService(mService);
        QVERIFY(QFile::copy(MainController::sysEnvPyDirPath() + "env.ini", userEnvIni()));
        MainController::self()->openSettings();
        SettingsWidget::setPageFactory([](SettingsCategory category, QWidget *parent) {
            return static_cast<SettingsPage *>(new RecordingPage(category, parent));
        });
    }

    void init()
    {
        calls.clear();
        onSave = nullptr;
        mService->clearJournal();
    }

    // OK and Apply save every enabled page in one order, and only then
    // tell the service; OK closes the window.
    void saveThenNotifyService_data()
    {
        addColumns<QString, QString, QString, QStringList>({"flags", "button", "opened", "saved"});
        const QStringList all{"General:save", "Thesaurus:save", "Appearance:save",
                              "Advance:save", "Pinyin:save",    "Wubi:save"};
        const auto row = [](const char *name, const char *flags, const char *button,
                            const char *opened, const QStringList &saved) {
            QTest::newRow(name) << QString(flags) << QString(button) << QString(opened) << saved;
        };
        row("确定", "1111111", "确定", "General", all);
        row("应用", "1111111", "应用", "General", all);
        row("Wubi off", "1111101", "确定", "General", all.mid(0, 5));
        row("first enabled opens", "0000111", "确定", "Pinyin", all.mid(4));
        row("none enabled", "", "确定", "", {});
    }

    void saveThenNotifyService()
    {
        QFETCH(QString, flags);
        QFETCH(QString, button);
        QFETCH(QString, opened);
        QFETCH(QStringList, saved);
        auto window =
            makeWindow(flags.isEmpty() ? literalBytes("\x00\x01 not xml") : configtoolXml(flags));
        QCOMPARE(window->findChildren<QPushButton *>("category_button").size(), flags.count('1'));
        QCOMPARE(currentPage(window.get()), opened);
        QStringList journalAtSaves;
        onSave = [&] { journalAtSaves += mService->journal(); };
        QTest::mouseClick(buttonWithText(window.get(), button), Qt::LeftButton);
        QCOMPARE(calls, saved);
        QVERIFY2(journalAtSaves.isEmpty(), "the service was called before every page was saved");
        QCOMPARE(mService->journal(), (QStringList{"ReloadConfig", "RebuildKeyMap"}));
        QCOMPARE(window->isVisible(), button == "应用");
    }

    void cancelReloadsAndSendsNothing()
    {
        const QByteArray before = readFile(userEnvIni());
        auto window = makeWindow();
        QTest::mouseClick(buttonWithText(window.get(), "取消"), Qt::LeftButton);
        QCOMPARE(calls,
                 (QStringList{"General:load current", "Appearance:load current",
                              "Advance:load current", "Pinyin:load current", "Wubi:load current"}));
        QVERIFY(!window->isVisible());
        QVERIFY(mService->journal().isEmpty());
        QCOMPARE(readFile(userEnvIni()), before);
    }

    void restoreAsksThenRestoresShownPage_data()
    {
        addColumns<QString, int, QStringList>({"category", "answer", "expected"});
        QTest::newRow("confirmed") << "  外观" << 1 << QStringList{"Appearance:restore"};
        QTest::newRow("declined") << "  外观" << 0 << QStringList{};
        QTest::newRow("thesaurus") << "  词库" << 1 << QStringList{"Thesaurus:restore"};
        QTest::newRow("about has nothing to restore") << "  关于" << 1 << QStringList{};
    }

    void restoreAsksThenRestoresShownPage()
    {
        QFETCH(QString, category);
        QFETCH(int, answer);
        QFETCH(QStringList, expected);
        auto window = makeWindow();
        QTest::mouseClick(buttonWithText(window.get(), category), Qt::LeftButton);
        const int prompts = KaiwoPromptDialog::promptCount();
        KaiwoPromptDialog::setNextAnswer(answer);
        QTest::mouseClick(buttonWithText(window.get(), "恢复本页默认设置"), Qt::LeftButton);
        QCOMPARE(KaiwoPromptDialog::promptCount(), prompts + 1);
        QCOMPARE(KaiwoPromptDialog::lastContent(), QStringLiteral("确定恢复本页默认配置？"));
        QCOMPARE(calls, expected);
        QVERIFY(mService->journal().isEmpty());
    }
};

QTEST_MAIN(TestSettingsWidget)
#include "tst_settings_widget.moc"
