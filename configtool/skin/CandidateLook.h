#pragma once

#include "AppearanceChoices.h"
#include "SkinStyle.h"

#include <QStringList>

// How the candidate window looks once a skin and the page's overrides are
// put together: what the engine hands to fcitx and what the preview draws.
struct CandidateLook {
    SkinStyle style;
    bool vertical = false;
    int pageSize = 5;

    static CandidateLook resolve(const SkinStyle &skin, const AppearanceChoices &choices);
    // The skin the choices select from the skins under skinRoot: "Default"
    // when skins are off; a missing or broken skin falls back to Default and
    // then to the built-in look, with the reasons added to problems.
    static SkinStyle selectSkin(const QString &skinRoot, const AppearanceChoices &choices,
                                QStringList *problems);
    // The data root's skin folder.
    static QString skinRoot();
};
