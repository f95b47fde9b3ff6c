#pragma once

#include "config/ConfigType.h"

#include <QWidget>

// What the settings window asks of every page. A page with no options (the
// About page) keeps the empty defaults.
class SettingsPage : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsPage(QWidget *parent = nullptr) : QWidget(parent)
    {
        // Every page is white; the object name lets the style sheet agree.
        setObjectName(QStringLiteral("white_widget"));
        setAttribute(Qt::WA_StyledBackground, true);
        setAutoFillBackground(true);
        QPalette white = palette();
        white.setBrush(QPalette::Window, QBrush(Qt::white));
        setPalette(white);
    }

    virtual void loadSettings(CON_TPYE mode) { Q_UNUSED(mode) }
    // Writes the page's keys to the user's env.ini and syncs it.
    virtual void saveSettings() {}
    // Reloads the widgets from the shipped defaults; writes nothing.
    virtual void restoreDefaultSettings() {}
};
