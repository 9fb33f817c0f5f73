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

// What a real but hostile JPEG picture is made of.
struct JpegMaking {
    // Four components (CMYK) instead of three (YCbCr).
    bool cmyk = false;
    // Progressive, one scan per coefficient and component after the DC scan: 190
    // scans for YCbCr, 253 for CMYK.
    bool manyScans = false;
    // Comment markers before the picture.
    int comments = 0;
};
QByteArray encodedJpeg(int width, int height, const JpegMaking& making);

}  // namespace testing_support
