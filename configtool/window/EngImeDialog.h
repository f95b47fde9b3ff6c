#pragma once

#include "SettingsTable.h"
#include "config/ConfigType.h"

#include <QDialog>
#include <QScopedPointer>

class QCheckBox;
class QPushButton;

namespace Ui
{
class EngImeDialog;
}

// Options of the English input mode, saved when "确定" is pressed, and a
// button that asks the input-method service to restore its English
// dictionary at once.
class EngImeDialog : public QDialog
{
    Q_OBJECT

public:
    explicit EngImeDialog(QWidget *parent);
    ~EngImeDialog() override;

    void initSettings();
    void loadSettings(CON_TPYE mode);
    void saveSettings();

private slots:
    void slot_checkBox_DFMCheckbox_toggle(bool checked);
    void on_ok_pushButton_clicked();
    void on_cancel_pushButton_clicked();
    void on_restore_default_pushButton_clicked();
    void slot_restoreEngThesaurusButton_clicked();

private:
    void buildGrid();
    void initTable();

    QScopedPointer<Ui::EngImeDialog> ui;
    QCheckBox *mDefaultEnglishInputCheckBox = nullptr;
    QCheckBox *mStarAsWildcardCheckBox = nullptr;
    QCheckBox *mExactMatchesCheckBox = nullptr;
    QCheckBox *mAddSpaceCheckBox = nullptr;
    QCheckBox *mLearnFreqCheckBox = nullptr;
    QCheckBox *mLearnNewWordCheckBox = nullptr;
    QCheckBox *mAutofillSpaceCheckBox = nullptr;
    QCheckBox *mAutofillTabCheckBox = nullptr;
    QCheckBox *mAutofillEnterCheckBox = nullptr;
    QPushButton *mRestoreEngThesaurusButton = nullptr;
    SettingsTable mTable;
};
