#pragma once

#include <QString>

#include <initializer_list>

class QHBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

// The building blocks every settings page lays out with, so the pages look
// alike and the code exists once.
class PageWidgets
{
public:
    // A section title (17 px through the style sheet). A fixed width keeps
    // the controls of all sections in one column.
    static QLabel *sectionTitle(const QString &text, QWidget *parent = nullptr, int fixedWidth = 0);
    // A push button of fixed size, its text set small enough to fit.
    static QPushButton *fixedButton(const QString &text, int width, int height = 24);
    // Widgets side by side, left-aligned, indent pixels in and gap apart.
    static QHBoxLayout *row(std::initializer_list<QWidget *> widgets, int indent = 0, int gap = 8);
};
