// The settings pages on the user's env.ini: each key's widget and the value
// saved back, restore, the rules between widgets, the dialogs the buttons
// open, the skins, the real window saving every page, and the user
// dictionary buttons against the service stand-in.
#include "PageFixture.h"
#include "app/DataRoot.h"
#include "pinyin/UserDictionaryActions.h"
#include "window/PageFactory.h"
#include "window/PreverSkinWidget.h"
#include "window/SettingsPage.h"
#include "window/SettingsWidget.h"

#include <QDate>

Q_DECLARE_METATYPE(SettingsCategory)

namespace
{

using C = SettingsCategory;

const QString kLeftCtrl = QStringLiteral("左Ctrl  在五笔模式下生效，快速以拼音编码输入");
const QString kZcs = QStringLiteral("首字母简拼(如:z表示zh等,a表示an等)");
const QString kEdit = QStringLiteral("编辑候选项：输入拼音后回退光标，对候选项进行编辑");

} // namespace

class TestPages : public QObject
{
    Q_OBJECT

    // A page of the category on this env.ini (null: as it is), shown.
    static std::unique_ptr<SettingsPage> pageOn(SettingsCategory category,
                                                const QByteArray &env = {})
    {
        setEnv(env);
        std::unique_ptr<SettingsPage> page(createSettingsPage(category, nullptr));
        page->resize(554, 488);
        page->show();
        return page;
    }

    static QString skinRoot() { return kaiwoDataRoot() + QStringLiteral("/Resources/PC/skin/"); }

    // Skins, folders without skin.ini, and a plain file.
    static void makeSkins(const QStringList &skins, const QStringList &bare = {})
    {
        QDir(skinRoot()).removeRecursively();
        QVERIFY(QDir().mkpath(skinRoot()));
        QVERIFY(writeFile(skinRoot() + QStringLiteral("Loose"), "[Skin]\n"));
        for (const QString &name : skins + bare)
            QVERIFY(QDir().mkpath(skinRoot() + name));
        for (const QString &name : skins)
            QVERIFY(writeFile(skinRoot() + name + QStringLiteral("/skin.ini"), "[Skin]\n"));
    }

    // Paths as a user may have them: spaces, quotes, Chinese.
    static QString homeFile(const QString &name) { return QDir::home().filePath(name); }

    static void invoke(QObject *page, const QString &slot)
    {
        QVERIFY(QMetaObject::invokeMethod(page, qPrintable(slot), Qt::DirectConnection));
    }

    std::unique_ptr<ServiceProcess> mService;
    std::unique_ptr<SettingsPage> mPinyin, mWubi;

    // The page a user-dictionary slot belongs to: the Wubi page's all name it.
    QObject *dictionaryPage(const QString &slot)
    {
        return slot.contains("WuBi") ? mWubi.get() : mPinyin.get();
    }

private slots:
    void initTestCase()
    {
        setEnv(QByteArray());
        QVERIFY(QDir().mkpath(MainController::localPcWbDirPath()));
        QVERIFY(MainController::self()->InitShell());
        startService(mService);
        mPinyin.reset(createSettingsPage(C::Pinyin, nullptr));
        mWubi.reset(createSettingsPage(C::Wubi, nullptr));
    }

    void init()
    {
        if (mService)
            mService->clearJournal();
    }

    void keyRoundTrip_data()
    {
        // text: stored; state: shown; no widget: not checked.
        addColumns<SettingsCategory, QString, QString, QString, QString, QString>(
            {"category", "key", "text", "widget", "state", "saved"});
        const auto row = [](SettingsCategory category, const char *key, const char *text,
                            const QString &widget, const char *state, const char *saved) {
            QTest::addRow("%s=%s", key, text)
                << category << key << text << widget << state << saved;
        };
        row(C::General, "DefaultTradition", "2", "繁体", "1", "1");
        row(C::General, "DefaultShape", "1", "全角", "1", "1");
        row(C::General, "DefaultPinyin", "0", "五笔", "1", "0");
        row(C::General, "StatusAppearance", "0", "隐藏状态栏", "1", "0");
        row(C::General, "SymbolCompletion", "0", "标点配对：自动补全成对标点", "0", "0");
        row(C::General, "SmartSymbolsAfterNum", "0", "智能调整数字后标点", "0", "0");
        row(C::Advance, "KeyEnCnSwitch", "5", "无", "1", "2");
        row(C::Advance, "TruncateInputWhnEnOn", "1", "切换到英文时，上屏已输入字符", "0", "1");
        row(C::Advance, "ShortcutPunct", "0", "Ctrl+句号", "0", "0");
        row(C::Advance, "ShortCutShape", "1", "Shift + Space", "1", "1");
        // Bit 8 (Tab) has no box of its own but survives a save.
        row(C::Advance, "KeyPageUpDown", "9", "左右方括号", "1", "9");
        row(C::Advance, "HalfSymbolOnPad", "1", "小键盘保持半角输入", "1", "1");
        row(C::Advance, "PadNumAsSelect", "1", "小键盘保持数字输入", "0", "1");
        row(C::Advance, "ActiveTempPY", "0", kLeftCtrl, "0", "0");
        row(C::Pinyin, "ZCSForZhChSh", "0", kZcs, "0", "0");
        row(C::Pinyin, "HintSP", "1", "双拼展开提示", "1-", "1");
        row(C::Pinyin, "AllowQuanPin", "1", "双拼下同时使用全拼", "1-", "1");
        row(C::Pinyin, "Correction", "0", "拼音纠错", "0", "0");
        row(C::Pinyin, "NoPhrase", "2", "动态组词", "1", "0");
        row(C::Pinyin, "SplitZi", "2", "拆分输入", "0", "0");
        row(C::Pinyin, "MakeName", "x", "智能人名", "0", "0");
        row(C::Pinyin, "EngFill", "2", "英文补全", "1", "1");
        row(C::Pinyin, "MailUrlFill", "0", "网址邮箱补全", "0", "0");
        row(C::Pinyin, "EditMode", "0", kEdit, "0", "0");
        row(C::Pinyin, "ConvertStyle", "1", "按空格出字", "1", "1");
        row(C::Pinyin, "SelectStyle", "1", "按字母选词", "1-", "1");
        row(C::Wubi, "InputMode", "2", "五笔混输", "0", "1");
        row(C::Wubi, "ActiveGBK", "2", "生僻字", "1", "1");
        row(C::Wubi, "MergeAutoOnScreen", "0", "四码唯一时自动上屏", "0", "0");
        row(C::Wubi, "SubmitForFifth", "0", "第五码将首选上屏", "0", "0");
        row(C::Wubi, "MergeAdjustRate", "0", "动态调频：按近期输入排序", "0", "0");
        row(C::Wubi, "CancelEmptyCode", "1", "空码时取消输入", "1", "1");
        row(C::Wubi, "MergeEnterUsage", "1", "回车键取消输入", "1", "1");
        row(C::Wubi, "AutoLearnNewWord", "0", "智能造词", "0", "0");
        row(C::Wubi, "Mix4CodeHint", "0", "编码时逐键提示", "0", "0");
        row(C::Wubi, "SingleWordMode", "1", "单字输入", "1", "1");
        row(C::Wubi, "PhraseOnlyWhenFull", "1", "仅在全码匹配时显示词组", "1", "1");
        // Stored text that is no number reads as 0, not as the default.
        row(C::Wubi, "QuickInputOnOff", "x", "符号表情", "0", "0");
        row(C::Appearance, "PageSize", "3", "comboBox_CandidateNumbers", "3", "3");
        row(C::Appearance, "PageSize", "12", "comboBox_CandidateNumbers", "", "2");
        row(C::Appearance, "CursorFollow", "0", "checkBox_CursorFollow", "0", "0");
        row(C::Appearance, "IgnoreSkinFontSetting", "1", "checkBox_ChangeFont", "1", "1");
        row(C::Appearance, "IgnoreSkinFontSizeSetting", "1", "comboBox_FontSize", "16", "1");
        row(C::Appearance, "FontSize", "17", "comboBox_FontSize", "16-", "16");
        row(C::Appearance, "ColorPinyin", "red", "", "", "0");
    }

    void keyRoundTrip()
    {
        QFETCH(SettingsCategory, category);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(QString, widget);
        QFETCH(QString, state);
        QFETCH(QString, saved);
        const QByteArray env = "[Setting]\nOther=7\n" + key.toUtf8() + "=" + text.toUtf8() + "\n";
        auto page = pageOn(category, env);
        if (!widget.isEmpty())
            QCOMPARE(shown(page.get(), widget), state);
        page->saveSettings();
        // A plain number on its own line, as the IME service reads it.
        const QByteArray bytes = readFile(userEnvIni());
        QVERIFY2(bytes.contains("\n" + key.toUtf8() + "=" + saved.toUtf8() + "\n"), bytes);
        QCOMPARE(stored("Other"), QStringLiteral("7"));
        if (!widget.isEmpty())
            QCOMPARE(shown(pageOn(category).get(), widget), state);
    }

    // Clicks, or restore, against the rules between widgets: reloading the
    // user's values (Cancel) undoes them and nothing is written until a
    // save. Restore shows the shipped defaults.
    void clicksFollowRules_data()
    {
        // saved: key=value after a save, if any.
        addColumns<SettingsCategory, QByteArray, QStringList, QStringList, QString, QString>(
            {"category", "env", "clicks", "widgets", "states", "saved"});
        const auto row = [](const char *name, SettingsCategory category, const char *env,
                            const QStringList &clicks, const QStringList &widgets,
                            const char *states, const char *saved = "") {
            QTest::newRow(name) << category << QByteArray(env) << clicks << widgets
                                << QString(states) << QString(saved);
        };
        row("general restore", C::General, "DefaultNative=0", {"restore"}, {"中文"}, "1");
        row("advance restore", C::Advance, "KeyEnCnSwitch=2", {"restore"}, {"Shift"}, "1");
        row("pinyin restore", C::Pinyin, "QuanPin=0\nShuangPin=1", {"restore"}, {"双拼"}, "0");
        row("wubi restore", C::Wubi, "InputMode=0", {"restore"}, {"五笔混输"}, "0");
        row("appearance restore", C::Appearance, "CandStyle=1", {"restore"},
            {"radioButton_vertical"}, "0");
        const QStringList phrase{"自定义短语", "自定义短语设置"};
        row("phrase button off", C::General, "UserPhrase=0", {}, phrase, "0 0-");
        row("phrase button follows the box", C::General, "UserPhrase=0", {"自定义短语"}, phrase,
            "1 0", "UserPhrase=1");
        // Left Ctrl starts temporary pinyin or switches languages, not both.
        const QStringList ctrl{"Ctrl", kLeftCtrl};
        row("Ctrl taken by left Ctrl", C::Advance, "", {"Ctrl"}, ctrl, "0- 1");
        row("left Ctrl freed, Ctrl chosen", C::Advance, "", {kLeftCtrl, "Ctrl"}, ctrl, "1 0-",
            "KeyEnCnSwitch=1");
        row("both stored", C::Advance, "KeyEnCnSwitch=1\nActiveTempPY=1", {}, ctrl, "1- 1-");
        const QStringList dependents{kZcs,           "双拼方案设置",
                                     "双拼展开提示", "双拼下同时使用全拼",
                                     "拼音纠错设置", "按字母选词"};
        row("pinyin defaults", C::Pinyin, "", {}, dependents, "1 0- 0- 0- 0 0-");
        row("double pinyin stored", C::Pinyin, "QuanPin=0\nShuangPin=1\nCorrection=0", {},
            dependents, "1- 0 0 0 0- 0-");
        row("double pinyin clicked", C::Pinyin, "", {"双拼"}, dependents, "1- 0 0 0 0 0-",
            "QuanPin=0");
        // A disabled box keeps its mark and saves it.
        row("disabled boxes keep their marks", C::Pinyin,
            "ConvertStyle=1\nSelectStyle=1\nNoPhrase=1", {"按空格出字", "拼音纠错", "动态组词"},
            dependents, "1 0- 0- 0- 0- 1-", "SelectStyle=1");
    }

    void clicksFollowRules()
    {
        QFETCH(SettingsCategory, category);
        QFETCH(QByteArray, env);
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, widgets);
        QFETCH(QString, states);
        QFETCH(QString, saved);
        env = "; the user's\n[Setting]\n" + env + "\n";
        auto page = pageOn(category, env);
        const QString before = shown(page.get(), widgets);
        const auto act = [&] {
            for (const QString &text : clicks) {
                if (text == "restore")
                    page->restoreDefaultSettings();
                else
                    buttonWithText(page.get(), text)->click();
            }
        };
        act();
        QCOMPARE(shown(page.get(), widgets), states);
        page->loadSettings(CON_CURRENT);
        QCOMPARE(shown(page.get(), widgets), before);
        if (saved.isEmpty()) {
            // Closing the stores would flush anything left pending.
            page.reset();
            MainController::self()->openSettings();
            QCOMPARE(readFile(userEnvIni()), env);
            return;
        }
        act();
        page->saveSettings();
        QCOMPARE(stored(saved.section('=', 0, 0)), saved.section('=', 1));
    }

    void buttonsOpenTheirDialogs_data()
    {
        addColumns<SettingsCategory, QString, QString>({"category", "button", "dialog"});
        const auto row = [](const char *name, C category, const char *button, const char *dialog) {
            QTest::newRow(name) << category << QString(button) << QString(dialog);
        };
        row("phrases", C::General, "自定义短语设置", "DiyPhraseDialog");
        row("shortcuts", C::Advance, "系统功能快捷键", "SystemShortcutKeysDialog");
        row("fuzzy", C::Pinyin, "模糊音设置", "MoHuYinDialog");
        row("correction", C::Pinyin, "拼音纠错设置", "CorrectionDialog");
        row("english", C::Pinyin, "英文输入法设置", "EngImeDialog");
    }

    void buttonsOpenTheirDialogs()
    {
        QFETCH(SettingsCategory, category);
        QFETCH(QString, button);
        QFETCH(QString, dialog);
        auto page = pageOn(category, "[Setting]\n");
        const QByteArray before = readFile(userEnvIni());
        ModalDriver driver;
        buttonWithText(page.get(), button)->click();
        QCOMPARE(driver.opened, QStringList{dialog});
        QCOMPARE(driver.parents, QList<QWidget *>{page.get()});
        // Leaving the dialog saves nothing.
        QCOMPARE(readFile(userEnvIni()), before);
        QVERIFY(mService->journal().isEmpty());
    }

    void skinDiscovery_data()
    {
        // state: use-skin box, skin combo, preview.
        addColumns<QStringList, QString, QStringList, QString>(
            {"skins", "active", "listed", "state"});
        const QStringList two = {"Blue", "autumn", "Default"};
        const QStringList order = {"autumn", "Blue"};
        QTest::newRow("no skin folder")
            << QStringList() << "Blue" << QStringList() << "0 - Default";
        QTest::newRow("order, Default hidden") << two << "Blue" << order << "1 Blue Blue";
        QTest::newRow("no skin.ini, or a file")
            << QStringList{"Blue"} << "Bare" << QStringList{"Blue"} << "0 Blue- Default";
        QTest::newRow("hidden folder") << QStringList{"Blue", ".night"} << ".night"
                                       << QStringList{".night", "Blue"} << "1 .night .night";
    }

    void skinDiscovery()
    {
        QFETCH(QStringList, skins);
        QFETCH(QString, active);
        QFETCH(QStringList, listed);
        QFETCH(QString, state);
        makeSkins(skins, {QStringLiteral("Bare")});
        if (skins.isEmpty())
            QDir(skinRoot()).removeRecursively();
        auto page = pageOn(
            C::Appearance,
            QStringLiteral("[Setting]\nSkinEnabled=1\nActiveSkinName=%1\n").arg(active).toUtf8());
        auto *combo = page->findChild<QComboBox *>("comboBox_UseSkin");
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QCOMPARE(items, listed);
        QCOMPARE(shown(page.get(), {"checkBox_UseSkin", "comboBox_UseSkin"}) + ' ' +
                     page->findChild<PreverSkinWidget *>()->skinName(),
                 state);
        page->saveSettings();
        QCOMPARE(stored("ActiveSkinName"), combo->currentText());
    }

    void missingFontFallsBack()
    {
        auto page =
            pageOn(C::Appearance, "[Setting]\nIgnoreSkinFontSetting=1\nFontCh=No Such Font\n");
        auto *combo = page->findChild<QComboBox *>("CNcomboBox_Chinese");
        QVERIFY(combo->count() > 0 && combo->isEnabled());
        QCOMPARE(combo->currentIndex(), qMax(combo->findText(QApplication::font().family()), 0));
    }

    void dictionaryImport_data()
    {
        // how: slot, service method, file kind.
        addColumns<QStringList, QStringList, QStringList, QStringList>(
            {"arguments", "how", "files", "prompts"});
        const QStringList pinyin{"slot_released_loadThesaurusButton", "UsrDictImport", "pinyin"};
        const QStringList wubi{"slot_released_loadWuBiCnThesaurusButton", "UsrWuBiDictImport",
                               "wubi"};
        const QString a = homeFile("my dict 词库.bin"), b = homeFile("say \"hi\" 'x'.bin"),
                      c = homeFile("第三个.bin");
        const QString cn = "导入词库|导入中文用户词库\"%1\"%2！";
        const QString user = "导入词库|导入用户词库\"%1\"%2！";
        QTest::newRow("second of three fails")
            << QStringList{"--fail-on", "say"} << pinyin << QStringList{a, b, c}
            << QStringList{cn.arg(b, "失败"), cn.arg(a + "  " + c + "  ", "成功")};
        QTest::newRow("wubi pinyin") << QStringList{}
                                     << QStringList{"slot_released_loadPinYinWuBiThesaurusButton",
                                                    "UsrPinYinWuBiDictImportPinYin", "wubi-pinyin"}
                                     << QStringList{b} << QStringList{user.arg(b, "成功")};
        QTest::newRow("wubi, all fail")
            << QStringList{"--answer", "false"} << wubi << QStringList{a, c}
            << QStringList{user.arg(a, "失败"), user.arg(c, "失败")};
    }

    void dictionaryImport()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, how);
        QFETCH(QStringList, files);
        QFETCH(QStringList, prompts);
        startService(mService, arguments);
        // Files the service accepts: its text format, headed by the kind.
        for (const QString &path : files)
            QVERIFY(writeFile(path, "KaiwoUserDictionary 1 " + how[2].toUtf8() + "\nni\t你\t3\n"));
        ModalDriver driver;
        UserDictionaryActions::setNextFileNames(files);
        invoke(dictionaryPage(how[0]), how[0]);
        QCOMPARE(driver.prompts, prompts);
        QStringList calls;
        for (const QString &file : files)
            calls << how[1] + '\t' + file;
        QCOMPARE(mService->journal(), calls);
    }

    // The save dialog offers a dated name in HOME; the path chosen goes to
    // the service and its answer to a notice.
    void dictionaryExport()
    {
        startService(mService);
        // The file dialog reads double quotes as a list of names, so none here.
        const QString path = homeFile("备份 新.txt");
        ModalDriver driver;
        driver.savePath = path;
        invoke(mWubi.get(), "slot_released_exportPinYinWuBiThesaurusButton");
        const QString name = "/凯沃拼音五笔词库备份_" + QDate::currentDate().toString("yyyy_MM_dd");
        QCOMPARE(driver.fileDialog,
                 QStringList({"词库另存为", QDir::homePath(), QDir::homePath() + name + ".txt",
                              "文本词库文件（*.txt)"}));
        QCOMPARE(mService->journal(), QStringList("UsrWuBiPinYinDictBackupPinYin\t" + path));
        QCOMPARE(driver.prompts, QStringList("导出词库|导出用户词库\"" + path + "\"成功！"));
    }

    // Cancelled file dialogs send nothing.
    void dictionaryCancelled()
    {
        ModalDriver driver;
        invoke(mPinyin.get(), "slot_released_loadThesaurusButton");
        UserDictionaryActions::setNextSaveFileName(QString());
        invoke(mWubi.get(), "slot_released_exportWuBiCnThesaurusButton");
        QCOMPARE(driver.opened, QStringList{"QFileDialog"});
        QVERIFY(driver.prompts.isEmpty());
        QVERIFY(mService->journal().isEmpty());
    }

    // Each button asks first and calls its own method only when confirmed;
    // without the service the notice says it failed.
    void dictionaryConfirmed_data()
    {
        // how: page, button text or slot, method; index: of the buttons with that text.
        addColumns<QStringList, int>({"how", "index"});
        const auto row = [](const char *name, const QStringList &how, int index) {
            QTest::newRow(name) << how << index;
        };
        row("cn", {"pinyin", "清空", "clearCnThesaurus"}, 0);
        row("en", {"pinyin", "清空", "clearEnThesaurus"}, 1);
        row("web", {"pinyin", "清空", "clearWebEmailThesaurus"}, 2);
        row("recover", {"pinyin", "一键恢复初始状态", "recoveryDefaultThesaurus"}, 0);
        row("wubi pinyin", {"wubi", "清空", "clearPinYinWuBiCnThesaurusPinYin"}, 0);
        row("wubi cn", {"wubi", "清空", "clearWuBiCnThesaurus"}, 1);
        row("wubi web", {"wubi", "清空", "clearWuBiWebEmailThesaurus"}, 2);
        row("wubi en, no button",
            {"wubi", "slot_released_clearWuBiEnThesaurusButton", "clearWuBiEnThesaurus"}, -1);
        row("wubi recover", {"wubi", "一键恢复初始状态", "recoveryWuBiDefaultThesaurus"}, 0);
    }

    void dictionaryConfirmed()
    {
        QFETCH(QStringList, how);
        QFETCH(int, index);
        startService(mService);
        QWidget *page = how[0] == "wubi" ? mWubi.get() : mPinyin.get();
        QList<QAbstractButton *> buttons;
        for (auto *candidate : page->findChildren<QAbstractButton *>()) {
            if (candidate->text() == how[1])
                buttons << candidate;
        }
        const auto press = [&] {
            if (index < 0)
                invoke(page, how[1]);
            else
                QTest::mouseClick(buttons.value(index), Qt::LeftButton);
        };
        ModalDriver driver;
        driver.answers = {0};
        press();
        QCOMPARE(driver.prompts.size(), 1);
        QVERIFY(mService->journal().isEmpty());
        press();
        QCOMPARE(driver.prompts.size(), 3);
        QVERIFY2(driver.prompts[2].endsWith("成功！"), qPrintable(driver.prompts[2]));
        QCOMPARE(mService->journal(), QStringList{how[2]});
        stopService(mService);
        press();
        QVERIFY2(driver.prompts.last().endsWith("失败！"), qPrintable(driver.prompts.last()));
    }

    // Last: OK quits the application, which ends every modal loop after it.
    //
    // The real pages in the real window: OK on an env.ini without keys
    // writes every key the pages own with the shipped value (the font
    // family aside, which depends on the fonts installed) and no other.
    void windowOkWritesShippedDefaults()
    {
        makeSkins({"autumn", "Blue", "Default"});
        startService(mService);
        setEnv("[Setting]\n");
        SettingsWidget window(nullptr);
        buttonWithText(&window, QStringLiteral("确定"))->click();
        QSettings written(userEnvIni(), QSettings::IniFormat);
        QSettings shipped(MainController::sysEnvPyDirPath() + QStringLiteral("env.ini"),
                          QSettings::IniFormat);
        written.beginGroup("Setting");
        shipped.beginGroup("Setting");
        const QStringList keys = written.allKeys();
        QCOMPARE(keys.size(), 8 + 13 + 8 + 14 + 12);
        for (const QString &key : keys) {
            // "Default" is never listed: the first skin by name is taken.
            const QString expected = key == "ActiveSkinName" ? "autumn"
                                     : key == "FontCh"       ? written.value(key).toString()
                                                             : shipped.value(key).toString();
            QVERIFY2(shipped.contains(key), qPrintable(key));
            QCOMPARE(key + '=' + written.value(key).toString(), key + '=' + expected);
        }
        // Read, never written.
        QVERIFY(!keys.contains("ColorBorder") && !keys.contains("ColorBackground"));
        QCOMPARE(mService->journal(), (QStringList{"ReloadConfig", "RebuildKeyMap"}));
    }
};

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
