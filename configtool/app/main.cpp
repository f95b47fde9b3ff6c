#include "CrashHandler.h"
#include "Logging.h"
#include "MainController.h"
#include "SystemHelpers.h"
#include "Translations.h"
#include "window/SettingsWidget.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QIcon>
#include <QQuickWindow>

namespace
{

void setApplicationFont()
{
    QFont font;
    font.setPixelSize(14);
    QApplication::setFont(font);
    qCDebug(lcConfigtool) << "----------------------" << QFont().family();
}

void applyStyleSheet(QApplication &app)
{
    QFile styleSheet(QStringLiteral(":kaiwoImeService.qss"));
    if (styleSheet.open(QIODevice::ReadOnly)) {
        app.setStyleSheet(QString::fromUtf8(styleSheet.readAll()));
        styleSheet.close();
    }
}

// Nothing here draws with OpenGL, and on X11 merely looking for it loads the
// GL driver stack (tens of milliseconds, about 50 MB). Without it the double-
// pinyin keyboards use Qt Quick's software renderer. A user's own choice wins.
bool skipOpenGlOnX11()
{
    if (qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        return false;
    qputenv("QT_XCB_GL_INTEGRATION", "none");
    return true;
}

// X11 reads the choice when the first window is made; programs started from
// the tool (a browser for a link) must not inherit it.
void forgetOpenGlChoice()
{
    qunsetenv("QT_XCB_GL_INTEGRATION");
}

} // namespace

int main(int argc, char *argv[])
{
    const bool withoutOpenGl = skipOpenGlOnX11();
    auto *app = new QApplication(argc, argv);
    if (withoutOpenGl && QGuiApplication::platformName() == QLatin1String("xcb"))
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    MainController *controller = MainController::self();
    controller->InitDbus();

    processDesktopEnv();
    installSignalHandlers();
    setApplicationFont();
    installTranslations(*app);
    QApplication::setQuitOnLastWindowClosed(true);
    QApplication::setApplicationName(QStringLiteral("Ime Setting"));
    applyStyleSheet(*app);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/picture/kaiwo.png")));

    MainController::setWindowFactory([] { return new SettingsWidget(nullptr); });
    controller->init();
    if (withoutOpenGl)
        forgetOpenGlChoice();
    app->exec();

    delete controller;
    delete app;
    return 0;
}
