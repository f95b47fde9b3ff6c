#include "SettingsWidget.h"
#include "ConfigtoolXml.h"
#include "KaiwoPromptDialog.h"
#include "SettingsPage.h"
#include "app/DataRoot.h"
#include "app/ImeServiceClient.h"
#include "app/Logging.h"
#include "app/MainController.h"
#include "app/SystemHelpers.h"
#include "config/SettingsStore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>

#include <cstdlib>

namespace
{

struct CategoryInfo {
    SettingsCategory category;
    const char *buttonText;
    const char *iconName;
};

const char kSplitterStyle[] = "QSplitter::handle { background-color: rgb(215, 222, 227); }";
const char kSelectedStyle[] =
    "QPushButton{background-color:rgb(255,120,70);border:0px;color:white}";
const char kUnselectedStyle[] = "QPushButton{background-color:rgb(238,243,246);border:0px}";

// OK and Apply save in this order; it differs from the column order.
const SettingsCategory kSaveOrder[] = {
    SettingsCategory::General, SettingsCategory::Thesaurus, SettingsCategory::Appearance,
    SettingsCategory::Advance, SettingsCategory::Pinyin,    SettingsCategory::Wubi,
};

// Cancel throws away unsaved edits; the cell dictionary page has none.
const SettingsCategory kCancelReloadOrder[] = {
    SettingsCategory::General, SettingsCategory::Appearance, SettingsCategory::Advance,
    SettingsCategory::Pinyin,  SettingsCategory::Wubi,
};

const CategoryInfo kCategories[kSettingsCategoryCount] = {
    {SettingsCategory::General, QT_TRANSLATE_NOOP("SettingsWidget", "  常用"), "general"},
    {SettingsCategory::Appearance, QT_TRANSLATE_NOOP("SettingsWidget", "  外观"), "appearance"},
    {SettingsCategory::Thesaurus, QT_TRANSLATE_NOOP("SettingsWidget", "  词库"), "thesaurus"},
    {SettingsCategory::Advance, QT_TRANSLATE_NOOP("SettingsWidget", "  高级"), "advance"},
    {SettingsCategory::Pinyin, QT_TRANSLATE_NOOP("SettingsWidget", "  拼音"), "pinyin"},
    {SettingsCategory::Wubi, QT_TRANSLATE_NOOP("SettingsWidget", "  五笔"), "wubi"},
    {SettingsCategory::About, QT_TRANSLATE_NOOP("SettingsWidget", "  关于"), "about"},
};

PageFactory &pageFactory()
{
    static PageFactory factory = createSettingsPage;
    return factory;
}

QSplitter *makeSplitter(Qt::Orientation orientation)
{
    auto *splitter = new QSplitter(orientation);
    splitter->setHandleWidth(1);
    splitter->setFrameShape(QFrame::NoFrame);
    splitter->setStyleSheet(QLatin1String(kSplitterStyle));
    return splitter;
}

void disableHandles(QSplitter *splitter)
{
    for (int i = 0; i < splitter->count(); ++i)
        splitter->handle(i)->setEnabled(false);
}

QPushButton *makeBottomButton(const QString &text, QWidget *parent, int x, int y, int width)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QStringLiteral("settings_bottom_button"));
    button->setGeometry(x, y, width, 36);
    return button;
}

} // namespace

SettingsWidget::SettingsWidget(QWidget *parent) : QWidget(parent)
{
    setWindowFlags(windowFlags() & ~Qt::WindowMaximizeButtonHint);
    setFixedSize(700, 540);
    setWindowIcon(QIcon(QStringLiteral(":/picture/kaiwo130x130.png")));
    setWindowTitle(tr("凯沃输入法"));
    QPalette background = palette();
    background.setBrush(QPalette::Window,
                        QBrush(QPixmap(QStringLiteral("://picture/backImage-700x540.png"))));
    setPalette(background);
    setAutoFillBackground(true);
    const QWidget *desktop = QApplication::desktop();
    move((desktop->width() - width()) / 2, (desktop->height() - height()) / 2);

    QSplitter *outer = makeSplitter(Qt::Horizontal);
    outer->addWidget(buildCategoryColumn());
    outer->addWidget(buildPageSide());
    disableHandles(outer);

    auto *layout = new QHBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 1, 0, 1);
    layout->addWidget(outer);
    addCategoryShortcuts();

    for (const CategoryInfo &info : kCategories) {
        if (!mEnabled[categoryIndex(info.category)])
            continue;
        if (info.category == SettingsCategory::General)
            qCDebug(lcConfigtool) << "general11111111111111111111111 = " << true;
        selectCategory(info.category);
        break;
    }
}

SettingsWidget::~SettingsWidget() = default;

void SettingsWidget::setPageFactory(PageFactory factory)
{
    pageFactory() = factory ? std::move(factory) : PageFactory(createSettingsPage);
}

QWidget *SettingsWidget::buildCategoryColumn()
{
    auto *column = new QWidget;
    column->setObjectName(QStringLiteral("category_widget"));
    column->setFixedSize(146, 540);
    column->setFocusPolicy(Qt::NoFocus);

    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *logo = new QLabel(column);
    logo->setObjectName(QStringLiteral("settings_logo_label"));
    logo->setFixedSize(146, 60);
    logo->setPixmap(QPixmap(QStringLiteral("://picture/logo.png")));
    layout->addWidget(logo);

    mEnabled =
        ConfigtoolXml::read(kaiwoDataRoot() + QStringLiteral("/Resources/PC/configtool.xml"));
    addCategoryButtons(layout);

    auto *filler = new QWidget(column);
    filler->setFixedSize(146, 1000);
    filler->setStyleSheet(QStringLiteral("QWidget{background:#eef3f6}"));
    layout->addWidget(filler);

    mRestoreButton = makeBottomButton(tr("恢复本页默认设置"), column, 3, 493, 140);
    mRestoreButton->setFocusPolicy(Qt::NoFocus);
    connect(mRestoreButton, &QPushButton::clicked, this,
            &SettingsWidget::slot_restore_default_button_clicked);
    return column;
}

void SettingsWidget::addCategoryButtons(QVBoxLayout *column)
{
    for (const CategoryInfo &info : kCategories) {
        if (!mEnabled[categoryIndex(info.category)])
            continue;
        auto *button = new QPushButton(tr(info.buttonText));
        button->setObjectName(QStringLiteral("category_button"));
        button->setFixedSize(146, 50);
        button->setIconSize(QSize(146, 42));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QPushButton::clicked, this, categorySlot(info.category));
        mCategoryButtons[categoryIndex(info.category)] = button;
        column->addWidget(button);
    }
}

QWidget *SettingsWidget::buildPageSide()
{
    QSplitter *inner = makeSplitter(Qt::Vertical);

    mStack = new QStackedWidget;
    mStack->setObjectName(QStringLiteral("stacked_widget"));
    mStack->setFocusPolicy(Qt::NoFocus);
    mStack->setAutoFillBackground(true);
    inner->addWidget(mStack);

    auto *bar = new QWidget;
    bar->setObjectName(QStringLiteral("settings_bottom_widget"));
    bar->setMinimumHeight(51);
    mOkButton = makeBottomButton(tr("确定"), bar, 250, 7, 90);
    mCancelButton = makeBottomButton(tr("取消"), bar, 350, 7, 90);
    mApplyButton = makeBottomButton(tr("应用"), bar, 450, 7, 90);
    inner->addWidget(bar);

    connect(mOkButton, &QPushButton::clicked, this, &SettingsWidget::slot_ok_button_clicked);
    connect(mCancelButton, &QPushButton::clicked, this,
            &SettingsWidget::slot_cancel_button_clicked);
    connect(mApplyButton, &QPushButton::clicked, this, &SettingsWidget::slot_apply_button_clicked);
    mOkButton->setFocus();
    QTimer::singleShot(0, mOkButton, qOverload<>(&QWidget::setFocus));

    // The bar keeps its height; the page takes everything else.
    inner->setStretchFactor(0, 1);
    inner->setStretchFactor(1, 0);
    inner->setSizes({540 - 2 - 51 - inner->handleWidth(), 51});
    disableHandles(inner);
    return inner;
}

// Pages are built when first shown or saved: the window opens with only the
// page it shows, so start-up does not pay for six pages nobody has looked at.
SettingsPage *SettingsWidget::page(SettingsCategory category)
{
    const int index = categoryIndex(category);
    if (mEnabled[index] && !mPageAttempted[index]) {
        mPageAttempted[index] = true;
        buildPage(category);
    }
    return mPages[index];
}

// After the window is up, the other pages are built one per pass of the event
// loop, so switching category is instant and OK saves without building.
void SettingsWidget::buildNextPageWhenIdle()
{
    for (const CategoryInfo &info : kCategories) {
        const int index = categoryIndex(info.category);
        if (mEnabled[index] && !mPageAttempted[index]) {
            page(info.category);
            QTimer::singleShot(0, this, &SettingsWidget::buildNextPageWhenIdle);
            return;
        }
    }
}

void SettingsWidget::buildPage(SettingsCategory category)
{
    const int index = categoryIndex(category);
    // Built straight into the stack, where the page ends up anyway: moving a
    // finished page there would restyle every widget again.
    SettingsPage *built = pageFactory()(category, mStack);
    if (!built)
        return;
    mPages[index] = built;
    // The stack keeps the column's order whatever order pages are built in.
    int position = 0;
    for (int before = 0; before < index; ++before)
        position += mPages[before] ? 1 : 0;
    mStack->insertWidget(position, built);
    if (category == SettingsCategory::General &&
        built->metaObject()->indexOfSignal("SigHideStatus(bool)") >= 0) {
        connect(built, SIGNAL(SigHideStatus(bool)), this, SIGNAL(SigHideStatus(bool)));
        connect(built, SIGNAL(SigFullScreenHideSB(bool)), this, SIGNAL(SigFullScreenHideSB(bool)));
    }
}

void SettingsWidget::addCategoryShortcuts()
{
    const std::pair<QKeySequence, int> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_Tab), 1},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1},
    };
    for (const auto &[key, step] : keys) {
        auto *shortcut = new QShortcut(key, this);
        connect(shortcut, &QShortcut::activated, this, [this, step = step] { stepCategory(step); });
    }
}

void SettingsWidget::stepCategory(int step)
{
    QVector<QPushButton *> buttons;
    int shown = 0;
    for (const CategoryInfo &info : kCategories) {
        if (QPushButton *button = mCategoryButtons[categoryIndex(info.category)]) {
            if (info.category == mShownCategory)
                shown = buttons.size();
            buttons << button;
        }
    }
    if (!buttons.isEmpty())
        buttons[(shown + step + buttons.size()) % buttons.size()]->click();
}

void SettingsWidget::selectCategory(SettingsCategory chosen)
{
    mShownCategory = chosen;
    for (const CategoryInfo &info : kCategories) {
        QPushButton *button = mCategoryButtons[categoryIndex(info.category)];
        if (!button)
            continue;
        const bool selected = info.category == chosen;
        button->setStyleSheet(QLatin1String(selected ? kSelectedStyle : kUnselectedStyle));
        button->setIcon(QIcon(QStringLiteral(":/picture/AttributeSetting/%1%2")
                                  .arg(QLatin1String(info.iconName),
                                       QLatin1String(selected ? "-4.png" : "-123.png"))));
    }
    if (SettingsPage *shown = page(chosen))
        mStack->setCurrentWidget(shown);
}

SettingsWidget::CategorySlot SettingsWidget::categorySlot(SettingsCategory category)
{
    switch (category) {
    case SettingsCategory::General:
        return &SettingsWidget::slot_general_button_clicked;
    case SettingsCategory::Appearance:
        return &SettingsWidget::slot_appearance_button_clicked;
    case SettingsCategory::Thesaurus:
        return &SettingsWidget::slot_thesaurus_button_clicked;
    case SettingsCategory::Advance:
        return &SettingsWidget::slot_advance_button_clicked;
    case SettingsCategory::Pinyin:
        return &SettingsWidget::slot_pinyin_button_clicked;
    case SettingsCategory::Wubi:
        return &SettingsWidget::slot_wubi_button_clicked;
    case SettingsCategory::About:
        break;
    }
    return &SettingsWidget::slot_about_button_clicked;
}

void SettingsWidget::slot_general_button_clicked()
{
    selectCategory(SettingsCategory::General);
}

void SettingsWidget::slot_thesaurus_button_clicked()
{
    selectCategory(SettingsCategory::Thesaurus);
}

void SettingsWidget::slot_appearance_button_clicked()
{
    selectCategory(SettingsCategory::Appearance);
}

void SettingsWidget::slot_advance_button_clicked()
{
    selectCategory(SettingsCategory::Advance);
}

void SettingsWidget::slot_pinyin_button_clicked()
{
    selectCategory(SettingsCategory::Pinyin);
}

void SettingsWidget::slot_wubi_button_clicked()
{
    selectCategory(SettingsCategory::Wubi);
}

void SettingsWidget::slot_about_button_clicked()
{
    selectCategory(SettingsCategory::About);
}

void SettingsWidget::saveAllPages()
{
    for (SettingsCategory category : kSaveOrder) {
        if (SettingsPage *saved = page(category))
            saved->saveSettings();
    }
}

void SettingsWidget::notifyService()
{
    MainController::self()->update_cfg_to_service();
    ImeServiceClient::rebuildKeyMap();
}

void SettingsWidget::slot_ok_button_clicked()
{
    saveAllPages();
    notifyService();
    hide();
    mReopenOnGeneral = true;
    QCoreApplication::quit();
}

void SettingsWidget::slot_apply_button_clicked()
{
    saveAllPages();
    notifyService();
}

void SettingsWidget::slot_cancel_button_clicked()
{
    hide();
    mReopenOnGeneral = true;
    for (SettingsCategory category : kCancelReloadOrder) {
        if (SettingsPage *reloaded = page(category))
            reloaded->loadSettings(CON_CURRENT);
    }
    QCoreApplication::quit();
}

void SettingsWidget::slot_restore_default_button_clicked()
{
    if (KaiwoPromptDialog::confirmRestoreDefaults(this))
        slot_restore_default_setting();
}

void SettingsWidget::slot_restore_default_setting()
{
    auto *shown = qobject_cast<SettingsPage *>(mStack->currentWidget());
    if (shown && shown != page(SettingsCategory::About))
        shown->restoreDefaultSettings();
}

void SettingsWidget::slot_showMinimized()
{
    const int type = SettingsReader(CON_CURRENT).intValue(QStringLiteral("ShowMinimizedType"), 0);
    if (type == 1) {
        qCDebug(lcConfigtool) << "set_minmize_window(this->winId());";
        set_minmize_window(winId());
    } else {
        qCDebug(lcConfigtool) << "this->showMinimized();";
        showMinimized();
    }
}

void SettingsWidget::showEvent(QShowEvent *event)
{
    if (!mIdleBuildStarted) {
        mIdleBuildStarted = true;
        QTimer::singleShot(0, this, &SettingsWidget::buildNextPageWhenIdle);
    }
    if (mReopenOnGeneral) {
        if (page(SettingsCategory::General))
            selectCategory(SettingsCategory::General);
        mReopenOnGeneral = false;
    }
    QWidget::showEvent(event);
}

void SettingsWidget::closeEvent(QCloseEvent *event)
{
    Q_UNUSED(event)
    std::exit(0);
}
