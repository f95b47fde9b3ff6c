#pragma once

#include <QDialog>
#include <QList>
#include <QScopedPointer>

namespace Ui
{
class KaiwoPromptDialog;
}

enum DialogStatus {
    DIALOG_NOTICE = 0,
    DIALOG_QUESTION = 2,
};

// The tool's only message box: a title, a message and one button (notice)
// or two (question). exec() returns 1 for "确定" and 0 otherwise.
class KaiwoPromptDialog : public QDialog
{
    Q_OBJECT

public:
    KaiwoPromptDialog(QString title, QString content, DialogStatus status, QWidget *parent);
    ~KaiwoPromptDialog() override;

    int exec() override;

    // The question every page and dialog asks before restoring its defaults;
    // true when the user confirms.
    static bool confirmRestoreDefaults(QWidget *parent);

    // Test hook: the next exec() returns this answer at once, without
    // showing the dialog, and records what would have been shown.
    static void setNextAnswer(int answer);
    // The same for a run of prompts (a question and the notice after it).
    static void setNextAnswers(const QList<int> &answers);
    static QString lastTitle();
    static QString lastContent();
    static int promptCount();

private slots:
    void on_pushButton_ok_clicked();
    void on_pushButton_cancel_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QScopedPointer<Ui::KaiwoPromptDialog> ui;
};
