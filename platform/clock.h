#pragma once

#include <QDateTime>

namespace platform {

// Where the program reads the time of day (the session stamps), so that tests can set
// it. Any thread.
class Clock {
public:
    virtual ~Clock() = default;
    // The current local date and time.
    virtual QDateTime now() const = 0;
};

// The system's clock.
class SystemClock final : public Clock {
public:
    QDateTime now() const override;
};

}  // namespace platform
