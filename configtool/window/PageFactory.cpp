#include "PageFactory.h"
#include "SettingsPage.h"

SettingsPage *createSettingsPage(SettingsCategory category, QWidget *parent)
{
    // Categories whose page is not written yet get an empty page, so the
    // column and the stack stay in step.
    Q_UNUSED(category)
    auto *page = new SettingsPage(parent);
    page->setObjectName(QStringLiteral("white_widget"));
    return page;
}
