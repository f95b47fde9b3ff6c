#include "Translations.h"
#include "DataRoot.h"
#include "Logging.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QTranslator *installTranslations(QCoreApplication &app)
{
    const QString locale = QLocale::system().name();
    qCDebug(lcConfigtool) << "qmFile:"
                          << QStringLiteral("/usr/share/kaiwoimebs/i18n/qm/%1.qm").arg(locale);
    auto *qtTranslator = new QTranslator(&app);
    if (qtTranslator->load(QStringLiteral("qt_") + locale,
                           QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qtTranslator);
    else
        delete qtTranslator;
    // Loaded by QLocale, not by name, so en_US and en_GB both find en.qm.
    auto *translator = new QTranslator(&app);
    if (translator->load(QLocale(), QString(), QString(),
                         kaiwoDataRoot() + QStringLiteral("/i18n/qm"))) {
        app.installTranslator(translator);
        return translator;
    }
    delete translator;
    return nullptr;
}
