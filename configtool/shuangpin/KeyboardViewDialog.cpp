#include "KeyboardViewDialog.h"
#include "ShuangPinController.h"
#include "window/DialogFrame.h"

#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QOpenGLContext>
#include <QPushButton>
#include <QQmlContext>
#include <QQuickWidget>
#include <QQuickWindow>

namespace
{

// Without a usable OpenGL (a bare X server, a remote display, the offscreen
// platform) Qt Quick would leave the keyboards blank; they are simple enough
// for the software renderer. Decided once, when the first view is made, so
// start-up does not pay for the probe.
void chooseSceneGraphBackend()
{
    static bool chosen = false;
    if (chosen)
        return;
    chosen = true;
    // Chosen already: by the user, or by the tool when it turned OpenGL off.
    if (qEnvironmentVariableIsSet("QT_QUICK_BACKEND") ||
        qEnvironmentVariableIsSet("QMLSCENE_DEVICE") ||
        !QQuickWindow::sceneGraphBackend().isEmpty())
        return;
    // X11 without OpenGL only warns when probed.
    const bool glOff = QGuiApplication::platformName() == QLatin1String("xcb") &&
                       qgetenv("QT_XCB_GL_INTEGRATION") == "none";
    QOpenGLContext probe;
    if (glOff || !probe.create())
        QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
}

} // namespace

QQuickWidget *setUpKeyboardViewDialog(QDialog *dialog, const QString &title, QLabel *titleLabel,
                                      QPushButton *closeButton, QWidget *bottomStrip, QWidget *host,
                                      const QWidget *colourSource, const QString &qmlFile,
                                      QHBoxLayout **layout)
{
    DialogFrame::apply(dialog, titleLabel, closeButton);
    dialog->setWindowTitle(title);
    dialog->setMinimumSize(480, 300);
    dialog->setMaximumSize(480, 300);
    DialogFrame::markBottomStrip(bottomStrip);

    QPalette palette = dialog->palette();
    palette.setBrush(QPalette::Window,
                     QBrush(QPixmap(QStringLiteral("://picture/backImage-480x300.png"))));
    dialog->setPalette(palette);

    *layout = new QHBoxLayout(host);
    chooseSceneGraphBackend();
    auto *view = new QQuickWidget;
    view->setFocusPolicy(Qt::NoFocus);
    view->setAccessibleName(QCoreApplication::translate("KeyboardViewDialog", "双拼键盘"));
    view->setAccessibleDescription(
        QCoreApplication::translate("KeyboardViewDialog", "每个键上是它输入的声母和韵母"));
    view->setResizeMode(QQuickWidget::SizeViewToRootObject);
    // The keys are drawn on the dialog's own background.
    view->setClearColor(Qt::transparent);
    view->setAttribute(Qt::WA_AlwaysStackOnTop);
    (*layout)->addWidget(view);
    (*layout)->setContentsMargins(0, 0, 0, 0);

    ShuangPinController::self()->setBackColor(
        colourSource->palette().color(colourSource->backgroundRole()));
    view->rootContext()->setContextProperty(QStringLiteral("shuangPinController"),
                                            ShuangPinController::self());
    view->setSource(QUrl(QStringLiteral("qrc:/Src/configtool/shuangpin/qml/") + qmlFile));
    return view;
}
