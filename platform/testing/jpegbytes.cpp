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
    return encodedJpeg(width, height, JpegMaking{});
}

QByteArray encodedJpeg(int width, int height, const JpegMaking& making) {
    jpeg::Compressor encoder;
    jpeg_compress_struct& cinfo = encoder.info;
    const int components = making.cmyk ? 4 : 3;
    // Made before the jump target, so that a jump back skips no destructor.
    std::vector<unsigned char> row(static_cast<size_t>(width) * components);
    std::vector<jpeg_scan_info> script;
    if (making.manyScans) {
        jpeg_scan_info dc{};
        dc.comps_in_scan = components;
        for (int c = 0; c < components; ++c) {
            dc.component_index[c] = c;
        }
        script.push_back(dc);
        for (int c = 0; c < components; ++c) {
            for (int k = 1; k < DCTSIZE2; ++k) {
                jpeg_scan_info ac{};
                ac.comps_in_scan = 1;
                ac.component_index[0] = c;
                ac.Ss = k;
                ac.Se = k;
                script.push_back(ac);
            }
        }
    }
    const QByteArray comment("a comment");
    // A fault of the encoder here is a fault of the test: nothing to give back.
    if (setjmp(encoder.errors.back) != 0) {
        return {};
    }
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = making.cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 80, TRUE);
    if (!script.empty()) {
        cinfo.scan_info = script.data();
        cinfo.num_scans = static_cast<int>(script.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    for (int i = 0; i < making.comments; ++i) {
        jpeg_write_marker(&cinfo, JPEG_COM, reinterpret_cast<const JOCTET*>(comment.constData()),
                          static_cast<unsigned int>(comment.size()));
    }
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < width; ++x) {
            unsigned char* at = row.data() + static_cast<size_t>(x) * components;
            at[0] = static_cast<unsigned char>(x * 255 / std::max(1, width - 1));
            at[1] = static_cast<unsigned char>(cinfo.next_scanline * 255 / std::max(1, height - 1));
            at[2] = 128;
            if (components == 4) {
                at[3] = 30;
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    return encoder.destination.bytes();
}

}  // namespace testing_support
