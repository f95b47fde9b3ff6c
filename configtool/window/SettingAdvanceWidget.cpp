#include "SettingAdvanceWidget.h"

SettingAdvanceWidget::SettingAdvanceWidget(QWidget *parent) : SettingsPage(parent)
{
    setObjectName(QStringLiteral("white_widget"));
}
