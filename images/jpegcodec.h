#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <memory>

#include "platform/bigbuffer.h"
#include "platform/jpeg/jpegcoder.h"

namespace vips {
class VImage;
}

// Photos in and prints out through libjpeg-turbo. libvips's own JPEG loader sits on
// the same library; calling it directly lets a photo be decoded at any of its eight
// DCT scales (M/8) and straight into one buffer, which is what makes print
// preparation fast, and the encoder writes the JFIF segment the lab reads the density
// from.
namespace images {

// The smallest DCT scale M (the picture decoded at M/8 of its size, M from 1 to 8)
// that still leaves at least the needed size; 8 when even the full size falls short.
int decodeScale(int width, int height, int neededWidth, int neededHeight);

// A JPEG photo opened for decoding: its header is read, nothing else yet.
class JpegPhoto {
public:
    // Raises PrepareError when the file cannot be opened or its header read, or when
    // decoding it would hold more than jpeg::kMaxDecodeMemory. Decoding keeps to the
    // scan and marker limits of jpeg::Decompressor.
    explicit JpegPhoto(const QString& path);
    JpegPhoto(const JpegPhoto&) = delete;
    JpegPhoto& operator=(const JpegPhoto&) = delete;

    int width() const { return static_cast<int>(info_.image_width); }
    int height() const { return static_cast<int>(info_.image_height); }
    // Whether decode() can give RGB (YCbCr, RGB and grey photos); CMYK and YCCK need
    // colour conversion that is left to libvips.
    bool decodesToRgb() const;
    bool progressive() const;
    // Raises PrepareError when the photo has more scans than decoding takes (see
    // jpeg::kMaxScans); for a photo that libvips decodes, which has no such limit.
    void refuseManyScans() const;

    // The picture as 8-bit RGB rows at scale M/8. Raises PrepareError when the data are
    // corrupt or cut short.
    struct Pixels {
        platform::BigBuffer rgb;
        size_t size = 0;
        int width = 0;
        int height = 0;
    };
    Pixels decode(int scale);

private:
    // Why libjpeg stopped: a limit of ours says so, libjpeg's own text goes to the log.
    class PrepareError failure() const;

    QString path_;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
    // Released also when the constructor raises.
    jpeg::Decompressor d_;
    jpeg_decompress_struct& info_ = d_.info;
    jpeg::Errors& errors_ = d_.errors;
};

// Encodes an 8-bit, three-band image as a baseline JPEG of the given quality with a
// JFIF segment (no density, 1 x 1) and no other metadata. The image is computed strip
// by strip while it is encoded, so it is never held whole. Raises PrepareError.
QByteArray encodeJpeg(const vips::VImage& rgb, int quality);

}  // namespace images
