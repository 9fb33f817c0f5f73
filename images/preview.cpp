#include "images/preview.h"

#include <vips/vips8>

#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "images/jpegcodec.h"
#include "images/layout.h"
#include "images/log.h"
#include "images/prepare.h"
#include "images/scaling.h"
#include "images/vipsinit.h"

namespace images {

using vips::VImage;

namespace {

// An 8-bit RGB libvips image as the filter's picture.
Picture24 toPicture(const VImage& rgb) {
    size_t size = 0;
    void* memory = rgb.write_to_memory(&size);
    const std::unique_ptr<uchar, decltype(&g_free)> pixels(static_cast<uchar*>(memory), g_free);
    Picture24 picture = Picture24::blank(rgb.width(), rgb.height());
    for (int y = 0; y < picture.height; ++y) {
        const uchar* from = pixels.get() + static_cast<size_t>(y) * picture.width * 3;
        uchar* to = reinterpret_cast<uchar*>(picture.bytes.data()) + y * picture.stride;
        for (int x = 0; x < picture.width; ++x) {
            to[x * 3] = from[x * 3 + 2];
            to[x * 3 + 1] = from[x * 3 + 1];
            to[x * 3 + 2] = from[x * 3];
        }
    }
    return picture;
}

// The filter's picture as an 8-bit RGB libvips image (a copy).
VImage toVips(const Picture24& picture) {
    QByteArray rgb(static_cast<qsizetype>(picture.width) * picture.height * 3, Qt::Uninitialized);
    for (int y = 0; y < picture.height; ++y) {
        const uchar* from =
            reinterpret_cast<const uchar*>(picture.bytes.constData()) + y * picture.stride;
        uchar* to =
            reinterpret_cast<uchar*>(rgb.data()) + static_cast<size_t>(y) * picture.width * 3;
        for (int x = 0; x < picture.width; ++x) {
            to[x * 3] = from[x * 3 + 2];
            to[x * 3 + 1] = from[x * 3 + 1];
            to[x * 3 + 2] = from[x * 3];
        }
    }
    // libvips keeps a copy of its own: the bytes here go at the end of this function.
    VipsImage* image =
        vips_image_new_from_memory_copy(rgb.constData(), static_cast<size_t>(rgb.size()),
                                        picture.width, picture.height, 3, VIPS_FORMAT_UCHAR);
    if (image == nullptr) {
        throw vips::VError();
    }
    return VImage(image);
}

// Exactly width × height with the kernel, the shape not kept.
VImage stretched(const VImage& picture, int width, int height, VipsKernel kernel) {
    if (picture.width() == width && picture.height() == height) {
        return picture;
    }
    const VImage scaled =
        picture.resize(static_cast<double>(width) / picture.width(),
                       VImage::option()
                           ->set("vscale", static_cast<double>(height) / picture.height())
                           ->set("kernel", kernel));
    if (scaled.width() == width && scaled.height() == height) {
        return scaled;
    }
    return scaled.embed(0, 0, width, height, VImage::option()->set("extend", VIPS_EXTEND_COPY));
}

VImage whiteBox() {
    return VImage::black(kPreviewWidth, kPreviewHeight, VImage::option()->set("bands", 3))
        .new_from_image(std::vector<double>{255, 255, 255})
        .cast(VIPS_FORMAT_UCHAR);
}

// The picture where the box shows it: the canvas (canvas pixels) stretched over the
// box, the picture placed on it at place. Only the part of the picture the box shows
// is scaled.
VImage pictureInBox(const VImage& picture, TScaleSize canvas, const Placement& place,
                    VipsKernel kernel) {
    const double sx = static_cast<double>(kPreviewWidth) / canvas.Width;
    const double sy = static_cast<double>(kPreviewHeight) / canvas.Height;
    const auto edge = [](double at) { return static_cast<qint64>(std::llround(at)); };
    const qint64 left = edge(place.x * sx);
    const qint64 top = edge(place.y * sy);
    const qint64 width = std::max<qint64>(1, edge((place.x + place.w) * sx) - left);
    const qint64 height = std::max<qint64>(1, edge((place.y + place.h) * sy) - top);
    if (left >= kPreviewWidth || top >= kPreviewHeight || left + width <= 0 || top + height <= 0) {
        return whiteBox();
    }
    // Picture pixels per box pixel along each side.
    const double fx = static_cast<double>(picture.width()) / width;
    const double fy = static_cast<double>(picture.height()) / height;
    // What of the picture the box shows, with a margin for the kernel's reach.
    constexpr int kMargin = 4;
    const auto from = [&](qint64 boxEdge, double f, int limit) {
        return static_cast<int>(std::clamp<double>(std::floor(boxEdge * f) - kMargin, 0, limit));
    };
    const auto to = [&](qint64 boxEdge, double f, int limit) {
        return static_cast<int>(std::clamp<double>(std::ceil(boxEdge * f) + kMargin, 0, limit));
    };
    const int x0 = from(-left, fx, picture.width());
    const int x1 = to(kPreviewWidth - left, fx, picture.width());
    const int y0 = from(-top, fy, picture.height());
    const int y1 = to(kPreviewHeight - top, fy, picture.height());
    if (x1 <= x0 || y1 <= y0) {
        return whiteBox();
    }
    const bool whole = x0 == 0 && y0 == 0 && x1 == picture.width() && y1 == picture.height();
    const VImage shown = whole ? picture : picture.extract_area(x0, y0, x1 - x0, y1 - y0);
    // The shown part at the picture's scale in the box, and where it begins there.
    const int shownLeft = static_cast<int>(left + std::llround(x0 / fx));
    const int shownTop = static_cast<int>(top + std::llround(y0 / fy));
    const int shownWidth = std::max(1, static_cast<int>(std::llround((x1 - x0) / fx)));
    const int shownHeight = std::max(1, static_cast<int>(std::llround((y1 - y0) / fy)));
    const VImage scaled = stretched(shown, shownWidth, shownHeight, kernel);
    return placeOnCanvas(scaled, {kPreviewWidth, kPreviewHeight},
                         {shownLeft, shownTop, shownWidth, shownHeight, true});
}

}  // namespace

Picture24 Picture24::blank(int width, int height) {
    Picture24 picture;
    picture.width = width;
    picture.height = height;
    picture.stride = ((static_cast<qsizetype>(width) * 24 + 31) & ~31) / 8;
    picture.bytes = QByteArray(picture.stride * height, '\0');
    return picture;
}

PreviewCache openPreviewCache(const QString& path) {
    ensureVips();
    try {
        JpegPhoto photo(path);
        refuseHuge(path, photo.width(), photo.height());
        const bool portrait = photo.height() > photo.width();
        const int width = portrait ? photo.height() : photo.width();
        const int height = portrait ? photo.width() : photo.height();
        const TScaleSize size = ScaleImage(kCacheSide, kCacheSide, width, height);
        PreviewCache cache;
        cache.proportion = static_cast<float>(size.Width) / static_cast<float>(width);
        // Decoded at the finest scale that still covers the cache, unturned.
        const int neededWidth = portrait ? size.Height : size.Width;
        const int neededHeight = portrait ? size.Width : size.Height;
        VImage decoded;
        JpegPhoto::Pixels pixels;
        if (photo.decodesToRgb()) {
            pixels =
                photo.decode(decodeScale(photo.width(), photo.height(), neededWidth, neededHeight));
            decoded = VImage::new_from_memory(pixels.rgb.get(), pixels.size, pixels.width,
                                              pixels.height, 3, VIPS_FORMAT_UCHAR);
        } else {
            if (photo.progressive()) {
                photo.refuseManyScans();
            }
            decoded = toRgb8(VImage::new_from_file(
                QFile::encodeName(path).constData(),
                VImage::option()->set("shrink", decodeShrink(photo.width(), photo.height(),
                                                             neededWidth, neededHeight))));
        }
        const VImage landscape = portrait ? decoded.rot(VIPS_ANGLE_D90) : decoded;
        cache.picture =
            toPicture(stretched(landscape, size.Width, size.Height, VIPS_KERNEL_LINEAR));
        return cache;
    } catch (const vips::VError& e) {
        vips_error_clear();
        throw damagedPhoto(path, QString::fromUtf8(e.what()).trimmed());
    }
}

Picture24 previewOf(const PreviewCache& cache, const formats::TFormatsRecord& format,
                    const QString& how, bool sharpened) {
    ensureVips();
    try {
        // The print's layout at the cache's proportion, mapped straight into the box:
        // the canvas itself is never drawn, since it is only ever shrunk into the box,
        // and drawing it would enlarge the cache (a large format, a small photo) just
        // to reduce it again.
        const TScaleSize canvas = canvasSize(format, cache.proportion);
        const Placement place =
            placePicture(canvas, cache.picture.width, cache.picture.height, how);
        const VipsKernel kernel = sharpened ? VIPS_KERNEL_LINEAR : VIPS_KERNEL_CUBIC;
        const VImage box = canvas.Width > 0 && canvas.Height > 0
                               ? pictureInBox(toVips(cache.picture), canvas, place, kernel)
                               : whiteBox();
        Picture24 preview = toPicture(box);
        if (sharpened) {
            SharpenBitmap(preview.view(), preview.view(), 2.0f);
        }
        return preview;
    } catch (const vips::VError& e) {
        vips_error_clear();
        qCWarning(lcImages) << "no preview:" << QString::fromUtf8(e.what()).trimmed();
        throw PrepareError(QStringLiteral("не удалось построить предварительный просмотр"));
    }
}

Picture24 turned(const Picture24& picture, bool left) {
    Picture24 out = Picture24::blank(picture.height, picture.width);
    for (int y = 0; y < picture.height; ++y) {
        const char* row = picture.bytes.constData() + y * picture.stride;
        for (int x = 0; x < picture.width; ++x) {
            // Clockwise: (x, y) goes to (h - 1 - y, x); counter-clockwise: (y, w - 1 - x).
            const int tx = left ? y : picture.height - 1 - y;
            const int ty = left ? picture.width - 1 - x : x;
            std::memcpy(out.bytes.data() + ty * out.stride + tx * 3, row + x * 3, 3);
        }
    }
    return out;
}

}  // namespace images
