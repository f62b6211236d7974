#include "backgrounds.h"

#include "painting.h"

#include <QLinearGradient>
#include <QPainter>
#include <QtMath>

namespace {

const QSize mainWindowSize(678, 549);
const int shadowSpread = 10;
const qreal mainRadius = 10;
const QString productName = QStringLiteral("维拉云端");

QRectF panelRect(const QSize &canvas)
{
    return QRectF(QPointF(0, 0), canvas).adjusted(shadowSpread, shadowSpread - 2, -shadowSpread,
                                                  -shadowSpread - 1);
}

// Sine-like ribbons drifting across the banner: the "stream" motif.
void drawStreams(QPainter &painter, const QRectF &area, qreal baseline)
{
    painter.save();
    painter.setClipRect(area);
    for (int i = 0; i < 5; ++i) {
        QPainterPath wave;
        const qreal amplitude = 14 + 5 * i;
        const qreal phase = i * 0.9;
        const qreal y0 = baseline + i * 7;
        wave.moveTo(area.left(), y0);
        for (qreal x = area.left(); x <= area.right(); x += 4) {
            const qreal t = (x - area.left()) / area.width();
            wave.lineTo(x, y0 + amplitude * qSin(t * 2 * M_PI * 1.15 + phase));
        }
        QLinearGradient stroke(area.left(), 0, area.right(), 0);
        stroke.setColorAt(0.0, QColor(51, 233, 206, 0));
        stroke.setColorAt(0.45, QColor(51, 233, 206, 70 - i * 10));
        stroke.setColorAt(1.0, QColor(80, 183, 177, 0));
        painter.setPen(QPen(QBrush(stroke), 1.2));
        painter.drawPath(wave);
    }
    painter.restore();
}

// Lighter banner at the top of a panel, with pattern and light.
void drawBanner(QPainter &painter, const QRectF &panel, qreal bottom, qreal radius)
{
    const QRectF banner(panel.left(), panel.top(), panel.width(), bottom - panel.top());
    QPainterPath shape;
    shape.addRoundedRect(panel, radius, radius);
    QPainterPath bannerClip;
    bannerClip.addRect(banner);
    painter.save();
    painter.setClipPath(shape.intersected(bannerClip));

    QLinearGradient fill(banner.topLeft(), banner.bottomRight());
    fill.setColorAt(0.0, QColor(34, 72, 75));
    fill.setColorAt(0.6, QColor(27, 50, 53));
    fill.setColorAt(1.0, QColor(24, 38, 41));
    painter.fillRect(banner, fill);

    drawGlow(painter, QPointF(banner.center().x(), banner.top() + banner.height() * 0.48),
             banner.width() * 0.42, QColor(80, 183, 177, 70));
    drawHoneycomb(painter, banner, 16, QPointF(banner.right() - 90, banner.top() + 40), 300, 60);

    // The banner darkens into the panel below it.
    QLinearGradient fade(0, bottom - 60, 0, bottom);
    fade.setColorAt(0.0, QColor(24, 35, 37, 0));
    fade.setColorAt(1.0, QColor(24, 35, 37, 170));
    painter.fillRect(QRectF(banner.left(), bottom - 60, banner.width(), 60), fade);
    painter.restore();

    drawGlowLine(painter, bottom, panel.left() + 20, panel.right() - 20, QColor(51, 233, 206, 150));
}

// Mark and product name in the top left corner, level with the title buttons.
void drawTitleBrand(QPainter &painter, const QRectF &panel, qreal centreY)
{
    const qreal markSize = 22;
    drawMark(painter, QRectF(panel.left() + 24, centreY - markSize / 2, markSize, markSize));
    painter.setFont(captionFont(14, QFont::Medium));
    drawShadowedText(painter, QRectF(panel.left() + 54, centreY - 12, 200, 24),
                     Qt::AlignLeft | Qt::AlignVCenter, productName, QColor(235, 245, 245));
}

void drawHeroMark(QPainter &painter, const QPointF &centre, qreal size)
{
    drawGlow(painter, centre, size * 1.1, QColor(51, 233, 206, 60));
    const QRectF box(centre.x() - size / 2, centre.y() - size / 2, size, size);
    drawSoftShadow(painter, box.adjusted(2, 4, -2, 2), size * 0.22, 8, 90);
    drawMark(painter, box);
}

void drawCentredCaption(QPainter &painter, qreal top, qreal height, qreal pixelSize,
                        QFont::Weight weight, const QString &text, const QColor &color)
{
    painter.setFont(captionFont(pixelSize, weight));
    const QRectF line(0, top, painter.device()->width(), height);
    drawShadowedText(painter, line, Qt::AlignHCenter | Qt::AlignVCenter, text, color);
}

QImage mainWindowBase(qreal bannerBottom)
{
    QImage image = newCanvas(mainWindowSize.width(), mainWindowSize.height());
    QPainter painter(&image);
    prepare(painter);
    const QRectF panel = panelRect(mainWindowSize);
    drawSoftShadow(painter, panel, mainRadius, shadowSpread, 110);
    drawPanel(painter, panel, mainRadius);
    drawBanner(painter, panel, bannerBottom, mainRadius);
    // Level with the title buttons' 14 px images, which start at y 52.
    drawTitleBrand(painter, panel, 59.5);
    return image;
}

// Small round badge with a line glyph, used for the feature row.
void drawFeature(QPainter &painter, const QPointF &centre, const QPainterPath &glyph,
                 const QString &caption)
{
    painter.save();
    const qreal r = 19;
    QRadialGradient disc(centre - QPointF(0, r * 0.4), r * 1.6);
    disc.setColorAt(0.0, QColor(62, 110, 110));
    disc.setColorAt(1.0, QColor(34, 56, 58));
    painter.setBrush(disc);
    painter.setPen(QPen(QColor(80, 183, 177, 150), 1.0));
    painter.drawEllipse(centre, r, r);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Palette::tealBright, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(glyph.translated(centre));
    painter.setFont(captionFont(13));
    painter.setPen(QColor(170, 200, 200));
    painter.drawText(QRectF(centre.x() - 60, centre.y() + r + 6, 120, 20), Qt::AlignCenter,
                     caption);
    painter.restore();
}

QPainterPath screenGlyph()
{
    QPainterPath path;
    path.addRoundedRect(QRectF(-9, -7, 18, 12), 1.5, 1.5);
    path.moveTo(-4, 9);
    path.lineTo(4, 9);
    path.moveTo(0, 5);
    path.lineTo(0, 9);
    return path;
}

QPainterPath boltGlyph()
{
    QPainterPath path;
    path.moveTo(2, -10);
    path.lineTo(-6, 1);
    path.lineTo(0, 1);
    path.lineTo(-2, 10);
    path.lineTo(6, -1);
    path.lineTo(0, -1);
    path.closeSubpath();
    return path;
}

QPainterPath cloudGlyph()
{
    QPainterPath path = cloudPath(QRectF(-11, -9, 22, 14));
    path.moveTo(0, -1);
    path.lineTo(0, 9);
    path.moveTo(-3.5, 5.5);
    path.lineTo(0, 9);
    path.lineTo(3.5, 5.5);
    return path;
}

// Dialog panel with a header band carrying the mark and a caption.
QImage dialogBase(const QSize &size, qreal headerBottom, const QString &caption)
{
    QImage image = newCanvas(size.width(), size.height());
    QPainter painter(&image);
    prepare(painter);
    const QRectF panel = panelRect(size);
    const qreal radius = 8;
    drawSoftShadow(painter, panel, radius, shadowSpread, 120);
    drawPanel(painter, panel, radius);
    drawBanner(painter, panel, headerBottom, radius);
    const qreal centreY = (panel.top() + headerBottom) / 2;
    const qreal markSize = 20;
    drawMark(painter, QRectF(panel.left() + 22, centreY - markSize / 2, markSize, markSize));
    painter.setFont(captionFont(15, QFont::Medium));
    drawShadowedText(painter, QRectF(panel.left() + 52, centreY - 12, 300, 24),
                     Qt::AlignLeft | Qt::AlignVCenter, caption, QColor(235, 245, 245));
    return image;
}

} // namespace

QImage startBackground()
{
    QImage image = mainWindowBase(262);
    QPainter painter(&image);
    prepare(painter);
    const QRectF panel = panelRect(mainWindowSize);
    drawStreams(painter, QRectF(panel.left(), 150, panel.width(), 110), 205);
    drawHeroMark(painter, QPointF(339, 128), 68);
    drawCentredCaption(painter, 172, 34, 24, QFont::Medium, QStringLiteral("随时随地，云端畅玩"),
                       QColor(240, 250, 250));
    drawCentredCaption(painter, 208, 22, 13, QFont::Normal,
                       QStringLiteral("高清画质  ·  极速响应  ·  免下载即点即玩"),
                       QColor(150, 200, 198));
    // Divides the path controls from the options row.
    drawGlowLine(painter, 397, panel.left() + 30, panel.right() - 30, QColor(100, 150, 150, 90));
    // A low light behind the install button (x 495..615, y 427..465) draws
    // the eye to it.
    QPainterPath inside;
    inside.addRoundedRect(panel, mainRadius, mainRadius);
    painter.setClipPath(inside);
    drawGlow(painter, QPointF(555, 446), 130, QColor(80, 183, 177, 26));
    return image;
}

QImage progressBackground()
{
    QImage image = mainWindowBase(300);
    QPainter painter(&image);
    prepare(painter);
    const QRectF panel = panelRect(mainWindowSize);
    drawStreams(painter, QRectF(panel.left(), 180, panel.width(), 118), 240);
    drawHeroMark(painter, QPointF(339, 150), 80);
    drawCentredCaption(painter, 204, 34, 24, QFont::Medium, QStringLiteral("随时随地，云端畅玩"),
                       QColor(240, 250, 250));
    drawCentredCaption(painter, 240, 22, 13, QFont::Normal,
                       QStringLiteral("海量精品游戏，无需等待下载"), QColor(150, 200, 198));
    // The progress bar sits at y 451, the finished page's buttons at 447..483.
    drawFeature(painter, QPointF(199, 354), screenGlyph(), QStringLiteral("高清画质"));
    drawFeature(painter, QPointF(339, 354), boltGlyph(), QStringLiteral("极速响应"));
    drawFeature(painter, QPointF(479, 354), cloudGlyph(), QStringLiteral("免下载"));
    return image;
}

QImage messageBoxBackground()
{
    return dialogBase(QSize(610, 272), 62, QStringLiteral("温馨提示"));
}

QImage agreementsBackground()
{
    QImage image = dialogBase(QSize(562, 418), 66, QStringLiteral("用户协议"));
    QPainter painter(&image);
    prepare(painter);
    // Recessed well behind the text view (which starts at 50, 85).
    const QRectF well(40, 77, 482, 266);
    painter.setPen(QPen(QColor(66, 94, 94, 160), 1.0));
    painter.setBrush(QColor(10, 18, 20, 110));
    painter.drawRoundedRect(well.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    return image;
}
