#pragma once

#include <QImage>
#include <QList>
#include <QString>

// The application icon at one size: the product mark filling the square.
QImage appIconImage(int size);

// Writes a Windows icon container holding every image as a 32-bit PNG entry
// (read by Windows Vista and later and by Qt's ICO reader). Images must be
// square and at most 256 pixels.
bool writeIcoFile(const QString &path, const QList<QImage> &images);
