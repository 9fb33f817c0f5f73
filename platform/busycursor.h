#pragma once

#include <QGuiApplication>

namespace platform {

// The hourglass for the life of this object (a long decode, a wait for the lab),
// restored on every path. User-interface thread.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace platform
