#pragma once

#include "CandidateLook.h"

#include <QImage>
#include <QMargins>

class QPainter;

// Draws the candidate window the way fcitx's classic user interface does,
// from the one background picture the engine also hands to fcitx: the
// preview and the real window share this code.
class SkinPainter
{
public:
    // The background picture and the margins fcitx keeps unstretched.
    static QImage background(const SkinStyle &style);
    static QMargins margins(const SkinStyle &style);
    // fcitx stretches the middle of the picture and keeps the margins.
    static void drawStretched(QPainter &painter, const QImage &picture, const QMargins &margins,
                              const QRect &target);
    // A sample window: a typed code and a page of candidates. Needs a
    // QGuiApplication, for the fonts.
    static QImage sampleWindow(const CandidateLook &look);
};
