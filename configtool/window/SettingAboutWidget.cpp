#include "SettingAboutWidget.h"

SettingAboutWidget::SettingAboutWidget(QWidget *parent) : SettingsPage(parent)
{
    setObjectName(QStringLiteral("white_widget"));
}
