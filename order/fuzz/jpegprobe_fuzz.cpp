// libFuzzer target: the JPEG header walk on arbitrary bytes. Besides memory faults it
// traps when the walk disagrees with the plain byte-by-byte reference walk.
#include <cstdint>
#include <cstring>

#include "order/jpegprobe.h"
#include "order/tests/referencewalk.h"

namespace {

class Bytes final : public order::ByteSource {
public:
    Bytes(const uint8_t* data, size_t size) : data_(data), size_(static_cast<int64_t>(size)) {}
    int64_t readAt(int64_t offset, uint8_t* buffer, int64_t count) override {
        if (offset < 0 || offset >= size_) {
            return 0;
        }
        const int64_t n = count < size_ - offset ? count : size_ - offset;
        std::memcpy(buffer, data_ + offset, static_cast<size_t>(n));
        return n;
    }

private:
    const uint8_t* data_;
    int64_t size_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Bytes source(data, size);
    order::JpegHeader header;
    const bool accepted = order::walkJpegHeader(source, static_cast<int64_t>(size), header);
    int width = 0;
    int height = 0;
    const bool expected =
        order::reference::referenceWalk(data, static_cast<int64_t>(size), width, height);
    if (accepted != expected || (accepted && (header.width != width || header.height != height))) {
        __builtin_trap();
    }
    return 0;
}
