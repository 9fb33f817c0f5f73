#include "images/prepare.h"

#include <vips/vips8>

#include <QFile>
#include <memory>
#include <string_view>

#include "images/bordersize.h"
#include "images/comstream.h"
#include "images/encoders.h"
#include "images/layout.h"
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

int decodeShrink(int width, int height, int neededWidth, int neededHeight) {
    for (const int shrink : {8, 4, 2}) {
        if (width / shrink >= neededWidth && height / shrink >= neededHeight) {
            return shrink;
        }
    }
    return 1;
}

namespace {

// Pictures larger than this are refused: no camera makes them, decompression bombs do.
constexpr double kMaxPixels = 250e6;

// The segment the original platform's encoder writes after SOI: JFIF 1.01, no density
// unit, 1 x 1 (stampDensity then makes it 300 dpi).
const QByteArray kJfifSegment("\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 18);

bool isJpegFile(const char* file) {
    const char* loader = vips_foreign_find_load(file);
    return loader != nullptr && std::string_view(loader).starts_with("VipsForeignLoadJpeg");
}

}  // namespace

QByteArray preparePrint(const QString& path, const formats::TFormatsRecord& format,
                        const QString& how) {
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
        const bool portrait = header.height() > header.width();
        const TScaleSize canvas = canvasSize(format, 1.0f);
        const Placement place = portrait
                                    ? placePicture(canvas, header.height(), header.width(), how)
                                    : placePicture(canvas, header.width(), header.height(), how);
        // The size the picture is drawn at, before it is turned.
        const int drawnWidth = portrait ? place.h : place.w;
        const int drawnHeight = portrait ? place.w : place.h;
        vips::VOption* options = VImage::option()
                                     ->set("access", VIPS_ACCESS_SEQUENTIAL)
                                     ->set("fail_on", VIPS_FAIL_ON_TRUNCATED);
        if (isJpegFile(file.constData())) {
            options->set("shrink",
                         decodeShrink(header.width(), header.height(), drawnWidth, drawnHeight));
        }
        const VImage photo = VImage::new_from_file(file.constData(), options);
        const VImage print = drawCanvas(photo, canvas, place, portrait);

        QUuid jpegEncoder;
        if (FindEncoderClassId(QStringLiteral("image/jpeg"), jpegEncoder) < 0) {
            throw PrepareError("no JPEG encoder");
        }
        void* buffer = nullptr;
        size_t size = 0;
        print.write_to_buffer(".jpg", &buffer, &size,
                              VImage::option()->set("Q", 80)->set("strip", true));
        std::unique_ptr<void, decltype(&g_free)> owned(buffer, g_free);
        // libvips writes no JFIF segment; the lab reads the density from it.
        QByteArray encoded =
            QByteArray(static_cast<const char*>(buffer), static_cast<qsizetype>(size));
        if (!encoded.startsWith("\xFF\xD8")) {
            throw PrepareError("the print could not be encoded as JPEG");
        }
        if (encoded.mid(6, 5) != QByteArray("JFIF\0", 5)) {
            encoded.insert(2, kJfifSegment);
        }
        owned.reset();

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
