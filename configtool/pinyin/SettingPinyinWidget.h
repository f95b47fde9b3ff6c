#pragma once

#include "window/SettingsPage.h"
#include "window/SettingsTable.h"

#include <QHash>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QPushButton;
class QRadioButton;

// The Pinyin page: full or double pinyin, correction, fuzzy pinyin, the
// user dictionaries, candidate options and the English input options.
class SettingPinyinWidget : public SettingsPage
{
    Q_OBJECT

public:
    explicit SettingPinyinWidget(QWidget *parent = nullptr);

    void initPinyinSettings();
    void loadSettings(CON_TPYE mode) override;
    void savePinyinSetting();
    void restorePinyinlDefaultSetting();

    void saveSettings() override { savePinyinSetting(); }
    void restoreDefaultSettings() override { restorePinyinlDefaultSetting(); }

private slots:
    void slot_buttonGroupClicked_quanpin_shuangpin(int mode);
    void pinyinCorrection_checkbox_toggled(bool on);
    void mohuyin_setting_button_clicked();
    void shuangping_setting_button_clicked();
    void pinyinCorrection_setting_button_clicked();
    void slot_released_loadThesaurusButton();
    void slot_released_exportThesaurusButton();
    void slot_released_clearCnThesaurusButton();
    void slot_released_clearEnThesaurusButton();
    void slot_released_clearWebEmailThesaurusButton();
    void slot_released_recoveryDefaultThesaurusButton();
    void slot_engImeSettings_button_clicked();
    void seletctletter_checkbox_toggled(bool);

private:
    void initUi();
    void initKeys();
    void setPinyinModeEnabling(bool quanPin, bool shuangPin);

    QRadioButton *mQuanPinRadio;
    QRadioButton *mShuangPinRadio;
    QButtonGroup *mPinyinModeGroup;
    QCheckBox *mZcsCheckBox;
    QPushButton *mShuangPinSettingButton;
    QCheckBox *mHintSpCheckBox;
    QCheckBox *mAllowQuanPinCheckBox;
    QCheckBox *mCorrectionCheckBox;
    QPushButton *mCorrectionSettingButton;
    QPushButton *mMoHuYinSettingButton;
    QPushButton *mLoadThesaurusButton;
    QPushButton *mExportThesaurusButton;
    QPushButton *mClearCnThesaurusButton;
    QPushButton *mLearnedWordsButton;
    QPushButton *mClearEnThesaurusButton;
    QPushButton *mClearWebEmailThesaurusButton;
    QPushButton *mRecoveryDefaultThesaurusButton;
    QCheckBox *mNoPhraseCheckBox;
    QCheckBox *mSplitZiCheckBox;
    QCheckBox *mMakeNameCheckBox;
    QCheckBox *mEngFillCheckBox;
    QCheckBox *mMailUrlFillCheckBox;
    QCheckBox *mConvertStyleCheckBox;
    QCheckBox *mSelectStyleCheckBox;
    QCheckBox *mEditModeCheckBox;
    QPushButton *mEngImeSettingButton;

    SettingsTable mLoadKeys;
    SettingsTable mSaveKeys;
    // The values of the last load; the enabling follows them, not the widgets.
    QHash<QString, int> mLoaded;
};
