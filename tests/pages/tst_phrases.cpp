// The custom phrases: the add and edit dialogs' limits and duplicate rules,
// and the manager against the real engine shells and the service stand-in.
#include "PageFixture.h"
#include "phrase/DiyPhraseAddDialog.h"
#include "phrase/DiyPhraseDialog.h"
#include "phrase/DiyPhraseEditDialog.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTextCodec>
#include <QTextEdit>

namespace
{

const UserPhraseList kList = {{L"abc", L"x", 2}, {L"dis", L"y", -3}, {L"two", L"z", 4}};

} // namespace

class TestPhrases : public QObject
{
    Q_OBJECT

    static QString describe(const std::vector<UserPhraseItem> &phrases)
    {
        QStringList out;
        for (const UserPhraseItem &p : phrases)
            out << QString::fromStdWString(p.abbr) + ',' + QString::number(p.position) + '=' +
                       QString::fromStdWString(p.phrase);
        return out.join('|');
    }

    static QString shellPhrases(ShellWrapperInterface *shell)
    {
        s_inputOutputDicData data;
        data.inputPath = MainController::localPath().toStdWString();
        shell->DicOperation(ed_userPhrase, ec_getUserPhrase, data);
        return describe(data.phraseList);
    }

    // Both engines hold exactly these phrases.
    static void seed(const std::vector<UserPhraseItem> &phrases)
    {
        for (ShellWrapperInterface *shell :
             {MainController::ShellWrapper(), MainController::WuBiShellWrapper()}) {
            s_inputOutputDicData all;
            shell->DicOperation(ed_userPhrase, ec_getUserPhrase, all);
            shell->DicOperation(ed_userPhrase, ec_deleteUserPhrase, all);
            s_inputOutputDicData add;
            add.phraseList = phrases;
            shell->DicOperation(ed_userPhrase, ec_addUserPhrase, add);
        }
    }

    static void fill(QDialog &dialog, const QString &abbr, const QString &phrase, int position)
    {
        dialog.findChild<QLineEdit *>("lineEdit")->setText(abbr);
        dialog.findChild<QTextEdit *>("textEdit")->setPlainText(phrase);
        dialog.findChild<QComboBox *>("phrase_position_comboBox")
            ->setCurrentText(QString::number(position));
    }

    static QCheckBox *rowBox(QTableWidget *table, int row)
    {
        return table->cellWidget(row, 0)->findChild<QCheckBox *>("checkbox");
    }

    static QString textFile()
    {
        return MainController::localPath() + QStringLiteral("phrase/PhraseEdit.txt");
    }

    std::unique_ptr<ServiceProcess> mService;

private slots:
    void initTestCase() { startShellsAndService(mService); }

    void init()
    {
        seed({{L"dh", L"电话\n第二行", 2}, {L"off", L"关", -5}});
        mService->clearJournal();
        DiyPhraseDialog::resetPhraseFileClock();
    }

    void inputLimits()
    {
        DiyPhraseAddDialog dialog;
        auto *field = dialog.findChild<QLineEdit *>("lineEdit");
        QTest::keyClicks(field, "ab1 c!-D_");
        QCOMPARE(field->text(), QString("abcD"));
        field->clear();
        QTest::keyClicks(field, QString(22, 'q'));
        QCOMPARE(field->text().size(), 21);
        auto *text = dialog.findChild<QTextEdit *>("textEdit");
        const QString pasted = QString("abcdefghij").repeated(101);
        text->insertPlainText(pasted);
        QCOMPARE(text->toPlainText(), pasted.left(1000));
        QCOMPARE(text->textCursor().position(), 1000);
    }

    // A phrase must differ from every enabled one in abbreviation, text or
    // position; "确定并继续添加" empties the fields for the next.
    void addRules_data()
    {
        addColumns<QString, QString, int, QString>({"abbr", "phrase", "position", "notice"});
        QTest::newRow("new") << QString("abc") << "new" << 1 << "";
        QTest::newRow("same at the same position")
            << QString("abc") << "x" << 2 << "自定义短语已存在!";
        QTest::newRow("disabled never matches") << QString("dis") << "y" << 3 << "";
        QTest::newRow("empty abbreviation") << QString("") << "x" << 1 << "缩写不能为空!";
        QTest::newRow("empty phrase") << QString("abc") << "" << 1 << "自定义短语不能为空!";
    }

    void addRules()
    {
        QFETCH(QString, abbr);
        QFETCH(QString, phrase);
        QFETCH(int, position);
        QFETCH(QString, notice);
        DiyPhraseAddDialog dialog;
        dialog.setDiyPhraseAddDialog(kList, -1);
        QSignalSpy added(&dialog, &DiyPhraseAddDialog::signal_add_phrase);
        fill(dialog, abbr, phrase, position);
        const int prompts = KaiwoPromptDialog::promptCount();
        KaiwoPromptDialog::setNextAnswer(1);
        click(&dialog, "continue_pushButton");
        QCOMPARE(KaiwoPromptDialog::promptCount() - prompts, notice.isEmpty() ? 0 : 1);
        QCOMPARE(added.count(), notice.isEmpty() ? 1 : 0);
        if (notice.isEmpty()) {
            QCOMPARE(added.first().at(0).value<UserPhraseItem>().position, int16_t(position));
            QVERIFY(dialog.findChild<QLineEdit *>("lineEdit")->text().isEmpty());
        } else {
            QCOMPARE(KaiwoPromptDialog::lastContent(), notice);
        }
    }

    void editRules_data()
    {
        // emitted: -1: nothing, -2: notice.
        addColumns<int, QString, int, int>({"row", "abbr", "position", "emitted"});
        QTest::newRow("changed disabled is enabled") << 1 << "disa" << 3 << 3;
        QTest::newRow("new position") << 0 << "abc" << 5 << 5;
        QTest::newRow("equals another row") << 2 << "abc" << 2 << -2;
    }

    void editRules()
    {
        QFETCH(int, row);
        QFETCH(QString, abbr);
        QFETCH(int, position);
        QFETCH(int, emitted);
        DiyPhraseEditDialog dialog;
        dialog.setDiyPhraseEditDialog(kList, row);
        QCOMPARE(shown(&dialog, "phrase_position_comboBox"),
                 QString::number(std::abs(kList.at(row).position)));
        QSignalSpy edited(&dialog, &DiyPhraseEditDialog::signal_edit_phrase);
        // Row 2 takes row 0's text so that it becomes a duplicate.
        fill(dialog, abbr, QString::fromStdWString(kList.at(row == 2 ? 0 : row).phrase), position);
        KaiwoPromptDialog::setNextAnswer(1);
        click(&dialog, "ok_pushButton");
        QCOMPARE(edited.count(), emitted >= 0 ? 1 : 0);
        QCOMPARE(dialog.result(), emitted == -2 ? 0 : int(QDialog::Accepted));
        if (emitted >= 0) {
            QCOMPARE(int(edited.first().at(0).value<UserPhraseItem>().position), emitted);
            QCOMPARE(edited.first().at(1).toInt(), row);
        }
    }

    void tableShowsThePhrases()
    {
        DiyPhraseDialog dialog(nullptr);
        auto *table = dialog.findChild<QTableWidget *>("tableWidget");
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->currentRow(), 0);
        QCOMPARE(qobject_cast<QLabel *>(table->cellWidget(0, 1))->text(), QString("电话..."));
        QCOMPARE(qobject_cast<QLabel *>(table->cellWidget(1, 2))->text(), QString("5"));
        QVERIFY(rowBox(table, 0)->isChecked() && !rowBox(table, 1)->isChecked());
    }

    // OK writes both engines and the text file, then tells the service.
    void okWritesBothEngines_data()
    {
        addColumns<QString, QString>({"button", "expected"});
        QTest::newRow("disable all")
            << QString("disenable_pushButton") << "dh,-2=电话\n第二行|off,-5=关";
        QTest::newRow("enable all")
            << QString("enabled_all_pushButton") << "dh,2=电话\n第二行|off,5=关";
        QTest::newRow("restore defaults") << QString("restore_default_pushButton") << "";
    }

    void okWritesBothEngines()
    {
        QFETCH(QString, button);
        QFETCH(QString, expected);
        DiyPhraseDialog dialog(nullptr);
        KaiwoPromptDialog::setNextAnswer(1);
        click(&dialog, button);
        click(&dialog, "ok_pushButton");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(shellPhrases(MainController::ShellWrapper()), expected);
        QCOMPARE(shellPhrases(MainController::WuBiShellWrapper()), expected);
        QCOMPARE(readFile(textFile()).contains("dh,"), !expected.isEmpty());
        QTRY_COMPARE(mService->journal(), (QStringList{"ReloadConfig", "ReloadDictionary\t7"}));
    }

    void boxesDecideTheSignAlsoForRowsNeverShown()
    {
        std::vector<UserPhraseItem> many;
        for (int i = 0; i < 60; ++i)
            many.push_back({L"m", std::to_wstring(i), 1});
        seed(many);
        DiyPhraseDialog dialog(nullptr);
        auto *table = dialog.findChild<QTableWidget *>("tableWidget");
        rowBox(table, 0)->click();
        QCOMPARE(rowBox(table, 0)->accessibleName(), QStringLiteral("选用 m 0"));
        // The boxes take no focus: Space toggles the current row's.
        table->setCurrentCell(1, 1);
        QTest::keyClick(table, Qt::Key_Space);
        click(&dialog, "ok_pushButton");
        const QString stored = shellPhrases(MainController::WuBiShellWrapper());
        QVERIFY(stored.startsWith("m,-1=0|m,-1=1|m,1=2|"));
        QVERIFY(stored.endsWith("|m,1=59"));
    }

    // An edited text file is read in UTF-8 or UTF-16 (Qt's codec writes the
    // byte-order mark); one in another encoding is replaced by the phrases.
    void textFileChanges_data()
    {
        addColumns<QByteArray, QString, bool>({"bytes", "expected", "regenerated"});
        QTest::newRow("utf-8") << QString("ab,3=新的\\n行\n").toUtf8() << "ab,3=新的\n行" << false;
        QTest::newRow("utf-16")
            << QTextCodec::codecForName("UTF-16LE")->fromUnicode(QStringLiteral("ab,4=宽字符\n"))
            << "ab,4=宽字符" << false;
        QTest::newRow("gbk is replaced") << QTextCodec::codecForName("GBK")->fromUnicode(
                                                QStringLiteral("ab,1=你好世界，中文编码\n"))
                                         << "dh,2=电话\n第二行|off,-5=关" << true;
    }

    void textFileChanges()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QFETCH(bool, regenerated);
        DiyPhraseDialog dialog(nullptr);
        QVERIFY(writeFile(textFile(), bytes));
        const QString dir = MainController::localPath() + "phrase";
        dialog.slot_phrase_file_changed(dir);
        QCOMPARE(describe({dialog.phraseList().begin(), dialog.phraseList().end()}), expected);
        QCOMPARE(readFile(textFile()) != bytes, regenerated);
        // A second notice within three seconds converts nothing.
        QVERIFY(writeFile(textFile(), "zz,1=later\n"));
        dialog.slot_phrase_file_changed(dir);
        QVERIFY(!shellPhrases(MainController::ShellWrapper()).contains("later"));
    }
};

QTEST_MAIN(TestPhrases)
#include "tst_phrases.moc"
