#include "DoublePinyinLayout.h"

#include "shuangpin/ShuangPinScheme.h"

#include <QFileInfo>
#include <QStringList>

#include <cstring>

namespace
{

bool isFinal(const char *name)
{
    if (!name[0] || std::strchr("aeiouv", name[0]) == nullptr)
        return std::strcmp(name, "er") == 0;
    return true;
}

bool isValidKey(QChar key)
{
    return (key >= QLatin1Char('A') && key <= QLatin1Char('Z')) || key == QLatin1Char(';');
}

} // namespace

bool DoublePinyinLayout::load(const QString &path, DoublePinyinLayout *layout, QString *error)
{
    // A scheme is a few hundred bytes; anything far larger is not one.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > 256 * 1024) {
        *error = QStringLiteral("%1 is missing or not a scheme file").arg(path);
        return false;
    }
    SpKeyItem items[ShuangPinScheme::KeyCount];
    if (!ShuangPinScheme::loadKeyTable(path, items, nullptr)) {
        *error = QStringLiteral("%1 cannot be read").arg(path);
        return false;
    }
    const QStringList missing = ShuangPinScheme::missingSyllables(path);
    if (!missing.isEmpty()) {
        *error = QStringLiteral("%1 has no key for %2").arg(path, missing.join(QLatin1Char(' ')));
        return false;
    }
    DoublePinyinLayout result;
    for (const SpKeyItem &item : items) {
        const QChar key = QLatin1Char(item.key);
        if (std::strlen(item.consonant) == 2)
            result.consonants.insert(QLatin1String(item.consonant), key);
        for (const char *final : {item.vowel1, item.vowel2}) {
            if (isFinal(final))
                result.finals.insert(QLatin1String(final), key);
        }
    }
    // Schemes may leave "ve" out: it is typed on the key of "ue".
    if (!result.finals.contains(QStringLiteral("ve")) &&
        result.finals.contains(QStringLiteral("ue")))
        result.finals.insert(QStringLiteral("ve"), result.finals.value(QStringLiteral("ue")));

    const QMap<QString, QString> codes = ShuangPinScheme::zeroConsonantCodes(path);
    for (auto it = codes.cbegin(); it != codes.cend(); ++it) {
        const QString code = it.value().toUpper();
        const bool valid = code.size() == 2 && isValidKey(code.at(0)) && isValidKey(code.at(1));
        const bool known = it.key().size() <= 4 && isFinal(it.key().toLatin1().constData());
        if (valid && known)
            result.zeroConsonants.insert(it.key(), code);
    }
    for (const char *syllable : {"zh", "ch", "sh"}) {
        if (!result.consonants.contains(QLatin1String(syllable))) {
            *error = QStringLiteral("%1 has no key for %2").arg(path, QLatin1String(syllable));
            return false;
        }
    }
    *layout = result;
    return true;
}

bool DoublePinyinLayout::operator==(const DoublePinyinLayout &other) const
{
    return consonants == other.consonants && finals == other.finals &&
           zeroConsonants == other.zeroConsonants;
}
