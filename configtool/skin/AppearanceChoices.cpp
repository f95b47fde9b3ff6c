#include "AppearanceChoices.h"
#include "config/SettingsStore.h"

QColor AppearanceChoices::colorFromStored(quint64 value)
{
    return QColor(int((value >> 16) & 0xFF), int((value >> 8) & 0xFF), int(value & 0xFF));
}

QString AppearanceChoices::selectedSkin() const
{
    return skinEnabled ? skinName : QStringLiteral("Default");
}

AppearanceChoices AppearanceChoices::read(const SettingsReader &in)
{
    AppearanceChoices c;
    const auto flag = [&in](const char *key, bool fallback) {
        return in.intValue(QLatin1String(key), fallback ? 1 : 0) != 0;
    };
    const auto color = [&in](const char *key, const QColor &fallback) {
        const QVariant stored = in.value(QLatin1String(key), QVariant());
        return stored.isValid() ? colorFromStored(stored.toULongLong()) : fallback;
    };
    c.vertical = flag("CandStyle", c.vertical);
    c.pageSize = qBound(3, in.intValue(QStringLiteral("PageSize"), c.pageSize), 9);
    c.cursorFollow = flag("CursorFollow", c.cursorFollow);
    c.skinEnabled = flag("SkinEnabled", c.skinEnabled);
    c.skinName = in.stringValue(QStringLiteral("ActiveSkinName"), c.skinName);
    c.overrideColors = flag("IgnoreSkinColorSetting", c.overrideColors);
    c.overrideFont = flag("IgnoreSkinFontSetting", c.overrideFont);
    c.overrideFontSize = flag("IgnoreSkinFontSizeSetting", c.overrideFontSize);
    c.font = in.stringValue(QStringLiteral("FontCh"), c.font);
    // A size the page cannot show reads as the page's own fallback, 16.
    const int size = in.intValue(QStringLiteral("FontSize"), c.fontSize);
    c.fontSize = size >= 8 && size <= 72 ? size : 16;
    c.pinyin = color("ColorPinyin", c.pinyin);
    c.primary = color("ColorPrimary", c.primary);
    c.nonPrimary = color("ColorNonPrimary", c.nonPrimary);
    return c;
}
