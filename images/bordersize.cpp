#include "images/bordersize.h"

#include <vips/vips8>

#include <QIODevice>
#include <array>

#include "images/comstream.h"
#include "images/layout.h"

namespace images {

using vips::VImage;

VImage toRgb8(const VImage& picture) {
    VImage rgb = picture;
    if (rgb.interpretation() != VIPS_INTERPRETATION_sRGB || rgb.format() != VIPS_FORMAT_UCHAR) {
        rgb = rgb.colourspace(VIPS_INTERPRETATION_sRGB);
    }
    if (rgb.bands() > 3) {
        rgb = rgb.extract_band(0, VImage::option()->set("n", 3));
    } else if (rgb.bands() < 3) {
        const VImage grey = rgb.extract_band(0);
        rgb = grey.bandjoin({grey, grey});
    }
    if (rgb.format() != VIPS_FORMAT_UCHAR) {
        rgb = rgb.cast(VIPS_FORMAT_UCHAR);
    }
    return rgb.copy(VImage::option()->set("interpretation", VIPS_INTERPRETATION_sRGB));
}

VImage layoutCanvas(const VImage& picture, const formats::TFormatsRecord& Format,
                    const QString& How, float proportion, bool turn) {
    const TScaleSize canvas = canvasSize(Format, proportion);
    const int width = turn ? picture.height() : picture.width();
    const int height = turn ? picture.width() : picture.height();
    return drawCanvas(picture, canvas, placePicture(canvas, width, height, How), turn);
}

namespace {

// Exactly width x height: a reduction may round its size a pixel the other way.
VImage exactly(const VImage& picture, int width, int height) {
    if (picture.width() == width && picture.height() == height) {
        return picture;
    }
    return picture.embed(0, 0, width, height, VImage::option()->set("extend", VIPS_EXTEND_COPY));
}

VImage reduceVertically(const VImage& picture, int height) {
    if (picture.height() == height) {
        return picture;
    }
    return picture.reducev(static_cast<double>(picture.height()) / height,
                           VImage::option()->set("kernel", VIPS_KERNEL_CUBIC));
}

}  // namespace

VImage scalePicture(const VImage& picture, int width, int height, Access access, bool turn) {
    const VImage rgb = toRgb8(picture);
    if (access == Access::Random && width <= rgb.width() && height <= rgb.height()) {
        // libvips's vertical pass is vectorised, its horizontal one is not: the
        // horizontal reduction is made a vertical one on the picture turned, which the
        // print's own turn saves turning back.
        const VImage vertical = exactly(reduceVertically(rgb, height), rgb.width(), height);
        if (turn) {
            return exactly(reduceVertically(vertical.rot(VIPS_ANGLE_D90), width), height, width);
        }
        if (width == rgb.width()) {
            return vertical;
        }
        return exactly(reduceVertically(vertical.rot(VIPS_ANGLE_D90), width), height, width)
            .rot(VIPS_ANGLE_D270);
    }
    VImage scaled = rgb;
    if (width != scaled.width() || height != scaled.height()) {
        scaled =
            exactly(scaled.resize(static_cast<double>(width) / scaled.width(),
                                  VImage::option()
                                      ->set("vscale", static_cast<double>(height) / scaled.height())
                                      ->set("kernel", VIPS_KERNEL_CUBIC)),
                    width, height);
    }
    return turn ? scaled.rot(VIPS_ANGLE_D90) : scaled;
}

VImage placeOnCanvas(const VImage& scaled, TScaleSize canvas, const Placement& place) {
    // On white; what falls outside the canvas is clipped.
    return scaled.embed(place.x, place.y, canvas.Width, canvas.Height,
                        VImage::option()
                            ->set("extend", VIPS_EXTEND_BACKGROUND)
                            ->set("background", std::vector<double>{255, 255, 255}));
}

VImage drawCanvas(const VImage& picture, TScaleSize canvas, const Placement& place, bool turn,
                  Access access) {
    // Scaled unturned to the turned target's swapped size, then turned as it is
    // computed, never held whole.
    const VImage scaled = turn ? scalePicture(picture, place.h, place.w, access, true)
                               : scalePicture(picture, place.w, place.h, access, false);
    return placeOnCanvas(scaled, canvas, place);
}

void writeBmp(QIODevice& stream, const VImage& rgb) {
    const int width = rgb.width();
    const int height = rgb.height();
    const int rowBytes = (width * 3 + 3) & ~3;
    const quint32 pixelBytes = static_cast<quint32>(rowBytes) * static_cast<quint32>(height);
    std::array<uchar, 54> header{};
    auto put32 = [&](int at, quint32 value) {
        for (int i = 0; i < 4; ++i) {
            header[at + i] = static_cast<uchar>(value >> (8 * i));
        }
    };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, 54 + pixelBytes);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<quint32>(width));
    put32(22, static_cast<quint32>(height));  // positive: rows bottom-up
    header[26] = 1;
    header[28] = 24;
    put32(34, pixelBytes);
    put32(38, 2835);  // 72 dpi
    put32(42, 2835);
    WriteBuffer(stream, reinterpret_cast<const char*>(header.data()), header.size());

    size_t size = 0;
    void* memory = rgb.write_to_memory(&size);
    std::unique_ptr<uchar, decltype(&g_free)> pixels(static_cast<uchar*>(memory), g_free);
    QByteArray row(rowBytes, '\0');
    for (int y = height - 1; y >= 0; --y) {
        const uchar* source = pixels.get() + static_cast<size_t>(y) * width * 3;
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<char>(source[x * 3 + 2]);  // BMP keeps blue first
            row[x * 3 + 1] = static_cast<char>(source[x * 3 + 1]);
            row[x * 3 + 2] = static_cast<char>(source[x * 3]);
        }
        WriteBuffer(stream, row.constData(), rowBytes);
    }
}

bool BorderSize(QIODevice& stream, const VImage& img, const formats::TFormatsRecord& Format,
                const QString& How, float proportion) {
    writeBmp(stream, layoutCanvas(img, Format, How, proportion));
    return true;
}

}  // namespace images
