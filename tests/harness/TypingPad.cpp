// A one-line text field for typing through fcitx: the end-to-end tests and
// the demo type into it, and it writes its text to the file given as its
// argument whenever the text changes. Escape with an empty composition
// clears it, so one pad serves many cases.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSaveFile>

namespace
{

class Pad : public QLineEdit
{
public:
    explicit Pad(const QString &output) : mOutput(output)
    {
        connect(this, &QLineEdit::textChanged, this, &Pad::save);
        save();
    }

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape)
            clear();
        else
            QLineEdit::keyPressEvent(event);
    }

private:
    void save()
    {
        if (mOutput.isEmpty())
            return;
        QSaveFile file(mOutput);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(text().toUtf8());
            file.commit();
        }
    }

    QString mOutput;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Pad pad(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString());
    pad.setWindowTitle(QStringLiteral("kaiwo-typing-pad"));
    pad.setMinimumWidth(420);
    QFont font = pad.font();
    font.setPixelSize(20);
    pad.setFont(font);
    pad.move(40, 40);
    pad.show();
    return app.exec();
}
