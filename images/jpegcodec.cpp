#include "images/jpegcodec.h"

#include <vips/vips8>

#include <QFile>

#include "images/prepare.h"

namespace images {

namespace {

// The parts that may jump back hold no objects with destructors.
bool readHeader(jpeg_decompress_struct& info, jpeg::Errors& errors, std::FILE* file) {
    if (setjmp(errors.back) != 0) {
        return false;
    }
    jpeg_stdio_src(&info, file);
    return jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK;
}

bool startDecode(jpeg_decompress_struct& info, jpeg::Errors& errors, int scale) {
    if (setjmp(errors.back) != 0) {
        return false;
    }
    info.scale_num = static_cast<unsigned int>(scale);
    info.scale_denom = 8;
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    return true;
}

bool readRows(jpeg_decompress_struct& info, jpeg::Errors& errors, unsigned char* pixels) {
    if (setjmp(errors.back) != 0) {
        return false;
    }
    const size_t stride = static_cast<size_t>(info.output_width) * 3;
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[4];
        const JDIMENSION first = info.output_scanline;
        const JDIMENSION count = std::min<JDIMENSION>(4, info.output_height - first);
        for (JDIMENSION i = 0; i < count; ++i) {
            rows[i] = pixels + (first + i) * stride;
        }
        jpeg_read_scanlines(&info, rows, count);
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

int decodeScale(int width, int height, int neededWidth, int neededHeight) {
    for (int scale = 1; scale < 8; ++scale) {
        // libjpeg rounds a scaled size up.
        const long long w = (static_cast<long long>(width) * scale + 7) / 8;
        const long long h = (static_cast<long long>(height) * scale + 7) / 8;
        if (w >= neededWidth && h >= neededHeight) {
            return scale;
        }
    }
    return 8;
}

JpegPhoto::JpegPhoto(const QString& path)
    : path_(path), file_(std::fopen(QFile::encodeName(path).constData(), "rb"), &std::fclose) {
    if (!file_) {
        throw PrepareError(QStringLiteral("файл не удалось открыть"));
    }
    if (!readHeader(info_, errors_, file_.get())) {
        throw failure();
    }
    if (jpeg::coefficientBytes(info_) > jpeg::kMaxDecodeMemory) {
        throw PrepareError(QStringLiteral("для разбора снимка нужно больше %1 МБ памяти")
                               .arg(jpeg::kMaxDecodeMemory / (1024 * 1024)));
    }
}

bool JpegPhoto::progressive() const {
    return info_.progressive_mode != 0;
}

void JpegPhoto::refuseManyScans() const {
    // libvips decodes on its own, without the scan limit: the scans are counted by
    // their markers, which cannot occur inside the coded data (every 0xFF byte there
    // is followed by 0 or a restart marker).
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        throw PrepareError(QStringLiteral("файл не удалось открыть"));
    }
    int scans = 0;
    bool afterFF = false;
    QByteArray chunk;
    while (!(chunk = file.read(64 * 1024)).isEmpty()) {
        for (const char c : chunk) {
            const auto byte = static_cast<unsigned char>(c);
            if (afterFF && byte == 0xDA && ++scans > jpeg::kMaxScans) {
                throw PrepareError(QStringLiteral("в снимке слишком много проходов (сканов)"));
            }
            afterFF = byte == 0xFF;
        }
    }
}

bool JpegPhoto::decodesToRgb() const {
    return info_.jpeg_color_space == JCS_YCbCr || info_.jpeg_color_space == JCS_RGB ||
           info_.jpeg_color_space == JCS_GRAYSCALE;
}

JpegPhoto::Pixels JpegPhoto::decode(int scale) {
    Pixels pixels;
    if (startDecode(info_, errors_, scale)) {
        pixels.width = static_cast<int>(info_.output_width);
        pixels.height = static_cast<int>(info_.output_height);
        pixels.size = static_cast<size_t>(pixels.width) * pixels.height * 3;
        pixels.rgb = platform::allocateBigBuffer(pixels.size);
        if (!pixels.rgb) {
            throw PrepareError(QStringLiteral("не хватает памяти для снимка"));
        }
        if (readRows(info_, errors_, pixels.rgb.get()) && !errors_.truncated) {
            return pixels;
        }
    }
    if (errors_.truncated) {
        throw PrepareError(QStringLiteral("файл снимка обрезан: в нём нет конца изображения"));
    }
    throw failure();
}

PrepareError JpegPhoto::failure() const {
    if (errors_.refused) {
        return PrepareError(QString::fromUtf8(errors_.message));
    }
    return damagedPhoto(path_, QString::fromLocal8Bit(errors_.message));
}

namespace {

bool startEncode(jpeg::Compressor& e, int width, int height, int quality) {
    if (setjmp(e.errors.back) != 0) {
        return false;
    }
    e.info.image_width = static_cast<JDIMENSION>(width);
    e.info.image_height = static_cast<JDIMENSION>(height);
    e.info.input_components = 3;
    e.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&e.info);
    jpeg_set_quality(&e.info, quality, TRUE);
    jpeg_start_compress(&e.info, TRUE);
    return true;
}

// Called by libvips with the image's strips in order, one at a time.
int writeStrip(VipsRegion* region, VipsRect* area, void* a) {
    auto* e = static_cast<jpeg::Compressor*>(a);
    if (setjmp(e->errors.back) != 0) {
        return -1;
    }
    for (int y = area->top; y < VIPS_RECT_BOTTOM(area); ++y) {
        JSAMPROW row = VIPS_REGION_ADDR(region, area->left, y);
        jpeg_write_scanlines(&e->info, &row, 1);
    }
    return 0;
}

bool finishEncode(jpeg::Compressor& e) {
    if (setjmp(e.errors.back) != 0) {
        return false;
    }
    jpeg_finish_compress(&e.info);
    return true;
}

}  // namespace

QByteArray encodeJpeg(const vips::VImage& rgb, int quality) {
    if (rgb.bands() != 3 || rgb.format() != VIPS_FORMAT_UCHAR) {
        throw PrepareError(QStringLiteral("the print is not an 8-bit RGB picture"));
    }
    jpeg::Compressor e;
    if (!startEncode(e, rgb.width(), rgb.height(), quality) ||
        vips_sink_disc(rgb.get_image(), writeStrip, &e) != 0 || !finishEncode(e)) {
        const QString vipsError = QString::fromUtf8(vips_error_buffer()).trimmed();
        vips_error_clear();
        throw PrepareError(QStringLiteral("the print could not be made: %1")
                               .arg(e.errors.message[0] != '\0'
                                        ? QString::fromLocal8Bit(e.errors.message)
                                        : vipsError));
    }
    return e.destination.bytes();
}

}  // namespace images
