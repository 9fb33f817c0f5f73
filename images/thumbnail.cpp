#include "images/thumbnail.h"

#include <algorithm>
#include <cstring>

#include "images/jpegcodec.h"
#include "images/prepare.h"

namespace images {

Picture24 thumbnailOf(const QString& path, int longest) {
    JpegPhoto photo(path);
    refuseHuge(path, photo.width(), photo.height());
    if (!photo.decodesToRgb()) {
        throw PrepareError(QStringLiteral("нет уменьшенной копии для этого снимка"));
    }
    const bool wide = photo.width() >= photo.height();
    const int side = std::max(1, longest);
    const int scale = decodeScale(photo.width(), photo.height(), wide ? side : 1, wide ? 1 : side);
    const JpegPhoto::Pixels pixels = photo.decode(scale);
    // As Picture24 holds it: blue, green, red.
    Picture24 picture = Picture24::blank(pixels.width, pixels.height);
    for (int y = 0; y < pixels.height; ++y) {
        const uchar* from = pixels.rgb.get() + static_cast<size_t>(y) * pixels.width * 3;
        auto* to = reinterpret_cast<uchar*>(picture.bytes.data()) + y * picture.stride;
        for (int x = 0; x < pixels.width; ++x) {
            to[3 * x] = from[3 * x + 2];
            to[3 * x + 1] = from[3 * x + 1];
            to[3 * x + 2] = from[3 * x];
        }
    }
    return picture;
}

}  // namespace images
