#pragma once

#include <QColor>
#include <QString>

#include <optional>

// The look a skin folder's skin.ini gives the candidate window. The folder
// names the skin; the file holds group [Skin] with the keys read below.
struct SkinStyle {
    QString font = QStringLiteral("Droid Sans Fallback");
    int fontSize = 16;
    QColor pinyin{0xB9, 0x62, 0x05};
    QColor primary{0x00, 0x00, 0xFF};
    QColor nonPrimary{0xE5, 0x82, 0x00};
    QColor border{0xD8, 0xD8, 0xD8};
    QColor backgroundTop{Qt::white};
    QColor backgroundBottom{Qt::white};
    int cornerRadius = 0;

    // The look without any skin folder: the tool's own default colours.
    static SkinStyle builtIn() { return SkinStyle(); }
    // The skin of that folder, or nothing with the reason when its skin.ini
    // is missing, unreadable, oversized or holds a value out of range.
    static std::optional<SkinStyle> load(const QString &folder, QString *problem);

    bool operator==(const SkinStyle &other) const;
};
