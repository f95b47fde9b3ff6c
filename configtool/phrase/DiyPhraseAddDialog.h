#pragma once

#include "PhraseInput.h"

#include <QDialog>
#include <QScopedPointer>

namespace Ui
{
class DiyPhraseAddDialog;
}

// Enters new custom phrases and hands each to the manager by a signal.
class DiyPhraseAddDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DiyPhraseAddDialog(QWidget *parent = nullptr);
    ~DiyPhraseAddDialog() override;

    // Keeps a copy of the manager's list for the duplicate check.
    void setDiyPhraseAddDialog(const UserPhraseList &list, int row);
    // 0 when a phrase was emitted, -1 when the input was refused.
    int save_phrase();

signals:
    void signal_add_phrase(UserPhraseItem item, int row);

private slots:
    void on_ok_pushButton_clicked();
    void on_cancel_pushButton_clicked();
    void on_continue_pushButton_clicked();
    void on_textEdit_textChanged();
    void slot_cursor_position_changed();

private:
    void init();
    void notice(const QString &text);

    QScopedPointer<Ui::DiyPhraseAddDialog> ui;
    UserPhraseList mPhraseList;
};
