#include "PageFactory.h"
#include "SettingAboutWidget.h"
#include "SettingAdvanceWidget.h"
#include "SettingAppearanceWidget.h"
#include "SettingGeneralWidget.h"
#include "SettingsPage.h"
#include "pinyin/SettingPinyinWidget.h"
#include "pinyin/SettingThesaurusWidget.h"
#include "pinyin/SettingWubiWidget.h"

SettingsPage *createSettingsPage(SettingsCategory category, QWidget *parent)
{
    switch (category) {
    case SettingsCategory::General:
        return new SettingGeneralWidget(parent);
    case SettingsCategory::Appearance:
        return new SettingAppearanceWidget(parent);
    case SettingsCategory::Advance:
        return new SettingAdvanceWidget(parent);
    case SettingsCategory::Pinyin:
        return new SettingPinyinWidget(parent);
    case SettingsCategory::Wubi:
        return new SettingWubiWidget(parent);
    case SettingsCategory::About:
        return new SettingAboutWidget(parent);
    case SettingsCategory::Thesaurus:
        return new SettingThesaurusWidget(parent);
    }
    // Categories whose page is not written yet get an empty page, so the
    // column and the stack stay in step.
    auto *page = new SettingsPage(parent);
    page->setObjectName(QStringLiteral("white_widget"));
    return page;
}
