#include "images/prepare.h"

#include <jpeglib.h>
#include <vips/vips8>

#include <QFile>
#include <csetjmp>
#include <cstdlib>
#include <memory>

#include "images/bordersize.h"
#include "images/comstream.h"
#include "images/encoders.h"
#include "images/vipsinit.h"

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

QByteArray encodeJpeg(const uchar* rgb, int width, int height, int quality) {
    struct Failure {
        jpeg_error_mgr mgr;
        std::jmp_buf jump;
    } failure{};
    jpeg_compress_struct cinfo{};
    cinfo.err = jpeg_std_error(&failure.mgr);
    failure.mgr.error_exit = [](j_common_ptr c) {
        std::longjmp(reinterpret_cast<Failure*>(c->err)->jump, 1);
    };
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (setjmp(failure.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        throw PrepareError("the print could not be encoded as JPEG");
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.write_JFIF_header = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uchar*>(rgb) + static_cast<size_t>(cinfo.next_scanline) * width * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray jpeg(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return jpeg;
}

namespace {

// Pictures larger than this are refused: no camera makes them, decompression bombs do.
constexpr double kMaxPixels = 250e6;

}  // namespace

QByteArray preparePrint(const QString& path, const formats::TFormatsRecord& format, const QString& how) {
    ensureVips();
    try {
        const QByteArray file = QFile::encodeName(path);
        const VImage header = VImage::new_from_file(file.constData());
        if (static_cast<double>(header.width()) * header.height() > kMaxPixels) {
            throw PrepareError(QStringLiteral("%1: the picture is too large (%2 x %3)")
                                   .arg(path)
                                   .arg(header.width())
                                   .arg(header.height())
                                   .toStdString());
        }
        const VImage photo = VImage::new_from_file(
            file.constData(), VImage::option()
                                  ->set("access", VIPS_ACCESS_SEQUENTIAL)
                                  ->set("fail_on", VIPS_FAIL_ON_TRUNCATED));
        const bool portrait = photo.height() > photo.width();
        const VImage canvas = layoutCanvas(photo, format, how, 1.0f, portrait);

        QUuid jpegEncoder;
        if (FindEncoderClassId(QStringLiteral("image/jpeg"), jpegEncoder) < 0) {
            throw PrepareError("no JPEG encoder");
        }
        size_t size = 0;
        std::unique_ptr<uchar, decltype(&g_free)> pixels(
            static_cast<uchar*>(canvas.write_to_memory(&size)), g_free);
        const QByteArray encoded = encodeJpeg(pixels.get(), canvas.width(), canvas.height(), 80);
        pixels.reset();

        // Through the imaging layer's stream into the program's, as the upload reads it.
        const std::shared_ptr<MemoryComStream> com = CreateStreamOnHGlobal();
        uint32_t written = 0;
        com->Write(encoded.constData(), static_cast<uint32_t>(encoded.size()), &written);
        TExternStream stream(com);
        QByteArray jpeg = LoadFromStream(stream);
        stampDensity(jpeg);
        return jpeg;
    } catch (const vips::VError& e) {
        vips_error_clear();
        throw PrepareError(QStringLiteral("%1: %2")
                               .arg(path, QString::fromUtf8(e.what()).trimmed())
                               .toStdString());
    }
}

}  // namespace images
