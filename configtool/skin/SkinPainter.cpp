#include "SkinPainter.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace
{

const QString kSampleCode = QStringLiteral("kai wo");
const QStringList kSampleWords{
    QStringLiteral("凯沃"), QStringLiteral("开窝"), QStringLiteral("凯"),
    QStringLiteral("开"),   QStringLiteral("慨"),   QStringLiteral("楷"),
    QStringLiteral("铠"),   QStringLiteral("恺"),   QStringLiteral("忾")};

// fcitx's input window: the width grows in steps, with a floor per layout,
// and rows of a vertical list are two pixels apart.
const int kWidthStep = 80;
const int kMinWidthHorizontal = 80;
const int kMinWidthVertical = 160;
const int kRowGap = 2;
// Where the code line and the candidates sit inside the margins.
const int kInputPos = 0;
const int kOutputPos = 4;

struct Run {
    QString text;
    QColor color;
    QPoint at;
};

QFont lookFont(const SkinStyle &style)
{
    QFont font(style.font);
    font.setPointSize(style.fontSize);
    return font;
}

} // namespace

QMargins SkinPainter::margins(const SkinStyle &style)
{
    const int x = qMax(8, style.cornerRadius + 4);
    const int y = qMax(6, style.cornerRadius + 2);
    return QMargins(x, y, x, y);
}

QImage SkinPainter::background(const SkinStyle &style)
{
    const QMargins m = margins(style);
    QImage picture(m.left() + m.right() + 32, m.top() + m.bottom() + 32,
                   QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, style.cornerRadius > 0);
    QLinearGradient fill(0, 0, 0, picture.height());
    fill.setColorAt(0, style.backgroundTop);
    fill.setColorAt(1, style.backgroundBottom);
    painter.setPen(style.border);
    painter.setBrush(fill);
    const QRectF frame = QRectF(picture.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.drawRoundedRect(frame, style.cornerRadius, style.cornerRadius);
    return picture;
}

void SkinPainter::drawStretched(QPainter &painter, const QImage &picture, const QMargins &m,
                                const QRect &target)
{
    const int columns[] = {0, m.left(), picture.width() - m.right(), picture.width()};
    const int rows[] = {0, m.top(), picture.height() - m.bottom(), picture.height()};
    const int toColumns[] = {target.left(), target.left() + m.left(),
                             target.right() + 1 - m.right(), target.right() + 1};
    const int toRows[] = {target.top(), target.top() + m.top(), target.bottom() + 1 - m.bottom(),
                          target.bottom() + 1};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QRect from(QPoint(columns[column], rows[row]),
                             QPoint(columns[column + 1] - 1, rows[row + 1] - 1));
            const QRect to(QPoint(toColumns[column], toRows[row]),
                           QPoint(toColumns[column + 1] - 1, toRows[row + 1] - 1));
            if (from.isValid() && to.isValid())
                painter.drawImage(to, picture, from);
        }
    }
}

QImage SkinPainter::sampleWindow(const CandidateLook &look)
{
    const SkinStyle &style = look.style;
    const QFont font = lookFont(style);
    const QFontMetrics metrics(font);
    const int lineHeight = metrics.height();

    std::vector<Run> runs;
    runs.push_back({kSampleCode, style.pinyin, QPoint(0, kInputPos)});
    const int codeWidth = metrics.horizontalAdvance(kSampleCode);
    const int top = kInputPos + lineHeight + kOutputPos;
    int x = 0;
    int y = top;
    int width = codeWidth;
    const int count = qBound(1, look.pageSize, int(kSampleWords.size()));
    for (int i = 0; i < count; ++i) {
        if (look.vertical && i > 0) {
            x = 0;
            y += lineHeight + kRowGap;
        }
        const QString parts[] = {QString::number(i + 1) + QLatin1Char('.'), kSampleWords[i],
                                 QStringLiteral(" ")};
        const QColor colors[] = {style.nonPrimary, i == 0 ? style.primary : style.nonPrimary,
                                 style.nonPrimary};
        for (int part = 0; part < 3; ++part) {
            runs.push_back({parts[part], colors[part], QPoint(x, y)});
            x += metrics.horizontalAdvance(parts[part]);
        }
        width = qMax(width, x);
    }
    width = width / kWidthStep * kWidthStep + kWidthStep;
    width = qMax(width, look.vertical ? kMinWidthVertical : kMinWidthHorizontal);
    const int height = y + lineHeight;

    const QMargins m = margins(style);
    QImage window(width + m.left() + m.right(), height + m.top() + m.bottom(),
                  QImage::Format_ARGB32_Premultiplied);
    window.fill(Qt::transparent);
    QPainter painter(&window);
    drawStretched(painter, background(style), m, window.rect());
    painter.translate(m.left(), m.top());
    painter.setFont(font);
    for (const Run &run : runs) {
        painter.setPen(run.color);
        painter.drawText(run.at + QPoint(0, metrics.ascent()), run.text);
    }
    // The text cursor after the code, as fcitx draws it.
    painter.setPen(style.pinyin);
    painter.drawLine(codeWidth, kInputPos, codeWidth, kInputPos + lineHeight);
    return window;
}
