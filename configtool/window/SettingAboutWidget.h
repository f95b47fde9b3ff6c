#pragma once

#include "SettingsPage.h"

// The About page: what the product is and who made it. It has no settings,
// so it keeps SettingsPage's empty load, save and restore.
class SettingAboutWidget : public SettingsPage
{
    Q_OBJECT

public:
    explicit SettingAboutWidget(QWidget *parent = nullptr);

private slots:
    void slot_visitWeb();

private:
    void init();
};
