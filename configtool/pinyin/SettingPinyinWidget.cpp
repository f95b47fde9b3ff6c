#include "SettingPinyinWidget.h"
#include "CorrectionDialog.h"
#include "LearnedWordsDialog.h"
#include "MoHuYinDialog.h"
#include "UserDictionaryActions.h"
#include "app/Logging.h"
#include "shuangpin/ShuangPinController.h"
#include "shuangpin/ShuangPinSettingDialog.h"
#include "window/EngImeDialog.h"
#include "window/PageWidgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace
{

enum PinyinMode { QuanPinMode = 1, ShuangPinMode = 2 };

constexpr int kSectionGap = 30;
constexpr int kIndent = 20;
// Keeps the controls of all sections in one column.
constexpr int kTitleWidth = 70;
// Wide enough for the longest row label, so the buttons line up.
constexpr int kRowLabelWidth = 104;

QLabel *rowLabel(const QString &text)
{
    auto *label = new QLabel(text);
    label->setMinimumWidth(kRowLabelWidth);
    return label;
}

// A section: its title on the left, 20 pixels, then its rows.
QHBoxLayout *section(const QString &title, QVBoxLayout *rows)
{
    auto *layout = new QHBoxLayout;
    layout->setSpacing(20);
    layout->addWidget(PageWidgets::sectionTitle(title, nullptr, kTitleWidth), 0, Qt::AlignTop);
    layout->addLayout(rows);
    return layout;
}

QVBoxLayout *column(int spacing = 10)
{
    auto *layout = new QVBoxLayout;
    layout->setSpacing(spacing);
    return layout;
}

// A box is checked when its stored value equals (or, with checkedWhenEqual
// false, differs from) the reference; it saves the reference when that rule
// holds and the other of 0 and 1 when not. Text that is no number reads as 0.
struct Key {
    const char *name;
    int defaultValue;
    QAbstractButton *box;
    int reference;
    bool checkedWhenEqual;
};

} // namespace

SettingPinyinWidget::SettingPinyinWidget(QWidget *parent) : SettingsPage(parent)
{
    initUi();
    initKeys();
    initPinyinSettings();
    // The scheme list is read with the page, not when its dialog first opens.
    ShuangPinController::self();
}

void SettingPinyinWidget::initUi()
{
    mQuanPinRadio = new QRadioButton(tr("全拼"));
    mShuangPinRadio = new QRadioButton(tr("双拼"));
    mPinyinModeGroup = new QButtonGroup(this);
    mPinyinModeGroup->addButton(mQuanPinRadio, QuanPinMode);
    mPinyinModeGroup->addButton(mShuangPinRadio, ShuangPinMode);
    mZcsCheckBox = new QCheckBox(tr("首字母简拼(如:z表示zh等,a表示an等)"));
    mShuangPinSettingButton = PageWidgets::fixedButton(tr("双拼方案设置"), 150);
    mHintSpCheckBox = new QCheckBox(tr("双拼展开提示"));
    mAllowQuanPinCheckBox = new QCheckBox(tr("双拼下同时使用全拼"));
    mCorrectionCheckBox = new QCheckBox(tr("拼音纠错"));
    mCorrectionSettingButton = PageWidgets::fixedButton(tr("拼音纠错设置"), 100);
    mMoHuYinSettingButton = PageWidgets::fixedButton(tr("模糊音设置"), 100);

    mLoadThesaurusButton = PageWidgets::fixedButton(tr("导入"), 100);
    mExportThesaurusButton = PageWidgets::fixedButton(tr("导出"), 100);
    mClearCnThesaurusButton = PageWidgets::fixedButton(tr("清空"), 100);
    mLearnedWordsButton = PageWidgets::fixedButton(tr("已学词语"), 120);
    mClearEnThesaurusButton = PageWidgets::fixedButton(tr("清空"), 100);
    mClearWebEmailThesaurusButton = PageWidgets::fixedButton(tr("清空"), 100);
    mRecoveryDefaultThesaurusButton = PageWidgets::fixedButton(tr("一键恢复初始状态"), 150);
    mRecoveryDefaultThesaurusButton->setFocusPolicy(Qt::NoFocus);

    mNoPhraseCheckBox = new QCheckBox(tr("动态组词"));
    mSplitZiCheckBox = new QCheckBox(tr("拆分输入"));
    mMakeNameCheckBox = new QCheckBox(tr("智能人名"));
    mEngFillCheckBox = new QCheckBox(tr("英文补全"));
    mMailUrlFillCheckBox = new QCheckBox(tr("网址邮箱补全"));
    mConvertStyleCheckBox = new QCheckBox(tr("按空格出字"));
    mSelectStyleCheckBox = new QCheckBox(tr("按字母选词"));
    mEditModeCheckBox = new QCheckBox(tr("编辑候选项：输入拼音后回退光标，对候选项进行编辑"));
    mEngImeSettingButton = PageWidgets::fixedButton(tr("英文输入法设置"), 120);

    auto *habit = column();
    habit->addLayout(PageWidgets::row({mQuanPinRadio}));
    habit->addLayout(PageWidgets::row({mZcsCheckBox}, kIndent));
    habit->addLayout(PageWidgets::row({mShuangPinRadio, mShuangPinSettingButton}, 0, 20));
    habit->addLayout(PageWidgets::row({mHintSpCheckBox, mAllowQuanPinCheckBox}, kIndent, 20));
    habit->addLayout(PageWidgets::row({mCorrectionCheckBox, mCorrectionSettingButton}, 0, 20));
    habit->addLayout(
        PageWidgets::row({new QLabel(tr("模糊音设置")), mMoHuYinSettingButton}, 0, 20));

    auto *dictionaries = column();
    dictionaries->addLayout(PageWidgets::row({rowLabel(tr("中文用户词库")), mLoadThesaurusButton,
                                              mExportThesaurusButton, mClearCnThesaurusButton}));
    dictionaries->addLayout(
        PageWidgets::row({rowLabel(tr("英文用户词库")), mClearEnThesaurusButton}));
    dictionaries->addLayout(
        PageWidgets::row({rowLabel(tr("网址邮箱词库")), mClearWebEmailThesaurusButton}));
    dictionaries->addLayout(
        PageWidgets::row({mRecoveryDefaultThesaurusButton, mLearnedWordsButton}, 0, 12));

    auto *candidates = column();
    candidates->addLayout(PageWidgets::row({mNoPhraseCheckBox, mSplitZiCheckBox}, 0, 50));
    candidates->addLayout(PageWidgets::row({mMakeNameCheckBox}));

    auto *extension = column();
    extension->addLayout(PageWidgets::row({mEngFillCheckBox, mMailUrlFillCheckBox}, 0, 50));

    auto *other = column();
    other->addLayout(PageWidgets::row({mConvertStyleCheckBox}));
    other->addLayout(PageWidgets::row({mSelectStyleCheckBox}));
    other->addLayout(PageWidgets::row({mEditModeCheckBox}));
    other->addLayout(PageWidgets::row({new QLabel(tr("英文输入法")), mEngImeSettingButton}, 0, 20));

    auto *content = new QWidget;
    content->setObjectName(QStringLiteral("scrollArea_widget"));
    auto *sections = new QVBoxLayout(content);
    sections->setContentsMargins(0, 0, 0, 20);
    sections->setSpacing(0);
    auto *top = new QLabel;
    top->setFixedHeight(14);
    sections->addWidget(top);
    sections->addLayout(section(tr("输入习惯"), habit));
    sections->addSpacing(kSectionGap);
    sections->addLayout(section(tr("基础词库"), dictionaries));
    sections->addSpacing(kSectionGap);
    sections->addLayout(section(tr("常规候选"), candidates));
    sections->addSpacing(kSectionGap);
    sections->addLayout(section(tr("候选扩展"), extension));
    sections->addSpacing(kSectionGap);
    sections->addLayout(section(tr("其他设置"), other));
    sections->addStretch();

    auto *scrollArea = new QScrollArea;
    scrollArea->setFixedHeight(489);
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setFocusPolicy(Qt::NoFocus);
    scrollArea->verticalScrollBar()->setContextMenuPolicy(Qt::NoContextMenu);
    scrollArea->setWidgetResizable(true);
    scrollArea->setWidget(content);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(scrollArea);

    connect(mPinyinModeGroup, &QButtonGroup::idClicked, this,
            &SettingPinyinWidget::slot_buttonGroupClicked_quanpin_shuangpin);
    connect(mShuangPinSettingButton, &QPushButton::clicked, this,
            &SettingPinyinWidget::shuangping_setting_button_clicked);
    connect(mCorrectionCheckBox, &QCheckBox::toggled, this,
            &SettingPinyinWidget::pinyinCorrection_checkbox_toggled);
    connect(mCorrectionSettingButton, &QPushButton::clicked, this,
            &SettingPinyinWidget::pinyinCorrection_setting_button_clicked);
    connect(mMoHuYinSettingButton, &QPushButton::clicked, this,
            &SettingPinyinWidget::mohuyin_setting_button_clicked);
    connect(mLoadThesaurusButton, &QPushButton::clicked, this,
            &SettingPinyinWidget::slot_released_loadThesaurusButton);
    connect(mExportThesaurusButton, &QPushButton::clicked, this,
            &SettingPinyinWidget::slot_released_exportThesaurusButton);
    connect(mLearnedWordsButton, &QPushButton::clicked, this,
            [this] { LearnedWordsDialog(this).exec(); });
    connect(mClearCnThesaurusButton, &QPushButton::clicked, this,
            &SettingPinyinWidget::slot_released_clearCnThesaurusButton);
    connect(mClearEnThesaurusButton, &QPushButton::clicked, this,
            &SettingPinyinWidget::slot_released_clearEnThesaurusButton);
    connect(mClearWebEmailThesaurusButton, &QPushButton::clicked, this,
            &SettingPinyinWidget::slot_released_clearWebEmailThesaurusButton);
    connect(mRecoveryDefaultThesaurusButton, &QPushButton::clicked, this,
            &SettingPinyinWidget::slot_released_recoveryDefaultThesaurusButton);
    connect(mEngImeSettingButton, &QPushButton::clicked, this,
            &SettingPinyinWidget::slot_engImeSettings_button_clicked);
    connect(mConvertStyleCheckBox, &QCheckBox::clicked, this,
            &SettingPinyinWidget::seletctletter_checkbox_toggled);
}

void SettingPinyinWidget::initKeys()
{
    // In reading order.
    const std::array<Key, 14> keys = {{
        {"QuanPin", 1, mQuanPinRadio, 0, false},
        {"ShuangPin", 0, mShuangPinRadio, 0, false},
        {"ZCSForZhChSh", 1, mZcsCheckBox, 0, false},
        {"HintSP", 0, mHintSpCheckBox, 0, false},
        {"AllowQuanPin", 0, mAllowQuanPinCheckBox, 0, false},
        {"Correction", 1, mCorrectionCheckBox, 0, false},
        // The box means phrase building on, the key means it is off.
        {"NoPhrase", 0, mNoPhraseCheckBox, 1, false},
        {"SplitZi", 1, mSplitZiCheckBox, 1, true},
        {"MakeName", 1, mMakeNameCheckBox, 1, true},
        {"EngFill", 1, mEngFillCheckBox, 0, false},
        {"MailUrlFill", 1, mMailUrlFillCheckBox, 0, false},
        {"ConvertStyle", 0, mConvertStyleCheckBox, 0, false},
        {"SelectStyle", 0, mSelectStyleCheckBox, 0, false},
        {"EditMode", 1, mEditModeCheckBox, 0, false},
    }};
    const char *const saveOrder[] = {"QuanPin",      "ShuangPin",  "HintSP",      "AllowQuanPin",
                                     "ZCSForZhChSh", "Correction", "NoPhrase",    "SplitZi",
                                     "MakeName",     "EngFill",    "MailUrlFill", "EditMode",
                                     "ConvertStyle", "SelectStyle"};

    for (const Key &key : keys) {
        mLoadKeys.addCustom(
            QLatin1String(key.name), key.defaultValue,
            [this, key](const QVariant &stored) {
                const int value = stored.toInt();
                mLoaded.insert(QLatin1String(key.name), value);
                key.box->setChecked((value == key.reference) == key.checkedWhenEqual);
            },
            nullptr);
    }
    for (const char *name : saveOrder) {
        const Key key = *std::find_if(keys.begin(), keys.end(),
                                      [name](const Key &k) { return qstrcmp(k.name, name) == 0; });
        mSaveKeys.addCustom(
            QLatin1String(key.name), key.defaultValue, [](const QVariant &) {},
            [key] {
                const bool rule = key.box->isChecked() == key.checkedWhenEqual;
                return QVariant(rule ? key.reference : 1 - key.reference);
            });
    }
}

void SettingPinyinWidget::initPinyinSettings()
{
    loadSettings(CON_CURRENT);
}

void SettingPinyinWidget::loadSettings(CON_TPYE mode)
{
    if (mode != CON_CURRENT && mode != CON_DEFAULT)
        return;
    mLoaded.clear();
    mLoadKeys.load(mode);
    if (mLoaded.isEmpty())
        return;
    setPinyinModeEnabling(mLoaded.value(QStringLiteral("QuanPin")) != 0,
                          mLoaded.value(QStringLiteral("ShuangPin")) != 0);
    mCorrectionSettingButton->setEnabled(mLoaded.value(QStringLiteral("Correction")) != 0);
    mSelectStyleCheckBox->setEnabled(mLoaded.value(QStringLiteral("ConvertStyle")) != 0);
}

void SettingPinyinWidget::savePinyinSetting()
{
    mSaveKeys.save();
}

void SettingPinyinWidget::restorePinyinlDefaultSetting()
{
    loadSettings(CON_DEFAULT);
}

void SettingPinyinWidget::setPinyinModeEnabling(bool quanPin, bool shuangPin)
{
    mZcsCheckBox->setEnabled(quanPin);
    mShuangPinSettingButton->setEnabled(shuangPin);
    mHintSpCheckBox->setEnabled(shuangPin);
    mAllowQuanPinCheckBox->setEnabled(shuangPin);
}

void SettingPinyinWidget::slot_buttonGroupClicked_quanpin_shuangpin(int mode)
{
    if (mode == QuanPinMode || mode == ShuangPinMode)
        setPinyinModeEnabling(mode == QuanPinMode, mode == ShuangPinMode);
}

void SettingPinyinWidget::pinyinCorrection_checkbox_toggled(bool on)
{
    mCorrectionSettingButton->setEnabled(on);
}

void SettingPinyinWidget::mohuyin_setting_button_clicked()
{
    MoHuYinDialog dialog(this);
    dialog.exec();
}

void SettingPinyinWidget::shuangping_setting_button_clicked()
{
    ShuangPinSettingDialog dialog(nullptr);
    dialog.exec();
}

void SettingPinyinWidget::pinyinCorrection_setting_button_clicked()
{
    CorrectionDialog dialog(this);
    dialog.exec();
}

void SettingPinyinWidget::slot_released_loadThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::ImportPinyinCn, this);
}

void SettingPinyinWidget::slot_released_exportThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::ExportPinyinCn, this);
}

void SettingPinyinWidget::slot_released_clearCnThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::ClearPinyinCn, this);
}

void SettingPinyinWidget::slot_released_clearEnThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::ClearPinyinEn, this);
}

void SettingPinyinWidget::slot_released_clearWebEmailThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::ClearPinyinWebEmail, this);
}

void SettingPinyinWidget::slot_released_recoveryDefaultThesaurusButton()
{
    UserDictionaryActions::run(UserDictionaryActions::RecoverPinyin, this);
}

void SettingPinyinWidget::slot_engImeSettings_button_clicked()
{
    EngImeDialog dialog(this);
    dialog.exec();
}

void SettingPinyinWidget::seletctletter_checkbox_toggled(bool)
{
    mSelectStyleCheckBox->setEnabled(mConvertStyleCheckBox->isChecked());
}
