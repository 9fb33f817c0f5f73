#include "platform/clock.h"

namespace platform {

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

}  // namespace platform
