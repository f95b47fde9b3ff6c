#pragma once

#include "CandidateLook.h"

#include <QString>
#include <QWidget>

// The 500 x 200 preview of the candidate window: the skin folder's
// preview.png on white while the page shows the skin as it comes, and a
// live sample drawn like fcitx draws it once a choice of the page changes
// that look.
class PreverSkinWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PreverSkinWidget(QWidget *parent = nullptr);

    // Shows the preview of the skin folder of that name.
    void reDrawPreverSkinWidget(QString skinName);
    QString skinName() const { return mSkinName; }
    // live: the sample window in this look instead of the folder's picture.
    void setLook(const CandidateLook &look, bool live);
    bool showsLiveSample() const { return mLive; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawPreverSkinWidget();

    QString mSkinName;
    CandidateLook mLook;
    bool mLive = false;
};
