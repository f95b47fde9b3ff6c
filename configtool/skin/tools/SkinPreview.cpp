// Draws the sample candidate window the Appearance page previews:
//   kaiwo-skin-preview --env <env.ini> <out.png>   the look those settings give
//   kaiwo-skin-preview --stock <skin> <out.png>    the skin as it comes (the
//                                                  shipped preview.png files)
// Skins come from the data root, as for the tool and the engine.
#include "CandidateLook.h"
#include "SkinPainter.h"
#include "config/SettingsStore.h"

#include <QGuiApplication>
#include <QSettings>
#include <QTextStream>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 ||
        (args[1] != QLatin1String("--env") && args[1] != QLatin1String("--stock"))) {
        QTextStream(stderr)
            << "usage: kaiwo-skin-preview --env <env.ini> | --stock <skin> <out.png>\n";
        return 2;
    }
    AppearanceChoices choices;
    if (args[1] == QLatin1String("--env")) {
        QSettings settings(args[2], QSettings::IniFormat);
        choices = AppearanceChoices::read(SettingsReader(&settings));
    } else {
        choices.skinEnabled = true;
        choices.skinName = args[2];
    }
    QStringList problems;
    const SkinStyle skin = CandidateLook::selectSkin(CandidateLook::skinRoot(), choices, &problems);
    for (const QString &problem : problems)
        QTextStream(stderr) << problem << '\n';
    return SkinPainter::sampleWindow(CandidateLook::resolve(skin, choices)).save(args[3]) ? 0 : 1;
}
