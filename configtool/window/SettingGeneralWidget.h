#pragma once

#include "SettingsPage.h"
#include "SettingsTable.h"

// The General page: default input states, punctuation and custom phrases.
class SettingGeneralWidget : public SettingsPage
{
    Q_OBJECT

public:
    explicit SettingGeneralWidget(QWidget *parent = nullptr);
};
