#include "platform/testing/jpegbytes.h"

#include <algorithm>
#include <vector>

#include "platform/jpeg/jpegcoder.h"

namespace testing_support {

QByteArray segment(unsigned char marker, const QByteArray& payload) {
    const int length = static_cast<int>(payload.size()) + 2;
    QByteArray bytes;
    bytes.append('\xFF');
    bytes.append(static_cast<char>(marker));
    bytes.append(static_cast<char>(length >> 8));
    bytes.append(static_cast<char>(length & 0xFF));
    return bytes + payload;
}

QByteArray frame(unsigned char marker, int height, int width) {
    QByteArray payload;
    payload.append('\x08');
    payload.append(static_cast<char>(height >> 8));
    payload.append(static_cast<char>(height & 0xFF));
    payload.append(static_cast<char>(width >> 8));
    payload.append(static_cast<char>(width & 0xFF));
    payload.append('\x03');
    payload.append(QByteArray("\x01\x22\x00\x02\x11\x01\x03\x11\x01", 9));
    return segment(marker, payload);
}

QByteArray jpegHeaderFile(int width, int height, unsigned char sofMarker) {
    return QByteArray("\xFF\xD8", 2) +
           segment(0xE0, QByteArray("JFIF\x00\x01\x01\x01\x00\x48\x00\x48\x00\x00", 14)) +
           frame(sofMarker, height, width) + QByteArray(16, '\x2A') + QByteArray("\xFF\xD9", 2);
}

QByteArray encodedJpeg(int width, int height) {
    jpeg::Compressor encoder;
    jpeg_compress_struct& cinfo = encoder.info;
    // Made before the jump target, so that a jump back skips no destructor.
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    // A fault of the encoder here is a fault of the test: nothing to give back.
    if (setjmp(encoder.errors.back) != 0) {
        return {};
    }
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 80, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < width; ++x) {
            row[x * 3] = static_cast<unsigned char>(x * 255 / std::max(1, width - 1));
            row[x * 3 + 1] =
                static_cast<unsigned char>(cinfo.next_scanline * 255 / std::max(1, height - 1));
            row[x * 3 + 2] = 128;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    return encoder.destination.bytes();
}

}  // namespace testing_support
