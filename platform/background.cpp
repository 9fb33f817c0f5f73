#include "platform/background.h"

namespace platform {

QThreadPool& networkPool() {
    // A few fetches at once at most (the banner, a format download); each may wait
    // minutes on a slow lab.
    static QThreadPool* pool = [] {
        auto* made = new QThreadPool;
        made->setMaxThreadCount(4);
        return made;
    }();
    return *pool;
}

}  // namespace platform
