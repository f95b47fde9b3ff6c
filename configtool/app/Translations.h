#pragma once

class QCoreApplication;
class QTranslator;

// Installs Qt's own catalogue and the tool's, "<data root>/i18n/qm/en.qm"
// and the like, for the languages of the default locale. Chinese is the
// language the texts are written in, so zh_CN (and C) find none. Returns
// the tool's catalogue, or null when there is none for the locale.
QTranslator *installTranslations(QCoreApplication &app);
