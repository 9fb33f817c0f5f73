#include "platform/jpeg/jpegcoder.h"

#include <cmath>
#include <cstdio>

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

// Fails the call in progress with the program's own text.
[[noreturn]] void refuse(j_common_ptr info, const char* text) {
    auto* errors = reinterpret_cast<Errors*>(info->err);
    std::snprintf(errors->message, sizeof errors->message, "%s", text);
    errors->refused = true;
    std::longjmp(errors->back, 1);
}

void countScans(j_common_ptr info) {
    const auto* d = reinterpret_cast<j_decompress_ptr>(info);
    if (d->input_scan_number > kMaxScans) {
        refuse(info, "в снимке слишком много проходов (сканов)");
    }
}

Decompressor& owner(j_decompress_ptr info) {
    return *static_cast<Decompressor*>(info->client_data);
}

// Skips a comment or application marker as libjpeg would, counting it.
boolean skipCounted(j_decompress_ptr info) {
    if (++owner(info).markers > kMaxMarkers) {
        refuse(reinterpret_cast<j_common_ptr>(info), "в снимке слишком много служебных меток");
    }
    jpeg_source_mgr* source = info->src;
    // The marker's length: two bytes, counting themselves.
    long length = 0;
    for (int i = 0; i < 2; ++i) {
        if (source->bytes_in_buffer == 0 && !(*source->fill_input_buffer)(info)) {
            return FALSE;
        }
        length = (length << 8) | *source->next_input_byte++;
        --source->bytes_in_buffer;
    }
    if (length > 2) {
        (*source->skip_input_data)(info, length - 2);
    }
    return TRUE;
}

}  // namespace

void useErrors(Errors& errors) {
    jpeg_std_error(&errors.pub);
    errors.pub.error_exit = jumpBack;
    errors.pub.emit_message = noteWarning;
    errors.pub.output_message = quiet;
    errors.message[0] = '\0';
    errors.refused = false;
    errors.truncated = false;
}

Decompressor::Decompressor() {
    useErrors(errors);
    info.err = &errors.pub;
    jpeg_create_decompress(&info);
    info.client_data = this;
    info.mem->max_memory_to_use = kMaxDecodeMemory;
    progress.progress_monitor = countScans;
    info.progress = &progress;
    jpeg_set_marker_processor(&info, JPEG_COM, skipCounted);
    // APP0 and APP14 (JFIF, Adobe) are libjpeg's own: it reads them.
    for (int app = 1; app < 16; ++app) {
        if (app != 14) {
            jpeg_set_marker_processor(&info, JPEG_APP0 + app, skipCounted);
        }
    }
}

double coefficientBytes(const jpeg_decompress_struct& info) {
    if (!info.progressive_mode && !info.buffered_image) {
        return 0;
    }
    double bytes = 0;
    for (int c = 0; c < info.num_components; ++c) {
        const jpeg_component_info& component = info.comp_info[c];
        const double across = std::ceil(static_cast<double>(info.image_width) *
                                        component.h_samp_factor / info.max_h_samp_factor / 8.0);
        const double down = std::ceil(static_cast<double>(info.image_height) *
                                      component.v_samp_factor / info.max_v_samp_factor / 8.0);
        bytes += across * down * DCTSIZE2 * sizeof(JCOEF);
    }
    return bytes;
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
