#pragma once

#include <QString>
#include <QWidget>

// The 500 x 200 picture of a skin: the skin folder's preview.png on white.
class PreverSkinWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PreverSkinWidget(QWidget *parent = nullptr);

    // Shows the preview of the skin folder of that name.
    void reDrawPreverSkinWidget(QString skinName);
    QString skinName() const { return mSkinName; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawPreverSkinWidget();

    QString mSkinName;
};
