// The phrase add and edit dialogs: input limits and the duplicate rules.
#include "phrase/DiyPhraseAddDialog.h"
#include "phrase/DiyPhraseEditDialog.h"
#include "window/KaiwoPromptDialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

namespace
{

const UserPhraseList kList = {{L"abc", L"x", 2}, {L"dis", L"y", -3}, {L"two", L"z", 4}};

template <typename Dialog>
void fill(Dialog &dialog, const QString &abbr, const QString &phrase, int position)
{
    dialog.template findChild<QLineEdit *>("lineEdit")->setText(abbr);
    dialog.template findChild<QTextEdit *>("textEdit")->setPlainText(phrase);
    dialog.template findChild<QComboBox *>("phrase_position_comboBox")
        ->setCurrentText(QString::number(position));
}

template <typename Dialog> void press(Dialog &dialog, const char *name)
{
    dialog.template findChild<QPushButton *>(QLatin1String(name))->click();
}

} // namespace

class TestPhraseDialogs : public QObject
{
    Q_OBJECT

private slots:
    void abbreviationAndLengthLimits()
    {
        DiyPhraseAddDialog dialog;
        auto *field = dialog.findChild<QLineEdit *>("lineEdit");
        QTest::keyClicks(field, "ab1 c!-D_");
        QCOMPARE(field->text(), QString("abcD"));
        field->clear();
        QTest::keyClicks(field, QString(22, 'q'));
        QCOMPARE(field->text().size(), 21);

        auto *text = dialog.findChild<QTextEdit *>("textEdit");
        QString pasted;
        for (int i = 0; i < 1005; ++i)
            pasted += QChar('a' + i % 26);
        text->insertPlainText(pasted);
        QCOMPARE(text->toPlainText(), pasted.left(1000));
        QCOMPARE(text->textCursor().position(), 1000);
    }

    void addRules_data()
    {
        QTest::addColumn<QString>("abbr");
        QTest::addColumn<QString>("phrase");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("notice");
        QTest::newRow("new") << "abc"
                             << "new" << 1 << "";
        QTest::newRow("same at another position") << "abc"
                                                  << "x" << 3 << "";
        QTest::newRow("same at the same position") << "abc"
                                                   << "x" << 2 << "自定义短语已存在!";
        QTest::newRow("disabled never matches") << "dis"
                                                << "y" << 3 << "";
        QTest::newRow("empty abbreviation") << ""
                                            << "x" << 1 << "缩写不能为空!";
        QTest::newRow("empty phrase") << "abc"
                                      << "" << 1 << "自定义短语不能为空!";
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
        press(dialog, "continue_pushButton");
        QCOMPARE(KaiwoPromptDialog::promptCount() - prompts, notice.isEmpty() ? 0 : 1);
        QCOMPARE(added.count(), notice.isEmpty() ? 1 : 0);
        if (notice.isEmpty()) {
            const auto item = added.first().at(0).value<UserPhraseItem>();
            QCOMPARE(item.position, int16_t(position));
            QCOMPARE(added.first().at(1).toInt(), 0);
            // "确定并继续添加" empties the fields for the next phrase.
            QVERIFY(dialog.findChild<QLineEdit *>("lineEdit")->text().isEmpty());
        } else {
            QCOMPARE(KaiwoPromptDialog::lastTitle(), QString("添加自定义短语"));
            QCOMPARE(KaiwoPromptDialog::lastContent(), notice);
        }
    }

    void editRules_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("abbr");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("emitted"); // -1: nothing, -2: notice
        QTest::newRow("unchanged disabled stays") << 1 << "dis" << 3 << -1;
        QTest::newRow("changed disabled is enabled") << 1 << "disa" << 3 << 3;
        QTest::newRow("unchanged enabled") << 0 << "abc" << 2 << -1;
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
        QCOMPARE(dialog.findChild<QComboBox *>("phrase_position_comboBox")->currentText(),
                 QString::number(std::abs(kList.at(row).position)));
        QSignalSpy edited(&dialog, &DiyPhraseEditDialog::signal_edit_phrase);
        // Row 2 takes row 0's text so that it becomes a duplicate.
        const QString phrase = QString::fromStdWString(kList.at(row == 2 ? 0 : row).phrase);
        fill(dialog, abbr, phrase, position);
        const int prompts = KaiwoPromptDialog::promptCount();
        KaiwoPromptDialog::setNextAnswer(1);
        press(dialog, "ok_pushButton");
        QCOMPARE(KaiwoPromptDialog::promptCount() - prompts, emitted == -2 ? 1 : 0);
        QCOMPARE(edited.count(), emitted >= 0 ? 1 : 0);
        QCOMPARE(dialog.result(), emitted == -2 ? 0 : int(QDialog::Accepted));
        if (emitted >= 0) {
            QCOMPARE(int(edited.first().at(0).value<UserPhraseItem>().position), emitted);
            QCOMPARE(edited.first().at(1).toInt(), row);
        } else if (emitted == -2) {
            QCOMPARE(KaiwoPromptDialog::lastContent(), QString("自定义短语已存在!"));
        }
    }
};

QTEST_MAIN(TestPhraseDialogs)
#include "tst_phrase_dialogs.moc"
