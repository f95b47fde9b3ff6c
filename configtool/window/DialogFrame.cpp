#include "DialogFrame.h"
#include "FramelessDrag.h"

#include <QApplication>
#include <QDesktopWidget>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

void DialogFrame::apply(QWidget *dialog, QLabel *titleLabel, QPushButton *closeButton,
                        Qt::WindowFlags flags, bool applicationModal)
{
    dialog->setWindowFlags(flags);
    if (applicationModal)
        dialog->setWindowModality(Qt::ApplicationModal);
    dialog->setObjectName(QStringLiteral("custom_border_widget"));
    dialog->setWindowIcon(QIcon(QStringLiteral(":/picture/kaiwo.png")));
    dialog->setWindowTitle(tr("凯沃输入法"));
    if (titleLabel)
        titleLabel->setObjectName(QStringLiteral("one_title_label"));
    if (closeButton) {
        closeButton->setFocusPolicy(Qt::NoFocus);
        closeButton->setAccessibleName(tr("关闭"));
        closeButton->setFixedSize(30, 28);
        closeButton->setStyleSheet(QStringLiteral(
            "QPushButton{background-image:url(':/picture/close-default.png');border:0px;}"
            "QPushButton:hover{background:url(':/picture/close-hover.png');}"
            "QPushButton:pressed{background:url(':/picture/close-click.png');}"));
        QObject::connect(closeButton, &QPushButton::clicked, dialog, &QWidget::close);
    }
    new FramelessDrag(dialog);
}

void DialogFrame::tabOrder(std::initializer_list<QWidget *> widgets)
{
    for (auto it = widgets.begin(); it + 1 < widgets.end(); ++it)
        QWidget::setTabOrder(*it, *(it + 1));
}

void DialogFrame::markBottomStrip(QWidget *strip)
{
    strip->setObjectName(QStringLiteral("settings_bottom_widget"));
    strip->setAttribute(Qt::WA_StyledBackground, true);
}

void DialogFrame::centreOnDesktop(QWidget *window)
{
    const QWidget *desktop = QApplication::desktop();
    window->move((desktop->width() - window->width()) / 2,
                 (desktop->height() - window->height()) / 2);
}
