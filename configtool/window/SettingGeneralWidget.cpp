#include "SettingGeneralWidget.h"

SettingGeneralWidget::SettingGeneralWidget(QWidget *parent) : SettingsPage(parent)
{
    setObjectName(QStringLiteral("white_widget"));
}
