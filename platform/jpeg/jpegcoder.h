#pragma once

#include <csetjmp>
#include <cstdio>

// libjpeg's headers need <cstdio> before them.
#include <jerror.h>
#include <jpeglib.h>

#include "platform/jpeg/jpegdestination.h"

// What every user of libjpeg-turbo in the program shares: its error handling and its
// compressor and decompressor, released on every path.
namespace jpeg {

// How libjpeg reports: a fatal error jumps back to the setjmp of the call that started
// the work (error_exit must not return), with its text in message; warnings are counted
// in pub.num_warnings and a stream cut short is noted. Nothing is printed. A limit of
// ours that is passed fails the same way, its text (UTF-8, for the user) in message
// and refused set; libjpeg's own texts are English, for the log.
struct Errors {
    jpeg_error_mgr pub;
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX];
    bool truncated;
    bool refused;
};

// Makes errors the error manager as described above, ready for a new coder.
void useErrors(Errors& errors);

// Limits of decoding a picture from outside, as djpeg's -maxmemory and -maxscans set
// them: a small hostile file must not hold gigabytes or take minutes.
// libjpeg's whole-picture buffers (a progressive photo's coefficients, two bytes for
// each of its 64 per block): 512 MB holds a 170-megapixel progressive 4:2:0 photo,
// beyond any camera's.
inline constexpr long kMaxDecodeMemory = 512L * 1024 * 1024;
// Scans of a progressive photo: encoders write about ten; each scan is a pass over
// the whole buffer, so thousands of them cost minutes.
inline constexpr int kMaxScans = 100;
// Comment and application markers skipped before the picture: cameras write a few.
inline constexpr int kMaxMarkers = 1000;

// A decompressor with its error manager, held to the limits above: past one, the
// call in progress fails with its own message. The parts of a caller that may jump back
// (between its setjmp on errors.back and the end of the libjpeg calls) must hold no
// objects with destructors.
struct Decompressor {
    jpeg_decompress_struct info{};
    Errors errors{};
    // Counts scans as libjpeg reports its progress.
    jpeg_progress_mgr progress{};
    int markers = 0;
    Decompressor();
    ~Decompressor();
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
};

// The bytes libjpeg's whole-picture buffers will take for a progressive photo whose
// header was read (0 for a baseline one, which needs none).
double coefficientBytes(const jpeg_decompress_struct& info);

// A compressor with its error manager, writing into bytes it owns (destination).
struct Compressor {
    jpeg_compress_struct info{};
    Errors errors{};
    ByteDestination destination;
    Compressor();
    ~Compressor();
    Compressor(const Compressor&) = delete;
    Compressor& operator=(const Compressor&) = delete;
};

}  // namespace jpeg
