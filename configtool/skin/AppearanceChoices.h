#pragma once

#include <QColor>
#include <QString>

class SettingsReader;

// The Appearance page's keys of group "Setting", with the page's defaults:
// what the page shows before OK and what the engine reads after it.
struct AppearanceChoices {
    bool vertical = false;
    int pageSize = 5;
    bool cursorFollow = true;
    bool skinEnabled = false;
    QString skinName = QStringLiteral("Default");
    bool overrideColors = false;
    bool overrideFont = false;
    bool overrideFontSize = false;
    QString font = QStringLiteral("Droid Sans Fallback");
    int fontSize = 16;
    QColor pinyin{0xB9, 0x62, 0x05};
    QColor primary{0x00, 0x00, 0xFF};
    QColor nonPrimary{0xE5, 0x82, 0x00};

    static AppearanceChoices read(const SettingsReader &in);
    // Only the low 24 bits count: colours are opaque whatever the top byte says.
    static QColor colorFromStored(quint64 value);
    // The folder of the skin these choices select, "Default" when skins are off.
    QString selectedSkin() const;
};
