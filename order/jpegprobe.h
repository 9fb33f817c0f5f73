#pragma once

#include <cstdint>

namespace order {

// Random-access bytes for the JPEG header walk: a file on disk or bytes in memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies up to count bytes from offset; returns how many were copied (fewer only
    // at the end of the source).
    virtual int64_t readAt(int64_t offset, uint8_t* buffer, int64_t count) = 0;
    // The first offset at or after the given one that may hold other bytes than zero
    // (a sparse file's holes read as zeros and hold no marker).
    virtual int64_t nextData(int64_t offset) { return offset; }
};

struct JpegHeader {
    uint16_t width = 1;
    uint16_t height = 1;
};

// Walks the markers of a JPEG from offset 2 to its first SOF0, SOF1 or SOF2 frame
// header and reads the picture's size there, without decoding anything. Segments are
// skipped by position; fill bytes and garbage between segments are scanned over.
// Returns true when a usable frame header was found; header is then the frame's size.
// On false, header holds whatever the walk had found (1 x 1 when nothing).
bool walkJpegHeader(ByteSource& source, int64_t size, JpegHeader& header);

}  // namespace order
