#include "SettingAdvanceWidget.h"
#include "PageWidgets.h"
#include "SystemShortcutKeysDialog.h"
#include "app/Logging.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace
{

constexpr int kRowLabelWidth = 70;
// Controls of a row start after the label plus this gap.
constexpr int kRowGap = 22;

enum CnEnSwitchId { IdShift = 1, IdCtrl = 2, IdNone = 3 };

// KeyPageUpDown bits.
constexpr int kBracketBit = 1;
constexpr int kMinusEqualBit = 2;
constexpr int kCommaPeriodBit = 4;
constexpr int kTabBit = 8;

// Fixed, so that a long label cannot push the controls column to the right;
// a label too long for it gets a smaller font rather than lose characters.
QLabel *rowLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFixedWidth(kRowLabelWidth);
    label->ensurePolished();
    QFont font = label->font();
    while (QFontMetrics(font).horizontalAdvance(text) > kRowLabelWidth) {
        if (font.pixelSize() > 8)
            font.setPixelSize(font.pixelSize() - 1);
        else if (font.pointSizeF() > 6)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        else
            break;
    }
    label->setFont(font);
    return label;
}

// The controls of one row, left-aligned in the controls column.
QHBoxLayout *controls(std::initializer_list<QWidget *> widgets)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(33);
    for (QWidget *widget : widgets)
        row->addWidget(widget);
    row->addStretch();
    return row;
}

} // namespace

SettingAdvanceWidget::SettingAdvanceWidget(QWidget *parent) : SettingsPage(parent)
{
    init();
    initAdvanceSettings();
}

void SettingAdvanceWidget::init()
{

    auto *scrollArea = new QScrollArea(this);
    scrollArea->setObjectName(QStringLiteral("scrollArea_widget"));
    // Tab goes to the controls inside; the area scrolls to the one focused.
    scrollArea->setFocusPolicy(Qt::NoFocus);
    scrollArea->setFixedHeight(466);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea->setFrameShape(QFrame::NoFrame);
    scrollArea->setWidgetResizable(true);
    auto *content = new QWidget(scrollArea);
    content->setObjectName(QStringLiteral("scrollArea_widget"));
    scrollArea->setWidget(content);

    auto *pageLayout = new QVBoxLayout(this);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(scrollArea);
    pageLayout->addStretch();

    // One grid for all sections, so the controls of every row line up
    // after the label column.
    auto *grid = new QGridLayout(content);
    grid->setContentsMargins(20, 20, 20, 0);
    grid->setHorizontalSpacing(kRowGap);
    grid->setVerticalSpacing(8);
    int line = 0;
    const auto addSection = [&](const QString &title) {
        if (line > 0)
            grid->setRowMinimumHeight(line++, 10);
        grid->addWidget(PageWidgets::sectionTitle(title, content), line++, 0, 1, 2);
    };
    const auto addRow = [&](const QString &label, QLayout *row) {
        if (!label.isEmpty())
            grid->addWidget(rowLabel(label, content), line, 0);
        grid->addLayout(row, line++, 1);
    };

    addSection(tr("快捷键"));
    mShiftRadioButton = new QRadioButton(QStringLiteral("Shift"), content);
    mCtrlRadioButton = new QRadioButton(QStringLiteral("Ctrl"), content);
    mNoneRadioButton = new QRadioButton(tr("无"), content);
    mCnEnSwitchButtonGroup = new QButtonGroup(this);
    mCnEnSwitchButtonGroup->addButton(mShiftRadioButton, IdShift);
    mCnEnSwitchButtonGroup->addButton(mCtrlRadioButton, IdCtrl);
    mCnEnSwitchButtonGroup->addButton(mNoneRadioButton, IdNone);
    addRow(tr("中英文切换"), controls({mShiftRadioButton, mCtrlRadioButton, mNoneRadioButton}));

    mTruncateCheckBox = new QCheckBox(tr("切换到英文时，上屏已输入字符"), content);
    addRow(QString(), controls({mTruncateCheckBox}));
    mPunctCheckBox = new QCheckBox(QStringLiteral("Ctrl+") + tr("句号"), content);
    addRow(tr("中英标点切换"), controls({mPunctCheckBox}));
    mShapeCheckBox = new QCheckBox(QStringLiteral("Shift + Space"), content);
    addRow(tr("全半角切换"), controls({mShapeCheckBox}));
    mMinusEqualCheckBox = new QCheckBox(tr("减号等号"), content);
    mBracketCheckBox = new QCheckBox(tr("左右方括号"), content);
    addRow(tr("候选翻页"), controls({mMinusEqualCheckBox, mBracketCheckBox}));
    mCommaPeriodCheckBox = new QCheckBox(tr("逗号句号"), content);
    addRow(QString(), controls({mCommaPeriodCheckBox}));
    mTabCheckBox = new QCheckBox(QStringLiteral("Tab/Shift+Tab"), this);
    mTabCheckBox->hide();
    mSystemFunctionButton = new QPushButton(tr("系统功能快捷键"), content);
    mSystemFunctionButton->setFixedSize(120, 24);
    addRow(tr("系统功能"), controls({mSystemFunctionButton}));

    addSection(tr("其他设置"));
    auto *keypad = new QVBoxLayout;
    keypad->setSpacing(10);
    mPadNumCheckBox = new QCheckBox(tr("小键盘保持数字输入"), content);
    mHalfSymbolCheckBox = new QCheckBox(tr("小键盘保持半角输入"), content);
    keypad->addWidget(mPadNumCheckBox);
    keypad->addWidget(mHalfSymbolCheckBox);
    grid->addLayout(keypad, line++, 0, 1, 2);

    addSection(tr("辅助功能"));
    mLeftCtrlCheckBox = new QCheckBox(
        tr("左") + QStringLiteral("Ctrl") + tr("  在五笔模式下生效，快速以拼音编码输入"), content);
    addRow(tr("临时拼音"), controls({mLeftCtrlCheckBox}));
    grid->setRowStretch(line, 1);
    grid->setColumnStretch(1, 1);

    connect(mCnEnSwitchButtonGroup, &QButtonGroup::idClicked, this,
            &SettingAdvanceWidget::slot_ctrlRabioButton_clicked);
    connect(mCnEnSwitchButtonGroup, &QButtonGroup::idClicked, this,
            &SettingAdvanceWidget::slot_buttonClicked_cnEnSwitchButtonGroup);
    connect(mLeftCtrlCheckBox, &QCheckBox::clicked, this,
            &SettingAdvanceWidget::slot_leftCtrl_clicked);
    connect(mSystemFunctionButton, &QPushButton::clicked, this,
            &SettingAdvanceWidget::slot_system_function_button_clicked);

    initTable();
}

void SettingAdvanceWidget::initTable()
{
    mTable.addCustom(
        QStringLiteral("KeyEnCnSwitch"), 0,
        [this](const QVariant &stored) {
            const int value = stored.toInt();
            QRadioButton *checked = value == 0   ? mShiftRadioButton
                                    : value == 1 ? mCtrlRadioButton
                                                 : mNoneRadioButton;
            checked->setChecked(true);
        },
        [this] {
            return QVariant(mShiftRadioButton->isChecked()  ? 0
                            : mCtrlRadioButton->isChecked() ? 1
                                                            : 2);
        });
    mTable.addCheckBox(QStringLiteral("TruncateInputWhnEnOn"), 0, mTruncateCheckBox, true);
    mTable.addCheckBox(QStringLiteral("ShortcutPunct"), 1, mPunctCheckBox);
    mTable.addCheckBox(QStringLiteral("ShortCutShape"), 0, mShapeCheckBox);
    const std::pair<QCheckBox *, int> pageBits[] = {{mMinusEqualCheckBox, kMinusEqualBit},
                                                    {mBracketCheckBox, kBracketBit},
                                                    {mCommaPeriodCheckBox, kCommaPeriodBit},
                                                    {mTabCheckBox, kTabBit}};
    std::vector<std::pair<QCheckBox *, int>> bits(std::begin(pageBits), std::end(pageBits));
    mTable.addCustom(
        QStringLiteral("KeyPageUpDown"), 7,
        [bits](const QVariant &stored) {
            const int mask = stored.toInt();
            for (const auto &bit : bits)
                bit.first->setChecked(mask & bit.second);
        },
        [bits] {
            int mask = 0;
            for (const auto &bit : bits)
                mask += bit.first->isChecked() ? bit.second : 0;
            return QVariant(mask);
        });
    mTable.addCheckBox(QStringLiteral("HalfSymbolOnPad"), 0, mHalfSymbolCheckBox);
    mTable.addCheckBox(QStringLiteral("PadNumAsSelect"), 0, mPadNumCheckBox, true);
    mTable.addCheckBox(QStringLiteral("ActiveTempPY"), 1, mLeftCtrlCheckBox);
}

void SettingAdvanceWidget::loadSettings(CON_TPYE mode)
{
    mTable.load(mode);
    // Left Ctrl cannot be offered for both jobs; values that already hold
    // both stay checked and disabled.
    mLeftCtrlCheckBox->setEnabled(!mCtrlRadioButton->isChecked());
    mCtrlRadioButton->setEnabled(!mLeftCtrlCheckBox->isChecked());
}

void SettingAdvanceWidget::saveAdvanceSettings()
{
    mTable.save();
}

void SettingAdvanceWidget::restoreAdvanceDefaultSetting()
{
    loadSettings(CON_DEFAULT);
}

void SettingAdvanceWidget::initAdvanceSettings()
{
    loadSettings(CON_CURRENT);
}

void SettingAdvanceWidget::slot_ctrlRabioButton_clicked(int id)
{
    mLeftCtrlCheckBox->setEnabled(id != IdCtrl);
}

void SettingAdvanceWidget::slot_leftCtrl_clicked(bool checked)
{
    mCtrlRadioButton->setEnabled(!checked);
}

void SettingAdvanceWidget::slot_buttonClicked_cnEnSwitchButtonGroup(int id)
{
    qCDebug(lcConfigtool) << "slot_buttonClicked_cnEnSwitchButtonGroup:" << id;
}

void SettingAdvanceWidget::slot_system_function_button_clicked()
{
    SystemShortcutKeysDialog dialog(this);
    dialog.exec();
}
