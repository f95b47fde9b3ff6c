// The settings dialogs: English input, shortcut letters, correction and
// fuzzy rules, double-pinyin schemes and their editor, the prompt; how each
// restores and is left, and the files each reads and writes. Every window:
// English throughout, each control named and reached by Tab, Escape and
// Enter.
#include "PageFixture.h"
#include "app/Translations.h"
#include "phrase/DefaultPhraseDialog.h"
#include "phrase/DiyPhraseAddDialog.h"
#include "phrase/DiyPhraseDialog.h"
#include "phrase/DiyPhraseEditDialog.h"
#include "pinyin/CorrectionDialog.h"
#include "pinyin/LearnedWordsDialog.h"
#include "pinyin/MoHuYinDialog.h"
#include "pinyin/ThesaurusLookDialog.h"
#include "shuangpin/NewSPConfDialog.h"
#include "shuangpin/ShuangPinController.h"
#include "shuangpin/ShuangPinSettingDialog.h"
#include "window/EngImeDialog.h"
#include "window/SettingsWidget.h"
#include "window/SystemShortcutKeysDialog.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QQuickItem>
#include <QQuickWidget>
#include <QStackedWidget>
#include <QTableView>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTranslator>

#include <functional>

namespace
{

const QStringList kEnglishKeys{
    "DefaultEnglishInput",         "EnglishInput_StarAsWildcard", "EnglishInput_ExactMatches",
    "EnglishInput_AddSpace",       "EnglishInput_LearnFreq",      "EnglishInput_LearnNewWord",
    "EnglishInput_Autofill_Space", "EnglishInput_Autofill_Tab",   "EnglishInput_Autofill_Enter"};
const QStringList kLetters{"fangjianShortCutCombox", "engIMEShortCutCombox", "wbpyShortCutCombox"};
const QStringList kRules{"gn==>ng", "uen==>un", "iou==>iu", "uei==>ui", "mg==>ng"};
const QStringList kPairs{"z = zh",   "c = ch",   "s = sh",     "r = l",      "l = n",   "f = h",
                         "an = ang", "en = eng", "ian = iang", "uan = uang", "in = ing"};
const QByteArray kFuzzyHead = "[Metadata]\nversion=1\n[Fuzzy]\n";
const QString kSmart = QStringLiteral("开启智能模糊音推荐");

QString storedKeys(const QStringList &keys)
{
    QStringList values;
    for (const QString &key : keys)
        values << stored(key);
    return values.join(' ');
}

QByteArray shipped(const QString &name)
{
    return readFile(KAIWO_SOURCE_DATA_DIR "/KaiwoShell/dict/PCPYDict/" + name);
}

// The boxes of a rule dialog that are checked, in file order.
QString checkedRules(QWidget *dialog, const QStringList &boxes)
{
    QStringList on;
    for (const QString &text : boxes) {
        if (buttonWithText(dialog, text)->isChecked())
            on << text;
    }
    return on.join(',');
}

// A dialog of the table below: how it is made, shown and left, and what it
// stores; "user" and "restored" are what it shows, "saved" what is on disk.
struct Dialog {
    std::function<QDialog *()> make;
    std::function<QString(QDialog *)> state;
    std::function<QString()> saved;
    QByteArray userEnv;
    QString file, restoreButton, okButton;
    QByteArray userFile;
    QString user, restored, defaults;
    QStringList journal;
};

const Dialog &dialogKind(const QString &kind)
{
    static const QStringList reload{"ReloadConfig"}, rebuild{"ReloadConfig", "RebuildKeyMap"};
    static const std::map<QString, Dialog> kinds{
        {"english",
         {[] { return new EngImeDialog(nullptr); },
          [](QDialog *d) { return shown(d, kEnglishKeys); },
          [] { return storedKeys(kEnglishKeys); },
          "DefaultEnglishInput=1\nEnglishInput_LearnFreq=0", "", "restore_default_pushButton",
          kOkButton, "", "1 1 1 1 0 1 1 1 0", "0 1 1 1 1 1- 1 1 0", "0 1 1 1 1 1 1 1 0", reload}},
        {"shortcuts",
         {[] { return new SystemShortcutKeysDialog(nullptr); },
          [](QDialog *d) { return shown(d, kLetters); },
          [] {
              return storedKeys({"ShortCutFanJian", "KeyFanJianSwitch", "ShortCutEnglishInput",
                                 "KeyEnglishInputSwitch", "WBInputStyle",
                                 "ShortcutWBInputStyleNew"});
          },
          "ShortCutEnglishInput=0\nKeyEnglishInputSwitch=1", "", "restore_default_pushButton",
          kOkButton, "", "F B W", "F E W", "1 5 1 4 0 22", reload}},
        {"correction",
         {[] { return new CorrectionDialog(nullptr); },
          [](QDialog *d) { return checkedRules(d, kRules); },
          [] { return QString::fromUtf8(readFile(pyFile("Correction.ini"))); }, "",
          "Correction.ini", "restore_default_pushButton", kOkButton, "[Correction]\nmg=ng\n",
          "mg==>ng", kRules.join(','), QString::fromUtf8(shipped("Correction.ini")), rebuild}},
        {"fuzzy",
         {[] { return new MoHuYinDialog(nullptr); },
          [](QDialog *d) { return checkedRules(d, kPairs) + ' ' + shown(d, kSmart); },
          [] { return QString::fromUtf8(readFile(pyFile("Fuzzy.dat"))) + stored("MohuSmart"); },
          "MohuSmart=0", "Fuzzy.dat", "restore_default_pushButton", kOkButton,
          "[Fuzzy]\nzh=z\nh=f\n", "z = zh,f = h 0", " 1",
          QString::fromUtf8(shipped("Fuzzy.dat")) + "1", rebuild}},
        {"double pinyin",
         {[] { return new ShuangPinSettingDialog(nullptr); },
          [](QDialog *d) { return shown(d, "comboBox"); }, [] { return stored("ShuangPinName"); },
          "ShuangPinName=GuoBiao", "", "pushButton_restoreDefault", "pushButton_ok", "", "国标双拼",
          "凯沃双拼", "Kaiwo", rebuild}},
    };
    return kinds.at(kind);
}

// Texts of one drawn key: consonant|vowel1|vowel2.
QString drawnKey(QWidget *dialog, const QString &label)
{
    QQuickItem *root = dialog->findChild<QQuickWidget *>()->rootObject();
    for (QQuickItem *item : root->findChildren<QQuickItem *>()) {
        if (item->property("key").toString() == label)
            return item->property("consonant").toString() + '|' +
                   item->property("vowel1").toString() + '|' + item->property("vowel2").toString();
    }
    return "none";
}

QString userSchemes()
{
    return ShuangPinController::localShuangPinPath();
}

// Saves the editor's scheme under a name: the notice it gave, or "saved".
QString saveScheme(NewSPConfDialog *editor, const QString &name)
{
    editor->findChild<QLineEdit *>()->setText(name);
    KaiwoPromptDialog::setNextAnswer(1);
    const int before = KaiwoPromptDialog::promptCount();
    click(editor, "pushButton_keep");
    return KaiwoPromptDialog::promptCount() > before ? KaiwoPromptDialog::lastContent()
                                                     : QStringLiteral("saved");
}

QStringList qmlWarnings;
QtMessageHandler previousHandler = nullptr;

void collectQmlWarnings(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg &&
        (message.contains("qml", Qt::CaseInsensitive) || message.contains("Quick")))
        qmlWarnings << message;
    previousHandler(type, context, message);
}

// Every window a user meets: the main window, walked page by page, and each
// dialog.
const std::vector<std::pair<const char *, std::function<QWidget *()>>> &windows()
{
    static s_cellDicInfo cell{L"", L"1", L"Cell", L"", L"a b", 2, 0, true};
    static const std::vector<std::pair<const char *, std::function<QWidget *()>>> all{
        {"main window", [] { return new SettingsWidget(nullptr); }},
        {"english", [] { return new EngImeDialog(nullptr); }},
        {"shortcuts", [] { return new SystemShortcutKeysDialog(nullptr); }},
        {"correction", [] { return new CorrectionDialog(nullptr); }},
        {"fuzzy", [] { return new MoHuYinDialog(nullptr); }},
        {"double pinyin", [] { return new ShuangPinSettingDialog(nullptr); }},
        {"scheme editor", [] { return new NewSPConfDialog(nullptr); }},
        {"prompt",
         [] {
             return new KaiwoPromptDialog(KaiwoPromptDialog::tr("恢复默认配置"),
                                          KaiwoPromptDialog::tr("确定恢复本页默认配置？"),
                                          DIALOG_QUESTION, nullptr);
         }},
        {"phrases", [] { return new DiyPhraseDialog(nullptr); }},
        {"phrase add", [] { return new DiyPhraseAddDialog(nullptr); }},
        {"phrase edit", [] { return new DiyPhraseEditDialog(nullptr); }},
        {"built-in phrases", [] { return new DefaultPhraseDialog(nullptr); }},
        {"cell dictionary", [] { return new ThesaurusLookDialog(cell, nullptr); }},
        {"learned words", [] { return new LearnedWordsDialog(nullptr); }},
    };
    return all;
}

void addWindowRows(bool dialogsOnly = false)
{
    QTest::addColumn<int>("window");
    for (int i = dialogsOnly ? 1 : 0; i < int(windows().size()); ++i)
        QTest::newRow(windows()[i].first) << i;
}

// Calls check on each view of the window: every page of the main window in
// turn, or the dialog as it is.
void forEachView(QWidget *window, const std::function<void(const QString &)> &check)
{
    const auto buttons = window->findChildren<QPushButton *>("category_button");
    for (QPushButton *button : buttons) {
        button->click();
        check(button->text());
    }
    if (buttons.isEmpty())
        check(QString());
}

// The scroll area a widget scrolls in, if any.
QWidget *scrolledIn(QWidget *widget)
{
    while ((widget = widget->parentWidget()) && !qobject_cast<QAbstractScrollArea *>(widget)) {
    }
    return widget;
}

// The widgets of the window a user can see.
QList<QWidget *> shownWidgets(QWidget *window)
{
    QList<QWidget *> shown{window};
    for (QWidget *widget : window->findChildren<QWidget *>()) {
        if (widget->isVisibleTo(window) && !qobject_cast<QAbstractItemView *>(scrolledIn(widget)))
            shown << widget;
    }
    return shown;
}

// Every text the window shows or speaks: titles, texts, tool tips, place
// holders, accessible names, the items of combo boxes and item views.
QStringList shownTexts(QWidget *window)
{
    QStringList texts{window->windowTitle()};
    for (QWidget *widget : shownWidgets(window)) {
        texts << widget->toolTip() << widget->accessibleName() << widget->accessibleDescription();
        if (auto *label = qobject_cast<QLabel *>(widget))
            texts << QTextDocumentFragment::fromHtml(label->text()).toPlainText();
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            texts << button->text();
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            texts << edit->text() << edit->placeholderText();
        if (auto *edit = qobject_cast<QTextEdit *>(widget))
            texts << edit->placeholderText();
        if (auto *combo = qobject_cast<QComboBox *>(widget)) {
            for (int i = 0; i < combo->count(); ++i)
                texts << combo->itemText(i);
        }
        // The rows of every table and list are data: phrases, dictionaries;
        // so are the widgets in their cells.
        if (auto *view = qobject_cast<QAbstractItemView *>(widget)) {
            for (int column = 0; view->model() && column < view->model()->columnCount(); ++column)
                texts << view->model()->headerData(column, Qt::Horizontal).toString();
        }
    }
    return texts;
}

// Texts that stay Chinese in every locale: fixed names, the correction
// rules' examples, and data: scheme titles from their files.
bool keptInChinese(const QString &text)
{
    static const QStringList fixed{"辅助功能", "符号表情"};
    return !text.contains(QRegularExpression("[\\x{4e00}-\\x{9fff}]")) || fixed.contains(text) ||
           text.startsWith("如:") || ShuangPinController::self()->mSchemeTitles.contains(text);
}

// The catalogue for a locale, installed for as long as it lives.
struct Locale {
    QTranslator *translator;
    explicit Locale(const char *name)
    {
        QLocale::setDefault(QLocale(name));
        translator = installTranslations(*qApp);
    }
    ~Locale()
    {
        delete translator;
        QLocale::setDefault(QLocale::system());
    }
};

// Focusable controls a screen reader could not name: no accessible name,
// no text of their own and no label naming them.
QStringList unnamedControls(QWidget *window)
{
    QStringList unnamed;
    const QList<QWidget *> shown = shownWidgets(window);
    for (QWidget *widget : shown) {
        // A combo box's line edit is named through the combo box.
        QWidget *named = widget->parentWidget() && widget->parentWidget()->focusProxy() == widget
                             ? widget->parentWidget()
                             : widget;
        auto *button = qobject_cast<QAbstractButton *>(named);
        const bool labelled = std::any_of(shown.begin(), shown.end(), [named](QWidget *other) {
            auto *label = qobject_cast<QLabel *>(other);
            return label && label->buddy() == named && !label->text().isEmpty();
        });
        if (widget->focusPolicy() != Qt::NoFocus && named->accessibleName().isEmpty() &&
            !(button && !button->text().isEmpty()) && !labelled)
            unnamed << QLatin1String(widget->metaObject()->className()) + ' ' +
                           widget->objectName();
    }
    return unnamed;
}

// Where Tab goes against the reading order: a control left of the one
// before it on the same line, or above it. Tab goes round, so the round
// starts at the top left; a scrolled page is only compared with itself.
QStringList tabOrderFaults(QWidget *window)
{
    struct Stop {
        QWidget *widget;
        QRect place;
        bool before(const Stop &other) const
        {
            const bool sameLine =
                place.top() < other.place.bottom() && other.place.top() < place.bottom();
            return sameLine ? place.left() < other.place.left() : place.top() < other.place.top();
        }
    };
    QList<Stop> round;
    for (QWidget *widget = window->nextInFocusChain(); widget != window;
         widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) && widget->isVisibleTo(window) &&
            widget->isEnabled())
            round.append({widget, QRect(widget->mapTo(window, QPoint()), widget->size())});
    }
    std::rotate(round.begin(),
                std::min_element(round.begin(), round.end(),
                                 [](const Stop &a, const Stop &b) { return a.before(b); }),
                round.end());
    QStringList faults;
    for (int i = 1; i < round.size(); ++i) {
        if (scrolledIn(round[i].widget) == scrolledIn(round[i - 1].widget) &&
            round[i].before(round[i - 1]))
            faults << round[i - 1].widget->objectName() + " -> " + round[i].widget->objectName();
    }
    return faults;
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServiceProcess> mService;

private slots:
    void initTestCase()
    {
        startService(mService, {"--answer", "true"});
        init();
        QVERIFY(MainController::self()->InitShell());
        ShuangPinController::self()->loadShuangPinConf();
        previousHandler = qInstallMessageHandler(collectQmlWarnings);
    }

    void init()
    {
        QDir(MainController::localPcPyDirPath()).removeRecursively();
        setEnv("[Setting]\n");
        QVERIFY(writeFile(pyFile("Correction.ini"), shipped("Correction.ini")));
        QVERIFY(writeFile(pyFile("Fuzzy.dat"), shipped("Fuzzy.dat")));
        QVERIFY(QDir().mkpath(userSchemes()));
        QVERIFY(writeFile(userSchemes() + "4711.ini", "[metadata]\ntitle=我的方案\n"));
        mService->clearJournal();
    }

    // Every view loads and updates without a QML warning.
    void cleanup() { QVERIFY2(qmlWarnings.isEmpty(), qPrintable(qmlWarnings.join('\n'))); }

    // Untouched, OK writes the shipped values: the code's defaults for keys
    // the user's env.ini lacks. Restore shows them and writes nothing until
    // OK; Cancel and the title bar leave everything as it was.
    void restoreThenLeave_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("restore");
        QTest::addColumn<int>("button"); // 0 OK, 1 Cancel, 2 close
        for (const char *kind : {"english", "shortcuts", "correction", "fuzzy", "double pinyin"}) {
            QTest::addRow("%s: untouched, 确定", kind) << kind << false << 0;
            QTest::addRow("%s: 确定", kind) << kind << true << 0;
            QTest::addRow("%s: 取消", kind) << kind << true << 1;
            QTest::addRow("%s: close", kind) << kind << true << 2;
        }
    }

    void restoreThenLeave()
    {
        QFETCH(QString, kind);
        QFETCH(bool, restore);
        QFETCH(int, button);
        const Dialog &d = dialogKind(kind);
        if (restore) {
            setEnv("[Setting]\n" + d.userEnv + "\n");
            if (!d.file.isEmpty())
                QVERIFY(writeFile(pyFile(d.file), d.userFile));
        }
        const QByteArray env = readFile(userEnvIni());
        const QString before = d.saved();
        std::unique_ptr<QDialog> dialog(d.make());
        dialog->show();
        if (restore) {
            QCOMPARE(d.state(dialog.get()), d.user);
            clickRestore(dialog.get(), 0, d.restoreButton);
            QCOMPARE(d.state(dialog.get()), d.user);
            clickRestore(dialog.get(), 1, d.restoreButton);
            QCOMPARE(d.state(dialog.get()), d.restored);
            QCOMPARE(d.saved(), before);
            QCOMPARE(readFile(userEnvIni()), env);
            QVERIFY(mService->journal().isEmpty());
        }
        const QString cancel = d.okButton == kOkButton ? "cancel_pushButton" : "pushButton_cancel";
        click(dialog.get(), QStringList{d.okButton, cancel, "title_close_button"}[button]);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(d.saved(), button ? before : d.defaults);
        if (button)
            QCOMPARE(readFile(userEnvIni()), env);
        QCOMPARE(mService->journal().replaceInStrings(QRegExp("\t.*"), ""),
                 button ? QStringList() : d.journal);
    }

    // Restoring the English dictionary asks first and changes no setting;
    // the service's answer decides the notice.
    void englishDictionaryRestore_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("notice"); // empty: the question is declined
        QTest::newRow("declined") << "true" << QString();
        QTest::newRow("true") << "true" << QStringLiteral("恢复英文词库成功！");
        QTest::newRow("false") << "false" << QStringLiteral("恢复英文词库失败！");
    }

    void englishDictionaryRestore()
    {
        QFETCH(QString, answer);
        QFETCH(QString, notice);
        startService(mService, {"--answer", answer});
        EngImeDialog dialog(nullptr);
        click(&dialog, "DefaultEnglishInput");
        if (answer == "false")
            QTest::ignoreMessage(QtDebugMsg, "recoveryEnThesaurus In fail!\n");
        ModalDriver driver;
        driver.answers = {!notice.isEmpty()};
        click(&dialog, "restoreEngThesaurusButton");
        QCOMPARE(driver.prompts,
                 QStringList{"恢复默认词库|确定恢复英文输入法词库？"} +
                     (notice.isEmpty() ? QStringList() : QStringList{"恢复默认词库|" + notice}));
        QCOMPARE(shown(&dialog, "DefaultEnglishInput"), QStringLiteral("1"));
        QCOMPARE(readFile(userEnvIni()), QByteArray("[Setting]\n"));
        QCOMPARE(mService->journal(),
                 notice.isEmpty() ? QStringList() : QStringList{"recoveryEnThesaurus"});
    }

    // The learned words as the service lists them, most used first:
    // searched without the syllables' separators, and forgotten one call a
    // word; a word the service keeps stays listed. No service, no words.
    void learnedWords_data()
    {
        QTest::addColumn<QString>("answer"); // empty: no service
        QTest::addColumn<int>("left");       // words listed after deleting 你好
        QTest::newRow("forgotten") << "true" << 2;
        QTest::newRow("kept") << "false" << 3;
        QTest::newRow("no service") << QString() << 0;
    }

    void learnedWords()
    {
        QFETCH(QString, answer);
        QFETCH(int, left);
        if (answer.isEmpty())
            stopService(mService);
        else
            startService(mService, {"--answer", answer});
        LearnedWordsDialog dialog;
        QAbstractItemModel *words = dialog.findChild<QTableView *>()->model();
        auto *search = dialog.findChild<QLineEdit *>();
        if (answer.isEmpty()) {
            QCOMPARE(words->rowCount(), 0);
            QCOMPARE(dialog.findChild<QLabel *>("count_label")->text(),
                     QStringLiteral("输入法未响应"));
            return startService(mService, {"--answer", "true"});
        }
        QCOMPARE(words->rowCount(), 3);
        QCOMPARE(words->index(0, 1).data().toString(), QStringLiteral("凯沃"));
        QTest::keyClicks(search, "NIHAO");
        QCOMPARE(words->rowCount(), 1);
        dialog.findChild<QTableView *>()->selectRow(0);
        click(&dialog, "delete_pushButton");
        search->clear();
        QCOMPARE(words->rowCount(), left);
        QCOMPARE(mService->journal(),
                 (QStringList{"LearnedWords", "ForgetLearnedWord\tni'hao\t你好"}));
        QCOMPARE(LearnedWordsDialog().findChild<QTableView *>()->model()->rowCount(), left);
        if (answer == "true") // the next rows find the seed words again
            QVERIFY(ImeServiceClient::ask("recoveryDefaultThesaurus", {}, ""));
    }

    // The three shortcut letters: stored ones that clash or are out of
    // range show none and save the defaults; each combo offers exactly the
    // letters the other two hold not.
    void shortcutLetters_data()
    {
        QTest::addColumn<QByteArray>("env");
        QTest::addColumn<QStringList>("choices"); // combo index and letter
        QTest::addColumn<QString>("letters");
        QTest::addColumn<QString>("saved");
        const QString defaults = "1 5 1 4 0 22";
        QTest::newRow("English 30")
            << QByteArray("KeyEnglishInputSwitch=30") << QStringList() << "F  W" << defaults;
        QTest::newRow("F/T and English both E")
            << QByteArray("KeyFanJianSwitch=4\nKeyEnglishInputSwitch=4") << QStringList() << "  W"
            << defaults;
        QTest::newRow("A Z M")
            << QByteArray(
                   "KeyFanJianSwitch=0\nKeyEnglishInputSwitch=25\nShortcutWBInputStyleNew=12")
            << QStringList() << "A Z M"
            << "1 0 1 25 0 12";
        QTest::newRow("chosen in turn")
            << QByteArray() << QStringList{"2K", "1W", "0E", "2A"} << "E W A"
            << "1 4 1 22 0 0";
    }

    void shortcutLetters()
    {
        QFETCH(QByteArray, env);
        QFETCH(QStringList, choices);
        QFETCH(QString, letters);
        QFETCH(QString, saved);
        setEnv("[Setting]\n" + env + "\n");
        SystemShortcutKeysDialog dialog(nullptr);
        for (const QString &choice : choices) {
            auto *combo = dialog.findChild<QComboBox *>(kLetters[choice.left(1).toInt()]);
            QVERIFY2(combo->findText(choice.mid(1)) >= 0, qPrintable(choice));
            combo->setCurrentIndex(combo->findText(choice.mid(1)));
        }
        QCOMPARE(shown(&dialog, kLetters), letters);
        // Each combo offers exactly the letters the other two hold not.
        const QStringList held = letters.split(' ');
        for (int i = 0; i < 3 && !held.contains(QString()); ++i) {
            QString expected, offered;
            for (char c = 'A'; c <= 'Z'; ++c) {
                if (!held.contains(QString(c)) || held[i] == QString(c))
                    expected += QLatin1Char(c);
            }
            auto *combo = dialog.findChild<QComboBox *>(kLetters[i]);
            for (int item = 0; item < combo->count(); ++item)
                offered += combo->itemText(item);
            QCOMPARE(offered, expected);
        }
        dialog.saveSettings();
        QCOMPARE(dialogKind("shortcuts").saved(), saved);
    }

    // The rules on in file order, whatever the screen order; [Gray] gets the
    // smart box's suggestions, which are the pairs not on.
    void rulesWritten_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("on");
        QTest::addColumn<bool>("smart");
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray allGray = "zh=z\nch=c\nsh=s\nl=r\nn=l\nh=f\nang=an\neng=en\niang=ian\n"
                                   "uang=uan\ning=in\n";
        QTest::newRow("correction: none")
            << "correction" << QStringList{} << false << QByteArray("[Correction]\n");
        QTest::newRow("correction: file order")
            << "correction" << QStringList{"mg==>ng", "iou==>iu", "uen==>un"} << false
            << QByteArray("[Correction]\nuen=un\niou=iu\nmg=ng\n");
        QTest::newRow("fuzzy: z and an, smart")
            << "fuzzy" << QStringList{"z = zh", "an = ang"} << true
            << kFuzzyHead + "zh=z\nang=an\n[Gray]\nch=c\nsh=s\nl=r\nn=l\nh=f\neng=en\n"
                            "iang=ian\nuang=uan\ning=in\n";
        QTest::newRow("fuzzy: in, r, l: file order")
            << "fuzzy" << QStringList{"in = ing", "r = l", "l = n"} << false
            << kFuzzyHead + "l=r\nn=l\ning=in\n[Gray]\n";
    }

    void rulesWritten()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, on);
        QFETCH(bool, smart);
        QFETCH(QByteArray, bytes);
        const Dialog &d = dialogKind(kind);
        const QStringList &boxes = kind == "fuzzy" ? kPairs : kRules;
        std::unique_ptr<QDialog> dialog(d.make());
        for (const QString &text : boxes)
            buttonWithText(dialog.get(), text)->setChecked(on.contains(text));
        if (kind == "fuzzy")
            buttonWithText(dialog.get(), kSmart)->setChecked(smart);
        click(dialog.get(), kOkButton);
        QCOMPARE(readFile(pyFile(d.file)), bytes);
        std::unique_ptr<QDialog> again(d.make());
        QCOMPARE(d.state(again.get()), d.state(dialog.get()));
    }

    // Hostile rule files show what they can; missing, a directory in its
    // place or its folder missing, nothing is checked, OK writes no file or
    // temporary and the service is still told.
    void rulesRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("checked");
        const auto row = [](const char *name, const char *kind, const QByteArray &file,
                            const char *checked) {
            QTest::newRow(name) << kind << file << checked;
        };
        row("correction: outside the section, other or lower-case header", "correction",
            "gn=ng\n[correction]\nmg=ng\n[Correction]\n[Other]\nuen=un\n", "");
        row("correction: any value; commented, spaced, unknown keys skipped", "correction",
            "[Correction]\ngn=off\nuei=\n#mg=ng\n\nmg\nuenn=un\nGN=ng\nuen =un\niou=iu\n",
            "gn==>ng,iou==>iu,uei==>ui");
        row("fuzzy: outside [Fuzzy], under [Gray]", "fuzzy", "zh=z\n[Fuzzy]\n[Gray]\nch=c\n", " 1");
        row("fuzzy: any value; spaced, commented, unknown keys skipped", "fuzzy",
            "[Fuzzy]\nzh=whatever=x\nh=\nch =c\n sh=s\n#n=l\n\neng\nzhh=z\nZH=z\nang=an\n",
            "z = zh,f = h,an = ang 1");
        row("fuzzy: CRLF, section reopened, no final line feed", "fuzzy",
            "[Metadata]\r\n[Fuzzy]\r\nzh=z\r\n[Gray]\r\nch=c\r\n[Fuzzy]\r\neng=en",
            "z = zh,en = eng 1");
        row("fuzzy: binary junk", "fuzzy",
            literalBytes("[Fuzzy]\n\xff\xfe\0\x01zh=z\n\0\nn=\xff\0\n"), "l = n 1");
        row("fuzzy: huge lines", "fuzzy",
            "[Fuzzy]\n" + QByteArray(300000, 'x') + "\nsh=" + QByteArray(300000, 's') + "\n" +
                QByteArray(300000, '[') + "\nch=c\n",
            "s = sh 1");
        row("correction: empty", "correction", "", "");
        for (const char *kind : {"correction", "fuzzy"})
            for (const char *how : {"missing", "directory", "no directory"})
                QTest::addRow("%s: %s", kind, how) << kind << QByteArray(how) << "unusable";
    }

    void rulesRead()
    {
        QFETCH(QString, kind);
        QFETCH(QByteArray, file);
        QFETCH(QString, checked);
        const Dialog &d = dialogKind(kind);
        const bool unusable = checked == "unusable";
        if (unusable) {
            QFile::remove(pyFile(kind == "fuzzy" ? "Correction.ini" : "Fuzzy.dat"));
            makeUnusable(pyFile(d.file), file);
        } else {
            QVERIFY(writeFile(pyFile(d.file), file));
        }
        std::unique_ptr<QDialog> dialog(d.make());
        QCOMPARE(d.state(dialog.get()), unusable ? (kind == "fuzzy" ? " 1" : "") : checked);
        if (!unusable)
            return;
        buttonWithText(dialog.get(), (kind == "fuzzy" ? kPairs : kRules).first())->click();
        click(dialog.get(), kOkButton);
        QStringList left = QDir(MainController::localPcPyDirPath())
                               .entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        left.removeAll("env.ini");
        left.removeAll("ShuangPinSchemes");
        QCOMPARE(left, file == "directory" ? QStringList{d.file} : QStringList{});
        QCOMPARE(mService->journal(), (QStringList{"ReloadConfig", "RebuildKeyMap"}));
    }

    void schemeShownFromEnv_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("deletable");
        QTest::newRow("absent: Kaiwo") << ""
                                       << "凯沃双拼" << false;
        QTest::newRow("per-user") << "4711"
                                  << "我的方案" << true;
        QTest::newRow("unknown file") << "nothing"
                                      << "凯沃双拼" << false;
    }

    void schemeShownFromEnv()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        QFETCH(bool, deletable);
        setEnv(name.isEmpty() ? "[Setting]\n" : "[Setting]\nShuangPinName=" + name.toUtf8() + "\n");
        ShuangPinSettingDialog dialog(nullptr);
        QCOMPARE(shown(&dialog, "comboBox"), title);
        QCOMPARE(dialog.findChild<QPushButton *>("pushButton_delete")->isEnabled(), deletable);
        dialog.findChild<QComboBox *>("comboBox")->setCurrentText("我的方案");
        click(&dialog, "pushButton_ok");
        QCOMPARE(stored("ShuangPinName"), QStringLiteral("4711"));
    }

    // The keys are really drawn, whatever OpenGL the display offers.
    void keyboardIsDrawn()
    {
        ShuangPinSettingDialog dialog(nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QImage image = dialog.findChild<QQuickWidget *>()->grabFramebuffer();
        int border = 0;
        int vowel = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor pixel = image.pixelColor(x, y);
                border += (pixel.rgb() & 0xffffff) == 0xbec8d0;
                // Antialiased text: count the clearly blue pixels.
                vowel += pixel.blue() > 150 && pixel.blue() > pixel.red() + 100;
            }
        QVERIFY2(border > 27 * 4 * 30, qPrintable(QString::number(border)));
        QVERIFY2(vowel > 100, qPrintable(QString::number(vowel)));
    }

    // From the blank base every syllable on its first free key, refusals on
    // the way, then saved, shown as saved and taken away again.
    void schemeEditor()
    {
        ShuangPinSettingDialog dialog(nullptr);
        dialog.show();
        NewSPConfDialog *editor = new NewSPConfDialog(&dialog);
        connect(editor, &NewSPConfDialog::SigRefurbishSpSchemeList, &dialog,
                &ShuangPinSettingDialog::SlotRefurbishSpSchemeList);
        QComboBox *syllables = editor->findChild<QComboBox *>("comboBox_syllable");
        QComboBox *keys = editor->findChild<QComboBox *>("comboBox_key");
        QCOMPARE(saveScheme(editor, "   "),
                 QStringLiteral("保存双拼方案失败：\n没有指定双拼方案名称！"));
        QCOMPARE(saveScheme(editor, "微软双拼"),
                 QStringLiteral("双拼方案\"微软双拼\"\n与系统方案重名，请重新命名！"));
        const QString incomplete =
            QStringLiteral("还有部分音节没有设置，请设置\n完所有音节后再进行保存！");
        QCOMPARE(saveScheme(editor, "从零开始"), incomplete);
        QCOMPARE(syllables->count(), 32);
        for (int i = 0; i < syllables->count(); ++i) {
            syllables->setCurrentIndex(i);
            QCOMPARE(keys->currentText(), QStringLiteral("-"));
            keys->setCurrentIndex(1);
        }
        QCOMPARE(saveScheme(editor, "从零开始"), QStringLiteral("saved"));
        const QString file = ShuangPinController::self()->mSchemeFiles.value("从零开始");
        QVERIFY(file.startsWith(userSchemes()));
        QCOMPARE(shown(&dialog, "comboBox"), QStringLiteral("从零开始"));
        // Saved shows the same on the selection keyboard, the zero
        // consonant back on O.
        for (int i = 0; i < ShuangPinController::KeyCount; ++i) {
            const SpKeyItem &item = ShuangPinController::self()->editItem(i);
            const QString consonant = item.key == 'O' ? " " : item.consonant;
            QCOMPARE(drawnKey(&dialog, QString(QChar(item.key))),
                     QString("%1|%2|%3").arg(consonant, item.vowel1, item.vowel2));
        }
        // The same name again asks first; declined, the file stays.
        const QByteArray saved = readFile(file);
        NewSPConfDialog again(&dialog);
        again.findChild<QComboBox *>("comboBox_baseOn")->setCurrentText("小鹤双拼");
        again.findChild<QLineEdit *>()->setText("从零开始");
        KaiwoPromptDialog::setNextAnswer(0);
        click(&again, "pushButton_keep");
        QCOMPARE(KaiwoPromptDialog::lastContent(),
                 QStringLiteral("双拼方案\"从零开始\"\n已经存在,确定要覆盖吗？"));
        QCOMPARE(readFile(file), saved);
        click(&dialog, "pushButton_ok");
        QCOMPARE(stored("ShuangPinName"), QFileInfo(file).completeBaseName());
        // 删除 takes the user scheme away without asking.
        QVERIFY(dialog.findChild<QPushButton *>("pushButton_delete")->isEnabled());
        click(&dialog, "pushButton_delete");
        QVERIFY(!QFile::exists(file));
        QVERIFY(!ShuangPinController::self()->mSchemeTitles.contains("从零开始"));
    }

    // Hostile scheme files still list and show what they can.
    void badSchemeFiles()
    {
        const QByteArray longTitle = QString(500, QChar(0x957f)).toUtf8();
        writeFile(userSchemes() + "long.ini", "[metadata]\ntitle=" + longTitle + "\n");
        writeFile(userSchemes() + "quotes.ini",
                  "[metadata]\ntitle=\"引号\" 'x' $(rm -rf ~)\n[韵母]\nai=7\nan=ä\nang=\n"
                  "[声母]\nzh=;\nch=x\nempty=9\n");
        writeFile(userSchemes() + "empty.ini", "");
        writeFile(userSchemes() + "binary.ini", literalBytes("\x00\xff[\x01]\n\x80=\x81"));
        QByteArray huge = "[metadata]\ntitle=大文件\n[韵母]\n";
        while (huge.size() < 8 << 20)
            huge += "ai=L\nfiller" + QByteArray::number(huge.size()) + "=X\n";
        writeFile(userSchemes() + "huge.ini", huge);
        ShuangPinController::self()->loadShuangPinConf();

        ShuangPinSettingDialog dialog(nullptr);
        QComboBox *box = dialog.findChild<QComboBox *>("comboBox");
        for (const QString &title :
             {QString::fromUtf8(longTitle), QStringLiteral("大文件"), QStringLiteral("引号")}) {
            const int index = box->findText(title, Qt::MatchContains);
            QVERIFY2(index >= 0, qPrintable(title.left(20)));
            box->setCurrentIndex(index);
        }
        // Entries naming no valid key are ignored; the rest is still drawn.
        QCOMPARE(drawnKey(&dialog, "V"), QStringLiteral("|ui|"));
        QCOMPARE(drawnKey(&dialog, "U"), QStringLiteral("sh|u|"));
        QCOMPARE(drawnKey(&dialog, "O"), QStringLiteral("|o|uo"));
        QVERIFY(!drawnKey(&dialog, "L").contains("ai"));
        box->setCurrentText(QStringLiteral("大文件"));
        QVERIFY(drawnKey(&dialog, "L").contains("ai"));
        // Untitled files list with an empty title and select harmlessly.
        box->setCurrentIndex(box->findText(QString()));
        QVERIFY(!drawnKey(&dialog, "V").isEmpty());
    }

    // A scheme folder that is a file: the system schemes still list and a
    // new scheme is refused without a half-written file anywhere.
    void schemeFolderIsAFile()
    {
        const QString folder = QDir::cleanPath(userSchemes());
        QVERIFY(QDir(folder).removeRecursively());
        QVERIFY(writeFile(folder, "not a folder"));
        ShuangPinController::self()->loadShuangPinConf();
        QCOMPARE(ShuangPinController::self()->mSchemeTitles.size(), 8);
        ShuangPinSettingDialog dialog(nullptr);
        NewSPConfDialog editor(&dialog);
        editor.findChild<QComboBox *>("comboBox_baseOn")->setCurrentText("小鹤双拼");
        saveScheme(&editor, "无处可存");
        QCOMPARE(readFile(folder), QByteArray("not a folder"));
        QVERIFY(!ShuangPinController::self()->mSchemeTitles.contains("无处可存"));
        QVERIFY(QFile::remove(folder));
    }

    // English locales find the catalogue, Chinese and C none and keep the
    // texts as they are written.
    void catalogueFound_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("texts"); // a dialog's title, the window's and a page's
        const QStringList english{"English Input", "Kaiwo Input Method", "General"};
        const QStringList chinese{"英文输入法设置", "凯沃输入法", "  常用"};
        QTest::newRow("en_US") << "en_US" << english;
        QTest::newRow("en_GB") << "en_GB" << english;
        QTest::newRow("zh_CN") << "zh_CN" << chinese;
        QTest::newRow("C") << "C" << chinese;
    }

    void catalogueFound()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, texts);
        Locale shown(qPrintable(locale));
        QCOMPARE(bool(shown.translator), locale.startsWith("en"));
        EngImeDialog dialog(nullptr);
        SettingsWidget window(nullptr);
        QCOMPARE((QStringList{dialog.findChild<QLabel *>("one_title_label")->text(),
                              window.windowTitle(),
                              window.findChild<QPushButton *>("category_button")->text()}),
                 texts);
    }

    // Under English no Chinese text is left but the fixed ones and data.
    void englishEverywhere_data() { addWindowRows(); }

    void englishEverywhere()
    {
        QFETCH(int, window);
        Locale english("en_US");
        std::unique_ptr<QWidget> shown(windows()[window].second());
        shown->show();
        QStringList left;
        forEachView(shown.get(), [&](const QString &view) {
            for (const QString &text : shownTexts(shown.get())) {
                if (!keptInChinese(text))
                    left << view + ": " + text;
            }
        });
        QVERIFY2(left.isEmpty(), qPrintable(left.join('\n')));
    }

    // Each focusable control has a name, and Tab visits them in reading
    // order.
    void controlsNamed_data() { addWindowRows(); }

    void controlsNamed()
    {
        QFETCH(int, window);
        std::unique_ptr<QWidget> shown(windows()[window].second());
        shown->show();
        QStringList faults;
        forEachView(shown.get(), [&](const QString &view) {
            for (const QString &fault : unnamedControls(shown.get()) + tabOrderFaults(shown.get()))
                faults << view + ": " + fault;
        });
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    // The category buttons take no focus: Ctrl+PageDown and Ctrl+PageUp
    // step through the pages, round.
    void categoriesByKeyboard()
    {
        SettingsWidget window;
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QVector<QWidget *> pages;
        for (QPushButton *button : window.findChildren<QPushButton *>("category_button")) {
            button->click();
            pages << window.pageStack()->currentWidget();
        }
        QVERIFY(pages.size() > 2);
        QTest::keyClick(&window, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(window.pageStack()->currentWidget(), pages.first());
        QTest::keyClick(&window, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(window.pageStack()->currentWidget(), pages[1]);
        for (int i = 0; i < 2; ++i)
            QTest::keyClick(&window, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(window.pageStack()->currentWidget(), pages.last());
    }

    // Escape cancels every dialog; Enter confirms it, or gives the notice
    // that says why it cannot.
    void escapeAndEnter_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result"); // -1: a notice, the dialog stays
        for (int i = 1; i < int(windows().size()); ++i) {
            const QString name = windows()[i].first;
            // The editors have nothing to save yet; the built-in phrases are
            // only shown, so OK just hides them.
            const int enter = name == "scheme editor" || name.startsWith("phrase ") ? -1
                              : name == "built-in phrases"                          ? 0
                                                                                    : 1;
            QTest::addRow("%s: Escape", qPrintable(name)) << i << int(Qt::Key_Escape) << 0;
            QTest::addRow("%s: Enter", qPrintable(name)) << i << int(Qt::Key_Return) << enter;
        }
    }

    void escapeAndEnter()
    {
        QFETCH(int, window);
        QFETCH(int, key);
        QFETCH(int, result);
        std::unique_ptr<QWidget> shown(windows()[window].second());
        auto *dialog = qobject_cast<QDialog *>(shown.get());
        dialog->show();
        QApplication::setActiveWindow(dialog);
        const int prompts = KaiwoPromptDialog::promptCount();
        KaiwoPromptDialog::setNextAnswer(1);
        QWidget *focused = dialog->focusWidget() ? dialog->focusWidget() : dialog;
        QTest::keyClick(focused, Qt::Key(key));
        QCOMPARE(dialog->isVisible(), result < 0);
        QCOMPARE(KaiwoPromptDialog::promptCount() - prompts, result < 0 ? 1 : 0);
        if (result >= 0)
            QCOMPARE(dialog->result(), result);
    }

    // The prompt's buttons give its answer; a notice has no Cancel.
    void promptAnswers_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("notice ok") << int(DIALOG_NOTICE) << "pushButton_ok" << 1;
        QTest::newRow("notice close") << int(DIALOG_NOTICE) << "title_close_button" << 0;
        QTest::newRow("question cancel") << int(DIALOG_QUESTION) << "pushButton_cancel" << 0;
        QTest::newRow("unknown status asks") << 1 << "pushButton_cancel" << 0;
    }

    void promptAnswers()
    {
        QFETCH(int, status);
        QFETCH(QString, button);
        QFETCH(int, result);
        KaiwoPromptDialog dialog("t", "c", DialogStatus(status), nullptr);
        bool cancel = false;
        QTimer::singleShot(0, &dialog, [&] {
            cancel = dialog.findChild<QPushButton *>("pushButton_cancel")->isVisible();
            QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), result);
        QCOMPARE(cancel, status != DIALOG_NOTICE);
    }

    // ShowMinimizedType 1 iconifies through Xlib, which only X shows.
    void minimiseThroughX()
    {
        if (QGuiApplication::platformName() != "xcb")
            QSKIP("needs X");
        setEnv("[Setting]\nShowMinimizedType=1\n");
        SettingsWidget window(nullptr);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // A request sent while a busy window manager is still taking the
        // window on is lost, as it would be for a user: ask again, bounded.
        bool minimized = false;
        for (int tries = 0; tries < 20 && !minimized; ++tries) {
            window.slot_showMinimized();
            minimized = QTest::qWaitFor([&] { return window.isMinimized(); }, 1000);
        }
        // What the window manager then was, for whoever reads the failure.
        QProcess xprop;
        xprop.start("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"});
        xprop.waitForFinished(5000);
        QVERIFY2(minimized, xprop.readAll().constData());
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
