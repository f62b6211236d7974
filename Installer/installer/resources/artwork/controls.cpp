#include "controls.h"

#include "painting.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

QColor glyphColour(ButtonState state)
{
    switch (state) {
    case ButtonState::Hover:
        return Qt::white;
    case ButtonState::Pressed:
        return Palette::tealBright;
    case ButtonState::Disabled:
        return QColor(100, 112, 112);
    case ButtonState::Normal:
        break;
    }
    return Palette::glyph;
}

// A line glyph on a small transparent canvas; hover adds a soft halo so the
// state reads even on the busy banner.
QImage titleGlyph(const QPainterPath &glyph, ButtonState state)
{
    QImage image = newCanvas(14, 14);
    QPainter painter(&image);
    prepare(painter);
    if (state == ButtonState::Hover)
        drawGlow(painter, QPointF(7, 7), 7, QColor(51, 233, 206, 90));
    painter.setPen(QPen(glyphColour(state), 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(glyph);
    return image;
}

} // namespace

QImage closeButton(ButtonState state)
{
    QPainterPath cross;
    cross.moveTo(2.5, 2.5);
    cross.lineTo(11.5, 11.5);
    cross.moveTo(11.5, 2.5);
    cross.lineTo(2.5, 11.5);
    return titleGlyph(cross, state);
}

QImage minimiseButton(ButtonState state)
{
    QPainterPath bar;
    bar.moveTo(2, 7.5);
    bar.lineTo(12, 7.5);
    return titleGlyph(bar, state);
}

QImage backButton(ButtonState state)
{
    QImage image = newCanvas(32, 32);
    QPainter painter(&image);
    prepare(painter);
    const bool lit = state != ButtonState::Normal;
    painter.setPen(QPen(lit ? Palette::tealBright : Palette::panelEdge, 1.4));
    painter.setBrush(lit ? QColor(80, 183, 177, 70) : QColor(255, 255, 255, 12));
    painter.drawEllipse(QRectF(2, 2, 28, 28));
    QPainterPath chevron;
    chevron.moveTo(18, 9.5);
    chevron.lineTo(11.5, 16);
    chevron.lineTo(18, 22.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(lit ? Qt::white : Palette::glyph, 2.0, Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.drawPath(chevron);
    return image;
}

QImage installButton(ButtonState state)
{
    struct Look {
        QColor top, bottom, edge, text;
        qreal textOffset;
        int gloss;
    };
    Look look{QColor(96, 214, 204), QColor(52, 150, 146), QColor(120, 230, 220), Qt::white, 0, 60};
    switch (state) {
    case ButtonState::Hover:
        look = {QColor(110, 240, 224), QColor(62, 178, 170), QColor(160, 255, 240), Qt::white, 0, 80};
        break;
    case ButtonState::Pressed:
        look = {QColor(44, 124, 121), QColor(56, 150, 146), QColor(40, 110, 108),
                QColor(225, 245, 243), 1, 0};
        break;
    case ButtonState::Disabled:
        look = {QColor(78, 92, 94), QColor(62, 74, 76), QColor(88, 102, 104),
                QColor(150, 160, 160), 0, 12};
        break;
    case ButtonState::Normal:
        break;
    }

    QImage image = newCanvas(120, 38);
    QPainter painter(&image);
    prepare(painter);
    const QRectF body(1, 1, 118, 35);
    const qreal radius = body.height() / 2;

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, state == ButtonState::Pressed ? 30 : 70));
    painter.drawRoundedRect(body.translated(0, 1.5), radius, radius);

    QLinearGradient fill(body.topLeft(), body.bottomLeft());
    fill.setColorAt(0.0, look.top);
    fill.setColorAt(1.0, look.bottom);
    painter.setBrush(fill);
    painter.setPen(QPen(look.edge, 1.0));
    painter.drawRoundedRect(body.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);

    if (look.gloss > 0) {
        QLinearGradient gloss(body.topLeft(), QPointF(body.left(), body.center().y()));
        gloss.setColorAt(0.0, QColor(255, 255, 255, look.gloss));
        gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(gloss);
        painter.drawRoundedRect(body.adjusted(3, 2, -3, -body.height() / 2), radius - 3,
                                radius - 3);
    }

    painter.setFont(captionFont(16, QFont::Bold));
    const QRectF label = body.translated(0, look.textOffset - 0.5);
    if (state == ButtonState::Disabled) {
        painter.setPen(look.text);
        painter.drawText(label, Qt::AlignCenter, QStringLiteral("立即安装"));
    } else {
        drawShadowedText(painter, label, Qt::AlignCenter, QStringLiteral("立即安装"), look.text);
    }
    return image;
}

QImage pathChooserButton(ButtonState state)
{
    QColor fill = Palette::tealDeep;
    QColor folder(150, 214, 208);
    qreal offset = 0;
    if (state == ButtonState::Hover) {
        fill = QColor(66, 116, 116);
        folder = Palette::tealBright;
    } else if (state == ButtonState::Pressed) {
        fill = QColor(42, 70, 71);
        folder = QColor(210, 240, 236);
        offset = 1;
    }

    QImage image = newCanvas(45, 30);
    QPainter painter(&image);
    prepare(painter);
    QLinearGradient body(0, 0, 0, 30);
    body.setColorAt(0.0, fill.lighter(112));
    body.setColorAt(1.0, fill);
    painter.setBrush(body);
    painter.setPen(QPen(QColor(0x42, 0x5e, 0x5e), 1.0));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 44, 29), 2, 2);

    // Folder: tab and body outline with a lighter front flap.
    painter.translate(0, offset);
    QPainterPath back;
    back.moveTo(14.5, 9.5);
    back.lineTo(20, 9.5);
    back.lineTo(22, 11.5);
    back.lineTo(30.5, 11.5);
    back.lineTo(30.5, 21.5);
    back.lineTo(14.5, 21.5);
    back.closeSubpath();
    painter.setPen(QPen(folder, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(back);
    QPainterPath front;
    front.moveTo(14.5, 21.5);
    front.lineTo(17, 14.5);
    front.lineTo(32.5, 14.5);
    front.lineTo(30.5, 21.5);
    front.closeSubpath();
    QColor flap = folder;
    flap.setAlpha(90);
    painter.setBrush(flap);
    painter.drawPath(front);
    return image;
}

QImage checkBoxIndicator(bool checked)
{
    QImage image = newCanvas(16, 16);
    QPainter painter(&image);
    prepare(painter);
    const QRectF box(1, 1, 14, 14);
    if (!checked) {
        painter.setPen(QPen(Palette::tealMuted, 1.2));
        painter.setBrush(QColor(255, 255, 255, 14));
        painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        return image;
    }
    QLinearGradient fill(box.topLeft(), box.bottomLeft());
    fill.setColorAt(0.0, QColor(96, 214, 204));
    fill.setColorAt(1.0, QColor(58, 160, 154));
    painter.setPen(QPen(QColor(120, 230, 220), 1.0));
    painter.setBrush(fill);
    painter.drawRoundedRect(box.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    QPainterPath tick;
    tick.moveTo(4.5, 8.2);
    tick.lineTo(7, 10.8);
    tick.lineTo(11.6, 5.4);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 1.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
    return image;
}
