#pragma once

#include "SettingsPage.h"
#include "SettingsTable.h"

// The Appearance page: candidate layout, skins, colours and fonts.
class SettingAppearanceWidget : public SettingsPage
{
    Q_OBJECT

public:
    explicit SettingAppearanceWidget(QWidget *parent = nullptr);
};
