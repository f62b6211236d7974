#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QRectF>

class QPainter;

// The skin's colours; the first three are the style sheet's own, so that the
// bitmaps and the styled widgets read as one surface.
namespace Palette {
const QColor teal(80, 183, 177);
const QColor tealDeep(54, 89, 90);
const QColor tealBright(0x33, 0xe9, 0xce);
const QColor tealMuted(120, 180, 180);
const QColor panelTop(33, 47, 50);
const QColor panelBottom(22, 31, 33);
const QColor panelEdge(66, 94, 94);
const QColor glyph(169, 188, 188);
} // namespace Palette

// A transparent canvas of the given size, ready for antialiased painting.
QImage newCanvas(int width, int height);
void prepare(QPainter &painter);

// The CJK sans-serif face the artwork writes its Chinese captions in.
QFont captionFont(qreal pixelSize, QFont::Weight weight = QFont::Normal);

// Soft shadow around a rounded rectangle, fading out over `spread` pixels.
void drawSoftShadow(QPainter &painter, const QRectF &rect, qreal radius, int spread, int alpha);

// Dark rounded panel with a hairline edge and a lit top edge; the base of every
// window background.
void drawPanel(QPainter &painter, const QRectF &rect, qreal radius);

// Honeycomb of thin outlines over `area`, strongest at `focus` and fading out
// towards `reach` pixels away from it.
void drawHoneycomb(QPainter &painter, const QRectF &area, qreal cell, const QPointF &focus,
                   qreal reach, int alpha);

// Horizontal hairline that glows in the middle and fades out at both ends.
void drawGlowLine(QPainter &painter, qreal y, qreal left, qreal right, const QColor &color);

// Radial light centred on `centre`.
void drawGlow(QPainter &painter, const QPointF &centre, qreal radius, const QColor &color);

// The product's cloud outline inside `box` (flat bottom, three lobes).
QPainterPath cloudPath(const QRectF &box);

// The product mark: a rounded teal tile holding a white cloud with a play
// triangle cut out of it. `box` should be square.
void drawMark(QPainter &painter, const QRectF &box);

// Text with a faint dark shadow one pixel below, for captions on artwork.
void drawShadowedText(QPainter &painter, const QRectF &rect, int flags, const QString &text,
                      const QColor &color);
