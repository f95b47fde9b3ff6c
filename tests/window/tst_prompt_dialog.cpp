#include "window/KaiwoPromptDialog.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace
{

// A move as the window system reports it: the global position is what a
// drag follows, so it is given explicitly.
void moveMouse(QWidget *widget, const QPoint &global, Qt::MouseButtons held)
{
    QMouseEvent move(QEvent::MouseMove, widget->mapFromGlobal(global), global, Qt::NoButton, held,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

// The prompt dialog's answers, its two button layouts and the frameless drag
// every dialog of the tool shares.
class TestPromptDialog : public QObject
{
    Q_OBJECT

private slots:
    void layoutForStatus_data();
    void layoutForStatus();
    void answers_data();
    void answers();
    void nextAnswerHook();
    void dragFollowsLeftButtonOnly();
    void pressOnButtonDoesNotDrag();
};

void TestPromptDialog::layoutForStatus_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QPoint>("okPosition");
    QTest::addColumn<bool>("cancelShown");
    QTest::newRow("notice") << int(DIALOG_NOTICE) << QPoint(120, 150) << false;
    QTest::newRow("question") << int(DIALOG_QUESTION) << QPoint(52, 150) << true;
    QTest::newRow("unknown status asks") << 1 << QPoint(52, 150) << true;
}

void TestPromptDialog::layoutForStatus()
{
    QFETCH(int, status);
    QFETCH(QPoint, okPosition);
    QFETCH(bool, cancelShown);

    KaiwoPromptDialog dialog(QStringLiteral("恢复默认配置"),
                             QStringLiteral("确定恢复本页默认配置？"), DialogStatus(status),
                             nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    auto *title = dialog.findChild<QLabel *>(QStringLiteral("one_title_label"));
    QCOMPARE(title->text(), QStringLiteral("恢复默认配置"));
    auto *content = dialog.findChild<QLabel *>(QStringLiteral("label_content"));
    QCOMPARE(content->text(), QStringLiteral("确定恢复本页默认配置？"));

    auto *ok = dialog.findChild<QPushButton *>(QStringLiteral("pushButton_ok"));
    auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("pushButton_cancel"));
    QCOMPARE(ok->pos(), okPosition);
    QCOMPARE(cancel->isVisible(), cancelShown);

    const QWidget *desktop = QApplication::desktop();
    QCOMPARE(dialog.pos(), QPoint((desktop->width() - 320) / 2, (desktop->height() - 191) / 2));
}

void TestPromptDialog::answers_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("result");
    for (int status : {int(DIALOG_NOTICE), int(DIALOG_QUESTION)}) {
        const QByteArray name = status == DIALOG_NOTICE ? "notice " : "question ";
        QTest::newRow(name + "ok") << status << "pushButton_ok" << 1;
        QTest::newRow(name + "close button") << status << "title_close_button" << 0;
    }
    QTest::newRow("question cancel") << int(DIALOG_QUESTION) << "pushButton_cancel" << 0;
}

void TestPromptDialog::answers()
{
    QFETCH(int, status);
    QFETCH(QString, button);
    QFETCH(int, result);

    KaiwoPromptDialog dialog(QStringLiteral("t"), QStringLiteral("c"), DialogStatus(status),
                             nullptr);
    QTimer::singleShot(0, &dialog, [&] {
        QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);
    });
    QCOMPARE(dialog.exec(), result);
    QVERIFY(!dialog.isVisible());
}

void TestPromptDialog::nextAnswerHook()
{
    const int before = KaiwoPromptDialog::promptCount();
    KaiwoPromptDialog::setNextAnswer(1);
    KaiwoPromptDialog first(QStringLiteral("清空"), QStringLiteral("确定清空？"), DIALOG_QUESTION,
                            nullptr);
    QCOMPARE(first.exec(), 1);
    QCOMPARE(KaiwoPromptDialog::lastTitle(), QStringLiteral("清空"));
    QCOMPARE(KaiwoPromptDialog::lastContent(), QStringLiteral("确定清空？"));
    QCOMPARE(KaiwoPromptDialog::promptCount(), before + 1);

    // The hook answers once; the next dialog is modal again.
    KaiwoPromptDialog second(QStringLiteral("t"), QStringLiteral("c"), DIALOG_NOTICE, nullptr);
    QTimer::singleShot(0, &second, [&] { second.close(); });
    QCOMPARE(second.exec(), 0);
}

void TestPromptDialog::dragFollowsLeftButtonOnly()
{
    KaiwoPromptDialog dialog(QStringLiteral("t"), QStringLiteral("c"), DIALOG_NOTICE, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QPoint start = dialog.pos();
    const QPoint body(10, 140); // an empty spot left of the button

    const QPoint globalBody = dialog.mapToGlobal(body);

    QTest::mousePress(&dialog, Qt::RightButton, Qt::NoModifier, body);
    moveMouse(&dialog, globalBody + QPoint(40, 30), Qt::RightButton);
    QTest::mouseRelease(&dialog, Qt::RightButton, Qt::NoModifier, body + QPoint(40, 30));
    QCOMPARE(dialog.pos(), start);

    QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, body);
    moveMouse(&dialog, globalBody + QPoint(40, 30), Qt::LeftButton);
    QCOMPARE(dialog.pos(), start + QPoint(40, 30));
    moveMouse(&dialog, globalBody + QPoint(-25, 60), Qt::LeftButton);
    QCOMPARE(dialog.pos(), start + QPoint(-25, 60));
    QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, dialog.mapFromGlobal(globalBody));

    // After the release a move with the button held does nothing.
    const QPoint dropped = dialog.pos();
    moveMouse(&dialog, globalBody + QPoint(90, 90), Qt::LeftButton);
    QCOMPARE(dialog.pos(), dropped);
}

void TestPromptDialog::pressOnButtonDoesNotDrag()
{
    KaiwoPromptDialog dialog(QStringLiteral("t"), QStringLiteral("c"), DIALOG_QUESTION, nullptr);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QPoint start = dialog.pos();
    auto *cancel = dialog.findChild<QPushButton *>(QStringLiteral("pushButton_cancel"));

    QTest::mousePress(cancel, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    moveMouse(&dialog, dialog.mapToGlobal(QPoint(40, 170)), Qt::LeftButton);
    QCOMPARE(dialog.pos(), start);
    QTest::mouseRelease(cancel, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
}

QTEST_MAIN(TestPromptDialog)
#include "tst_prompt_dialog.moc"
