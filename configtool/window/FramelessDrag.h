#pragma once

#include <QObject>
#include <QPoint>

// Lets a frameless window be dragged with the left button by any spot of
// its body that no child widget consumes. Installs itself on the window.
class FramelessDrag : public QObject
{
    Q_OBJECT

public:
    explicit FramelessDrag(QWidget *window);

    bool isDragging() const { return mDragging; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *mWindow;
    bool mDragging = false;
    QPoint mPressOffset;
};
