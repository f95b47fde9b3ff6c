#pragma once

#include "AppearanceChoices.h"
#include "SettingsPage.h"
#include "SettingsTable.h"

#include <QColor>
#include <QString>

#include <array>

class PreverSkinWidget;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;

// The Appearance page: candidate layout, skins, colours and fonts.
class SettingAppearanceWidget : public SettingsPage
{
    Q_OBJECT

public:
    explicit SettingAppearanceWidget(QWidget *parent = nullptr);

    void loadSettings(CON_TPYE mode) override;
    void saveSettings() override { saveAppearranceSettings(); }
    void restoreDefaultSettings() override { restoreAppearanceDefaultSetting(); }

    void saveAppearranceSettings();
    void restoreAppearanceDefaultSetting();
    // Lists the installed skins in the skin combo box and selects skinName.
    void searchAndSetKaiwoSkin(QString skinName);

    // env.ini colours are 0xAARRGGBB; only the low 24 bits count, alpha is
    // written as 0xFF.
    static QColor UnsignedlonglongToColor(quint64 value);
    static quint64 colorToUnsignedlonglong(QColor color);

    // Test hook: the next colour dialog returns this colour at once, without
    // showing; an invalid colour stands for Cancel.
    static void setNextColor(const QColor &color);
    // The initial colour the last colour dialog was opened with.
    static QColor lastInitialColor();

private slots:
    void slot_checkBox_UseSkin_stateChanged(int state);
    void slot_comboBox_UseSkin_currentIndexChanged(int index);
    void slot_checkBox_ChangeColor_toggled(bool checked);
    void slot_comboBox_ChangeColor_currentIndexChanged(int index);
    void slot_pushButton_SettingColor_clicked();
    void slot_checkBox_ChangeFont_toggled(bool checked);
    void slot_checkBox_ChangeFontSize_toggled(bool checked);
    void slot_buttonGroupClicked_horizontal_vertical(int id);
    void slot_comboBox_CandidateNumbers_currentIndexChanged(int index);
    void slot_CNcomboBox_Chinese_currentIndexChanged(QString text);
    void slot_comboBox_FontSize_currentIndexChanged(QString text);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void ensureChineseFonts();
    void selectChineseFont();

    // Indices of the colour members; the colour combo box uses the first three.
    enum ColorIndex { ColorPinyin, ColorPrimary, ColorNonPrimary, ColorBorder, ColorBackground };

    void initUi();
    void initAppearanceSettings();
    void initTable();
    void connectSignals();
    void setColorSwatch(const QColor &color);
    // The page's choices as the widgets show them, saved or not.
    AppearanceChoices currentChoices() const;
    void showPreview();
    void showPreviewOf(const QString &skinName);

    QButtonGroup *mCandStyleGroup = nullptr;
    QRadioButton *mHorizontalRadio = nullptr;
    QRadioButton *mVerticalRadio = nullptr;
    QComboBox *mCandidateNumbersCombo = nullptr;
    QCheckBox *mCursorFollowBox = nullptr;
    QCheckBox *mUseSkinBox = nullptr;
    QComboBox *mSkinCombo = nullptr;
    QCheckBox *mChangeColorBox = nullptr;
    QComboBox *mColorCombo = nullptr;
    QPushButton *mSettingColorButton = nullptr;
    QCheckBox *mChangeFontBox = nullptr;
    QComboBox *mChineseFontCombo = nullptr;
    QString mStoredChineseFont;
    bool mChineseFontsLoaded = false;
    QCheckBox *mChangeFontSizeBox = nullptr;
    QComboBox *mFontSizeCombo = nullptr;
    PreverSkinWidget *mPreverSkinWidget = nullptr;

    // Pinyin, first candidate, other candidates, border, background.
    std::array<quint64, 5> mColors{};
    SettingsTable mTable;
};
