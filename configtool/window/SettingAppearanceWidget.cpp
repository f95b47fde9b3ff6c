#include "SettingAppearanceWidget.h"

SettingAppearanceWidget::SettingAppearanceWidget(QWidget *parent) : SettingsPage(parent)
{
    setObjectName(QStringLiteral("white_widget"));
}
