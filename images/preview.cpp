#include "images/preview.h"

#include <vips/vips8>

#include <QFile>
#include <cstring>

#include "images/bordersize.h"
#include "images/jpegcodec.h"
#include "images/layout.h"
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
        throw PrepareError(
            QStringLiteral("%1: %2").arg(path, QString::fromUtf8(e.what()).trimmed()));
    }
}

Picture24 previewOf(const PreviewCache& cache, const formats::TFormatsRecord& format,
                    const QString& how, bool sharpened) {
    ensureVips();
    try {
        const VImage canvas = layoutCanvas(toVips(cache.picture), format, how, cache.proportion);
        Picture24 preview =
            toPicture(stretched(canvas, kPreviewWidth, kPreviewHeight,
                                sharpened ? VIPS_KERNEL_LINEAR : VIPS_KERNEL_CUBIC));
        if (sharpened) {
            SharpenBitmap(preview.view(), preview.view(), 2.0f);
        }
        return preview;
    } catch (const vips::VError& e) {
        vips_error_clear();
        throw PrepareError(QStringLiteral("the preview could not be made: %1")
                               .arg(QString::fromUtf8(e.what()).trimmed()));
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
