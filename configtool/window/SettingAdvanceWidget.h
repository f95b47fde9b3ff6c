#pragma once

#include "SettingsPage.h"
#include "SettingsTable.h"

class QButtonGroup;
class QCheckBox;
class QPushButton;
class QRadioButton;

// The Advanced page: switch keys, page keys, keypad and shortcut keys.
class SettingAdvanceWidget : public SettingsPage
{
    Q_OBJECT

public:
    explicit SettingAdvanceWidget(QWidget *parent = nullptr);

    void loadSettings(CON_TPYE mode) override;
    void saveSettings() override { saveAdvanceSettings(); }
    void restoreDefaultSettings() override { restoreAdvanceDefaultSetting(); }

    void saveAdvanceSettings();
    void restoreAdvanceDefaultSetting();
    void initAdvanceSettings();

private slots:
    void slot_ctrlRabioButton_clicked(int id);
    void slot_leftCtrl_clicked(bool checked);
    void slot_buttonClicked_cnEnSwitchButtonGroup(int id);
    void slot_system_function_button_clicked();

private:
    void init();
    void initTable();

    QButtonGroup *mCnEnSwitchButtonGroup = nullptr;
    QRadioButton *mShiftRadioButton = nullptr;
    QRadioButton *mCtrlRadioButton = nullptr;
    QRadioButton *mNoneRadioButton = nullptr;
    QCheckBox *mTruncateCheckBox = nullptr;
    QCheckBox *mPunctCheckBox = nullptr;
    QCheckBox *mShapeCheckBox = nullptr;
    QCheckBox *mMinusEqualCheckBox = nullptr;
    QCheckBox *mBracketCheckBox = nullptr;
    QCheckBox *mCommaPeriodCheckBox = nullptr;
    // Tab/Shift+Tab: never placed, only carries bit 8 through a save.
    QCheckBox *mTabCheckBox = nullptr;
    QCheckBox *mPadNumCheckBox = nullptr;
    QCheckBox *mHalfSymbolCheckBox = nullptr;
    QCheckBox *mLeftCtrlCheckBox = nullptr;
    QPushButton *mSystemFunctionButton = nullptr;
    SettingsTable mTable;
};
