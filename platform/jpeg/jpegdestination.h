#pragma once

// A libjpeg destination that grows the encoded bytes in a QByteArray it owns, so that
// nothing is left to free by hand when encoding stops half-way (jpeg_mem_dest's buffer
// is replaced behind the caller's back when it grows).

#include <QByteArray>
#include <cstdio>

#include <jpeglib.h>

namespace jpeg {

class ByteDestination {
public:
    // Makes this the destination of info; it must outlive the compression.
    void attach(jpeg_compress_struct& info) {
        pub_.init_destination = start;
        pub_.empty_output_buffer = grow;
        pub_.term_destination = end;
        info.dest = &pub_;
        info.client_data = this;
    }
    // The encoded bytes, once jpeg_finish_compress has run.
    const QByteArray& bytes() const { return bytes_; }

private:
    static ByteDestination* of(j_compress_ptr info) {
        return static_cast<ByteDestination*>(info->client_data);
    }
    static void start(j_compress_ptr info) {
        ByteDestination* d = of(info);
        d->bytes_.resize(256 * 1024);
        d->pub_.next_output_byte = reinterpret_cast<JOCTET*>(d->bytes_.data());
        d->pub_.free_in_buffer = static_cast<size_t>(d->bytes_.size());
    }
    static boolean grow(j_compress_ptr info) {
        ByteDestination* d = of(info);
        const qsizetype used = d->bytes_.size();
        d->bytes_.resize(used * 2);
        d->pub_.next_output_byte = reinterpret_cast<JOCTET*>(d->bytes_.data()) + used;
        d->pub_.free_in_buffer = static_cast<size_t>(used);
        return TRUE;
    }
    static void end(j_compress_ptr info) {
        ByteDestination* d = of(info);
        d->bytes_.resize(d->bytes_.size() - static_cast<qsizetype>(d->pub_.free_in_buffer));
    }

    jpeg_destination_mgr pub_{};
    QByteArray bytes_;
};

}  // namespace jpeg
