// The floor the start-up bench compares the tool with: a Qt 5 Widgets
// program that shows an empty 700 x 540 window and nothing else.

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(700, 540);
    window.setWindowTitle(QStringLiteral("bare window"));
    window.show();
    return app.exec();
}
