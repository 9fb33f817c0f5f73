#include "labd/banner.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace labd {

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 200;
constexpr int kFrames = 12;

void put16(std::string& out, int value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

// GIF's variable-width LZW, 8-bit pixels.
std::string lzw(const std::vector<uint8_t>& pixels) {
    constexpr int kMinCodeSize = 8;
    constexpr int kClear = 1 << kMinCodeSize;
    constexpr int kEnd = kClear + 1;
    std::string bytes;
    uint32_t bitBuffer = 0;
    int bitCount = 0;
    int codeSize = kMinCodeSize + 1;
    auto emit = [&](int code) {
        bitBuffer |= static_cast<uint32_t>(code) << bitCount;
        bitCount += codeSize;
        while (bitCount >= 8) {
            bytes += static_cast<char>(bitBuffer & 0xFF);
            bitBuffer >>= 8;
            bitCount -= 8;
        }
    };
    // (prefix code << 8 | next byte) -> code
    std::unordered_map<uint32_t, int> table;
    table.reserve(8192);
    int nextCode = kEnd + 1;
    emit(kClear);
    int prefix = pixels.empty() ? -1 : pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        const uint32_t key = (static_cast<uint32_t>(prefix) << 8) | pixels[i];
        const auto it = table.find(key);
        if (it != table.end()) {
            prefix = it->second;
            continue;
        }
        emit(prefix);
        if (nextCode < 4096) {
            table[key] = nextCode++;
            if (nextCode > (1 << codeSize) && codeSize < 12) {
                ++codeSize;
            }
        } else {
            emit(kClear);
            table.clear();
            nextCode = kEnd + 1;
            codeSize = kMinCodeSize + 1;
        }
        prefix = pixels[i];
    }
    if (prefix >= 0) {
        emit(prefix);
    }
    emit(kEnd);
    if (bitCount > 0) {
        bytes += static_cast<char>(bitBuffer & 0xFF);
    }
    std::string blocks;
    for (size_t at = 0; at < bytes.size(); at += 255) {
        const std::string block = bytes.substr(at, 255);
        blocks += static_cast<char>(block.size());
        blocks += block;
    }
    return blocks + '\0';
}

std::string drawBanner() {
    std::string gif = "GIF89a";
    put16(gif, kWidth);
    put16(gif, kHeight);
    gif += static_cast<char>(0xF7);  // global colour table of 256 entries
    gif += '\0';
    gif += '\0';
    // A palette running from deep blue through green to warm yellow.
    for (int i = 0; i < 256; ++i) {
        const double t = i / 255.0;
        gif += static_cast<char>(static_cast<int>(40 + 215 * t));
        gif += static_cast<char>(static_cast<int>(80 + 150 * std::sin(t * 3.14159)));
        gif += static_cast<char>(static_cast<int>(200 * (1 - t) + 30));
    }
    gif += "\x21\xFF\x0BNETSCAPE2.0\x03\x01";
    put16(gif, 0);  // loop for ever
    gif += '\0';
    std::vector<uint8_t> pixels(static_cast<size_t>(kWidth) * kHeight);
    for (int frame = 0; frame < kFrames; ++frame) {
        gif += "\x21\xF9\x04";
        gif += '\x04';   // keep the frame, no transparency
        put16(gif, 12);  // 0.12 s
        gif += '\0';
        gif += '\0';
        gif += ',';
        put16(gif, 0);
        put16(gif, 0);
        put16(gif, kWidth);
        put16(gif, kHeight);
        gif += '\0';
        gif += '\x08';  // LZW minimum code size
        const double phase = frame * 2 * 3.14159 / kFrames;
        std::vector<double> wave(kWidth);
        std::vector<double> shift(kWidth);
        for (int x = 0; x < kWidth; ++x) {
            wave[x] = std::sin(x / 60.0 + phase) * 0.5 + 0.5;
            shift[x] = 20 * std::sin(x / 90.0 + phase);
        }
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const double band = (y + shift[x]) / kHeight;
                pixels[static_cast<size_t>(y) * kWidth + x] = static_cast<uint8_t>(
                    std::clamp(255 * (0.6 * band + 0.4 * wave[x]), 0.0, 255.0));
            }
        }
        gif += lzw(pixels);
    }
    gif += ';';
    return gif;
}

}  // namespace

const std::string& bannerGif() {
    static const std::string banner = drawBanner();
    return banner;
}

}  // namespace labd
