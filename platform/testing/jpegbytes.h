#pragma once

#include <QByteArray>
#include <QString>

namespace testing_support {

// Building blocks of JPEG files for tests of the header probe.

// A marker segment: FF, the marker byte, the big-endian length (payload + 2), payload.
QByteArray segment(unsigned char marker, const QByteArray& payload);
// A frame header segment (SOF0 = 0xC0, ...) with three components.
QByteArray frame(unsigned char marker, int height, int width);
// A minimal file a probe accepts: SOI, APP0 (JFIF), the frame, a bit of scan data and
// EOI.
QByteArray jpegHeaderFile(int width, int height, unsigned char sofMarker = 0xC0);
// A real baseline JPEG picture, encoded by libjpeg-turbo.
QByteArray encodedJpeg(int width, int height);

}  // namespace testing_support
