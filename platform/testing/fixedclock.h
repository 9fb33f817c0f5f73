#pragma once

#include <QDateTime>

#include "platform/clock.h"

namespace testing_support {

// A clock that shows the time a test sets.
class FixedClock final : public platform::Clock {
public:
    explicit FixedClock(QDateTime now = QDateTime(QDate(2026, 12, 10), QTime(11, 15, 30)))
        : now_(std::move(now)) {}
    QDateTime now() const override { return now_; }
    void set(const QDateTime& now) { now_ = now; }

private:
    QDateTime now_;
};

}  // namespace testing_support
