#pragma once

#include "window/SettingsPage.h"
#include "window/SettingsTable.h"

class QCheckBox;
class QPushButton;

// The Wubi page: mixed input, commit rules, word learning, hints and the
// Wubi user dictionaries.
class SettingWubiWidget : public SettingsPage
{
    Q_OBJECT

public:
    explicit SettingWubiWidget(QWidget *parent = nullptr);

    void initWubiSettings();
    void loadSettings(CON_TPYE mode) override;
    void saveWubiSetting();
    void restoreWubiDefaultSetting();

    void saveSettings() override { saveWubiSetting(); }
    void restoreDefaultSettings() override { restoreWubiDefaultSetting(); }

private slots:
    void slot_released_loadPinYinWuBiThesaurusButton();
    void slot_released_exportPinYinWuBiThesaurusButton();
    void slot_released_clearWuBiPinYinThesaurusButton();
    void slot_released_loadWuBiCnThesaurusButton();
    void slot_released_exportWuBiCnThesaurusButton();
    void slot_released_clearWUBiCnThesaurusButton();
    void slot_released_clearWuBiEnThesaurusButton();
    void slot_released_clearWuBiWebEmailThesaurusButton();
    void slot_released_recoveryWuBiDefaultThesaurusButton();

private:
    void initUi();

    QCheckBox *mInputModeCheckBox;
    QCheckBox *mActiveGbkCheckBox;
    QCheckBox *mMergeAutoOnScreenCheckBox;
    QCheckBox *mSubmitForFifthCheckBox;
    QCheckBox *mMergeAdjustRateCheckBox;
    QCheckBox *mCancelEmptyCodeCheckBox;
    QCheckBox *mMergeEnterUsageCheckBox;
    QCheckBox *mAutoLearnNewWordCheckBox;
    QCheckBox *mMix4CodeHintCheckBox;
    QCheckBox *mSingleWordModeCheckBox;
    QCheckBox *mPhraseOnlyWhenFullCheckBox;
    QCheckBox *mQuickInputCheckBox;
    QPushButton *mLoadPinYinWuBiThesaurusButton;
    QPushButton *mExportPinYinWuBiThesaurusButton;
    QPushButton *mClearWuBiPinYinThesaurusButton;
    QPushButton *mLoadWuBiCnThesaurusButton;
    QPushButton *mExportWuBiCnThesaurusButton;
    QPushButton *mClearWuBiCnThesaurusButton;
    QPushButton *mClearWuBiWebEmailThesaurusButton;
    QPushButton *mRecoveryWuBiDefaultThesaurusButton;

    SettingsTable mKeys;
};
