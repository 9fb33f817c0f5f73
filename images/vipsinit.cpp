#include "images/vipsinit.h"

#include <vips/vips8>

#include <mutex>
#include <stdexcept>

namespace images {

void ensureVips() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (VIPS_INIT("korvella") != 0) {
            throw std::runtime_error("the imaging library could not start");
        }
    });
}

}  // namespace images
