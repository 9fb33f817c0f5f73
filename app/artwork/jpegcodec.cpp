#include "app/artwork/jpegcodec.h"

#include <QFile>
#include <QGuiApplication>

#include "platform/jpeg/jpegcoder.h"

namespace artwork {

namespace {

using jpeg::Compressor;
using jpeg::Decompressor;

// QImage::Format_RGB32 holds each pixel as the native 32-bit 0xffRRGGBB.
constexpr J_COLOR_SPACE kRgb32 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

// The window pictures are small; anything larger is not one of them.
constexpr JDIMENSION kLargestSide = 4096;

// The part of decoding that may jump back; kept free of objects with destructors.
bool decodeInto(Decompressor& d, const QByteArray& bytes, QImage& image) {
    if (setjmp(d.errors.back) != 0) {
        return false;
    }
    jpeg_mem_src(&d.info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    if (jpeg_read_header(&d.info, TRUE) != JPEG_HEADER_OK) {
        return false;
    }
    if (d.info.image_width > kLargestSide || d.info.image_height > kLargestSide) {
        return false;
    }
    d.info.out_color_space = kRgb32;
    jpeg_start_decompress(&d.info);
    image = QImage(static_cast<int>(d.info.output_width), static_cast<int>(d.info.output_height),
                   QImage::Format_RGB32);
    if (image.isNull()) {
        return false;
    }
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(d.info.output_scanline));
        jpeg_read_scanlines(&d.info, &row, 1);
    }
    jpeg_finish_decompress(&d.info);
    // A truncated or corrupt stream decodes with warnings and made-up pixels.
    return d.errors.pub.num_warnings == 0;
}

bool encodeInto(Compressor& c, const QImage& image, int quality) {
    if (setjmp(c.errors.back) != 0) {
        return false;
    }
    c.info.image_width = static_cast<JDIMENSION>(image.width());
    c.info.image_height = static_cast<JDIMENSION>(image.height());
    c.info.input_components = 4;
    c.info.in_color_space = kRgb32;
    jpeg_set_defaults(&c.info);
    jpeg_set_quality(&c.info, quality, TRUE);
    for (int i = 0; i < c.info.num_components; ++i) {
        c.info.comp_info[i].h_samp_factor = 1;
        c.info.comp_info[i].v_samp_factor = 1;
    }
    jpeg_start_compress(&c.info, TRUE);
    while (c.info.next_scanline < c.info.image_height) {
        auto* row =
            const_cast<JSAMPROW>(image.constScanLine(static_cast<int>(c.info.next_scanline)));
        jpeg_write_scanlines(&c.info, &row, 1);
    }
    jpeg_finish_compress(&c.info);
    return true;
}

}  // namespace

QImage decodeJpeg(const QByteArray& bytes) {
    Decompressor d;
    QImage image;
    if (!decodeInto(d, bytes, image)) {
        return {};
    }
    return image;
}

QByteArray encodeJpeg(const QImage& image, int quality) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    Compressor c;
    if (!encodeInto(c, rgb, quality)) {
        return {};
    }
    return c.destination.bytes();
}

QImage picture(const QString& name) {
    // Twice the pixels where the screen has them, so that the pictures are as sharp
    // as the text there.
    const bool sharp = qGuiApp != nullptr && qGuiApp->devicePixelRatio() > 1.0;
    QFile file(QStringLiteral(":/artwork/") + name +
               (sharp ? QStringLiteral("@2x.jpg") : QStringLiteral(".jpg")));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QImage image = decodeJpeg(file.readAll());
    if (sharp) {
        image.setDevicePixelRatio(2.0);
    }
    return image;
}

}  // namespace artwork
