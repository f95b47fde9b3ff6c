#pragma once

#include "PhraseInput.h"
#include "config/ConfigType.h"

#include <QDialog>
#include <QScopedPointer>
#include <QVector>

class QFileSystemWatcher;

namespace Ui
{
class DiyPhraseDialog;
}

// The custom-phrase manager. Changes stay in the dialog until "确定", which
// replaces the phrases of both engines and regenerates the text file.
class DiyPhraseDialog : public QDialog
{
    Q_OBJECT

public:
    explicit DiyPhraseDialog(QWidget *parent = nullptr);
    ~DiyPhraseDialog() override;

    void init();
    void updateDiyPhraseTableWidget();
    void initUserDiyPhraseList();
    void clearPhrase();
    void saveAndReloadPhrase();
    void bin2txt();
    void init_phrase_file();
    void mySleep(unsigned int msec);
    void loadSettings(CON_TPYE mode);
    void saveSettings();
    void initSettings();
    void delete_not_in_list_Phrase();

    const UserPhraseList &phraseList() const { return mPhraseList; }
    // Test hook: forgets when the text file was last converted.
    static void resetPhraseFileClock();

    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    void slot_change_user_diyPhrase_TableWdget();
    void slot_phrase_file_changed(QString path);

private slots:
    void on_add_phrase_pushButton_clicked();
    void on_edit_phrase_pushButton_clicked();
    void on_delete_highlight_row_pushButton_clicked();
    void on_enabled_all_pushButton_clicked();
    void on_disenable_pushButton_clicked();
    void on_restore_default_pushButton_clicked();
    void on_ok_pushButton_clicked();
    void on_cancel_pushButton_clicked();
    void on_open_buintIn_phrase_checkBox_clicked(bool checked);
    void on_look_buintIn_phrase_pushButton_clicked();
    void tableWidgetCellClicked(int row, int column);
    void tableWidgetCellPressed(int row, int column);
    void slot_selection_changed();
    void slot_add_phrase(UserPhraseItem item, int row);
    void slot_edit_phrase(UserPhraseItem item, int row);

private:
    class QCheckBox *rowCheckBox(int row) const;
    void buildVisibleRows();
    void buildRow(int row);
    void makeRowCurrent(int row);

    QScopedPointer<Ui::DiyPhraseDialog> ui;
    int mPreviousRow = -1;
    UserPhraseList mPhraseList;
    QFileSystemWatcher *mWatcher = nullptr;
    // Whether each row's box is ticked, also for rows not built yet.
    QVector<bool> mChecked;
    bool mBoxesEnlarged = false;
};
