#include "platform/signalclose.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <array>

#include <QLoggingCategory>

namespace platform {

namespace {

Q_LOGGING_CATEGORY(lcSignals, "korvella.platform")

int wakeFds[2] = {-1, -1};
constexpr std::array<int, 3> kSignals = {SIGTERM, SIGINT, SIGHUP};
struct sigaction before[kSignals.size()];

void wake(int) {
    const char byte = 1;
    // Nothing else is safe here; a full socket has a wake-up waiting already.
    [[maybe_unused]] const ssize_t written = ::write(wakeFds[1], &byte, 1);
}

}  // namespace

CloseOnSignals::CloseOnSignals(std::function<void()> close, QObject* parent)
    : QObject(parent), close_(std::move(close)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeFds) != 0) {
        qCWarning(lcSignals) << "signals will end the program at once: no wake-up socket";
        return;
    }
    notifier_ = new QSocketNotifier(wakeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(wakeFds[0], bytes, sizeof bytes) > 0) {
        }
        qCDebug(lcSignals) << "asked to end by a signal";
        close_();
    });
    struct sigaction action {};
    action.sa_handler = wake;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < kSignals.size(); ++i) {
        sigaction(kSignals[i], &action, &before[i]);
    }
}

CloseOnSignals::~CloseOnSignals() {
    if (notifier_ == nullptr) {
        return;
    }
    for (size_t i = 0; i < kSignals.size(); ++i) {
        sigaction(kSignals[i], &before[i], nullptr);
    }
    delete notifier_;
    ::close(wakeFds[0]);
    ::close(wakeFds[1]);
    wakeFds[0] = wakeFds[1] = -1;
}

}  // namespace platform
