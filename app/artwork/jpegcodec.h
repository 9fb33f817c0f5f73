#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// JPEG files of the window pictures, through libjpeg-turbo: decoding for the windows,
// encoding for the generator that makes them.
namespace artwork {

// Decodes a baseline or progressive JPEG into an RGB image; a null image when the
// bytes are no JPEG or are damaged.
QImage decodeJpeg(const QByteArray& bytes);

// Encodes an image as a JPEG of the given quality, without chroma subsampling so that
// lettering stays crisp.
QByteArray encodeJpeg(const QImage& image, int quality);

// One of the program's pictures ("empty", "list", "help"), decoded from the JPEG built
// into the program; a null image when it cannot be decoded.
// The screen's device pixel ratio above 1 gives the picture at twice the pixels
// (NAME@2x.jpg), its device pixel ratio set to 2.
QImage picture(const QString& name);

}  // namespace artwork
