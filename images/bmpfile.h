#pragma once

#include <QByteArray>
#include <QString>

#include "images/preview.h"

// Uncompressed 24-bit BMP files, for looking at the viewer's pictures outside the
// window (korvella-tool sharpen and preview).
namespace images {

// The picture from a 24-bit uncompressed BMP (rows bottom-up or top-down); a null
// picture, with why in error, for anything else.
Picture24 readBmp24(const QByteArray& bytes, QString* error);
// The picture as a 24-bit uncompressed BMP, rows bottom-up, 72 dpi.
QByteArray bmp24(const Picture24& picture);

}  // namespace images
