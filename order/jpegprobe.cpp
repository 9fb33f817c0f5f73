#include "order/jpegprobe.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace order {

namespace {

// Two bytes form a marker when the first is 0xFF and the second neither 0x00 (a
// stuffed byte) nor 0xFF (a fill byte).
bool isMarker(uint8_t m1, uint8_t m2) {
    return m1 == 0xFF && m2 != 0x00 && m2 != 0xFF;
}

// Reads through a small window so that the walk costs a few system calls per file,
// while a scan over garbage advances a whole chunk at a time.
class Cursor {
public:
    Cursor(ByteSource& source, int64_t size) : source_(source), size_(size) {}

    int64_t pos = 0;

    // Reads two bytes at pos and advances by what was there (0, 1 or 2 bytes).
    int readPair(uint8_t& first, uint8_t& second) {
        uint8_t bytes[2] = {0, 0};
        const int got = fetch(pos, bytes, 2);
        pos += got;
        first = bytes[0];
        second = bytes[1];
        return got;
    }

    // The first q in [from, last] with a marker in bytes q and q + 1, or -1. Searches
    // chunk by chunk, so garbage or a long run of fill bytes costs no step per byte.
    int64_t findMarker(int64_t from, int64_t last) {
        std::array<uint8_t, 65536> chunk;
        int64_t q = std::max<int64_t>(from, 0);
        while (q <= last) {
            q = source_.nextData(q);
            if (q > last) {
                break;
            }
            const int64_t want =
                std::min<int64_t>(static_cast<int64_t>(chunk.size()), last - q + 2);
            const int64_t got = source_.readAt(q, chunk.data(), want);
            if (got < 2) {
                break;
            }
            for (int64_t i = 0; i + 1 < got; ++i) {
                const void* ff =
                    std::memchr(chunk.data() + i, 0xFF, static_cast<size_t>(got - 1 - i));
                if (ff == nullptr) {
                    break;
                }
                i = static_cast<const uint8_t*>(ff) - chunk.data();
                if (isMarker(chunk[i], chunk[i + 1])) {
                    return q + i;
                }
            }
            q += got - 1;  // the last byte may start a marker with the next chunk
        }
        return -1;
    }

private:
    int fetch(int64_t offset, uint8_t* out, int count) {
        if (offset < 0 || offset >= size_) {
            return 0;
        }
        if (offset < windowStart_ || offset + count > windowStart_ + windowLength_) {
            // A backward step or a jump past the window: refill at the offset.
            windowStart_ = offset;
            windowLength_ = std::max<int64_t>(
                0, source_.readAt(offset, window_.data(), static_cast<int64_t>(window_.size())));
        }
        const int64_t available = windowStart_ + windowLength_ - offset;
        const int got = static_cast<int>(std::clamp<int64_t>(available, 0, count));
        std::copy_n(window_.data() + (offset - windowStart_), got, out);
        return got;
    }

    ByteSource& source_;
    int64_t size_;
    std::array<uint8_t, 32> window_{};
    int64_t windowStart_ = 0;
    int64_t windowLength_ = 0;
};

bool isAcceptedFrame(uint8_t m2) {
    return m2 == 0xC0 || m2 == 0xC1 || m2 == 0xC2;
}

}  // namespace

bool walkJpegHeader(ByteSource& source, int64_t size, JpegHeader& header) {
    header = JpegHeader{};
    Cursor in(source, size);
    in.pos = 2;  // the first two bytes are not examined
    if (in.pos + 3 > size) {
        return false;
    }
    int64_t length = 2;
    bool frameFound = false;
    for (;;) {
        // A length of 0 or 1 steps back over the length bytes themselves; they are
        // no marker, so the scan below still moves forward.
        in.pos += length - 2;
        uint8_t m1 = 0;
        uint8_t m2 = 0;
        in.readPair(m1, m2);
        if (!isMarker(m1, m2)) {
            // Slide a two-byte window forward one byte at a time; a window is looked at
            // while at least one byte follows it.
            const int64_t found = in.findMarker(in.pos - 1, size - 3);
            if (found < 0) {
                return false;
            }
            in.pos = found;
            in.readPair(m1, m2);
        }
        uint8_t hi = 0;
        uint8_t lo = 0;
        if (in.readPair(hi, lo) < 2) {
            return false;  // the file ends inside the length
        }
        length = (hi << 8) | lo;
        if (isAcceptedFrame(m2)) {
            frameFound = true;
            break;
        }
        if (in.pos + length + 4 > size) {
            break;
        }
    }
    if (!frameFound || in.pos + length + 4 > size) {
        return false;
    }
    in.pos += 1;  // sample precision
    uint8_t b1 = 0;
    uint8_t b2 = 0;
    in.readPair(b1, b2);
    header.height = static_cast<uint16_t>((b1 << 8) | b2);
    in.readPair(b1, b2);
    header.width = static_cast<uint16_t>((b1 << 8) | b2);
    return header.height != 1 && header.width != 1;
}

}  // namespace order
