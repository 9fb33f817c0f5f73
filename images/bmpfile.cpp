#include "images/bmpfile.h"

#include <cstring>

namespace images {

namespace {

quint32 le32(const QByteArray& b, int at) {
    quint32 v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<uchar>(b[at + i]);
    }
    return v;
}

quint16 le16(const QByteArray& b, int at) {
    return static_cast<quint16>(static_cast<uchar>(b[at]) | (static_cast<uchar>(b[at + 1]) << 8));
}

void put32(QByteArray& b, int at, quint32 v) {
    for (int i = 0; i < 4; ++i) {
        b[at + i] = static_cast<char>(v >> (8 * i));
    }
}

// The viewer's pictures are small; anything larger is no BMP of ours.
constexpr qint64 kLargestSide = 20000;

}  // namespace

Picture24 readBmp24(const QByteArray& b, QString* error) {
    const auto fail = [&](const char* why) {
        *error = QString::fromLatin1(why);
        return Picture24();
    };
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') {
        return fail("not a BMP file");
    }
    const quint32 offset = le32(b, 10);
    const qint32 width = static_cast<qint32>(le32(b, 18));
    const qint32 rawHeight = static_cast<qint32>(le32(b, 22));
    if (le16(b, 28) != 24 || le32(b, 30) != 0) {
        return fail("not an uncompressed 24-bit BMP");
    }
    const bool topDown = rawHeight < 0;
    const qint64 height = topDown ? -static_cast<qint64>(rawHeight) : rawHeight;
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) {
        return fail("the BMP's size is out of range");
    }
    // The rows the header promises must be there before a byte is allocated for them.
    const qint64 stride = ((static_cast<qint64>(width) * 24 + 31) & ~31) / 8;
    if (offset + stride * height > b.size()) {
        return fail("the BMP is cut short");
    }
    Picture24 picture = Picture24::blank(width, static_cast<int>(height));
    for (int y = 0; y < picture.height; ++y) {
        const int from = topDown ? y : picture.height - 1 - y;
        std::memcpy(picture.bytes.data() + y * picture.stride,
                    b.constData() + offset + from * picture.stride,
                    static_cast<size_t>(picture.width) * 3);
    }
    return picture;
}

QByteArray bmp24(const Picture24& picture) {
    const quint32 pixels = static_cast<quint32>(picture.stride * picture.height);
    QByteArray b(54, '\0');
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, 54 + pixels);
    put32(b, 10, 54);
    put32(b, 14, 40);
    put32(b, 18, static_cast<quint32>(picture.width));
    put32(b, 22, static_cast<quint32>(picture.height));
    b[26] = 1;
    b[28] = 24;
    put32(b, 34, pixels);
    put32(b, 38, 2835);
    put32(b, 42, 2835);
    for (int y = picture.height - 1; y >= 0; --y) {
        b.append(picture.bytes.constData() + y * picture.stride, picture.stride);
    }
    return b;
}

}  // namespace images
