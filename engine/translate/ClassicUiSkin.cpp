#include "ClassicUiSkin.h"
#include "FcitxAddonConfig.h"
#include "SkinPainter.h"
#include "config/AtomicFile.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace
{

// The status bar, tray and menu pictures stay fcitx's own.
const char kFcitxDefaultSkin[] = "/usr/share/fcitx/skin/default";

QByteArray rgb(const QColor &color)
{
    return QByteArray::number(color.red()) + ' ' + QByteArray::number(color.green()) + ' ' +
           QByteArray::number(color.blue());
}

// A value is one line of fcitx's file, whatever the settings held.
QByteArray oneLine(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    }
    return text.trimmed().toUtf8();
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool writeIfChanged(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.size() == bytes.size() && file.readAll() == bytes)
        return false;
    file.close();
    return writeFileAtomically(QFile::encodeName(path).constData(), bytes) ==
           AtomicWriteResult::Written;
}

// Links the pictures the skin does not draw itself to fcitx's default skin.
void linkFcitxPictures(const QString &dir)
{
    const QDir source{QLatin1String(kFcitxDefaultSkin)};
    for (const QString &name : source.entryList({QStringLiteral("*.png")}, QDir::Files)) {
        const QString link = dir + QLatin1Char('/') + name;
        if (name != QLatin1String("input.png") && !QFileInfo(link).exists())
            QFile::link(source.filePath(name), link);
    }
}

} // namespace

QString ClassicUiSkin::skinDir() const
{
    return FcitxAddonConfig::fcitxConfigDir(mHome) + QStringLiteral("/skin/") +
           QLatin1String(skinName());
}

QByteArray ClassicUiSkin::skinConfig(const SkinStyle &style)
{
    const QMargins m = SkinPainter::margins(style);
    const QByteArray others = rgb(style.nonPrimary);
    QByteArray text;
    text += "[SkinInfo]\nName=Kaiwo\nVersion=1\nAuthor=Kaiwo\n"
            "Desc=The candidate window chosen in the Kaiwo settings tool\n\n";
    text += "[SkinFont]\nFontSize=" + QByteArray::number(style.fontSize) +
            "\nMenuFontSize=10\nRespectDPI=True\n";
    text += "TipColor=" + others + "\nInputColor=" + rgb(style.pinyin) + "\nIndexColor=" + others +
            "\nFirstCandColor=" + rgb(style.primary) + "\nUserPhraseColor=" + others +
            "\nCodeColor=" + others + "\nOtherColor=" + others +
            "\nActiveMenuColor=255 255 255\nInactiveMenuColor=87 87 87\n\n";
    text += "[SkinMainBar]\nBackImg=bar.png\nLogo=logo.png\nEng=en.png\nActive=cn.png\n"
            "MarginLeft=3\nMarginRight=3\nMarginTop=3\nMarginBottom=3\n\n";
    // No arrows: the window is exactly the stretched picture and the text.
    text += "[SkinInputBar]\nBackImg=input.png\nMarginLeft=" + QByteArray::number(m.left()) +
            "\nMarginRight=" + QByteArray::number(m.right()) +
            "\nMarginTop=" + QByteArray::number(m.top()) +
            "\nMarginBottom=" + QByteArray::number(m.bottom()) +
            "\nCursorColor=" + rgb(style.pinyin) +
            "\nInputPos=0\nOutputPos=4\nBackArrow=\nForwardArrow=\nBackArrowX=0\nBackArrowY=0\n"
            "ForwardArrowX=0\nForwardArrowY=0\n"
            "FillVertical=Resize\nFillHorizontal=Resize\n\n";
    text += "[SkinTrayIcon]\nActive=active.png\nInactive=inactive.png\n\n";
    text += "[SkinMenu]\nBackImg=menu.png\nMarginTop=5\nMarginBottom=5\nMarginLeft=5\n"
            "MarginRight=5\nActiveColor=187 187 187\nLineColor=187 187 187\n\n";
    text += "[SkinKeyboard]\nKeyColor=101 153 209\n";
    return text;
}

bool ClassicUiSkin::writeSkin(const SkinStyle &style) const
{
    const QString dir = skinDir();
    QDir().mkpath(dir);
    linkFcitxPictures(dir);
    // The picture first: fcitx reads the configuration, then the picture.
    bool changed = writeIfChanged(dir + QStringLiteral("/input.png"),
                                  pngBytes(SkinPainter::background(style)));
    changed =
        writeIfChanged(dir + QStringLiteral("/fcitx_skin.conf"), skinConfig(style)) || changed;
    return changed;
}

bool ClassicUiSkin::setInterfaceKeys(const CandidateLook &look, bool statusBarShown) const
{
    const QString path =
        FcitxAddonConfig::addonConfigPath(mHome, QStringLiteral("fcitx-classic-ui"));
    const QByteArray group = "ClassicUI";
    // "Auto" shows the status bar while an input method is active. A font
    // size of 0 lets the skin's size count.
    const std::pair<const char *, QByteArray> keys[] = {
        {"MainWindowHideMode", statusBarShown ? "Auto" : "Hide"},
        {"SkinType", skinName()},
        {"Font", oneLine(look.style.font)},
        {"FontSize", "0"},
        {"VerticalList", look.vertical ? "True" : "False"},
    };
    bool changed = false;
    for (const auto &[key, value] : keys)
        changed = FcitxAddonConfig::setValue(path, group, key, value) || changed;
    return changed;
}

bool ClassicUiSkin::apply(const AppearanceChoices &choices, bool statusBarShown,
                          QStringList *problems) const
{
    const CandidateLook look =
        CandidateLook::resolve(CandidateLook::selectSkin(mSkinRoot, choices, problems), choices);
    const bool skinChanged = writeSkin(look.style);
    return setInterfaceKeys(look, statusBarShown) || skinChanged;
}
