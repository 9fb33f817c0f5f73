#include "platform/processlock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <cerrno>

namespace platform {

ProcessLock::~ProcessLock() {
    if (fd_ >= 0) {
        ::close(fd_);  // and the lock with it
    }
}

ProcessLock::Result ProcessLock::tryLock() {
    if (fd_ >= 0) {
        return Result::Taken;
    }
    const int fd = ::open(QFile::encodeName(path_).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        return Result::Unavailable;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool elsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        return elsewhere ? Result::HeldElsewhere : Result::Unavailable;
    }
    fd_ = fd;
    // The holder's number, for whoever looks at the file.
    const QByteArray pid = QByteArray::number(static_cast<qint64>(::getpid())) + '\n';
    if (::ftruncate(fd_, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd_, pid.constData(), pid.size());
    }
    return Result::Taken;
}

}  // namespace platform
