#pragma once

#include "SettingsPage.h"
#include "SettingsTable.h"

class QButtonGroup;
class QCheckBox;
class QHBoxLayout;
class QPushButton;
class QRadioButton;

// The General page: default input states, punctuation and custom phrases.
class SettingGeneralWidget : public SettingsPage
{
    Q_OBJECT

public:
    explicit SettingGeneralWidget(QWidget *parent = nullptr);

    void initGeneralSettings();
    void loadSettings(CON_TPYE mode) override;
    void saveGeneralSettings();
    void restoreGeneralDefaultSetting();

    void saveSettings() override { saveGeneralSettings(); }
    void restoreDefaultSettings() override { restoreGeneralDefaultSetting(); }

signals:
    void SigHideStatus(bool flag);
    void SigFullScreenHideSB(bool flag);

private slots:
    void slot_buttonGroupClicked_jianti_fangti(int id);
    void slot_buttonGroupClicked_banjiao_quanjiao(int id);
    void slot_buttonGroupClicked_cn_en(int id);
    void slot_buttonGroupClicked_wubi_pinyin(int id);
    void slot_hideStatusBar_toggled(bool checked);
    void slot_definePhrasesCheckBox_clicked(bool checked);
    void slot_definePhrasesSettings_button_clicked();

private:
    void initUi();
    // One row of two exclusive buttons with ids 1 and 2, gap pixels apart.
    QHBoxLayout *radioRow(QRadioButton *first, QRadioButton *second, int gap, QButtonGroup *group);

    QRadioButton *mJiantiRadio;
    QRadioButton *mFantiRadio;
    QRadioButton *mBanjiaoRadio;
    QRadioButton *mQuanjiaoRadio;
    QRadioButton *mCnRadio;
    QRadioButton *mEnRadio;
    QRadioButton *mPinyinRadio;
    QRadioButton *mWubiRadio;
    QButtonGroup *mJiantiFantiGroup;
    QButtonGroup *mBanjiaoQuanjiaoGroup;
    QButtonGroup *mCnEnGroup;
    QButtonGroup *mPinyinWubiGroup;
    QCheckBox *mHideStatusBarCheckBox;
    QCheckBox *mSymbolCompletionCheckBox;
    QCheckBox *mSmartSymbolsCheckBox;
    QCheckBox *mDefinePhrasesCheckBox;
    QPushButton *mDefinePhrasesSettingsButton;
    SettingsTable mKeys;
};
