#include "app/bannercheck.h"

#include <algorithm>

namespace {

// A walk over a GIF's blocks (header, colour tables, extensions, image descriptors),
// skipping the compressed data; no pixel is decoded.
class GifBlocks {
public:
    explicit GifBlocks(const QByteArray& bytes) : bytes_(bytes) {}

    bool has(qsizetype n) const { return at_ + n <= bytes_.size(); }
    int byte() { return has(1) ? static_cast<unsigned char>(bytes_[at_++]) : -1; }
    int word() {
        const int low = byte();
        const int high = byte();
        return low < 0 || high < 0 ? -1 : low | high << 8;
    }
    bool skip(qsizetype n) {
        if (!has(n)) {
            return false;
        }
        at_ += n;
        return true;
    }
    // Data sub-blocks up to their empty terminator.
    bool skipSubBlocks() {
        for (;;) {
            const int size = byte();
            if (size < 0) {
                return false;
            }
            if (size == 0) {
                return true;
            }
            if (!skip(size)) {
                return false;
            }
        }
    }
    bool colourTable(int packed) { return (packed & 0x80) == 0 || skip(3 << ((packed & 7) + 1)); }
    bool startsWith(const char* text) const { return bytes_.startsWith(text); }

private:
    const QByteArray& bytes_;
    qsizetype at_ = 0;
};

}  // namespace

QString bannerRefusal(const QByteArray& gif, const BannerLimits& limits) {
    if (gif.size() > limits.bytes) {
        return QStringLiteral("%1 bytes, more than %2").arg(gif.size()).arg(limits.bytes);
    }
    GifBlocks blocks(gif);
    if (!(blocks.startsWith("GIF87a") || blocks.startsWith("GIF89a")) || !blocks.skip(6)) {
        return QStringLiteral("not a GIF picture");
    }
    const QString broken = QStringLiteral("a damaged GIF picture");
    const int width = blocks.word();
    const int height = blocks.word();
    const int packed = blocks.byte();
    if (height < 0 || packed < 0 || !blocks.skip(2) || !blocks.colourTable(packed)) {
        return broken;
    }
    const auto tooLarge = [&](int w, int h) {
        return w > limits.picture.width() || h > limits.picture.height();
    };
    if (tooLarge(width, height)) {
        return QStringLiteral("%1 × %2 pixels, larger than %3 × %4")
            .arg(width)
            .arg(height)
            .arg(limits.picture.width())
            .arg(limits.picture.height());
    }
    int frames = 0;
    int delay = 0;  // of the next frame, from its graphic control extension
    int shortest = -1;
    for (;;) {
        const int introducer = blocks.byte();
        if (introducer == 0x3B) {
            break;  // the trailer
        }
        if (introducer == 0x21) {
            const int label = blocks.byte();
            if (label == 0xF9) {
                if (blocks.byte() != 4 || blocks.byte() < 0) {
                    return broken;
                }
                delay = blocks.word();
                if (delay < 0 || !blocks.skip(1)) {
                    return broken;
                }
            }
            if (label < 0 || !blocks.skipSubBlocks()) {
                return broken;
            }
            continue;
        }
        if (introducer != 0x2C) {
            return broken;
        }
        const int left = blocks.word();
        const int top = blocks.word();
        const int frameWidth = blocks.word();
        const int frameHeight = blocks.word();
        const int framePacked = blocks.byte();
        if (left < 0 || top < 0 || frameWidth < 0 || frameHeight < 0 || framePacked < 0 ||
            !blocks.colourTable(framePacked) || !blocks.skip(1) || !blocks.skipSubBlocks()) {
            return broken;
        }
        if (tooLarge(left + frameWidth, top + frameHeight)) {
            return QStringLiteral("a frame reaching %1 × %2 pixels")
                .arg(left + frameWidth)
                .arg(top + frameHeight);
        }
        ++frames;
        if (frames > limits.frames) {
            return QStringLiteral("more than %1 frames").arg(limits.frames);
        }
        shortest = shortest < 0 ? delay : std::min(shortest, delay);
        delay = 0;
    }
    if (frames == 0) {
        return broken;
    }
    const qint64 decoded = qint64(frames) * width * height * 4;
    if (decoded > limits.decodedBytes) {
        return QStringLiteral("%1 frames that decode to %2 bytes, more than %3")
            .arg(frames)
            .arg(decoded)
            .arg(limits.decodedBytes);
    }
    if (frames > 1 && shortest < limits.shortestDelay) {
        return QStringLiteral("frames shown for %1 ms, shorter than %2 ms")
            .arg(shortest * 10)
            .arg(limits.shortestDelay * 10);
    }
    return {};
}
