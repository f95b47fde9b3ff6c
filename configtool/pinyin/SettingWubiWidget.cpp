#include "SettingWubiWidget.h"
#include "UserDictionaryActions.h"
#include "window/PageWidgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace
{

constexpr int kSectionGap = 30;
// Keeps the controls of all sections in one column.
constexpr int kTitleWidth = 70;
constexpr int kSecondColumnGap = 40;
// Wide enough for the longest row label, so the buttons line up.
constexpr int kRowLabelWidth = 104;

QHBoxLayout *section(QLabel *title, QLayout *controls)
{
    auto *layout = new QHBoxLayout;
    layout->setSpacing(20);
    layout->addWidget(title, 0, Qt::AlignTop);
    layout->addLayout(controls);
    layout->addStretch();
    return layout;
}

// Check boxes two to a line; a null second leaves the line half empty.
QGridLayout *boxLines(std::initializer_list<std::pair<QCheckBox *, QCheckBox *>> lines)
{
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(kSecondColumnGap);
    grid->setVerticalSpacing(10);
    int line = 0;
    for (const auto &pair : lines) {
        grid->addWidget(pair.first, line, 0, Qt::AlignLeft);
        if (pair.second)
            grid->addWidget(pair.second, line, 1, Qt::AlignLeft);
        ++line;
    }
    return grid;
}

QHBoxLayout *buttonRow(const QString &label, std::initializer_list<QWidget *> buttons)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    if (!label.isNull()) {
        auto *text = new QLabel(label);
        text->setMinimumWidth(kRowLabelWidth);
        row->addWidget(text);
    }
    for (QWidget *button : buttons)
        row->addWidget(button);
    row->addStretch();
    return row;
}

// Checked when the stored value equals (or, with checkedWhenEqual false,
// differs from) the reference; saves the reference when that rule holds and
// the other of 0 and 1 when not. Text that is no number reads as 0.
void addKey(SettingsTable &table, const char *key, int defaultValue, QCheckBox *box,
            int reference = 0, bool checkedWhenEqual = false)
{
    table.addCustom(
        QLatin1String(key), defaultValue,
        [=](const QVariant &stored) {
            box->setChecked((stored.toInt() == reference) == checkedWhenEqual);
        },
        [=] { return QVariant(box->isChecked() == checkedWhenEqual ? reference : 1 - reference); });
}

} // namespace

SettingWubiWidget::SettingWubiWidget(QWidget *parent) : SettingsPage(parent)
{
    initUi();

    // 1 is pure Wubi, 0 mixed Wubi and pinyin, which is what the box shows.
    addKey(mKeys, "InputMode", 1, mInputModeCheckBox, 0, true);
    addKey(mKeys, "ActiveGBK", 0, mActiveGbkCheckBox);
    addKey(mKeys, "MergeAutoOnScreen", 1, mMergeAutoOnScreenCheckBox);
    addKey(mKeys, "SubmitForFifth", 1, mSubmitForFifthCheckBox);
    addKey(mKeys, "MergeAdjustRate", 1, mMergeAdjustRateCheckBox);
    addKey(mKeys, "CancelEmptyCode", 0, mCancelEmptyCodeCheckBox);
    addKey(mKeys, "MergeEnterUsage", 0, mMergeEnterUsageCheckBox);
    addKey(mKeys, "AutoLearnNewWord", 1, mAutoLearnNewWordCheckBox);
    addKey(mKeys, "Mix4CodeHint", 1, mMix4CodeHintCheckBox);
    addKey(mKeys, "SingleWordMode", 0, mSingleWordModeCheckBox);
    addKey(mKeys, "PhraseOnlyWhenFull", 0, mPhraseOnlyWhenFullCheckBox);
    addKey(mKeys, "QuickInputOnOff", 1, mQuickInputCheckBox);

    initWubiSettings();
}

void SettingWubiWidget::initUi()
{
    mInputModeCheckBox = new QCheckBox(tr("五笔混输"));
    mActiveGbkCheckBox = new QCheckBox(tr("生僻字"));
    mMergeAutoOnScreenCheckBox = new QCheckBox(tr("四码唯一时自动上屏"));
    mSubmitForFifthCheckBox = new QCheckBox(tr("第五码将首选上屏"));
    mMergeAdjustRateCheckBox = new QCheckBox(tr("动态调频：按近期输入排序"));
    mCancelEmptyCodeCheckBox = new QCheckBox(tr("空码时取消输入"));
    mMergeEnterUsageCheckBox = new QCheckBox(tr("回车键取消输入"));
    mAutoLearnNewWordCheckBox = new QCheckBox(tr("智能造词"));
    mMix4CodeHintCheckBox = new QCheckBox(tr("编码时逐键提示"));
    mSingleWordModeCheckBox = new QCheckBox(tr("单字输入"));
    mPhraseOnlyWhenFullCheckBox = new QCheckBox(tr("仅在全码匹配时显示词组"));
    mQuickInputCheckBox = new QCheckBox(QStringLiteral("符号表情"));

    mLoadPinYinWuBiThesaurusButton = PageWidgets::fixedButton(tr("导入"), 100);
    mExportPinYinWuBiThesaurusButton = PageWidgets::fixedButton(tr("导出"), 100);
    mClearWuBiPinYinThesaurusButton = PageWidgets::fixedButton(tr("清空"), 100);
    mLoadWuBiCnThesaurusButton = PageWidgets::fixedButton(tr("导入"), 100);
    mExportWuBiCnThesaurusButton = PageWidgets::fixedButton(tr("导出"), 100);
    mClearWuBiCnThesaurusButton = PageWidgets::fixedButton(tr("清空"), 100);
    mClearWuBiWebEmailThesaurusButton = PageWidgets::fixedButton(tr("清空"), 100);
    mRecoveryWuBiDefaultThesaurusButton = PageWidgets::fixedButton(tr("一键恢复初始状态"), 150);
    mRecoveryWuBiDefaultThesaurusButton->setFocusPolicy(Qt::NoFocus);

    auto *dictionaries = new QVBoxLayout;
    dictionaries->setSpacing(10);
    dictionaries->addLayout(buttonRow(tr("五笔拼音词库"), {mLoadPinYinWuBiThesaurusButton,
                                                           mExportPinYinWuBiThesaurusButton,
                                                           mClearWuBiPinYinThesaurusButton}));
    dictionaries->addLayout(
        buttonRow(tr("五笔词库"), {mLoadWuBiCnThesaurusButton, mExportWuBiCnThesaurusButton,
                                   mClearWuBiCnThesaurusButton}));
    dictionaries->addLayout(buttonRow(tr("网址邮箱词库"), {mClearWuBiWebEmailThesaurusButton}));
    dictionaries->addLayout(buttonRow(QString(), {mRecoveryWuBiDefaultThesaurusButton}));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 14, 0, 0);
    layout->setSpacing(kSectionGap);
    layout->addLayout(section(PageWidgets::sectionTitle(tr("输入风格"), nullptr, kTitleWidth),
                              boxLines({{mInputModeCheckBox, mActiveGbkCheckBox}})));
    layout->addLayout(section(PageWidgets::sectionTitle(tr("特殊习惯"), nullptr, kTitleWidth),
                              boxLines({{mMergeAutoOnScreenCheckBox, mCancelEmptyCodeCheckBox},
                                        {mSubmitForFifthCheckBox, mMergeEnterUsageCheckBox},
                                        {mMergeAdjustRateCheckBox, mAutoLearnNewWordCheckBox}})));
    layout->addLayout(section(PageWidgets::sectionTitle(tr("高级"), nullptr, kTitleWidth),
                              boxLines({{mMix4CodeHintCheckBox, mPhraseOnlyWhenFullCheckBox},
                                        {mSingleWordModeCheckBox, nullptr}})));
    layout->addLayout(
        section(PageWidgets::sectionTitle(QStringLiteral("辅助功能"), nullptr, kTitleWidth),
                boxLines({{mQuickInputCheckBox, nullptr}})));
    layout->addLayout(
        section(PageWidgets::sectionTitle(tr("基础词库"), nullptr, kTitleWidth), dictionaries));
    layout->addStretch();

    connect(mLoadPinYinWuBiThesaurusButton, &QPushButton::clicked, this,
            &SettingWubiWidget::slot_released_loadPinYinWuBiThesaurusButton);
    connect(mExportPinYinWuBiThesaurusButton, &QPushButton::clicked, this,
            &SettingWubiWidget::slot_released_exportPinYinWuBiThesaurusButton);
    connect(mClearWuBiPinYinThesaurusButton, &QPushButton::clicked, this,
            &SettingWubiWidget::slot_released_clearWuBiPinYinThesaurusButton);
    connect(mLoadWuBiCnThesaurusButton, &QPushButton::clicked, this,
            &SettingWubiWidget::slot_released_loadWuBiCnThesaurusButton);
    connect(mExportWuBiCnThesaurusButton, &QPushButton::clicked, this,
            &SettingWubiWidget::slot_released_exportWuBiCnThesaurusButton);
    connect(mClearWuBiCnThesaurusButton, &QPushButton::clicked, this,
            &SettingWubiWidget::slot_released_clearWUBiCnThesaurusButton);
    connect(mClearWuBiWebEmailThesaurusButton, &QPushButton::clicked, this,
            &SettingWubiWidget::slot_released_clearWuBiWebEmailThesaurusButton);
    connect(mRecoveryWuBiDefaultThesaurusButton, &QPushButton::clicked, this,
            &SettingWubiWidget::slot_released_recoveryWuBiDefaultThesaurusButton);
}

void SettingWubiWidget::initWubiSettings()
{
    loadSettings(CON_CURRENT);
}

void SettingWubiWidget::loadSettings(CON_TPYE mode)
{
    if (mode == CON_CURRENT || mode == CON_DEFAULT)
        mKeys.load(mode);
}

void SettingWubiWidget::saveWubiSetting()
{
    mKeys.save();
}

void SettingWubiWidget::restoreWubiDefaultSetting()
{
    loadSettings(CON_DEFAULT);
}

void SettingWubiWidget::slot_released_loadPinYinWuBiThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::ImportWubiPinyin, this);
}

void SettingWubiWidget::slot_released_exportPinYinWuBiThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::ExportWubiPinyin, this);
}

void SettingWubiWidget::slot_released_clearWuBiPinYinThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::ClearWubiPinyin, this);
}

void SettingWubiWidget::slot_released_loadWuBiCnThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::ImportWubiCn, this);
}

void SettingWubiWidget::slot_released_exportWuBiCnThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::ExportWubiCn, this);
}

void SettingWubiWidget::slot_released_clearWUBiCnThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::ClearWubiCn, this);
}

void SettingWubiWidget::slot_released_clearWuBiEnThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::ClearWubiEn, this);
}

void SettingWubiWidget::slot_released_clearWuBiWebEmailThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::ClearWubiWebEmail, this);
}

void SettingWubiWidget::slot_released_recoveryWuBiDefaultThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::RecoverWubi, this);
}
