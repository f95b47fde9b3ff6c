#include "PageWidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

QLabel *PageWidgets::sectionTitle(const QString &text, QWidget *parent, int fixedWidth)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("one_title_label"));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (fixedWidth > 0)
        label->setFixedWidth(fixedWidth);
    return label;
}

QPushButton *PageWidgets::fixedButton(const QString &text, int width, int height)
{
    auto *button = new QPushButton(text);
    button->setFixedSize(width, height);
    // The application font's longer texts do not fit the fixed widths.
    QFont font = button->font();
    font.setPixelSize(14);
    button->setFont(font);
    return button;
}

QHBoxLayout *PageWidgets::row(std::initializer_list<QWidget *> widgets, int indent, int gap)
{
    auto *layout = new QHBoxLayout;
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(gap);
    if (indent > 0)
        layout->addSpacing(indent);
    for (QWidget *widget : widgets)
        layout->addWidget(widget);
    layout->addStretch(1);
    return layout;
}
