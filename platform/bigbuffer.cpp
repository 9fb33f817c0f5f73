#include "platform/bigbuffer.h"

#include <cstdlib>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace platform {

void FreeBigBuffer::operator()(unsigned char* p) const {
    std::free(p);
}

BigBuffer allocateBigBuffer(size_t size) {
#ifdef __linux__
    constexpr size_t kHugePage = size_t{2} << 20;
    if (size >= kHugePage) {
        const size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
        void* memory = std::aligned_alloc(kHugePage, rounded);
        if (memory != nullptr) {
            madvise(memory, rounded, MADV_HUGEPAGE);
        }
        return BigBuffer(static_cast<unsigned char*>(memory));
    }
#endif
    return BigBuffer(static_cast<unsigned char*>(std::malloc(size)));
}

}  // namespace platform
