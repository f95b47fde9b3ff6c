#pragma once

#include "PhraseInput.h"

#include <QDialog>
#include <QScopedPointer>

namespace Ui
{
class DiyPhraseEditDialog;
}

// Changes one custom phrase and hands it back to the manager by a signal.
class DiyPhraseEditDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DiyPhraseEditDialog(QWidget *parent = nullptr);
    ~DiyPhraseEditDialog() override;

    // Shows item row of the list; the list copy serves the duplicate check.
    void setDiyPhraseEditDialog(const UserPhraseList &list, int row);

signals:
    void signal_edit_phrase(UserPhraseItem item, int row);

private slots:
    void on_ok_pushButton_clicked();
    void on_cancel_pushButton_clicked();
    void on_textEdit_textChanged();

private:
    void init();
    void notice(const QString &text);

    QScopedPointer<Ui::DiyPhraseEditDialog> ui;
    UserPhraseList mPhraseList;
    UserPhraseItem mItem;
    int mRow = -1;
};
