#pragma once

#include <QString>
#include <QtGlobal>

#include "platform/error.h"

// The viewer's sharpening: an unsharp mask over the plus-shaped five-pixel
// neighbourhood in 16.16 fixed point, which keeps the picture's size and leaves its
// outermost rows and columns as they are.
namespace images {

// A 24-bit picture as the filter reads it: blue, green, red per pixel, rows padded to a
// multiple of 4 bytes, row 0 at the top. The pixels belong to the caller.
struct Bitmap24 {
    uchar* bits = nullptr;
    int width = 0;
    int height = 0;
    qsizetype stride = 0;  // bytes per row
};

// A precondition the filter refuses, with its text and where it is checked.
class SharpenAssertion : public platform::Error {
public:
    using platform::Error::Error;
};

// Sharpens source into destination with strength Alpha: v = (C·K + 32767) >> 16 −
// (S·J + 32767) >> 16, clamped to 0..255, for every interior pixel and channel, where C
// is the pixel, S the sum of it and its four neighbours, K = round(Alpha·65536) and
// J = round(float((Alpha − 1) / 5)·65536). One pass, top to bottom, left to right: when
// source and destination are the same bitmap, the upper and left neighbours are read
// already filtered, as the viewer's preview needs. The destination must have the
// source's size. Raises SharpenAssertion, writing nothing, for a bitmap under 3 × 3 or
// an Alpha outside (1, 6).
void SharpenBitmap(const Bitmap24& source, const Bitmap24& destination, float Alpha);

}  // namespace images
