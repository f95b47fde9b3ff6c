#include "PreverSkinWidget.h"
#include "SkinPainter.h"

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

void PreverSkinWidget::setLook(const CandidateLook &look, bool live)
{
    mLook = look;
    mLive = live;
    update();
}

void PreverSkinWidget::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    drawPreverSkinWidget();
}

void PreverSkinWidget::drawPreverSkinWidget()
{
    QImage image;
    if (mLive) {
        image = SkinPainter::sampleWindow(mLook);
        // Nine large candidates do not fit: shown smaller, never clipped.
        if (image.width() > width() || image.height() > height())
            image = image.scaled(size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
    } else {
        // A missing or unreadable picture leaves a null image: the area stays white.
        image.load(CandidateLook::skinRoot() + QLatin1Char('/') + mSkinName +
                   QStringLiteral("/preview.png"));
    }
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(rect(), Qt::white);
    if (mLive)
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    // In Source mode the picture's own alpha replaces the white.
    painter.drawImage(QPoint(0, 0), image);
}
