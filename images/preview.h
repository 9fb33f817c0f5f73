#pragma once

#include <QByteArray>
#include <QString>

#include "formats/formatsrecord.h"
#include "images/sharpen.h"

// What the image viewer shows: a photo's cache (turned to landscape, 1600 pixels wide)
// and the preview of its print made from it, 460 × 304 pixels.
namespace images {

// A 24-bit picture that owns its pixels, in the filter's layout (blue, green, red; rows
// padded to 4 bytes).
struct Picture24 {
    QByteArray bytes;
    int width = 0;
    int height = 0;
    qsizetype stride = 0;

    bool isNull() const { return width == 0; }
    Bitmap24 view() { return {reinterpret_cast<uchar*>(bytes.data()), width, height, stride}; }
    // A blank picture of this size.
    static Picture24 blank(int width, int height);
};

// The preview box's size.
inline constexpr int kPreviewWidth = 460;
inline constexpr int kPreviewHeight = 304;
// The cache's width, and the box ScaleImage fits the photo into for it.
inline constexpr int kCacheSide = 1600;

// A photo opened for the viewer: turned 90° clockwise when portrait, scaled to exactly
// 1600 pixels wide (height in proportion, ScaleImage of 1600 × 1600) with a bilinear
// kernel after decoding at the finest DCT scale that still covers that size. The
// proportion is 1600 over the turned photo's width, as a 32-bit float.
struct PreviewCache {
    Picture24 picture;
    float proportion = 0;
    bool isNull() const { return picture.isNull(); }
};

// Raises PrepareError when the photo cannot be decoded.
PreviewCache openPreviewCache(const QString& path);

// The preview of the print: the cache laid out on the format's canvas at the cache's
// proportion (BorderSize), stretched over the whole 460 × 304 box, not keeping its
// shape: with a bilinear kernel and sharpened at 2.0 when a photo is opened
// (sharpened set), with a bicubic kernel when rebuilt from the cache.
Picture24 previewOf(const PreviewCache& cache, const formats::TFormatsRecord& format,
                    const QString& how, bool sharpened);

// The preview turned by 90° (counter-clockwise when left), pixel for pixel: a 460 × 304
// preview becomes 304 × 460.
Picture24 turned(const Picture24& picture, bool left);

}  // namespace images
