#pragma once

#include "CandidateLook.h"

#include <QByteArray>
#include <QString>

// Hands the candidate window's look to fcitx's classic user interface: a
// skin folder of fcitx's own format, made from our skin and the page's
// overrides, and the interface's keys that select it, the font, the list's
// direction and the status bar.
class ClassicUiSkin
{
public:
    ClassicUiSkin(const QString &home, const QString &skinRoot) : mHome(home), mSkinRoot(skinRoot)
    {
    }

    // Rewrites only what differs; true when fcitx must reload the interface.
    // A skin that cannot be used is replaced by Default, the reason added to
    // problems.
    bool apply(const AppearanceChoices &choices, bool statusBarShown, QStringList *problems) const;

    static const char *skinName() { return "kaiwo"; }
    QString skinDir() const;
    static QByteArray skinConfig(const SkinStyle &style);

private:
    bool writeSkin(const SkinStyle &style) const;
    bool setInterfaceKeys(const CandidateLook &look, bool statusBarShown) const;

    QString mHome;
    QString mSkinRoot;
};
