#include "images/sharpen.h"

#include <cmath>
#include <cstring>

namespace images {

namespace {

quint32 fixed(float value) {
    // Round half to even, as the weights are defined.
    return static_cast<quint32>(std::nearbyint(static_cast<double>(value) * 65536.0));
}

SharpenAssertion assertion(const char* text, int line) {
    return SharpenAssertion(
        QStringLiteral("%1 (ShowImage.pas, line %2)").arg(QString::fromLatin1(text)).arg(line));
}

}  // namespace

void SharpenBitmap(const Bitmap24& source, const Bitmap24& destination, float Alpha) {
    if (source.width < 3 || source.height < 3) {
        throw assertion("Bitmap must be at least 3x3", 199);
    }
    if (!(Alpha > 1.0f && Alpha < 6.0f)) {
        throw assertion("Alpha must be >1 and <6", 200);
    }
    const quint32 K = fixed(Alpha);
    const quint32 J = fixed((Alpha - 1.0f) / 5.0f);
    const int W = source.width;
    const int H = source.height;
    const size_t rowBytes = static_cast<size_t>(W) * 3;
    const bool inPlace = source.bits == destination.bits;

    if (!inPlace) {
        std::memcpy(destination.bits, source.bits, rowBytes);
    }
    for (int y = 1; y <= H - 2; ++y) {
        // In place, "above" is the row already filtered, as the single pass reads it.
        const uchar* above = (inPlace ? destination.bits : source.bits) +
                             (y - 1) * (inPlace ? destination.stride : source.stride);
        const uchar* row = source.bits + y * source.stride;
        const uchar* below = source.bits + (y + 1) * source.stride;
        uchar* out = destination.bits + y * destination.stride;
        if (!inPlace) {
            std::memcpy(out, row, 3);
        }
        for (int x = 1; x <= W - 2; ++x) {
            for (int c = 0; c < 3; ++c) {
                const int at = x * 3 + c;
                // In place, the left neighbour is the one just written.
                const quint32 left = inPlace ? out[at - 3] : row[at - 3];
                const quint32 C = row[at];
                const quint32 S = above[at] + left + C + row[at + 3] + below[at];
                const qint64 A = (C * K + 32767u) >> 16;
                const qint64 B = (S * J + 32767u) >> 16;
                const qint64 v = A - B;
                out[at] = static_cast<uchar>(v < 0 ? 0 : v > 255 ? 255 : v);
            }
        }
        if (!inPlace) {
            std::memcpy(out + (W - 1) * 3, row + (W - 1) * 3, 3);
        }
    }
    if (!inPlace) {
        std::memcpy(destination.bits + (H - 1) * destination.stride,
                    source.bits + (H - 1) * source.stride, rowBytes);
    }
}

}  // namespace images
