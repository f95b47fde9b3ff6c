#pragma once

#include "PageFactory.h"
#include "SettingsCategory.h"

#include <QWidget>

class QPushButton;
class QStackedWidget;
class QVBoxLayout;
class SettingsPage;

// The tool's only top-level window: a column of categories, a stack of
// pages and a bottom bar that saves, cancels or restores them.
class SettingsWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsWidget(QWidget *parent = nullptr);
    ~SettingsWidget() override;

    // Test hook: pages for the windows built after this call.
    static void setPageFactory(PageFactory factory);

    // The page of a category, built on first use; null when it is disabled.
    SettingsPage *page(SettingsCategory category);
    QStackedWidget *pageStack() const { return mStack; }

signals:
    void SigHideStatus(bool flag);
    void SigFullScreenHideSB(bool flag);

public slots:
    void slot_cancel_button_clicked();
    void slot_showMinimized();

private slots:
    void slot_general_button_clicked();
    void slot_thesaurus_button_clicked();
    void slot_appearance_button_clicked();
    void slot_advance_button_clicked();
    void slot_pinyin_button_clicked();
    void slot_wubi_button_clicked();
    void slot_about_button_clicked();
    void slot_restore_default_button_clicked();
    void slot_ok_button_clicked();
    void slot_apply_button_clicked();
    void slot_restore_default_setting();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    using CategorySlot = void (SettingsWidget::*)();
    static CategorySlot categorySlot(SettingsCategory category);
    QWidget *buildCategoryColumn();
    QWidget *buildPageSide();
    void addCategoryButtons(QVBoxLayout *column);
    void buildPage(SettingsCategory category);
    void buildNextPageWhenIdle();
    void selectCategory(SettingsCategory category);
    // The category buttons take no focus: Ctrl+PageDown and Ctrl+PageUp (or
    // Ctrl+Tab and Ctrl+Shift+Tab) go through them, round and round.
    void addCategoryShortcuts();
    void stepCategory(int step);
    void saveAllPages();
    void notifyService();

    CategoryFlags mEnabled{};
    SettingsPage *mPages[kSettingsCategoryCount] = {};
    bool mPageAttempted[kSettingsCategoryCount] = {};
    QPushButton *mCategoryButtons[kSettingsCategoryCount] = {};
    SettingsCategory mShownCategory = SettingsCategory::General;
    QPushButton *mRestoreButton = nullptr;
    QPushButton *mOkButton = nullptr;
    QPushButton *mCancelButton = nullptr;
    QPushButton *mApplyButton = nullptr;
    QStackedWidget *mStack = nullptr;
    bool mReopenOnGeneral = false;
    bool mIdleBuildStarted = false;
};
