#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace platform {

// Ends the program as its close does when the system asks it to (SIGTERM, SIGINT,
// SIGHUP: a kill, Ctrl+C, a logout): the signal handler only writes a byte, and the
// close runs on the user-interface thread when the event loop reads it. One at a time;
// the handlers before it come back when it goes. User-interface thread only.
class CloseOnSignals : public QObject {
    Q_OBJECT

public:
    explicit CloseOnSignals(std::function<void()> close, QObject* parent = nullptr);
    ~CloseOnSignals() override;

private:
    std::function<void()> close_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace platform
