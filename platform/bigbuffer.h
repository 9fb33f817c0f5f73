#pragma once

#include <cstddef>
#include <memory>

namespace platform {

struct FreeBigBuffer {
    void operator()(unsigned char* p) const;
};
using BigBuffer = std::unique_ptr<unsigned char[], FreeBigBuffer>;

// Memory for a picture of tens of megabytes that is written once, not cleared first;
// null when there is not enough. On Linux it asks for huge pages, which spares the
// kernel a page fault for every 4 KB of it.
BigBuffer allocateBigBuffer(size_t size);

}  // namespace platform
