#include "SettingGeneralWidget.h"
#include "PageWidgets.h"
#include "app/Logging.h"
#include "phrase/DiyPhraseDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace
{

QLabel *blankLabel()
{
    auto *label = new QLabel;
    label->setFixedHeight(30);
    return label;
}

QHBoxLayout *singleRow(QWidget *widget)
{
    auto *row = new QHBoxLayout;
    row->addWidget(widget);
    row->addStretch();
    return row;
}

} // namespace

SettingGeneralWidget::SettingGeneralWidget(QWidget *parent) : SettingsPage(parent)
{
    initUi();

    // Same order for reading and writing.
    mKeys.addRadioPair(QStringLiteral("DefaultNative"), 1, mCnRadio, mEnRadio);
    mKeys.addRadioPair(QStringLiteral("DefaultTradition"), 0, mFantiRadio, mJiantiRadio);
    mKeys.addRadioPair(QStringLiteral("DefaultShape"), 0, mQuanjiaoRadio, mBanjiaoRadio);
    mKeys.addRadioPair(QStringLiteral("DefaultPinyin"), 1, mPinyinRadio, mWubiRadio);
    // Stored 1 means the status bar is shown, so the "hide" box is inverted.
    mKeys.addCheckBox(QStringLiteral("StatusAppearance"), 1, mHideStatusBarCheckBox, true);
    mKeys.addCheckBox(QStringLiteral("SymbolCompletion"), 1, mSymbolCompletionCheckBox);
    mKeys.addCheckBox(QStringLiteral("SmartSymbolsAfterNum"), 1, mSmartSymbolsCheckBox);
    mKeys.addCheckBox(QStringLiteral("UserPhrase"), 1, mDefinePhrasesCheckBox);

    initGeneralSettings();
}

QHBoxLayout *SettingGeneralWidget::radioRow(QRadioButton *first, QRadioButton *second, int gap,
                                            QButtonGroup *group)
{
    group->addButton(first, 1);
    group->addButton(second, 2);
    auto *row = new QHBoxLayout;
    row->addWidget(first);
    row->addSpacing(gap);
    row->addWidget(second);
    row->addStretch();
    return row;
}

void SettingGeneralWidget::initUi()
{
    mJiantiRadio = new QRadioButton(tr("简体"));
    mFantiRadio = new QRadioButton(tr("繁体"));
    mBanjiaoRadio = new QRadioButton(tr("半角"));
    mQuanjiaoRadio = new QRadioButton(tr("全角"));
    mCnRadio = new QRadioButton(tr("中文"));
    mEnRadio = new QRadioButton(tr("英文"));
    mPinyinRadio = new QRadioButton(tr("拼音"));
    mWubiRadio = new QRadioButton(tr("五笔"));
    mJiantiFantiGroup = new QButtonGroup(this);
    mBanjiaoQuanjiaoGroup = new QButtonGroup(this);
    mCnEnGroup = new QButtonGroup(this);
    mPinyinWubiGroup = new QButtonGroup(this);
    mHideStatusBarCheckBox = new QCheckBox(tr("隐藏状态栏"));
    mSymbolCompletionCheckBox = new QCheckBox(tr("标点配对：自动补全成对标点"));
    mSmartSymbolsCheckBox = new QCheckBox(tr("智能调整数字后标点"));
    mDefinePhrasesCheckBox = new QCheckBox(tr("自定义短语"));
    mDefinePhrasesSettingsButton = new QPushButton(tr("自定义短语设置"));
    mDefinePhrasesSettingsButton->setFixedSize(120, 24);
    // The default font's seven characters do not fit the fixed width.
    QFont buttonFont = mDefinePhrasesSettingsButton->font();
    buttonFont.setPixelSize(12);
    mDefinePhrasesSettingsButton->setFont(buttonFont);

    auto *stateRows = new QVBoxLayout;
    stateRows->setSpacing(10);
    stateRows->addLayout(radioRow(mJiantiRadio, mFantiRadio, 40, mJiantiFantiGroup));
    stateRows->addLayout(radioRow(mBanjiaoRadio, mQuanjiaoRadio, 40, mBanjiaoQuanjiaoGroup));
    stateRows->addLayout(radioRow(mCnRadio, mEnRadio, 39, mCnEnGroup));
    stateRows->addLayout(radioRow(mPinyinRadio, mWubiRadio, 40, mPinyinWubiGroup));
    stateRows->addLayout(singleRow(mHideStatusBarCheckBox));
    auto *stateBlock = new QHBoxLayout;
    stateBlock->setSpacing(20);
    stateBlock->addWidget(PageWidgets::sectionTitle(tr("默认状态")));
    stateBlock->addLayout(stateRows);

    auto *symbolRows = new QVBoxLayout;
    symbolRows->setSpacing(10);
    symbolRows->addLayout(singleRow(mSymbolCompletionCheckBox));
    symbolRows->addLayout(singleRow(mSmartSymbolsCheckBox));
    auto *symbolBlock = new QHBoxLayout;
    symbolBlock->setSpacing(20);
    symbolBlock->addWidget(PageWidgets::sectionTitle(tr("标点符号")));
    symbolBlock->addLayout(symbolRows);

    auto *phraseBlock = new QHBoxLayout;
    phraseBlock->setSpacing(20);
    phraseBlock->addWidget(PageWidgets::sectionTitle(tr("候选扩展")));
    phraseBlock->addWidget(mDefinePhrasesCheckBox);
    phraseBlock->addWidget(mDefinePhrasesSettingsButton);
    phraseBlock->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 0, 0);
    layout->addLayout(stateBlock);
    layout->addWidget(blankLabel());
    layout->addLayout(symbolBlock);
    layout->addWidget(blankLabel());
    layout->addLayout(phraseBlock);
    layout->addStretch();

    connect(mJiantiFantiGroup, &QButtonGroup::idClicked, this,
            &SettingGeneralWidget::slot_buttonGroupClicked_jianti_fangti);
    connect(mBanjiaoQuanjiaoGroup, &QButtonGroup::idClicked, this,
            &SettingGeneralWidget::slot_buttonGroupClicked_banjiao_quanjiao);
    connect(mCnEnGroup, &QButtonGroup::idClicked, this,
            &SettingGeneralWidget::slot_buttonGroupClicked_cn_en);
    connect(mPinyinWubiGroup, &QButtonGroup::idClicked, this,
            &SettingGeneralWidget::slot_buttonGroupClicked_wubi_pinyin);
    connect(mHideStatusBarCheckBox, &QCheckBox::toggled, this,
            &SettingGeneralWidget::slot_hideStatusBar_toggled);
    connect(mDefinePhrasesCheckBox, &QCheckBox::toggled, this,
            &SettingGeneralWidget::slot_definePhrasesCheckBox_clicked);
    connect(mDefinePhrasesSettingsButton, &QPushButton::clicked, this,
            &SettingGeneralWidget::slot_definePhrasesSettings_button_clicked);
}

void SettingGeneralWidget::initGeneralSettings()
{
    loadSettings(CON_CURRENT);
}

void SettingGeneralWidget::loadSettings(CON_TPYE mode)
{
    mKeys.load(mode);
    // The box may keep its state while the button does not match it yet.
    mDefinePhrasesSettingsButton->setEnabled(mDefinePhrasesCheckBox->isChecked());
}

void SettingGeneralWidget::saveGeneralSettings()
{
    qCDebug(lcConfigtool) << "saveGeneralSettings";
    mKeys.save();
}

void SettingGeneralWidget::restoreGeneralDefaultSetting()
{
    loadSettings(CON_DEFAULT);
}

void SettingGeneralWidget::slot_buttonGroupClicked_jianti_fangti(int id)
{
    qCDebug(lcConfigtool) << "jianti_fangti" << id;
}

void SettingGeneralWidget::slot_buttonGroupClicked_banjiao_quanjiao(int id)
{
    qCDebug(lcConfigtool) << "banjiao_quanjiao" << id;
}

void SettingGeneralWidget::slot_buttonGroupClicked_cn_en(int id)
{
    qCDebug(lcConfigtool) << "cn_en" << id;
}

void SettingGeneralWidget::slot_buttonGroupClicked_wubi_pinyin(int id)
{
    qCDebug(lcConfigtool) << "wubi_pinyin" << id;
}

void SettingGeneralWidget::slot_hideStatusBar_toggled(bool checked)
{
    qCDebug(lcConfigtool) << "hideStatusBar" << checked;
}

void SettingGeneralWidget::slot_definePhrasesCheckBox_clicked(bool checked)
{
    mDefinePhrasesSettingsButton->setEnabled(checked);
}

void SettingGeneralWidget::slot_definePhrasesSettings_button_clicked()
{
    qCDebug(lcConfigtool) << "slot_definePhrasesSettings_button_clicked";
    DiyPhraseDialog dialog(this);
    dialog.exec();
}
