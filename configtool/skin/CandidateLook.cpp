#include "CandidateLook.h"
#include "app/DataRoot.h"

namespace
{

// A name that climbs out of the skin folder is no skin.
bool isFolderName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/'));
}

} // namespace

QString CandidateLook::skinRoot()
{
    return kaiwoDataRoot() + QStringLiteral("/Resources/PC/skin");
}

SkinStyle CandidateLook::selectSkin(const QString &skinRoot, const AppearanceChoices &choices,
                                    QStringList *problems)
{
    QStringList names{choices.selectedSkin()};
    if (names.first() != QLatin1String("Default"))
        names << QStringLiteral("Default");
    for (const QString &name : names) {
        QString problem;
        if (!isFolderName(name)) {
            problems->append(QStringLiteral("skin \"%1\" is not a folder name").arg(name));
            continue;
        }
        if (const auto style = SkinStyle::load(skinRoot + QLatin1Char('/') + name, &problem))
            return *style;
        problems->append(problem);
    }
    return SkinStyle::builtIn();
}

CandidateLook CandidateLook::resolve(const SkinStyle &skin, const AppearanceChoices &choices)
{
    CandidateLook look;
    look.style = skin;
    look.vertical = choices.vertical;
    look.pageSize = choices.pageSize;
    if (choices.overrideColors) {
        look.style.pinyin = choices.pinyin;
        look.style.primary = choices.primary;
        look.style.nonPrimary = choices.nonPrimary;
    }
    if (choices.overrideFont)
        look.style.font = choices.font;
    if (choices.overrideFontSize)
        look.style.fontSize = choices.fontSize;
    return look;
}
