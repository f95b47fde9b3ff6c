// Draws every picture of the tool's resource bundle into a picture/ folder.
// Standalone: not part of the build; see README.md next to this file.

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTextStream>
#include <QtMath>

#include <functional>

namespace
{

// Palette shared by the style sheet and the pictures.
const QColor kOrange("#ff7846");
const QColor kOrangeHover("#ff9469");
const QColor kOrangeDark("#e8622f");
const QColor kOrangePale("#fff1eb");
const QColor kBorder("#bec3c9");
const QColor kBorderDisabled("#d9dfe3");
const QColor kFillDisabled("#f4f7f9");
const QColor kRule("#d7dee3");
const QColor kColumn("#eef3f6");
const QColor kIconGrey("#5a6a7a");
const QColor kGlyphGrey("#7d8791");
const QColor kFrameLeft("#a6adbc");
const QColor kFrameOther("#a6adb3");
const QColor kText("#333333");

const QString kCjkFamily = QStringLiteral("WenQuanYi Micro Hei");
const QString kLatinFamily = QStringLiteral("DejaVu Sans");

QString gOutDir;
int gWritten = 0;

QImage canvas(int w, int h, const QColor &fill = Qt::transparent)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(fill);
    return img;
}

void save(const QImage &img, const QString &relPath)
{
    const QString path = gOutDir + QLatin1Char('/') + relPath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!img.convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        ::exit(1);
    }
    ++gWritten;
}

void draw(QImage &img, const std::function<void(QPainter &)> &fn)
{
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    fn(p);
}

QPen roundPen(const QColor &c, qreal width)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QFont pixelFont(const QString &family, qreal px, int weight = QFont::Normal)
{
    QFont f(family);
    f.setPixelSize(qRound(px));
    f.setWeight(weight);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

// Text as a filled path centred on `centre`, using the glyphs' ink bounds so that
// characters sit optically centred regardless of the font's ascent and descent.
void fillCentredText(QPainter &p, const QString &text, const QFont &font, const QPointF &centre,
                     const QColor &color, qreal embolden = 0)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF ink = path.boundingRect();
    path.translate(centre - ink.center());
    p.save();
    p.setPen(embolden > 0 ? QPen(color, embolden, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                          : Qt::NoPen);
    p.setBrush(color);
    p.drawPath(path);
    p.restore();
}

// ---------------------------------------------------------------------------
// The product mark: an orange rounded square carrying a white "凯".

void drawMark(QPainter &p, const QRectF &r)
{
    const qreal s = r.width();
    p.save();
    p.setPen(Qt::NoPen);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, kOrangeHover);
    g.setColorAt(1, kOrange);
    p.setBrush(g);
    p.drawRoundedRect(r, s * 0.22, s * 0.22);
    fillCentredText(p, QStringLiteral("凯"), pixelFont(kCjkFamily, s * 0.64), r.center(), Qt::white,
                    s * 0.035);
    p.restore();
}

QImage markImage(int w, int h, qreal margin)
{
    QImage img = canvas(w, h);
    draw(img, [&](QPainter &p) {
        const qreal side = qMin(w, h) - 2 * margin;
        drawMark(p, QRectF((w - side) / 2.0, (h - side) / 2.0, side, side));
    });
    return img;
}

// Mark followed by the two-line wordmark, all inside `r`.
void drawWordmark(QPainter &p, const QRectF &r, qreal markSide, qreal titlePx, qreal subPx)
{
    const qreal gap = markSide * 0.36;
    const QFont title = pixelFont(kCjkFamily, titlePx);
    QFont sub = pixelFont(kLatinFamily, subPx, QFont::DemiBold);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, subPx * 0.18);
    const QString titleText = QStringLiteral("凯沃输入法");
    const QString subText = QStringLiteral("KAIWO IME");
    const qreal titleW = QFontMetricsF(title).horizontalAdvance(titleText);
    const qreal total = markSide + gap + titleW;
    const qreal x0 = r.left() + (r.width() - total) / 2.0;
    const qreal cy = r.center().y();
    drawMark(p, QRectF(x0, cy - markSide / 2.0, markSide, markSide));

    const qreal tx = x0 + markSide + gap;
    const QFontMetricsF tm(title), sm(sub);
    const qreal blockH = tm.ascent() + subPx * 0.45 + sm.capHeight();
    const qreal top = cy - blockH / 2.0;
    p.setPen(QColor("#2f3b47"));
    p.setFont(title);
    p.drawText(QPointF(tx, top + tm.ascent() * 0.92), titleText);
    p.setPen(QColor("#8a97a3"));
    p.setFont(sub);
    p.drawText(QPointF(tx + 1, top + blockH), subText);
}

// ---------------------------------------------------------------------------
// Check boxes, radio buttons and combo arrows.

struct BoxLook {
    QColor border;
    QColor fill;
    QColor mark; // invalid: no tick / dot
};

void drawCheck(const QString &name, const BoxLook &look)
{
    QImage img = canvas(16, 16);
    draw(img, [&](QPainter &p) {
        p.setPen(QPen(look.border, 1));
        p.setBrush(look.fill);
        p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
        if (look.mark.isValid()) {
            QPainterPath tick;
            tick.moveTo(4.3, 8.2);
            tick.lineTo(6.9, 10.8);
            tick.lineTo(11.8, 5.4);
            p.setPen(roundPen(look.mark, 1.8));
            p.setBrush(Qt::NoBrush);
            p.drawPath(tick);
        }
    });
    save(img, name);
}

void drawRadio(const QString &name, const BoxLook &look)
{
    QImage img = canvas(16, 16);
    draw(img, [&](QPainter &p) {
        p.setPen(QPen(look.border, 1));
        p.setBrush(look.fill);
        p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
        if (look.mark.isValid()) {
            p.setPen(Qt::NoPen);
            p.setBrush(look.mark);
            p.drawEllipse(QPointF(8, 8), 2.6, 2.6);
        }
    });
    save(img, name);
}

void drawArrow(const QString &name, const QColor &color, bool up)
{
    QImage img = canvas(12, 8);
    draw(img, [&](QPainter &p) {
        QPainterPath chevron;
        const qreal yTop = up ? 6 : 2, yTip = up ? 2 : 6;
        chevron.moveTo(2, yTop);
        chevron.lineTo(6, yTip);
        chevron.lineTo(10, yTop);
        p.setPen(roundPen(color, 1.6));
        p.drawPath(chevron);
    });
    save(img, name);
}

void drawIndicators()
{
    const QColor none;
    drawCheck("check-default.png", {kBorder, Qt::white, none});
    drawCheck("check-hover.png", {kOrange, Qt::white, none});
    drawCheck("check-click.png", {kOrangeDark, kOrangePale, none});
    drawCheck("check-disable.png", {kBorderDisabled, kFillDisabled, none});
    drawCheck("check-select.png", {kOrange, kOrange, Qt::white});
    drawCheck("check-select-hover.png", {kOrangeHover, kOrangeHover, Qt::white});
    drawCheck("check-select-click.png", {kOrangeDark, kOrangeDark, Qt::white});
    // Checked but disabled, and checked inside a highlighted table row.
    drawCheck("check-select-disable.png", {kBorderDisabled, kFillDisabled, QColor("#b9c1c8")});
    drawCheck("check-select-white.png", {Qt::white, Qt::white, kOrange});

    drawRadio("single-default.png", {kBorder, Qt::white, none});
    drawRadio("single-hover.png", {kOrange, Qt::white, none});
    drawRadio("single-click.png", {kOrangeDark, kOrangePale, none});
    drawRadio("single-disable.png", {kBorderDisabled, kFillDisabled, none});
    drawRadio("single-select.png", {kOrange, kOrange, Qt::white});
    drawRadio("single-select-hover.png", {kOrangeHover, kOrangeHover, Qt::white});
    drawRadio("single-select-click.png", {kOrangeDark, kOrangeDark, Qt::white});
    drawRadio("single-select-disable.png", {kBorderDisabled, kFillDisabled, QColor("#b9c1c8")});

    // "select" is the open drop-down: the chevron turns up.
    drawArrow("arrow-default.png", kGlyphGrey, false);
    drawArrow("arrow-hover.png", kOrange, false);
    drawArrow("arrow-click.png", kOrangeDark, false);
    drawArrow("arrow-disable.png", QColor("#c5ccd3"), false);
    drawArrow("arrow-select.png", kOrange, true);
    drawArrow("arrow-select-hover.png", kOrangeHover, true);
    drawArrow("arrow-select-click.png", kOrangeDark, true);
}

// ---------------------------------------------------------------------------
// Title-bar buttons (30 x 28) and the small help mark (16 x 16).

void drawTitleButton(const QString &name, const QColor &background, const QColor &glyph,
                     bool isClose)
{
    QImage img = canvas(30, 28, background.isValid() ? background : QColor(Qt::transparent));
    draw(img, [&](QPainter &p) {
        p.setPen(roundPen(glyph, 1.6));
        const QPointF c(15, 14);
        if (isClose) {
            const qreal d = 4.6;
            p.drawLine(c + QPointF(-d, -d), c + QPointF(d, d));
            p.drawLine(c + QPointF(-d, d), c + QPointF(d, -d));
        } else {
            p.drawLine(c + QPointF(-5.5, 0.5), c + QPointF(5.5, 0.5));
        }
    });
    save(img, name);
}

void drawHelp(const QString &name, const QColor &ring, const QColor &fill, const QColor &glyph)
{
    QImage img = canvas(16, 16);
    draw(img, [&](QPainter &p) {
        p.setPen(QPen(ring, 1));
        p.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
        p.drawEllipse(QPointF(8, 8), 6.8, 6.8);
        fillCentredText(p, QStringLiteral("?"), pixelFont(kLatinFamily, 11, QFont::Bold),
                        QPointF(8, 8), glyph);
    });
    save(img, name);
}

void drawTitleButtons()
{
    const QColor none;
    drawTitleButton("close-default.png", none, kGlyphGrey, true);
    drawTitleButton("close-hover.png", kOrange, Qt::white, true);
    drawTitleButton("close-click.png", kOrangeDark, Qt::white, true);
    drawTitleButton("mini-default.png", none, kGlyphGrey, false);
    drawTitleButton("mini-hover.png", QColor("#e4eaef"), kIconGrey, false);
    drawTitleButton("mini-click.png", kRule, kIconGrey, false);
    drawHelp("help-default.png", QColor("#a6adb3"), Qt::white, QColor("#8a949e"));
    drawHelp("help-hover.png", kOrange, kOrange, Qt::white);
    drawHelp("help-click.png", kOrangeDark, kOrangeDark, Qt::white);
}

// ---------------------------------------------------------------------------
// Backgrounds, one per fixed window size.

void drawBackgrounds()
{
    save(canvas(700, 540, Qt::white), "backImage-700x540.png");

    // Hover tips: white card with a light rule.
    for (const QSize &s : {QSize(300, 158), QSize(327, 242)}) {
        QImage img = canvas(s.width(), s.height(), Qt::white);
        draw(img, [&](QPainter &p) {
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(kRule);
            p.drawRect(0, 0, s.width() - 1, s.height() - 1);
        });
        save(img, QString("backImage-%1x%2.png").arg(s.width()).arg(s.height()));
    }

    // Frameless dialogs that paint their background from the picture: the same
    // frame as the style sheet's custom_border_widget (orange top, grey sides).
    for (const QSize &s : {QSize(480, 300), QSize(500, 375)}) {
        QImage img = canvas(s.width(), s.height(), Qt::white);
        draw(img, [&](QPainter &p) {
            p.setRenderHint(QPainter::Antialiasing, false);
            const int r = s.width() - 1, b = s.height() - 1;
            p.setPen(kFrameLeft);
            p.drawLine(0, 0, 0, b);
            p.setPen(kFrameOther);
            p.drawLine(r, 0, r, b);
            p.drawLine(0, b, r, b);
            p.setPen(kOrange);
            p.drawLine(0, 0, r, 0);
        });
        save(img, QString("backImage-%1x%2.png").arg(s.width()).arg(s.height()));
    }
}

// ---------------------------------------------------------------------------
// Category icons: 24 x 24 line glyphs. "-4" is the white variant for the
// selected (orange) button, "-123" the grey-blue one for the others.

using Glyph = std::function<void(QPainter &, const QColor &)>;

void glyphGeneral(QPainter &p, const QColor &c)
{
    // Gear: eight teeth around a ring, with a hub.
    const QPointF o(12, 12);
    const int teeth = 8;
    const qreal rOut = 9.6, rIn = 7.2;
    QPainterPath gear;
    for (int i = 0; i < teeth; ++i) {
        const qreal a = 2 * M_PI * i / teeth;
        const qreal half = M_PI / teeth;
        const qreal pts[4][2] = {{a - half * 0.95, rIn},
                                 {a - half * 0.45, rOut},
                                 {a + half * 0.45, rOut},
                                 {a + half * 0.95, rIn}};
        for (int k = 0; k < 4; ++k) {
            const QPointF pt =
                o + QPointF(qCos(pts[k][0]) * pts[k][1], qSin(pts[k][0]) * pts[k][1]);
            if (i == 0 && k == 0)
                gear.moveTo(pt);
            else
                gear.lineTo(pt);
        }
    }
    gear.closeSubpath();
    p.setPen(roundPen(c, 1.7));
    p.setBrush(Qt::NoBrush);
    p.drawPath(gear);
    p.drawEllipse(o, 2.9, 2.9);
}

void glyphAppearance(QPainter &p, const QColor &c)
{
    // Painter's palette: a board with a thumb hole and paint dots.
    QPainterPath board;
    board.moveTo(12, 2.6);
    board.cubicTo(17.6, 2.6, 21.4, 6.4, 21.4, 11.0);
    board.cubicTo(21.4, 14.2, 19.0, 15.4, 16.8, 14.9);
    board.cubicTo(14.6, 14.4, 13.4, 16.0, 14.4, 17.8);
    board.cubicTo(15.4, 19.8, 14.4, 21.4, 12.0, 21.4);
    board.cubicTo(6.4, 21.4, 2.6, 17.2, 2.6, 12.0);
    board.cubicTo(2.6, 6.8, 6.6, 2.6, 12, 2.6);
    board.closeSubpath();
    p.setPen(roundPen(c, 1.7));
    p.setBrush(Qt::NoBrush);
    p.drawPath(board);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(7.3, 12.4), 1.7, 1.7);
    p.drawEllipse(QPointF(8.4, 7.6), 1.7, 1.7);
    p.drawEllipse(QPointF(13.0, 6.4), 1.7, 1.7);
    p.drawEllipse(QPointF(17.0, 9.2), 1.7, 1.7);
    p.drawEllipse(QPointF(9.6, 17.0), 1.7, 1.7);
}

void glyphThesaurus(QPainter &p, const QColor &c)
{
    // Open book seen from the front.
    QPainterPath left;
    left.moveTo(12, 7);
    left.cubicTo(9.6, 5.2, 6.0, 4.9, 3, 5.6);
    left.lineTo(3, 18.6);
    left.cubicTo(6.0, 17.9, 9.6, 18.2, 12, 20);
    QPainterPath right;
    right.moveTo(12, 7);
    right.cubicTo(14.4, 5.2, 18.0, 4.9, 21, 5.6);
    right.lineTo(21, 18.6);
    right.cubicTo(18.0, 17.9, 14.4, 18.2, 12, 20);
    p.setPen(roundPen(c, 1.7));
    p.setBrush(Qt::NoBrush);
    p.drawPath(left);
    p.drawPath(right);
    p.drawLine(QPointF(12, 7), QPointF(12, 20));
    p.setPen(roundPen(c, 1.3));
    p.drawLine(QPointF(5.6, 9.4), QPointF(9.4, 10.0));
    p.drawLine(QPointF(5.6, 12.6), QPointF(9.4, 13.2));
    p.drawLine(QPointF(14.6, 10.0), QPointF(18.4, 9.4));
    p.drawLine(QPointF(14.6, 13.2), QPointF(18.4, 12.6));
}

void glyphAdvance(QPainter &p, const QColor &c)
{
    // Wrench: an open-ended head joined to a rounded handle, at 45 degrees.
    QPainterPath head;
    head.addEllipse(QPointF(0, 0), 5.6, 5.6);
    QPainterPath jaw;
    jaw.addRect(QRectF(-2.1, -7, 4.2, 6.2));
    head = head.subtracted(jaw);
    QPainterPath handle;
    handle.addRoundedRect(QRectF(-2.1, 2.5, 4.2, 13.8), 2.1, 2.1);
    QPainterPath wrench = head.united(handle).simplified();
    QTransform t;
    t.translate(14.6, 8.8);
    t.rotate(45);
    wrench = t.map(wrench);
    p.setPen(roundPen(c, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(wrench);
}

void glyphLetter(QPainter &p, const QColor &c, const QString &letter)
{
    p.setPen(roundPen(c, 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(2.8, 2.8, 18.4, 18.4), 4, 4);
    fillCentredText(p, letter, pixelFont(kCjkFamily, 13.5), QPointF(12, 12.2), c, 0.45);
}

void glyphAbout(QPainter &p, const QColor &c)
{
    p.setPen(roundPen(c, 1.7));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12, 12), 9.2, 9.2);
    p.setPen(roundPen(c, 2.1));
    p.drawLine(QPointF(12, 11), QPointF(12, 16.6));
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(12, 7.6), 1.35, 1.35);
}

void drawCategoryIcons()
{
    const struct {
        const char *name;
        Glyph glyph;
    } icons[] = {
        {"general", glyphGeneral},
        {"appearance", glyphAppearance},
        {"thesaurus", glyphThesaurus},
        {"advance", glyphAdvance},
        {"pinyin", [](QPainter &p, const QColor &c) { glyphLetter(p, c, QStringLiteral("拼")); }},
        {"wubi", [](QPainter &p, const QColor &c) { glyphLetter(p, c, QStringLiteral("五")); }},
        {"about", glyphAbout},
    };
    for (const auto &icon : icons) {
        for (const auto &variant :
             {std::make_pair("-4", QColor(Qt::white)), std::make_pair("-123", kIconGrey)}) {
            QImage img = canvas(24, 24);
            draw(img, [&](QPainter &p) { icon.glyph(p, variant.second); });
            save(img, QString("AttributeSetting/%1%2.png").arg(icon.name, variant.first));
        }
    }
}

// ---------------------------------------------------------------------------
// Logos and illustrations.

void drawLogos()
{
    QImage logo = canvas(146, 60);
    draw(logo, [](QPainter &p) { drawWordmark(p, QRectF(0, 0, 146, 60), 30, 17, 8); });
    save(logo, "logo.png");

    QImage about = canvas(240, 76);
    draw(about, [](QPainter &p) { drawWordmark(p, QRectF(0, 0, 240, 76), 56, 30, 12); });
    save(about, "about_logo.png");

    save(markImage(78, 76, 4), "about_logo_new.png");
    save(markImage(22, 22, 1), "logo22x22.png");
    save(markImage(130, 130, 6), "kaiwo130x130.png");
    save(markImage(128, 128, 6), "kaiwo.png");

    QImage warn = canvas(55, 55);
    draw(warn, [](QPainter &p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kOrange);
        p.drawEllipse(QPointF(27.5, 27.5), 25.5, 25.5);
        QPainterPath bar;
        bar.moveTo(24.6, 13.5);
        bar.lineTo(30.4, 13.5);
        bar.lineTo(29.0, 32.5);
        bar.lineTo(26.0, 32.5);
        bar.closeSubpath();
        p.setPen(roundPen(Qt::white, 1.6));
        p.setBrush(Qt::white);
        p.drawPath(bar);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(27.5, 39.8), 3.1, 3.1);
    });
    save(warn, "exclamation_mark.png");
}

void drawKeycap(QPainter &p, const QRectF &r, const QString &label, bool accent)
{
    const QColor face = accent ? kOrange : QColor("#fbfcfd");
    const QColor edge = accent ? kOrangeDark : QColor("#cdd4da");
    p.setPen(Qt::NoPen);
    p.setBrush(edge);
    p.drawRoundedRect(r.adjusted(0, 3, 0, 3), 5, 5);
    p.setPen(QPen(accent ? kOrangeDark : kBorder, 1));
    p.setBrush(face);
    p.drawRoundedRect(r, 5, 5);
    p.setPen(accent ? QColor(Qt::white) : kIconGrey);
    p.setFont(pixelFont(kLatinFamily, label.size() == 1 ? 16 : 13, QFont::DemiBold));
    p.drawText(r, Qt::AlignCenter, label);
}

void drawShortcutIllustration()
{
    QImage img = canvas(290, 140);
    draw(img, [](QPainter &p) {
        // A line being typed, with the English completions under it.
        p.setPen(QPen(kRule, 1));
        p.setBrush(Qt::white);
        const QRectF field(20.5, 6.5, 250, 28);
        p.drawRoundedRect(field, 3, 3);
        const QFont mono = pixelFont(kLatinFamily, 14);
        p.setFont(mono);
        p.setPen(kText);
        const QString typed = QStringLiteral("Kaiwo hel");
        p.drawText(QPointF(field.left() + 10, field.center().y() + 5), typed);
        const qreal caretX = field.left() + 10 + QFontMetricsF(mono).horizontalAdvance(typed) + 1.5;
        p.setPen(QPen(kOrange, 1.4));
        p.drawLine(QPointF(caretX, field.top() + 6), QPointF(caretX, field.bottom() - 6));

        const QRectF bar(caretX - 14.5, 40.5, 150, 26);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 18));
        p.drawRoundedRect(bar.translated(0, 2), 3, 3);
        p.setPen(QPen(kRule, 1));
        p.setBrush(Qt::white);
        p.drawRoundedRect(bar, 3, 3);
        const QFont cand = pixelFont(kLatinFamily, 12);
        p.setFont(cand);
        qreal x = bar.left() + 8;
        const QStringList words = {QStringLiteral("1.hello"), QStringLiteral("2.help"),
                                   QStringLiteral("3.helmet")};
        for (int i = 0; i < words.size(); ++i) {
            p.setPen(i == 0 ? kOrange : kText);
            p.drawText(QPointF(x, bar.center().y() + 4.5), words[i]);
            x += QFontMetricsF(cand).horizontalAdvance(words[i]) + 9;
        }

        // Ctrl + Shift + E
        const qreal y = 88, h = 34;
        const QRectF ctrl(28, y, 62, h), shift(118, y, 70, h), key(216, y, 44, h);
        drawKeycap(p, ctrl, QStringLiteral("Ctrl"), false);
        drawKeycap(p, shift, QStringLiteral("Shift"), false);
        drawKeycap(p, key, QStringLiteral("E"), true);
        p.setPen(kGlyphGrey);
        p.setFont(pixelFont(kLatinFamily, 18, QFont::Bold));
        p.drawText(QRectF(ctrl.right(), y, shift.left() - ctrl.right(), h), Qt::AlignCenter,
                   QStringLiteral("+"));
        p.drawText(QRectF(shift.right(), y, key.left() - shift.right(), h), Qt::AlignCenter,
                   QStringLiteral("+"));
    });
    save(img, "inputMethod-Shortcut.png");
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: drawpictures OUTPUT_PICTURE_DIR\n";
        return 2;
    }
    gOutDir = QString::fromLocal8Bit(argv[1]);

    drawIndicators();
    drawTitleButtons();
    drawBackgrounds();
    drawCategoryIcons();
    drawLogos();
    drawShortcutIllustration();

    QTextStream(stdout) << gWritten << " pictures written to " << gOutDir << '\n';
    return 0;
}
