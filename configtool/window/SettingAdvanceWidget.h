#pragma once

#include "SettingsPage.h"
#include "SettingsTable.h"

// The Advanced page: switch keys, page keys, keypad and shortcut keys.
class SettingAdvanceWidget : public SettingsPage
{
    Q_OBJECT

public:
    explicit SettingAdvanceWidget(QWidget *parent = nullptr);
};
