#include "images/prepare.h"

#include <vips/vips8>

#include <QFile>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>

#include "images/bordersize.h"
#include "images/comstream.h"
#include "images/encoders.h"
#include "images/jpegcodec.h"
#include "images/layout.h"
#include "images/log.h"
#include "images/printcanvas.h"
#include "images/vipsinit.h"
#include "platform/bigbuffer.h"

namespace images {

using vips::VImage;

void stampDensity(QByteArray& jpeg) {
    static const QByteArray kJfif("JFIF\0", 5);
    const qsizetype at = jpeg.first(std::min<qsizetype>(50, jpeg.size())).indexOf(kJfif);
    if (at < 0 || at + 12 > jpeg.size()) {
        return;
    }
    const char density[] = {1, 1, 44, 1, 44};
    for (int i = 0; i < 5; ++i) {
        jpeg[at + 7 + i] = density[i];
    }
}

int decodeShrink(int width, int height, int neededWidth, int neededHeight) {
    for (const int shrink : {8, 4, 2}) {
        if (width / shrink >= neededWidth && height / shrink >= neededHeight) {
            return shrink;
        }
    }
    return 1;
}

PrepareError damagedPhoto(const QString& path, const QString& libraryText) {
    qCWarning(lcImages) << path << ":" << libraryText;
    return PrepareError(QStringLiteral("файл повреждён или это не фотография в формате JPEG"));
}

namespace {

// Pictures larger than this are refused: no camera makes them, decompression bombs do.
constexpr double kMaxPixels = 250e6;

}  // namespace

void refuseHuge(const QString& path, int width, int height) {
    if (static_cast<double>(width) * height > kMaxPixels) {
        qCWarning(lcImages) << path << "is too large:" << width << "x" << height;
        throw PrepareError(
            QStringLiteral("снимок слишком велик (%1 × %2 точек)").arg(width).arg(height));
    }
}

namespace {

bool isJpegFile(const char* file) {
    const char* loader = vips_foreign_find_load(file);
    return loader != nullptr && std::string_view(loader).starts_with("VipsForeignLoadJpeg");
}

// Above this a picture is not decoded whole, so that a print on the largest canvases
// stays within about 100 MB: it then streams from the loader instead.
constexpr double kLargestWholeDecode = 64.0 * 1024 * 1024;

double decodedBytes(const JpegPhoto& photo, int scale) {
    return std::ceil(photo.width() * scale / 8.0) * std::ceil(photo.height() * scale / 8.0) * 3;
}

struct Layout {
    bool portrait = false;
    TScaleSize canvas;
    Placement place;
    // The size the picture is drawn at, before it is turned.
    int drawnWidth = 0;
    int drawnHeight = 0;
};

Layout layOut(int width, int height, const formats::TFormatsRecord& format, const QString& how) {
    Layout l;
    l.portrait = height > width;
    l.canvas = canvasSize(format, 1.0f);
    l.place = l.portrait ? placePicture(l.canvas, height, width, how)
                         : placePicture(l.canvas, width, height, how);
    l.drawnWidth = l.portrait ? l.place.h : l.place.w;
    l.drawnHeight = l.portrait ? l.place.w : l.place.h;
    return l;
}

}  // namespace

namespace {

// Computes a picture into one buffer, strip by strip in order, so that the picture may
// come from a loader that reads its file once from top to bottom.
struct HeldPicture {
    platform::BigBuffer pixels;
    size_t rowBytes = 0;
};

int copyStrip(VipsRegion* region, VipsRect* area, void* a) {
    auto* held = static_cast<HeldPicture*>(a);
    for (int y = area->top; y < VIPS_RECT_BOTTOM(area); ++y) {
        std::memcpy(held->pixels.get() + static_cast<size_t>(y) * held->rowBytes,
                    VIPS_REGION_ADDR(region, area->left, y), held->rowBytes);
    }
    return 0;
}

std::shared_ptr<HeldPicture> hold(const QString& path, const VImage& rgb) {
    auto held = std::make_shared<HeldPicture>();
    held->rowBytes = static_cast<size_t>(rgb.width()) * 3;
    held->pixels = platform::allocateBigBuffer(held->rowBytes * static_cast<size_t>(rgb.height()));
    if (!held->pixels) {
        qCWarning(lcImages) << path << ": no memory for the picture";
        throw PrepareError(QStringLiteral("не хватает памяти для снимка"));
    }
    if (vips_sink_disc(rgb.get_image(), copyStrip, held.get()) != 0) {
        throw vips::VError();
    }
    return held;
}

// The print from libvips's own loader, reading the file once from top to bottom: a
// portrait picture is scaled and held, then turned; a landscape one is never held.
PrintCanvas fromVipsLoader(const QString& path, const VImage& picture, const Layout& l) {
    if (!l.portrait) {
        return {nullptr, drawCanvas(picture, l.canvas, l.place, false, Access::Sequential)};
    }
    const VImage scaled = scalePicture(picture, l.place.h, l.place.w, Access::Sequential);
    const std::shared_ptr<HeldPicture> held = hold(path, scaled);
    const VImage turned =
        VImage::new_from_memory(held->pixels.get(), held->rowBytes * scaled.height(),
                                scaled.width(), scaled.height(), 3, VIPS_FORMAT_UCHAR)
            .rot(VIPS_ANGLE_D90);
    return {held, placeOnCanvas(turned, l.canvas, l.place)};
}

}  // namespace

PrintCanvas layOutPrint(const QString& path, const formats::TFormatsRecord& format,
                        const QString& how) {
    ensureVips();
    const QByteArray file = QFile::encodeName(path);
    const auto sequential = [&](int shrink) {
        return VImage::new_from_file(file.constData(),
                                     VImage::option()
                                         ->set("access", VIPS_ACCESS_SEQUENTIAL)
                                         ->set("shrink", shrink)
                                         ->set("fail_on", VIPS_FAIL_ON_TRUNCATED));
    };
    try {
        if (!isJpegFile(file.constData())) {
            // Not a JPEG after all (a PNG under a .jpg name, say): whatever libvips reads.
            const VImage picture = VImage::new_from_file(
                file.constData(), VImage::option()
                                      ->set("access", VIPS_ACCESS_SEQUENTIAL)
                                      ->set("fail_on", VIPS_FAIL_ON_TRUNCATED));
            refuseHuge(path, picture.width(), picture.height());
            return fromVipsLoader(path, picture,
                                  layOut(picture.width(), picture.height(), format, how));
        }
        JpegPhoto photo(path);
        refuseHuge(path, photo.width(), photo.height());
        const Layout l = layOut(photo.width(), photo.height(), format, how);
        const int scale = decodeScale(photo.width(), photo.height(), l.drawnWidth, l.drawnHeight);
        if (photo.decodesToRgb() && decodedBytes(photo, scale) <= kLargestWholeDecode) {
            // Decoded whole at the finest DCT scale: fastest, and small enough.
            auto pixels = std::make_shared<JpegPhoto::Pixels>(photo.decode(scale));
            const VImage picture =
                VImage::new_from_memory(pixels->rgb.get(), pixels->size, pixels->width,
                                        pixels->height, 3, VIPS_FORMAT_UCHAR);
            return {pixels, drawCanvas(picture, l.canvas, l.place, l.portrait)};
        }
        if (photo.progressive()) {
            photo.refuseManyScans();
        }
        // A large picture (and a CMYK or YCCK photo, which libvips converts) streams
        // from libvips's loader into the print, decoded at the power-of-two scale it
        // offers, so that it is never held whole.
        return fromVipsLoader(
            path,
            sequential(decodeShrink(photo.width(), photo.height(), l.drawnWidth, l.drawnHeight)),
            l);
    } catch (const vips::VError& e) {
        vips_error_clear();
        throw damagedPhoto(path, QString::fromUtf8(e.what()).trimmed());
    }
}

QByteArray preparePrint(const QString& path, const formats::TFormatsRecord& format,
                        const QString& how) {
    const PrintCanvas print = layOutPrint(path, format, how);
    QUuid jpegEncoder;
    if (FindEncoderClassId(QStringLiteral("image/jpeg"), jpegEncoder) < 0) {
        throw PrepareError(QStringLiteral("нет кодировщика JPEG"));
    }
    // libjpeg-turbo writes the JFIF segment the density stamp needs. A streamed photo
    // is read while the print is encoded, so its faults show here.
    QByteArray encoded;
    try {
        encoded = encodeJpeg(print.image, 80);
    } catch (const PrepareError& e) {
        qCWarning(lcImages) << path << ":" << e.text();
        throw PrepareError(QStringLiteral("файл повреждён или это не фотография в формате JPEG"));
    }

    // Through the imaging layer's stream into the program's, as the upload reads it.
    const std::shared_ptr<MemoryComStream> com = CreateStreamOnHGlobal();
    uint32_t written = 0;
    if (encoded.size() > std::numeric_limits<uint32_t>::max() ||
        com->Write(encoded.constData(), static_cast<uint32_t>(encoded.size()), &written) !=
            StreamResult::Ok ||
        written != static_cast<uint32_t>(encoded.size())) {
        qCWarning(lcImages) << path << ": the print could not be written to memory";
        throw PrepareError(QStringLiteral("отпечаток не удалось записать в память"));
    }
    TExternStream stream(com);
    QByteArray jpeg = LoadFromStream(stream);
    stampDensity(jpeg);
    return jpeg;
}

}  // namespace images
