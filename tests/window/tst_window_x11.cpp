#include "TestFiles.h"
#include "app/MainController.h"
#include "window/SettingsWidget.h"

#include <QDir>
#include <QTest>

namespace
{

QStringList messages;

void collect(QtMsgType, const QMessageLogContext &, const QString &message)
{
    messages << message;
}

} // namespace

// What only a real X server with a window manager can show: iconifying
// through Xlib when env.ini asks for it.
class TestWindowX11 : public QObject
{
    Q_OBJECT

private slots:
    void minimiseThroughX_data();
    void minimiseThroughX();
};

void TestWindowX11::minimiseThroughX_data()
{
    QTest::addColumn<QByteArray>("setting");
    QTest::addColumn<QString>("route");
    QTest::newRow("ShowMinimizedType 1: Xlib iconify")
        << QByteArray("ShowMinimizedType=1\n") << "set_minmize_window(this->winId());";
    QTest::newRow("ShowMinimizedType 0: Qt")
        << QByteArray("ShowMinimizedType=0\n") << "this->showMinimized();";
    QTest::newRow("absent: Qt") << QByteArray() << "this->showMinimized();";
}

void TestWindowX11::minimiseThroughX()
{
    QFETCH(QByteArray, setting);
    QFETCH(QString, route);
    QVERIFY(QDir().mkpath(MainController::localPcPyDirPath()));
    QVERIFY(writeFile(MainController::localPcPyDirPath() + QStringLiteral("env.ini"),
                      "[Setting]\n" + setting));
    MainController::self()->openSettings();

    SettingsWidget window(nullptr);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    messages.clear();
    QtMessageHandler previous = qInstallMessageHandler(collect);
    window.slot_showMinimized();
    qInstallMessageHandler(previous);
    QVERIFY2(messages.contains(route), qPrintable(messages.join(QLatin1Char('|'))));
    QTRY_VERIFY(window.isMinimized());
}

QTEST_MAIN(TestWindowX11)
#include "tst_window_x11.moc"
