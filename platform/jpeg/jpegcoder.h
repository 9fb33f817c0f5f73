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
// in pub.num_warnings and a stream cut short is noted. Nothing is printed.
struct Errors {
    jpeg_error_mgr pub;
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX];
    bool truncated;
};

// Makes errors the error manager as described above, ready for a new coder.
void useErrors(Errors& errors);

// A decompressor with its error manager. The parts of a caller that may jump back
// (between its setjmp on errors.back and the end of the libjpeg calls) must hold no
// objects with destructors.
struct Decompressor {
    jpeg_decompress_struct info{};
    Errors errors{};
    Decompressor();
    ~Decompressor();
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
};

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
