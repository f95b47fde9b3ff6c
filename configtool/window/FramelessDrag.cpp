#include "FramelessDrag.h"

#include <QMouseEvent>
#include <QWidget>

FramelessDrag::FramelessDrag(QWidget *window) : QObject(window), mWindow(window)
{
    window->installEventFilter(this);
}

bool FramelessDrag::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != mWindow)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        mDragging = mouse->button() == Qt::LeftButton;
        if (mDragging)
            mPressOffset = mouse->globalPos() - mWindow->frameGeometry().topLeft();
        event->accept();
        return true;
    }
    case QEvent::MouseMove: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if ((mouse->buttons() & Qt::LeftButton) && mDragging)
            mWindow->move(mouse->globalPos() - mPressOffset);
        event->accept();
        return true;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton)
            mDragging = false;
        event->accept();
        return true;
    }
    default:
        return false;
    }
}
