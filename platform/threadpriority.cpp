#include "platform/threadpriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

bool lowerThisThreadsPriority() {
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, thread);
    return errno == 0 && ::setpriority(PRIO_PROCESS, thread, nice + 1) == 0;
}

}  // namespace platform
