#pragma once

#include "SettingsPage.h"
#include "SettingsTable.h"

// The About page: what the product is and who made it.
class SettingAboutWidget : public SettingsPage
{
    Q_OBJECT

public:
    explicit SettingAboutWidget(QWidget *parent = nullptr);
};
