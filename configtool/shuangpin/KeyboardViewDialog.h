#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QQuickWidget;
class QWidget;

// The set-up the two scheme dialogs share: frameless frame with the given
// title, background picture, bottom strip, and a keyboard view (Qt Quick
// file qmlFile) placed on host. Returns the view; layout receives host's
// layout. The model's background colour is taken from colourSource.
QQuickWidget *setUpKeyboardViewDialog(QDialog *dialog, const QString &title, QLabel *titleLabel,
                                      QPushButton *closeButton, QWidget *bottomStrip, QWidget *host,
                                      const QWidget *colourSource, const QString &qmlFile,
                                      QHBoxLayout **layout);
