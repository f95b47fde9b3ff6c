#include "PreverSkinWidget.h"
#include "app/DataRoot.h"

#include <QImage>
#include <QPainter>

PreverSkinWidget::PreverSkinWidget(QWidget *parent) : QWidget(parent)
{
    setFixedSize(500, 200);
}

void PreverSkinWidget::reDrawPreverSkinWidget(QString skinName)
{
    mSkinName = skinName;
    update();
}

void PreverSkinWidget::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    drawPreverSkinWidget();
}

void PreverSkinWidget::drawPreverSkinWidget()
{
    // A missing or unreadable picture leaves a null image: the area stays white.
    const QImage image(kaiwoDataRoot() + QStringLiteral("/Resources/PC/skin/") + mSkinName +
                       QStringLiteral("/preview.png"));
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(rect(), Qt::white);
    // Still in Source mode: the picture's own alpha replaces the white.
    painter.drawImage(QPoint(0, 0), image);
}
