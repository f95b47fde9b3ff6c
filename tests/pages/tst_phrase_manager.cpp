// The custom-phrase manager against the real stand-in shells and service.
#include "ServiceProcess.h"
#include "TestFiles.h"
#include "app/ImeServiceClient.h"
#include "app/MainController.h"
#include "phrase/DiyPhraseDialog.h"
#include "window/KaiwoPromptDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTextCodec>

#include <memory>

namespace
{

QString describe(const std::vector<UserPhraseItem> &phrases)
{
    QStringList out;
    for (const UserPhraseItem &p : phrases)
        out << QString::fromStdWString(p.abbr) + ',' + QString::number(p.position) + '=' +
                   QString::fromStdWString(p.phrase);
    return out.join('|');
}

QString shellPhrases(ShellWrapperInterface *shell)
{
    s_inputOutputDicData data;
    data.inputPath = MainController::localPath().toStdWString();
    shell->DicOperation(ed_userPhrase, ec_getUserPhrase, data);
    return describe(data.phraseList);
}

void seed(const std::vector<UserPhraseItem> &phrases)
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

const QString kTextFile = QStringLiteral("phrase/PhraseEdit.txt");

} // namespace

class TestPhraseManager : public QObject
{
    Q_OBJECT

    std::unique_ptr<ServiceProcess> mService;
    QString textFile() const { return MainController::localPath() + kTextFile; }
    void click(DiyPhraseDialog &dialog, const char *name)
    {
        QPushButton *button = dialog.findChild<QPushButton *>(QLatin1String(name));
        QVERIFY(button);
        button->click();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(MainController::localPcPyDirPath()));
        QVERIFY(QDir().mkpath(MainController::localPcWbDirPath()));
        QVERIFY(QFile::copy(MainController::sysEnvPyDirPath() + "env.ini",
                            MainController::localPath() + "env.ini"));
        MainController::self()->openSettings();
        QVERIFY(MainController::self()->InitShell());
        mService = std::make_unique<ServiceProcess>();
        QVERIFY(mService->waitUntilReady(ImeServiceClient::serviceName()));
    }
    void init()
    {
        seed({{L"dh", L"电话\n第二行", 2}, {L"off", L"关", -5}});
        mService->clearJournal();
        DiyPhraseDialog::resetPhraseFileClock();
    }

    void tableShowsThePhrases()
    {
        DiyPhraseDialog dialog(nullptr);
        auto *table = dialog.findChild<QTableWidget *>("tableWidget");
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->currentRow(), 0);
        QCOMPARE(qobject_cast<QLabel *>(table->cellWidget(0, 1))->text(), QString("电话..."));
        QCOMPARE(qobject_cast<QLabel *>(table->cellWidget(1, 2))->text(), QString("5"));
        QVERIFY(table->cellWidget(0, 0)->findChild<QCheckBox *>("checkbox")->isChecked());
        QVERIFY(!table->cellWidget(1, 0)->findChild<QCheckBox *>("checkbox")->isChecked());
    }

    void saveWritesBothEngines_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("expected");
        QTest::newRow("disable all") << "disenable_pushButton"
                                     << "dh,-2=电话\n第二行|off,-5=关";
        QTest::newRow("enable all") << "enabled_all_pushButton"
                                    << "dh,2=电话\n第二行|off,5=关";
        QTest::newRow("restore defaults") << "restore_default_pushButton"
                                          << "";
    }
    void saveWritesBothEngines()
    {
        QFETCH(QString, button);
        QFETCH(QString, expected);
        DiyPhraseDialog dialog(nullptr);
        KaiwoPromptDialog::setNextAnswer(1);
        click(dialog, button.toLatin1());
        click(dialog, "ok_pushButton");
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(shellPhrases(MainController::ShellWrapper()), expected);
        QCOMPARE(shellPhrases(MainController::WuBiShellWrapper()), expected);
        const QString text = QString::fromUtf8(readFile(textFile()));
        QCOMPARE(text.contains("dh,"), !expected.isEmpty());
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
        table->cellWidget(0, 0)->findChild<QCheckBox *>("checkbox")->click();
        click(dialog, "ok_pushButton");
        const QString stored = shellPhrases(MainController::WuBiShellWrapper());
        QVERIFY(stored.startsWith("m,-1=0|m,1=1|"));
        QVERIFY(stored.endsWith("|m,1=59"));
    }

    // The white check image marks the row pressed last; a rebuilt table
    // shows it on no row, whichever row index survives.
    void highlightBelongsToThePressedRow_data()
    {
        QTest::addColumn<QString>("action");
        for (const char *action : {"enabled_all_pushButton", "disenable_pushButton",
                                   "delete_highlight_row_pushButton", "add", "edit"})
            QTest::newRow(action) << action;
    }
    void highlightBelongsToThePressedRow()
    {
        QFETCH(QString, action);
        seed({{L"a", L"甲", 1}, {L"b", L"乙", 2}, {L"c", L"丙", 3}});
        DiyPhraseDialog dialog(nullptr);
        auto *table = dialog.findChild<QTableWidget *>("tableWidget");
        const auto highlighted = [table] {
            QList<int> rows;
            for (int row = 0; row < table->rowCount(); ++row) {
                QWidget *cell = table->cellWidget(row, 0);
                if (cell && cell->findChild<QCheckBox *>("checkbox")
                                ->styleSheet()
                                .contains("check-select-white"))
                    rows << row;
            }
            return rows;
        };
        emit table->cellPressed(2, 0);
        QCOMPARE(highlighted(), QList<int>{2});
        emit table->cellPressed(1, 0);
        QCOMPARE(highlighted(), QList<int>{1});

        const UserPhraseItem item{L"d", L"丁", 1};
        KaiwoPromptDialog::setNextAnswer(1);
        if (action == "add")
            QMetaObject::invokeMethod(&dialog, "slot_add_phrase", Q_ARG(UserPhraseItem, item),
                                      Q_ARG(int, 0));
        else if (action == "edit")
            QMetaObject::invokeMethod(&dialog, "slot_edit_phrase", Q_ARG(UserPhraseItem, item),
                                      Q_ARG(int, 0));
        else
            click(dialog, action.toLatin1());
        QVERIFY(table->rowCount() >= 2);
        QCOMPARE(highlighted(), QList<int>());
    }

    void emptyTableNotices()
    {
        seed({});
        DiyPhraseDialog dialog(nullptr);
        for (const char *name : {"edit_phrase_pushButton", "delete_highlight_row_pushButton"}) {
            KaiwoPromptDialog::setNextAnswer(1);
            click(dialog, name);
            QCOMPARE(KaiwoPromptDialog::lastContent(), QString("请单击列表框选择一条编辑项"));
        }
    }

    void textFileChanges_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("regenerated");
        QTest::newRow("utf-8") << QString("ab,3=新的\\n行\n").toUtf8() << "ab,3=新的\n行" << false;
        QByteArray utf16("\xFF\xFE");
        const QString line = QStringLiteral("ab,4=宽字符\n");
        utf16.append(reinterpret_cast<const char *>(line.utf16()), line.size() * 2);
        QTest::newRow("utf-16") << utf16 << "ab,4=宽字符" << false;
        QTest::newRow("gbk is replaced") << QTextCodec::codecForName("GBK")->fromUnicode(
                                                QStringLiteral("ab,1=你好世界，中文编码\n"))
                                         << "dh,2=电话\n第二行|off,-5=关" << true;
    }
    void textFileChanges()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        DiyPhraseDialog dialog(nullptr);
        QVERIFY(writeFile(textFile(), bytes));
        const QString dir = MainController::localPath() + "phrase";
        dialog.slot_phrase_file_changed(dir);
        QCOMPARE(describe(std::vector<UserPhraseItem>(dialog.phraseList().begin(),
                                                      dialog.phraseList().end())),
                 expected);
        QFETCH(bool, regenerated);
        QCOMPARE(readFile(textFile()) != bytes, regenerated);

        // A second notice within three seconds converts nothing.
        QVERIFY(writeFile(textFile(), "zz,1=later\n"));
        dialog.slot_phrase_file_changed(dir);
        QVERIFY(!shellPhrases(MainController::ShellWrapper()).contains("later"));
    }
};

QTEST_MAIN(TestPhraseManager)
#include "tst_phrase_manager.moc"
