#include "appicon.h"

#include "painting.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QPainter>
#include <QSaveFile>

QImage appIconImage(int size)
{
    QImage image = newCanvas(size, size);
    QPainter painter(&image);
    prepare(painter);
    // A small inset keeps the antialiased edge inside the square.
    const qreal inset = size >= 32 ? size / 32.0 : 0.5;
    drawMark(painter, QRectF(inset, inset, size - 2 * inset, size - 2 * inset));
    return image;
}

static QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG");
    return bytes;
}

bool writeIcoFile(const QString &path, const QList<QImage> &images)
{
    const int headerSize = 6;
    const int entrySize = 16;
    QList<QByteArray> payloads;
    for (const QImage &image : images)
        payloads.append(pngBytes(image));

    QByteArray ico;
    QDataStream out(&ico, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size());
    quint32 offset = headerSize + entrySize * images.size();
    for (int i = 0; i < images.size(); ++i) {
        // A dimension of 256 is stored as 0.
        const quint8 width = quint8(images[i].width() & 0xff);
        const quint8 height = quint8(images[i].height() & 0xff);
        out << width << height << quint8(0) << quint8(0) << quint16(1) << quint16(32)
            << quint32(payloads[i].size()) << offset;
        offset += payloads[i].size();
    }
    for (const QByteArray &payload : payloads)
        out.writeRawData(payload.constData(), payload.size());

    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(ico) == ico.size() && file.commit();
}
