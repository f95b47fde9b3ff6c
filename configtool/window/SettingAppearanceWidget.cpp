#include "SettingAppearanceWidget.h"
#include "PageWidgets.h"
#include "PreverSkinWidget.h"
#include "app/DataRoot.h"
#include "app/Logging.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace
{

const char kDefaultSkin[] = "Default";
const int kPageSizeOffset = 3; // item 0 of the candidate count combo is "3"

bool colorAnswerPending = false;
QColor nextColor;
QColor initialColor;

QString skinRoot()
{
    return kaiwoDataRoot() + QStringLiteral("/Resources/PC/skin/");
}

// A check box in front of a control; the fixed width lines the controls up.
QCheckBox *rowCheckBox(const QString &text, const char *name, QWidget *parent)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    box->setFixedWidth(100);
    return box;
}

QComboBox *combo(const char *name, QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

} // namespace

SettingAppearanceWidget::SettingAppearanceWidget(QWidget *parent) : SettingsPage(parent)
{
    initUi();
    initTable();
    initAppearanceSettings();
    // Only now, so that the first load fires none of the slots.
    connectSignals();
}

void SettingAppearanceWidget::initUi()
{
    mHorizontalRadio = new QRadioButton(tr("横排"), this);
    mHorizontalRadio->setObjectName(QStringLiteral("radioButton_horizontal"));
    mVerticalRadio = new QRadioButton(tr("竖排"), this);
    mVerticalRadio->setObjectName(QStringLiteral("radioButton_vertical"));
    mCandStyleGroup = new QButtonGroup(this);
    mCandStyleGroup->addButton(mHorizontalRadio, 1);
    mCandStyleGroup->addButton(mVerticalRadio, 2);

    auto *candidateLabel = new QLabel(tr("候选项数"), this);
    mCandidateNumbersCombo = combo("comboBox_CandidateNumbers", this);
    candidateLabel->setBuddy(mCandidateNumbersCombo);
    mCandidateNumbersCombo->setFixedWidth(70);
    mCandidateNumbersCombo->setView(new QListView(mCandidateNumbersCombo));
    for (int count = 3; count <= 9; ++count)
        mCandidateNumbersCombo->addItem(QString::number(count));
    mCursorFollowBox = new QCheckBox(tr("候选窗口跟随光标"), this);
    mCursorFollowBox->setObjectName(QStringLiteral("checkBox_CursorFollow"));

    mUseSkinBox = rowCheckBox(tr("使用皮肤"), "checkBox_UseSkin", this);
    mSkinCombo = combo("comboBox_UseSkin", this);
    mSkinCombo->setFixedSize(160, 24);

    mChangeColorBox = rowCheckBox(tr("更换颜色"), "checkBox_ChangeColor", this);
    mColorCombo = combo("comboBox_ChangeColor", this);
    mColorCombo->setFixedSize(160, 24);
    mColorCombo->addItems({tr("拼音串颜色"), tr("第一候选颜色"), tr("非第一候选颜色")});
    mSettingColorButton = new QPushButton(tr("设置颜色"), this);
    mSettingColorButton->setObjectName(QStringLiteral("pushButton_SettingColor"));
    mSettingColorButton->setFixedSize(90, 24);
    mSettingColorButton->setIconSize(QSize(20, 20));
    // The swatch and the four characters only fit the fixed 90 pixels this way.
    mSettingColorButton->setStyleSheet(QStringLiteral("font-size: 14px; padding: 0px 2px;"));

    mChangeFontBox = rowCheckBox(tr("更换字体"), "checkBox_ChangeFont", this);
    mChineseFontCombo = combo("CNcomboBox_Chinese", this);
    mChineseFontCombo->setFixedSize(160, 24);
    // The one font enumeration of the page; loads only search this list.
    // Enumerating the fonts is slow and the combo is not seen before the page is
    // shown; ensureChineseFonts() fills it then, or when a save needs it.

    mChangeFontSizeBox = rowCheckBox(tr("字体大小"), "checkBox_ChangeFontSize", this);
    mFontSizeCombo = combo("comboBox_FontSize", this);
    mFontSizeCombo->setFixedWidth(60);
    for (int size = 16; size <= 48; size += 2)
        mFontSizeCombo->addItem(QString::number(size));

    mPreverSkinWidget = new PreverSkinWidget(this);
    mPreverSkinWidget->setObjectName(QStringLiteral("preverSkinWidget"));

    auto *displayRow = PageWidgets::row({mHorizontalRadio, mVerticalRadio});
    displayRow->insertSpacing(2, 24);
    displayRow->insertWidget(3, candidateLabel);
    displayRow->insertWidget(4, mCandidateNumbersCombo);
    displayRow->insertSpacing(5, 24);
    displayRow->insertWidget(6, mCursorFollowBox);

    auto *skinBlock = new QVBoxLayout;
    skinBlock->setSpacing(6);
    // Each combo box is named by the check box that switches it on.
    mSkinCombo->setAccessibleName(mUseSkinBox->text());
    mColorCombo->setAccessibleName(mChangeColorBox->text());
    mChineseFontCombo->setAccessibleName(mChangeFontBox->text());
    mFontSizeCombo->setAccessibleName(mChangeFontSizeBox->text());
    skinBlock->addLayout(PageWidgets::row({mUseSkinBox, mSkinCombo}));
    skinBlock->addLayout(PageWidgets::row({mChangeColorBox, mColorCombo, mSettingColorButton}));
    skinBlock->addLayout(PageWidgets::row({mChangeFontBox, mChineseFontCombo}));
    skinBlock->addLayout(PageWidgets::row({mChangeFontSizeBox, mFontSizeCombo}));
    skinBlock->addSpacing(4);
    skinBlock->addWidget(mPreverSkinWidget);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(30, 16, 24, 12);
    page->setSpacing(0);
    page->addWidget(PageWidgets::sectionTitle(tr("显示设置"), this));
    page->addSpacing(12);
    page->addLayout(displayRow);
    page->addSpacing(22);
    page->addWidget(PageWidgets::sectionTitle(tr("皮肤设置"), this));
    page->addSpacing(12);
    page->addLayout(skinBlock);
    page->addStretch(1);
}

// The keys in the order they are read and written.
void SettingAppearanceWidget::initTable()
{
    mTable.addRadioPair(QStringLiteral("CandStyle"), 0, mVerticalRadio, mHorizontalRadio);
    mTable.addCustom(
        QStringLiteral("PageSize"), 5,
        [this](const QVariant &stored) {
            // No item of that text leaves the combo without a selection.
            mCandidateNumbersCombo->setCurrentIndex(
                mCandidateNumbersCombo->findText(stored.toString()));
        },
        [this] { return QVariant(mCandidateNumbersCombo->currentIndex() + kPageSizeOffset); });
    mTable.addCheckBox(QStringLiteral("CursorFollow"), 1, mCursorFollowBox);
    mTable.addCheckBox(QStringLiteral("SkinEnabled"), 0, mUseSkinBox);
    mTable.addCustom(
        QStringLiteral("ActiveSkinName"), QLatin1String(kDefaultSkin),
        [this](const QVariant &stored) {
            mSkinCombo->setEnabled(mUseSkinBox->isChecked());
            searchAndSetKaiwoSkin(stored.toString());
        },
        [this] { return QVariant(mSkinCombo->currentText()); });

    const auto addOverride = [this](const char *key, QCheckBox *box,
                                    std::initializer_list<QWidget *> controls) {
        const std::vector<QWidget *> dependents(controls);
        mTable.addCustom(
            QLatin1String(key), 0,
            [box, dependents](const QVariant &stored) {
                box->setChecked(stored.toInt() != 0);
                for (QWidget *control : dependents)
                    control->setEnabled(box->isChecked());
            },
            [box] { return QVariant(box->isChecked() ? 1 : 0); });
    };
    addOverride("IgnoreSkinColorSetting", mChangeColorBox, {mColorCombo, mSettingColorButton});
    addOverride("IgnoreSkinFontSetting", mChangeFontBox, {mChineseFontCombo});
    addOverride("IgnoreSkinFontSizeSetting", mChangeFontSizeBox, {mFontSizeCombo});

    mTable.addCustom(
        QStringLiteral("FontCh"), QStringLiteral("Droid Sans Fallback"),
        [this](const QVariant &stored) {
            mStoredChineseFont = stored.toString();
            if (mChineseFontsLoaded)
                selectChineseFont();
        },
        [this] {
            ensureChineseFonts();
            return QVariant(mChineseFontCombo->currentText());
        });
    mTable.addCustom(
        QStringLiteral("FontSize"), QStringLiteral("16"),
        [this](const QVariant &stored) {
            const int index = mFontSizeCombo->findText(stored.toString());
            mFontSizeCombo->setCurrentIndex(
                index >= 0 ? index : mFontSizeCombo->findText(QStringLiteral("16")));
        },
        [this] { return QVariant(mFontSizeCombo->currentText()); });

    const auto addColor = [this](const char *key, ColorIndex index, quint64 defaultValue,
                                 bool written) {
        SettingsTable::Take take;
        if (written)
            take = [this, index] { return QVariant(mColors[index]); };
        mTable.addCustom(
            QLatin1String(key), defaultValue,
            [this, index](const QVariant &stored) {
                // Kept as stored, top byte and all, until the user picks a
                // colour; text that is no number is 0, black.
                mColors[index] = stored.toULongLong();
                if (index == ColorPinyin)
                    setColorSwatch(UnsignedlonglongToColor(mColors[index]));
            },
            take);
    };
    addColor("ColorPinyin", ColorPinyin, 0xFFB96205ULL, true);
    addColor("ColorPrimary", ColorPrimary, 0xFF0000FFULL, true);
    addColor("ColorNonPrimary", ColorNonPrimary, 0xFFE58200ULL, true);
    addColor("ColorBorder", ColorBorder, 0xFFD8D8D8ULL, false);
    addColor("ColorBackground", ColorBackground, 0xFFFFFFFFULL, false);
}

void SettingAppearanceWidget::connectSignals()
{
    connect(mUseSkinBox, &QCheckBox::stateChanged, this,
            &SettingAppearanceWidget::slot_checkBox_UseSkin_stateChanged);
    connect(mSkinCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SettingAppearanceWidget::slot_comboBox_UseSkin_currentIndexChanged);
    connect(mChangeColorBox, &QCheckBox::toggled, this,
            &SettingAppearanceWidget::slot_checkBox_ChangeColor_toggled);
    connect(mColorCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SettingAppearanceWidget::slot_comboBox_ChangeColor_currentIndexChanged);
    connect(mSettingColorButton, &QPushButton::clicked, this,
            &SettingAppearanceWidget::slot_pushButton_SettingColor_clicked);
    connect(mChangeFontBox, &QCheckBox::toggled, this,
            &SettingAppearanceWidget::slot_checkBox_ChangeFont_toggled);
    connect(mChangeFontSizeBox, &QCheckBox::toggled, this,
            &SettingAppearanceWidget::slot_checkBox_ChangeFontSize_toggled);
    connect(mCandStyleGroup, &QButtonGroup::idClicked, this,
            &SettingAppearanceWidget::slot_buttonGroupClicked_horizontal_vertical);
    connect(mCandidateNumbersCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SettingAppearanceWidget::slot_comboBox_CandidateNumbers_currentIndexChanged);
    // Every choice that changes the look redraws the preview at once.
    for (QCheckBox *box : {mChangeColorBox, mChangeFontBox, mChangeFontSizeBox})
        connect(box, &QCheckBox::toggled, this, &SettingAppearanceWidget::showPreview);
    connect(mCandStyleGroup, &QButtonGroup::idClicked, this, &SettingAppearanceWidget::showPreview);
    for (QComboBox *box : {mCandidateNumbersCombo, mChineseFontCombo, mFontSizeCombo})
        connect(box, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &SettingAppearanceWidget::showPreview);
    // The text-carrying overload of currentIndexChanged is deprecated; pass the text on.
    connect(mChineseFontCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) {
                slot_CNcomboBox_Chinese_currentIndexChanged(mChineseFontCombo->itemText(index));
            });
    connect(mFontSizeCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) {
                slot_comboBox_FontSize_currentIndexChanged(mFontSizeCombo->itemText(index));
            });
}

void SettingAppearanceWidget::initAppearanceSettings()
{
    loadSettings(CON_CURRENT);
}

void SettingAppearanceWidget::loadSettings(CON_TPYE mode)
{
    mTable.load(mode);
    showPreview();
}

void SettingAppearanceWidget::saveAppearranceSettings()
{
    mTable.save();
}

void SettingAppearanceWidget::restoreAppearanceDefaultSetting()
{
    loadSettings(CON_DEFAULT);
}

void SettingAppearanceWidget::searchAndSetKaiwoSkin(QString skinName)
{
    mSkinCombo->clear();
    int matched = 0;
    const QDir root(skinRoot());
    if (root.exists()) {
        const QFileInfoList folders = root.entryInfoList(
            QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
        int count = 0;
        for (const QFileInfo &folder : folders) {
            const QString name = folder.fileName();
            if (name == QLatin1String(kDefaultSkin) ||
                !QFileInfo::exists(folder.filePath() + QStringLiteral("/skin.ini")))
                continue;
            ++count;
            if (name == skinName)
                matched = count;
            mSkinCombo->addItem(name);
        }
    }
    if (matched > 0) {
        mSkinCombo->setCurrentIndex(matched - 1);
        mUseSkinBox->setEnabled(true);
    } else {
        mSkinCombo->setEnabled(false);
        mUseSkinBox->setChecked(false);
    }
}

QColor SettingAppearanceWidget::UnsignedlonglongToColor(quint64 value)
{
    return QColor(int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF));
}

quint64 SettingAppearanceWidget::colorToUnsignedlonglong(QColor color)
{
    return 0xFF000000ULL + quint64(color.red()) * 65536 + quint64(color.green()) * 256 +
           quint64(color.blue());
}

void SettingAppearanceWidget::setNextColor(const QColor &color)
{
    colorAnswerPending = true;
    nextColor = color;
}

QColor SettingAppearanceWidget::lastInitialColor()
{
    return initialColor;
}

void SettingAppearanceWidget::setColorSwatch(const QColor &color)
{
    QPixmap swatch(20, 20);
    swatch.fill(color);
    // A thin frame keeps a white swatch visible on the white button.
    QPainter painter(&swatch);
    painter.setPen(QColor(0xbe, 0xc3, 0xc9));
    painter.drawRect(0, 0, 19, 19);
    painter.end();
    mSettingColorButton->setIcon(QIcon(swatch));
}

AppearanceChoices SettingAppearanceWidget::currentChoices() const
{
    AppearanceChoices choices;
    choices.vertical = mVerticalRadio->isChecked();
    choices.pageSize = qMax(mCandidateNumbersCombo->currentIndex(), 0) + kPageSizeOffset;
    choices.cursorFollow = mCursorFollowBox->isChecked();
    choices.skinEnabled = mUseSkinBox->isChecked();
    choices.skinName = mSkinCombo->currentText();
    choices.overrideColors = mChangeColorBox->isChecked();
    choices.overrideFont = mChangeFontBox->isChecked();
    choices.overrideFontSize = mChangeFontSizeBox->isChecked();
    choices.font = mChineseFontsLoaded ? mChineseFontCombo->currentText() : mStoredChineseFont;
    choices.fontSize = mFontSizeCombo->currentText().toInt();
    choices.pinyin = UnsignedlonglongToColor(mColors[ColorPinyin]);
    choices.primary = UnsignedlonglongToColor(mColors[ColorPrimary]);
    choices.nonPrimary = UnsignedlonglongToColor(mColors[ColorNonPrimary]);
    return choices;
}

void SettingAppearanceWidget::showPreviewOf(const QString &skinName)
{
    AppearanceChoices choices = currentChoices();
    choices.skinEnabled = true;
    choices.skinName = skinName;
    QStringList problems;
    const SkinStyle skin = CandidateLook::selectSkin(CandidateLook::skinRoot(), choices, &problems);
    for (const QString &problem : problems)
        qCDebug(lcConfigtool) << "skin:" << problem;
    const CandidateLook look = CandidateLook::resolve(skin, choices);
    // The folder's picture shows the skin as it comes; once a choice of the
    // page changes that look, the sample is drawn the way fcitx will draw it.
    const bool changed = !(look.style == skin) || look.vertical || look.pageSize != 5;
    mPreverSkinWidget->setLook(look, changed);
    mPreverSkinWidget->reDrawPreverSkinWidget(skinName);
}

void SettingAppearanceWidget::showPreview()
{
    showPreviewOf(mUseSkinBox->isChecked() ? mSkinCombo->currentText()
                                           : QLatin1String(kDefaultSkin));
}

void SettingAppearanceWidget::slot_checkBox_UseSkin_stateChanged(int state)
{
    mSkinCombo->setEnabled(state != 0);
    showPreview();
}

void SettingAppearanceWidget::slot_comboBox_UseSkin_currentIndexChanged(int index)
{
    Q_UNUSED(index)
    showPreviewOf(mSkinCombo->currentText());
}

void SettingAppearanceWidget::slot_checkBox_ChangeColor_toggled(bool checked)
{
    mColorCombo->setEnabled(checked);
    mSettingColorButton->setEnabled(checked);
    if (!checked)
        mColorCombo->setCurrentIndex(0);
}

void SettingAppearanceWidget::slot_comboBox_ChangeColor_currentIndexChanged(int index)
{
    if (index >= 0 && index <= ColorNonPrimary)
        setColorSwatch(UnsignedlonglongToColor(mColors[index]));
}

void SettingAppearanceWidget::slot_pushButton_SettingColor_clicked()
{
    const QColor blue(0, 0, 255);
    QColorDialog::setCustomColor(0, blue);
    initialColor = blue;
    QColor color;
    if (colorAnswerPending) {
        colorAnswerPending = false;
        color = nextColor;
    } else {
        color = QColorDialog::getColor(blue, this, QString(), QColorDialog::ColorDialogOptions());
    }
    if (!color.isValid())
        return;
    setColorSwatch(color);
    const int index = mColorCombo->currentIndex();
    if (index >= 0 && index <= ColorNonPrimary)
        mColors[index] = colorToUnsignedlonglong(color);
    showPreview();
}

void SettingAppearanceWidget::slot_checkBox_ChangeFont_toggled(bool checked)
{
    mChineseFontCombo->setEnabled(checked);
}

void SettingAppearanceWidget::slot_checkBox_ChangeFontSize_toggled(bool checked)
{
    mFontSizeCombo->setEnabled(checked);
}

void SettingAppearanceWidget::slot_buttonGroupClicked_horizontal_vertical(int id)
{
    qCDebug(lcConfigtool) << "slot_buttonGroupClicked_horizontal_vertical:" << id;
}

void SettingAppearanceWidget::slot_comboBox_CandidateNumbers_currentIndexChanged(int index)
{
    Q_UNUSED(index)
}

void SettingAppearanceWidget::ensureChineseFonts()
{
    if (mChineseFontsLoaded)
        return;
    mChineseFontsLoaded = true;
    mChineseFontCombo->addItems(QFontDatabase().families(QFontDatabase::SimplifiedChinese));
    selectChineseFont();
}

void SettingAppearanceWidget::selectChineseFont()
{
    int index = mChineseFontCombo->findText(mStoredChineseFont);
    if (index < 0)
        index = mChineseFontCombo->findText(QApplication::font().family());
    mChineseFontCombo->setCurrentIndex(qMax(index, 0));
}

void SettingAppearanceWidget::showEvent(QShowEvent *event)
{
    ensureChineseFonts();
    SettingsPage::showEvent(event);
}

void SettingAppearanceWidget::slot_CNcomboBox_Chinese_currentIndexChanged(QString text)
{
    Q_UNUSED(text)
}

void SettingAppearanceWidget::slot_comboBox_FontSize_currentIndexChanged(QString text)
{
    Q_UNUSED(text)
}
