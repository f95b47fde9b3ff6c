#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

// The pinyin words the running engine learned, as the IME service lists
// them: searchable, sortable by each column, and the selected ones
// forgotten with Delete. Each deletion is one call, so a word the engine
// refuses stays listed and the others go.
class LearnedWordsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit LearnedWordsDialog(QWidget *parent = nullptr);

    // Asks the service again; false, with the list left empty and a line
    // saying so, when it did not answer.
    bool reload();
    void forgetSelected();

private:
    void updateButtons();

    QLabel *mTitle;
    QPushButton *mCloseButton;
    QLineEdit *mSearch;
    QLabel *mStatus;
    QTableView *mTable;
    QStandardItemModel *mWords;
    QSortFilterProxyModel *mShown;
    QPushButton *mDeleteButton;
    QPushButton *mOkButton;
};
