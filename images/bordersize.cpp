#include "images/bordersize.h"

#include <vips/vips8>

#include <QIODevice>
#include <array>

#include "images/comstream.h"
#include "images/layout.h"

namespace images {

using vips::VImage;

VImage layoutCanvas(const VImage& picture, const formats::TFormatsRecord& Format,
                    const QString& How, float proportion, bool turn) {
    const TScaleSize canvas = canvasSize(Format, proportion);
    const int width = turn ? picture.height() : picture.width();
    const int height = turn ? picture.width() : picture.height();
    return drawCanvas(picture, canvas, placePicture(canvas, width, height, How), turn);
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
