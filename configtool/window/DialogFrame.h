#pragma once

#include <QCoreApplication>

#include <initializer_list>

class QLabel;
class QPushButton;
class QWidget;

// The look every dialog of the tool shares: frameless, its own title bar
// with a logo, a title and a close button, and a body that drags the window.
class DialogFrame
{
    Q_DECLARE_TR_FUNCTIONS(DialogFrame)

public:
    static constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::FramelessWindowHint;

    // Applies the title bar pattern. Application-modal unless the flags
    // make it a tool window of its own (the prompt dialog).
    static void apply(QWidget *dialog, QLabel *titleLabel, QPushButton *closeButton,
                      Qt::WindowFlags flags = kDialogFlags, bool applicationModal = true);
    // The strip at the bottom that holds OK and Cancel: named for the style
    // sheet and painted by it.
    static void markBottomStrip(QWidget *strip);
    // Centres the window on the desktop, as the window manager would not
    // place a frameless window.
    static void centreOnDesktop(QWidget *window);
    // Tab visits the widgets in this order: controls built in code come
    // after the form's own buttons otherwise.
    static void tabOrder(std::initializer_list<QWidget *> widgets);
};
