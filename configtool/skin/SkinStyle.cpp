#include "SkinStyle.h"
#include "config/IniParser.h"

#include <QFile>
#include <QFileInfo>

namespace
{

// A skin.ini is a few hundred bytes; anything far larger is not one.
const qint64 kMaxSkinFileSize = 64 * 1024;
const char kGroup[] = "Skin";

class SkinReader
{
public:
    explicit SkinReader(const n_kwxx::t_iniParser &ini) : mIni(ini) {}

    bool color(const char *key, QColor *out)
    {
        const QString text = value(key);
        if (text.isEmpty())
            return true;
        // Only "#RRGGBB": names and alpha forms would read differently in
        // fcitx, which takes three numbers.
        const QColor parsed(text);
        if (text.size() != 7 || !text.startsWith(QLatin1Char('#')) || !parsed.isValid())
            return fail(key, text);
        *out = parsed;
        return true;
    }

    bool number(const char *key, int low, int high, int *out)
    {
        const QString text = value(key);
        if (text.isEmpty())
            return true;
        bool ok = false;
        const int parsed = text.toInt(&ok);
        if (!ok || parsed < low || parsed > high)
            return fail(key, text);
        *out = parsed;
        return true;
    }

    bool text(const char *key, QString *out)
    {
        const QString parsed = value(key);
        if (parsed.size() > 100)
            return fail(key, parsed.left(20));
        if (!parsed.isEmpty())
            *out = parsed;
        return true;
    }

    QString problem() const { return mProblem; }

private:
    QString value(const char *key) const
    {
        return QString::fromUtf8(mIni.GetOption(kGroup, key).c_str()).trimmed();
    }

    bool fail(const char *key, const QString &text)
    {
        mProblem = QStringLiteral("%1 has an unusable value \"%2\"").arg(QLatin1String(key), text);
        return false;
    }

    const n_kwxx::t_iniParser &mIni;
    QString mProblem;
};

} // namespace

std::optional<SkinStyle> SkinStyle::load(const QString &folder, QString *problem)
{
    const QString path = folder + QStringLiteral("/skin.ini");
    const QFileInfo info(path);
    if (!info.isFile()) {
        *problem = path + QStringLiteral(": missing");
        return std::nullopt;
    }
    if (info.size() > kMaxSkinFileSize) {
        *problem = path + QStringLiteral(": too large for a skin file");
        return std::nullopt;
    }
    n_kwxx::t_iniParser ini;
    if (!ini.Parser(QFile::encodeName(path).toStdString()) || !ini.HasSection(kGroup)) {
        *problem = path + QStringLiteral(": no [Skin] group");
        return std::nullopt;
    }
    SkinStyle style;
    SkinReader in(ini);
    const bool ok =
        in.text("Font", &style.font) && in.number("FontSize", 8, 72, &style.fontSize) &&
        in.number("CornerRadius", 0, 12, &style.cornerRadius) &&
        in.color("ColorPinyin", &style.pinyin) && in.color("ColorPrimary", &style.primary) &&
        in.color("ColorNonPrimary", &style.nonPrimary) && in.color("ColorBorder", &style.border) &&
        in.color("ColorBackgroundTop", &style.backgroundTop) &&
        in.color("ColorBackgroundBottom", &style.backgroundBottom);
    if (!ok) {
        *problem = path + QStringLiteral(": ") + in.problem();
        return std::nullopt;
    }
    return style;
}

bool SkinStyle::operator==(const SkinStyle &other) const
{
    return font == other.font && fontSize == other.fontSize && pinyin == other.pinyin &&
           primary == other.primary && nonPrimary == other.nonPrimary && border == other.border &&
           backgroundTop == other.backgroundTop && backgroundBottom == other.backgroundBottom &&
           cornerRadius == other.cornerRadius;
}
