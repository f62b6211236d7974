#include "painting.h"

#include <QFontInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

QImage newCanvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void prepare(QPainter &painter)
{
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                           | QPainter::SmoothPixmapTransform);
}

QFont captionFont(qreal pixelSize, QFont::Weight weight)
{
    QFont font("WenQuanYi Micro Hei");
    font.setPixelSize(qRound(pixelSize));
    font.setWeight(weight);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void drawSoftShadow(QPainter &painter, const QRectF &rect, qreal radius, int spread, int alpha)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    // Nested outlines with a quadratic fall-off approximate a blurred shadow
    // without an image filter.
    for (int i = spread; i >= 1; --i) {
        const qreal fade = 1.0 - qreal(i) / (spread + 1);
        painter.setPen(QPen(QColor(0, 0, 0, qRound(alpha * fade * fade)), 1.0));
        const qreal grow = i - 0.5;
        painter.drawRoundedRect(rect.adjusted(-grow, -grow + 1, grow, grow + 1), radius + grow,
                                radius + grow);
    }
    painter.restore();
}

void drawPanel(QPainter &painter, const QRectF &rect, qreal radius)
{
    painter.save();
    QLinearGradient fill(rect.topLeft(), rect.bottomLeft());
    fill.setColorAt(0.0, Palette::panelTop);
    fill.setColorAt(1.0, Palette::panelBottom);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(rect, radius, radius);

    QLinearGradient edge(rect.topLeft(), rect.bottomLeft());
    edge.setColorAt(0.0, QColor(110, 170, 168, 150));
    edge.setColorAt(0.25, QColor(66, 94, 94, 110));
    edge.setColorAt(1.0, QColor(40, 58, 60, 140));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QBrush(edge), 1.0));
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
    painter.restore();
}

static QPainterPath hexagon(const QPointF &centre, qreal size)
{
    QPainterPath path;
    for (int corner = 0; corner < 6; ++corner) {
        const qreal angle = qDegreesToRadians(60.0 * corner + 30.0);
        const QPointF point = centre + QPointF(size * qCos(angle), size * qSin(angle));
        if (corner == 0)
            path.moveTo(point);
        else
            path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

void drawHoneycomb(QPainter &painter, const QRectF &area, qreal cell, const QPointF &focus,
                   qreal reach, int alpha)
{
    QImage layer = newCanvas(qCeil(area.right()), qCeil(area.bottom()));
    {
        QPainter p(&layer);
        prepare(p);
        p.setPen(QPen(QColor(Palette::tealMuted.red(), Palette::tealMuted.green(),
                             Palette::tealMuted.blue(), alpha),
                      0.8));
        const qreal dx = cell * qSqrt(3.0);
        const qreal dy = cell * 1.5;
        int row = 0;
        for (qreal y = area.top() - cell; y < area.bottom() + cell; y += dy, ++row) {
            const qreal shift = (row % 2) ? dx / 2 : 0;
            for (qreal x = area.left() - dx + shift; x < area.right() + dx; x += dx)
                p.drawPath(hexagon(QPointF(x, y), cell - 1.5));
        }
        // Fade the pattern out with distance from the focus.
        QRadialGradient mask(focus, reach);
        mask.setColorAt(0.0, QColor(0, 0, 0, 255));
        mask.setColorAt(0.6, QColor(0, 0, 0, 90));
        mask.setColorAt(1.0, QColor(0, 0, 0, 0));
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.fillRect(layer.rect(), mask);
    }
    painter.save();
    painter.setClipRect(area);
    painter.drawImage(0, 0, layer);
    painter.restore();
}

void drawGlowLine(QPainter &painter, qreal y, qreal left, qreal right, const QColor &color)
{
    QLinearGradient line(left, y, right, y);
    QColor clear = color;
    clear.setAlpha(0);
    line.setColorAt(0.0, clear);
    line.setColorAt(0.5, color);
    line.setColorAt(1.0, clear);
    painter.save();
    painter.setPen(QPen(QBrush(line), 1.0));
    painter.drawLine(QPointF(left, y + 0.5), QPointF(right, y + 0.5));
    painter.restore();
}

void drawGlow(QPainter &painter, const QPointF &centre, qreal radius, const QColor &color)
{
    QRadialGradient glow(centre, radius);
    QColor clear = color;
    clear.setAlpha(0);
    glow.setColorAt(0.0, color);
    glow.setColorAt(1.0, clear);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, radius, radius);
    painter.restore();
}

QPainterPath cloudPath(const QRectF &box)
{
    const qreal w = box.width();
    const qreal h = box.height();
    const qreal x = box.left();
    const qreal y = box.top();
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRoundedRect(QRectF(x, y + h * 0.45, w, h * 0.55), h * 0.275, h * 0.275);
    path.addEllipse(QPointF(x + w * 0.30, y + h * 0.58), h * 0.30, h * 0.30);
    path.addEllipse(QPointF(x + w * 0.56, y + h * 0.42), h * 0.42, h * 0.42);
    path.addEllipse(QPointF(x + w * 0.78, y + h * 0.64), h * 0.26, h * 0.26);
    // One outline, so that strokes do not show where the lobes overlap.
    return path.simplified();
}

void drawMark(QPainter &painter, const QRectF &box)
{
    painter.save();
    const qreal s = box.width();
    QLinearGradient tile(box.topLeft(), box.bottomRight());
    tile.setColorAt(0.0, QColor(70, 232, 208));
    tile.setColorAt(0.55, Palette::teal);
    tile.setColorAt(1.0, QColor(38, 104, 104));
    painter.setPen(Qt::NoPen);
    painter.setBrush(tile);
    painter.drawRoundedRect(box, s * 0.22, s * 0.22);

    // Gloss on the upper half of the tile.
    QLinearGradient gloss(box.topLeft(), QPointF(box.left(), box.center().y()));
    gloss.setColorAt(0.0, QColor(255, 255, 255, 70));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setBrush(gloss);
    painter.drawRoundedRect(box.adjusted(s * 0.04, s * 0.04, -s * 0.04, -s * 0.5), s * 0.18,
                            s * 0.18);

    // A faint shadow under the cloud lifts it off the tile.
    const QRectF cloudBox(box.left() + s * 0.14, box.top() + s * 0.24, s * 0.72, s * 0.50);
    painter.setBrush(QColor(10, 50, 50, 60));
    painter.drawPath(cloudPath(cloudBox.translated(0, s * 0.025)));
    painter.setBrush(QColor(250, 255, 255));
    painter.drawPath(cloudPath(cloudBox));

    // The play triangle takes the tile's own gradient, so it reads as cut out.
    const QPointF c(cloudBox.center().x() + s * 0.015, cloudBox.top() + cloudBox.height() * 0.64);
    const qreal t = s * 0.12;
    QPainterPath play;
    play.moveTo(c + QPointF(-t * 0.75, -t));
    play.lineTo(c + QPointF(t * 1.05, 0));
    play.lineTo(c + QPointF(-t * 0.75, t));
    play.closeSubpath();
    painter.setBrush(tile);
    QPen rounded(QBrush(tile), s * 0.025, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(rounded);
    painter.drawPath(play);
    painter.restore();
}

void drawShadowedText(QPainter &painter, const QRectF &rect, int flags, const QString &text,
                      const QColor &color)
{
    painter.save();
    painter.setPen(QColor(0, 0, 0, 110));
    painter.drawText(rect.translated(0, 1), flags, text);
    painter.setPen(color);
    painter.drawText(rect, flags, text);
    painter.restore();
}
