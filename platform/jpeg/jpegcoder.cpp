#include "platform/jpeg/jpegcoder.h"

namespace jpeg {

namespace {

void jumpBack(j_common_ptr info) {
    auto* errors = reinterpret_cast<Errors*>(info->err);
    errors->pub.format_message(info, errors->message);
    std::longjmp(errors->back, 1);
}

void noteWarning(j_common_ptr info, int level) {
    auto* errors = reinterpret_cast<Errors*>(info->err);
    if (level < 0) {
        if (errors->pub.msg_code == JWRN_JPEG_EOF) {
            errors->truncated = true;
        }
        ++errors->pub.num_warnings;
    }
}

void quiet(j_common_ptr) {}

}  // namespace

void useErrors(Errors& errors) {
    jpeg_std_error(&errors.pub);
    errors.pub.error_exit = jumpBack;
    errors.pub.emit_message = noteWarning;
    errors.pub.output_message = quiet;
    errors.message[0] = '\0';
    errors.truncated = false;
}

Decompressor::Decompressor() {
    useErrors(errors);
    info.err = &errors.pub;
    jpeg_create_decompress(&info);
}

Decompressor::~Decompressor() {
    jpeg_destroy_decompress(&info);
}

Compressor::Compressor() {
    useErrors(errors);
    info.err = &errors.pub;
    jpeg_create_compress(&info);
    destination.attach(info);
}

Compressor::~Compressor() {
    jpeg_destroy_compress(&info);
}

}  // namespace jpeg
