#pragma once

#include <algorithm>
#include <cstdint>

namespace order::reference {

// The walk as plainly as it can be written, one byte step at a time, on bytes in
// memory: the reference the chunked, seeking walk must agree with.
inline bool referenceWalk(const uint8_t* file, int64_t size, int& width, int& height) {
    int64_t pos = 2;
    width = 1;
    height = 1;
    auto byteAt = [&](int64_t at) -> uint8_t { return at >= 0 && at < size ? file[at] : 0; };
    auto readTwo = [&](uint8_t& a, uint8_t& b) {
        a = byteAt(pos);
        b = byteAt(pos + 1);
        const int64_t got = std::clamp<int64_t>(size - pos, 0, 2);
        pos += got;
        return got;
    };
    auto marker = [](uint8_t a, uint8_t b) { return a == 0xFF && b != 0x00 && b != 0xFF; };
    if (pos + 3 > size) {
        return false;
    }
    int64_t length = 2;
    bool found = false;
    for (;;) {
        pos += length - 2;
        uint8_t m1 = 0;
        uint8_t m2 = 0;
        readTwo(m1, m2);
        while (!marker(m1, m2) && pos + 2 <= size) {
            pos -= 1;
            readTwo(m1, m2);
        }
        if (!marker(m1, m2)) {
            return false;
        }
        uint8_t hi = 0;
        uint8_t lo = 0;
        if (readTwo(hi, lo) < 2) {
            return false;
        }
        length = (hi << 8) | lo;
        if (m2 == 0xC0 || m2 == 0xC1 || m2 == 0xC2) {
            found = true;
            break;
        }
        if (pos + length + 4 > size) {
            break;
        }
    }
    if (!found || pos + length + 4 > size) {
        return false;
    }
    pos += 1;
    height = (byteAt(pos) << 8) | byteAt(pos + 1);
    width = (byteAt(pos + 2) << 8) | byteAt(pos + 3);
    return height != 1 && width != 1;
}

}  // namespace order::reference
