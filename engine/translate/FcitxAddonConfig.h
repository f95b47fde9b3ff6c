#pragma once

#include <QByteArray>
#include <QString>

// Settings the engine hands to fcitx's own addons (the classic user
// interface) by rewriting keys of their configuration files, which fcitx
// keeps as "[Group]" and "Key=Value" lines.
class FcitxAddonConfig
{
public:
    // text with group/key set to value: the first such line is replaced,
    // or one is added at the end of the group, or the group is appended.
    // Every other line stays as it was.
    static QByteArray withValue(const QByteArray &text, const QByteArray &group,
                                const QByteArray &key, const QByteArray &value);
    // Rewrites the file (atomically) when the value differs; true when it
    // changed.
    static bool setValue(const QString &path, const QByteArray &group, const QByteArray &key,
                         const QByteArray &value);
    // ~/.config/fcitx, or under XDG_CONFIG_HOME.
    static QString fcitxConfigDir(const QString &home);
    // <that folder>/conf/<addon>.config.
    static QString addonConfigPath(const QString &home, const QString &addon);
};
